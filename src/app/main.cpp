// Program entry: the units' start-up steps, the permanent windows in their order, the
// event loop, then the windows destroyed and the settings saved last.

#include "app/about.h"
#include "app/application.h"
#include "app/instances.h"
#include "exchange/kelvorconst.h"
#include "exchange/spectdde.h"
#include "graph/impression.h"
#include "instrument/cfgspect.h"
#include "instrument/choixspe.h"
#include "util/labutil.h"
#include "windows/dialoguesqt.h"
#include "windows/specmain.h"

#include <memory>

using namespace kelvor;

namespace {

// Creates the permanent windows in their order and runs the event loop. The windows
// go away, last-created first, without their close steps, when this returns.
int Execute(TApplication& app)
{
    TDialoguesQt dialogues;
    SetDialogues(&dialogues);
    TImprimanteSysteme imprimante;
    SetImprimante(&imprimante);

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
    const int resultat = app.exec();

    FormDDE = nullptr;
    ConstanteDlg = nullptr;
    constante.reset();
    choixSpectro.reset();
    formDDE.reset();
    aPropos.reset();
    principale.reset();
    SetImprimante(nullptr);
    SetDialogues(nullptr);
    return resultat;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);

    InitDossierDonnees();
    InitSpectro();
    QApplication::setApplicationDisplayName(QStringLiteral("Spectrophotomètre Kealvor 5100"));

    const int resultat = Execute(app);

    LibereSpectro();
    LibereDossierDonnees();
    return resultat;
}
