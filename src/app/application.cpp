#include "app/application.h"

#include "instrument/cfgspect.h"
#include "platform/portserie.h"
#include "util/labutil.h"
#include "windows/about.h"
#include "windows/choixspe.h"
#include "windows/garde.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
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

namespace {

int ExecuteFenetres(const std::function<void(TSpectreMain&)>& pret)
{
    QCoreApplication::setApplicationName(TitreApplication);

    // The port outlives the main window, whose link talks to it until the end.
    TPortSerie port;
    auto principale = std::make_unique<TSpectreMain>(&port);
    auto aPropos = std::make_unique<TAboutBox>(principale.get());
    auto formDDE = std::make_unique<TFormDDE>();
    auto choixSpectro = std::make_unique<TChoixSpectroDlg>(principale.get());
    auto constante = std::make_unique<TConstanteDlg>(principale.get());

    formDDE->SetFenetrePrincipale(principale.get());
    principale->SetAboutBox(aPropos.get());
    principale->SetFormDDE(formDDE.get());
    principale->SetChoixSpectroDlg(choixSpectro.get());
    principale->SetConstanteDlg(constante.get());

    principale->show();
    if (pret)
        pret(*principale);
    const int resultat = QApplication::exec();

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
