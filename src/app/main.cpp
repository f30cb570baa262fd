// Program entry: the command line, the real boxes and printer, then the program's whole life.

#include "app/application.h"
#include "app/lancesim.h"
#include "app/options.h"
#include "windows/impression.h"
#include "util/dialogues.h"
#include "windows/dialoguesqt.h"
#include "windows/specmain.h"

#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

using namespace kelvor;

int main(int argc, char** argv)
{
    // Read before the toolkit needs a display, so that --help works without one.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TOptions options = AnalyseOptions(arguments);
    if (options.action != TOptions::oaLance)
        return SortieOptions(options);

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

    AppliquePorts(options);
    TLanceurSimulateur simulateur;
    std::function<void(TSpectreMain&)> pret;
    if (options.simulateur) {
        QString erreur;
        if (DemarreSimulateur(simulateur, options, erreur))
            pret = [](TSpectreMain& w) { QTimer::singleShot(0, &w, [&w] { w.InitAppareil(); }); };
        else
            Dialogues().Message(erreur);
    }

    const int resultat = Programme(pret);

    simulateur.Arrete();
    SetImprimante(nullptr);
    SetDialogues(nullptr);
    return resultat;
}
