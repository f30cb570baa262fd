#include "windows/spectdde.h"

#include "windows/kelvorconst.h"
#include "platform/pressepapier.h"
#include "platform/registre.h"
#include "platform/shell.h"
#include "util/dialogues.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace kelvor {

namespace {

const QString Sujet = QStringLiteral("ServeurDDE");
const QString Item = QStringLiteral("ServeurItem");

} // namespace

TFormDDE::TFormDDE(QObject* parent)
    : QObject(parent),
      Executable(QCoreApplication::applicationFilePath()),
      Lanceur(OuvreProgramme),
      Attente([](int ms) { QThread::msleep(ms); })
{
    connect(&ServeurDDE, &TServeurDDE::MacroRecue, this,
            [this](const QStringList& lignes) { ExecuteMacro(lignes); });
    FormCreate();
}

TFormDDE::~TFormDDE()
{
    FormDestroy();
}

void TFormDDE::FormCreate()
{
    ChercheKurvalis();
    // Another copy of the program may already serve the name; this one then only sends.
    ServeurDDE.Ecoute(NomServeur(), Sujet);
}

void TFormDDE::FormDestroy()
{
    ClientDDE.CloseLink();
}

void TFormDDE::ChercheKurvalis()
{
    ServiceApplication = ApplicationKurvalis(LitRegistreKurvalis({}, QStringLiteral("Path")),
                                             LitRegistreKurvalis(QStringLiteral("Kurvalis"),
                                                                 QStringLiteral("Path")));
}

QString TFormDDE::NomServeur() const
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().section('.', 0, 0);
}

void TFormDDE::SetFenetrePrincipale(QWidget* fenetre)
{
    DonneFocus = [p = QPointer<QWidget>(fenetre)] {
        if (!p)
            return;
        p->setWindowState(p->windowState() & ~Qt::WindowMinimized);
        p->show();
        p->raise();
        p->activateWindow();
    };
}

void TFormDDE::LanceKurvalis()
{
    // A companion that answers on its endpoint is running; nothing is left behind by
    // asking, so a companion closed later is started again on the next send.
    if (RepondDDE(NomService(ServiceApplication), Sujet))
        return;
    if (Lanceur(ServiceApplication))
        Attente(2000);
}

void TFormDDE::Execute(Tenvoi Ordre)
{
    const QString service = NomService(ServiceApplication);
    LanceKurvalis();
    ClientDDE.SetLink(service, Sujet);
    ClientDDE.SetItem(Item);
    if (ClientDDE.OpenLink()) {
        EnvoieMacro(Ordre);
        return;
    }
    ClientDDE.SetLink(service, Sujet);
    ClientDDE.SetItem(Item);
    Attente(1000);
    if (ClientDDE.OpenLink())
        EnvoieMacro(Ordre);
    else
        Dialogues().Message(QStringLiteral("Impossible de lancer ") + service);
}

void TFormDDE::EnvoieMacro(Tenvoi Ordre)
{
    if (!ClientDDE.ExecuteMacro(MacroEnvoi(Ordre)))
        Dialogues().Message(QStringLiteral("Transfert non exécuté"));
    ClientDDE.CloseLink();
}

TValeursConstante TFormDDE::Valeurs() const
{
    return ConstanteDlg ? ConstanteDlg->Valeurs() : TValeursConstante{};
}

int TFormDDE::ItemEnvoi() const
{
    return ConstanteDlg ? ConstanteDlg->ItemIndex() : 0;
}

void TFormDDE::SetItemEnvoi(int index)
{
    if (ConstanteDlg)
        ConstanteDlg->SetItemIndex(index);
}

void TFormDDE::AjouteConst(QStringList& donnees) const
{
    kelvor::AjouteConst(donnees, Valeurs());
}

void TFormDDE::TexteSpectre(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda)
{
    NumeroSpectre = 1;
    CopiePressePapier(TexteBloc(
        BlocSpectre(Executable, DateHeureCourante(), Valeurs(), valeurY, debutLambda, finLambda)));
}

void TFormDDE::TexteColonne(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda)
{
    ++NumeroSpectre;
    CopiePressePapier(TexteBloc(
        BlocColonne(NumeroSpectre, Valeurs().Commentaire, valeurY, debutLambda, finLambda)));
}

void TFormDDE::EnvoieDonnees(const Vecteur& valeurY, qint32 debutLambda, qint32 finLambda)
{
    const TmodeKurvalis mode = ConstanteDlg ? ConstanteDlg->modeKurvalis : kFichier;
    if (mode == kColonne)
        TexteColonne(valeurY, debutLambda, finLambda);
    else
        TexteSpectre(valeurY, debutLambda, finLambda);
    Execute(OrdreSpectre(mode));
    if (ItemEnvoi() == 0)
        SetItemEnvoi(1);
}

void TFormDDE::EnvoieTable(const QStringList& lignes, bool envoyer)
{
    CopiePressePapier(TexteBloc(lignes));
    if (envoyer)
        Execute(OrdreTable(ItemEnvoi()));
    SetItemEnvoi(1);
}

void TFormDDE::EnvoieDonneesCinetique(bool envoyer, const Vecteur& valeurX,
                                      const Vecteur& valeurY, qint32 nbrePoints,
                                      const ListeReperes& reperes)
{
    EnvoieTable(BlocCinetique(Executable, DateHeureCourante(), Valeurs(), valeurX, valeurY,
                              nbrePoints, reperes),
                envoyer);
}

void TFormDDE::ExecuteMacro(const QStringList& macro)
{
    // The companion only gets the transport's acknowledgement: nothing may escape.
    try {
        if (AnalyseMacro(macro) == amFocus && DonneFocus)
            DonneFocus();
    } catch (...) {
    }
}

} // namespace kelvor
