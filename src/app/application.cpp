#include "app/application.h"

#include "instrument/cfgspect.h"
#include "util/labutil.h"
#include "windows/about.h"
#include "windows/choixspe.h"
#include "windows/garde.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "windows/specmain.h"


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

TFenetresProgramme::TFenetresProgramme()
    : principale_(std::make_unique<TSpectreMain>(port_)),
      aPropos_(std::make_unique<TAboutBox>(principale_.get())),
      formDDE_(std::make_unique<TFormDDE>()),
      choixSpectro_(std::make_unique<TChoixSpectroDlg>(principale_.get())),
      constante_(std::make_unique<TConstanteDlg>(principale_.get()))
{
    formDDE_->SetFenetrePrincipale(principale_.get());
    principale_->SetAboutBox(aPropos_.get());
    principale_->SetFormDDE(formDDE_.get());
    principale_->SetChoixSpectroDlg(choixSpectro_.get());
    principale_->SetConstanteDlg(constante_.get());
}

TFenetresProgramme::~TFenetresProgramme() = default;

namespace {

int ExecuteFenetres(const std::function<void(TSpectreMain&)>& pret)
{
    QCoreApplication::setApplicationName(TitreApplication);
    TFenetresProgramme fenetres;
    TSpectreMain& principale = fenetres.Principale();
    principale.show();
    if (pret)
        pret(principale);
    return QApplication::exec();
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
