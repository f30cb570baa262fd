#include "windows/garde.h"

#include "util/dialogues.h"
#include "util/labutil.h"

#include <QApplication>

namespace kelvor {

void RapporteErreur(const QString& message)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    Dialogues().Message(message);
}

void ActionGardee(const std::function<void()>& action, const std::function<void(const QString&)>& rapport)
{
    const auto signale = [&rapport](const QString& message) {
        if (rapport)
            rapport(message);
        else
            RapporteErreur(message);
    };
    try {
        action();
    } catch (const EConvertError& e) {
        signale(e.message);
    } catch (const std::exception& e) {
        signale(QString::fromUtf8(e.what()));
    } catch (...) {
        signale(QStringLiteral("Erreur inattendue : l'action a été interrompue."));
    }
}

bool QuitterQuandMeme(const QStringList& nonSauves)
{
    if (nonSauves.isEmpty())
        return true;
    return Dialogues().Confirme(QStringLiteral("Non sauvé : %1. Quitter quand même ?").arg(nonSauves.join(", ")),
                                TDialogues::bOkAnnuler);
}

} // namespace kelvor
