#include "app/application.h"

#include "util/dialogues.h"
#include "util/labutil.h"

namespace kelvor {

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

} // namespace kelvor
