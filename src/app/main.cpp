// Program entry: the real boxes and printer, then the program's whole life.

#include "app/application.h"
#include "graph/impression.h"
#include "windows/dialoguesqt.h"

#include <QLibraryInfo>
#include <QTranslator>

using namespace kelvor;

int main(int argc, char** argv)
{
    TApplication app(argc, argv);

    // The toolkit's own dialogs (file dialogs, standard buttons) speak French too.
    QTranslator traduction;
    if (traduction.load(QStringLiteral("qtbase_fr"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&traduction);

    TDialoguesQt dialogues;
    SetDialogues(&dialogues);
    TImprimanteSysteme imprimante;
    SetImprimante(&imprimante);

    const int resultat = Programme();

    SetImprimante(nullptr);
    SetDialogues(nullptr);
    return resultat;
}
