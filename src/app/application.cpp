#include "app/application.h"

#include "app/about.h"
#include "app/instances.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "instrument/cfgspect.h"
#include "windows/choixspe.h"
#include "util/dialogues.h"
#include "util/labutil.h"
#include "windows/specmain.h"

#include <memory>

namespace kelvor {

const QString TitreApplication = QStringLiteral("Spectrophotomètre Kealvor 5100");

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EConvertError& e) {
        RapporteErreur(e.message);
    } catch (const std::exception& e) {
        RapporteErreur(QString::fromUtf8(e.what()));
    }
    return false;
}

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

namespace {

int ExecuteFenetres(const std::function<void(TSpectreMain&)>& pret)
{
    QCoreApplication::setApplicationName(TitreApplication);

    auto principale = std::make_unique<TSpectreMain>();
    auto aPropos = std::make_unique<TAboutBox>(principale.get());
    auto formDDE = std::make_unique<TFormDDE>();
    auto choixSpectro = std::make_unique<TChoixSpectroDlg>(principale.get());
    auto constante = std::make_unique<TConstanteDlg>(principale.get());

    formDDE->ConstanteDlg = constante.get();
    formDDE->SetFenetrePrincipale(principale.get());
    FormDDE = formDDE.get();
    ConstanteDlg = constante.get();
    principale->SetAboutBox(aPropos.get());
    principale->SetFormDDE(formDDE.get());
    principale->SetChoixSpectroDlg(choixSpectro.get());
    principale->SetConstanteDlg(constante.get());

    principale->show();
    if (pret)
        pret(*principale);
    const int resultat = QApplication::exec();

    FormDDE = nullptr;
    ConstanteDlg = nullptr;
    constante.reset();
    choixSpectro.reset();
    formDDE.reset();
    aPropos.reset();
    principale.reset();
    return resultat;
}

} // namespace

int Programme(const std::function<void(TSpectreMain&)>& pret)
{
    InitDossierDonnees();
    InitSpectro();
    const int resultat = ExecuteFenetres(pret);
    LibereSpectro();
    LibereDossierDonnees();
    return resultat;
}

} // namespace kelvor
