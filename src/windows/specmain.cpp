#include "windows/specmain.h"

#include "windows/about.h"
#include "exchange/fichierspectre.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "exchange/textes.h"
#include "windows/choixspe.h"
#include "instrument/port.h"
#include "util/dialogues.h"
#include "windows/kelvorbeer.h"
#include "windows/kelvorcinet.h"
#include "windows/spinedit.h"
#include "windows/communs.h"
#include "windows/aide.h"
#include "windows/garde.h"
#include "windows/boiteaoutils.h"
#include "windows/panneauspectre.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSizeGrip>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kelvor {

namespace {

const QString TitreInitial = QStringLiteral("Tracé de spectre avec le spectrophotomètre KELVOR 51xx");
const QString NonConnecte = QStringLiteral(
    "Le spectrophotomètre n'est pas connecté.\nCliquer sur le bouton \"Connection\".");

// A marker let go this close to the other one (pixels) stays where it was.
constexpr qint32 EcartSouris = 30;

} // namespace

// ---------------------------------------------------------------------------------------
// Creation

TSpectreMain::TSpectreMain(TPort& port, QWidget* parent)
    : QMainWindow(parent),
      Port(&port),
      Liaison(new TLiaison(*Port, Spectro(), *this, this)),
      Spectre(Spectro(), *Liaison, *this),
      spectro(Spectro())
{
    FormCreate();
}

TSpectreMain::~TSpectreMain()
{
    DetacheEnfants(this);
    // The measurement windows hold a reference to this one; they go first, without
    // their close steps.
    delete FenetreCinetique;
    delete FenetreBeer;
    // The link must not call back into a half-destroyed window.
    delete Liaison;
    Liaison = nullptr;
}

QAction* TSpectreMain::NouvelleAction(const QString& caption, const QString& hint, const QKeySequence& touche)
{
    auto* a = new QAction(caption, this);
    // Kept with its ampersand so the tool button underlines the letter and takes Alt+letter.
    a->setIconText(caption);
    Indication(a, hint);
    if (!touche.isEmpty())
        a->setShortcut(touche);
    return a;
}

QAction* TSpectreMain::Action(const QString& caption, const QString& hint, const QKeySequence& touche)
{
    QAction* a = NouvelleAction(caption, hint, touche);
    ToolBar->addAction(a);
    if (auto* b = qobject_cast<QToolButton*>(ToolBar->widgetForAction(a)))
        b->setAccessibleName(QString(caption).remove('&'));
    return a;
}

void TSpectreMain::FormCreate()
{
    setWindowTitle(TitreInitial);
    resize(1000, 680);

    ToolBar = addToolBar(QStringLiteral("Actions"));
    ToolBar->setMovable(false);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ConfigAct = Action("&Config.", "Choix de la voie série", {});
    OuvrirAct = Action("&Ouvrir...", "Ouvrir un fichier", QKeySequence(Qt::CTRL | Qt::Key_O));
    SauverAct = Action("Sa&uver...", "Enregistrer le fichier actif sous un nouveau nom",
                       QKeySequence(Qt::CTRL | Qt::Key_S));
    BlancAct = Action("&Blanc", "Faire le blanc", QKeySequence(Qt::Key_B));
    SpectreAct = Action("&Spectre", "Tracer un spectre", QKeySequence(Qt::Key_S));
    StopAct = Action("S&top", "Arrêter le balayage en cours", {});
    KurvalisAct = Action("&Kurvalis", "Envoyer les données vers Kurvalis", QKeySequence(Qt::CTRL | Qt::Key_R));
    BeerAct = Action("Beer-&Lambert", "Ouvre la fenêtre d'utilisation de la loi de Beer", QKeySequence(Qt::Key_L));
    CinetiqueAct = Action("C&inétique", "Ouvre la fenêtre de mesure de cinétique", QKeySequence(Qt::Key_C));
    AProposAct = Action("&A propos...", {}, {});
    QuitterAct = Action("&Quitter", "Quitter|Quitter l'application", {});
    ToolBar->insertAction(QuitterAct, AjouteAide(this, QStringLiteral("spectre")));
    SauverAct->setEnabled(false);
    KurvalisAct->setEnabled(false);

    Relie(ConfigAct, &TSpectreMain::ConfigClick);
    Relie(OuvrirAct, &TSpectreMain::FileOpenClick);
    Relie(SauverAct, &TSpectreMain::SauveSpectreClick);
    Relie(BlancAct, &TSpectreMain::BlancClick);
    Relie(SpectreAct, &TSpectreMain::SpectreClick);
    Relie(StopAct, &TSpectreMain::StopClick);
    Relie(KurvalisAct, &TSpectreMain::RegSaveBtnClick);
    Relie(BeerAct, &TSpectreMain::BeerClick);
    Relie(CinetiqueAct, &TSpectreMain::CinetiqueClick);
    Relie(AProposAct, &TSpectreMain::AProposClick);
    connect(QuitterAct, &QAction::triggered, this, &QWidget::close);

    // Panel: step, start, end, then the debug panel and the readouts on the right.
    auto* centre = new QWidget(this);
    auto* colonne = new QVBoxLayout(centre);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    auto* panneau = new QWidget(centre);
    auto* ligne = new QHBoxLayout(panneau);
    ligne->setContentsMargins(8, 4, 8, 4);

    auto spin = [&](const QString& libelle, const QString& hintLibelle, const QString& hint,
                    qint32 pas, qint32 mini, qint32 maxi, qint32 valeur) {
        auto* l = new QLabel(libelle, panneau);
        if (!hintLibelle.isEmpty()) {
            l->setToolTip(hintLibelle);
            l->setStatusTip(hintLibelle);
        }
        auto* se = new TSpinEdit(panneau);
        se->SetIncrement(pas);
        se->SetMinValue(mini);
        se->SetMaxValue(maxi);
        se->SetValue(valeur);
        se->setToolTip(hint);
        se->setStatusTip(hint);
        se->setAccessibleName(hint);
        l->setBuddy(se);
        ligne->addWidget(l);
        ligne->addWidget(se);
        return se;
    };
    PasSE = spin(QStringLiteral("Pas de λ"), QStringLiteral("Pas de mesure en nm"),
                 QStringLiteral("Pas de mesure du spectre en nm"), 1, 1, 10, 1);
    DebutSE = spin(QStringLiteral("λmin"), {}, QStringLiteral("Début du spectre en nm"), 8, 325, 800, 500);
    FinSE = spin(QStringLiteral("λmax"), {}, QStringLiteral("Fin du spectre en nm"), 8, 500, 999, 800);
    // "λmax" alone names the peak readout; this label names the scan's upper end.
    for (QLabel* l : panneau->findChildren<QLabel*>())
        if (l->buddy() == FinSE)
            l->setAccessibleName(QStringLiteral("Fin du balayage (λmax)"));
    ligne->addWidget(new QLabel(QStringLiteral("en nm"), panneau));
    // The view of the graph, beside the range it shows (the tool bar is full).
    const auto vue = [&](const QString& caption, const QString& hint, const QKeySequence& touche) {
        QAction* a = NouvelleAction(caption, hint, touche);
        auto* b = new QToolButton(panneau);
        b->setDefaultAction(a);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAccessibleName(QString(caption).remove('&'));
        ligne->addSpacing(8);
        ligne->addWidget(b);
        return a;
    };
    AjusterAAct = vue(QStringLiteral("Ajust&er A"), QStringLiteral("Ajuster l'axe des absorbances aux spectres affichés"), {});
    ToutVoirAct = vue(QStringLiteral("Tout &voir"),
                      QStringLiteral("Revenir à toute la plage et à l'axe des absorbances d'avant"),
                      QKeySequence(Qt::CTRL | Qt::Key_0));
    Relie(AjusterAAct, &TSpectreMain::AjusterAClick);
    Relie(ToutVoirAct, &TSpectreMain::ToutVoirClick);
    // Keyboard only: closer or farther around the middle of the view ("=" is "+" unshifted).
    ZoomAvantAct = new QAction(QStringLiteral("Zoom avant"), this);
    ZoomAvantAct->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomArriereAct = new QAction(QStringLiteral("Zoom arrière"), this);
    ZoomArriereAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    addActions({ZoomAvantAct, ZoomArriereAct});
    const auto zoomCentre = [this](double crans) {
        ZoomeLambda((GrapheSpectre.mondeX.mini + GrapheSpectre.mondeX.maxi) / 2, crans);
    };
    connect(ZoomAvantAct, &QAction::triggered, this, [zoomCentre] { zoomCentre(1); });
    connect(ZoomArriereAct, &QAction::triggered, this, [zoomCentre] { zoomCentre(-1); });
    ligne->addStretch(1);

    DebugPanel = new QLabel(panneau);
    DebugPanel->setAutoFillBackground(true);
    DebugPanel->setStyleSheet(QStringLiteral("background: red; color: white; padding: 2px 6px;"));
    DebugPanel->setMinimumWidth(120);
    ligne->addWidget(DebugPanel);
    QFont gras = font();
    gras.setBold(true);
    gras.setPointSize(16);
    LambdaLabel = new TLecture(QStringLiteral("Longueur d'onde"), QString(), panneau);
    AbsLabel = new TLecture(QStringLiteral("Absorbance"), QString(), panneau);
    for (QLabel* l : {LambdaLabel, AbsLabel}) {
        l->setFont(gras);
        l->setMinimumWidth(QFontMetrics(gras).horizontalAdvance(QStringLiteral("Lambda=1000 nm")));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ligne->addWidget(l);
    }
    colonne->addWidget(panneau);

    PaintBox = new TZoneImage(QStringLiteral("Spectre"), centre);
    PaintBox->setAccessibleDescription(QStringLiteral("Absorbance en fonction de la longueur d'onde"));
    PaintBox->setMouseTracking(true);
    PaintBox->setMinimumSize(200, 150);
    PaintBox->Redessine = [this] {
        QElapsedTimer chrono;
        chrono.start();
        if (PaintBox->Attache(canevas)) {
            PaintBoxPaint(canevas, TRectangle{0, 0, PaintBox->width(), PaintBox->height()});
            canevas.Detache();
        }
        dureeDessinNs += chrono.nsecsElapsed();
    };
    connect(PaintBox, &TZoneImage::Appui, this, &TSpectreMain::PaintBoxMouseDown);
    connect(PaintBox, &TZoneImage::Deplacement, this, &TSpectreMain::PaintBoxMouseMove);
    connect(PaintBox, &TZoneImage::Relache, this, &TSpectreMain::PaintBoxMouseUp);
    connect(PaintBox, &TZoneImage::Molette, this, &TSpectreMain::PaintBoxMolette);
    Panneau = new TPanneauSpectre(GrapheSpectre, centre);
    Panneau->Redessine = [this] {
        // Spectra shown or hidden: a fitted absorbance axis fits them again.
        if (Zoom.AAjuste())
            Zoom.AjusteA(GrapheSpectre, Panneau->Superposition().Visibles());
        Redessine();
    };
    Panneau->InstalleActions(*ToolBar, AProposAct, *SauverAct);
    auto* grapheEtPanneau = new QHBoxLayout;
    grapheEtPanneau->addWidget(PaintBox, 1);
    grapheEtPanneau->addWidget(Panneau);
    colonne->addLayout(grapheEtPanneau, 1);
    setCentralWidget(centre);

    // The instructions and the button over the graph while no instrument is connected.
    auto* surGraphe = new QVBoxLayout(PaintBox);
    surGraphe->addStretch(1);
    NoteLabel = new QLabel(QStringLiteral("Mettre en route le spectrophotomètre\n"
                                          "Attendre qu'il ait fini sa phase d'initialisation\n"
                                          "Cliquer sur le bouton \"Config.\"\n"
                                          "Cliquer sur le bouton \"Connection\" ci dessous"),
                           PaintBox);
    QFont note = font();
    note.setPointSize(13);
    NoteLabel->setFont(note);
    NoteLabel->setAlignment(Qt::AlignCenter);
    NoteLabel->setStyleSheet(QStringLiteral("background: rgba(255,255,255,220); padding: 8px;"));
    surGraphe->addWidget(NoteLabel, 0, Qt::AlignHCenter);
    ConnectionBtn = new QPushButton(QStringLiteral("Connection"), PaintBox);
    QFont grand = font();
    grand.setPointSize(20);
    grand.setBold(true);
    ConnectionBtn->setFont(grand);
    ConnectionBtn->setStyleSheet(QStringLiteral(
        "QPushButton { background: #d00000; color: white; padding: 14px 40px; border-radius: 6px; }"
        "QPushButton:focus { border: 3px solid #202020; }"));
    // No status tip: the button hides under the pointer once connected, and leaving a
    // control with a status tip would wipe the connection message from the status bar.
    ConnectionBtn->setToolTip(QStringLiteral("Rechercher le spectrophotomètre"));
    ConnectionBtn->setAutoDefault(true);    // Enter connects as well as space
    connect(ConnectionBtn, &QPushButton::clicked, this, [this] { Garde([this] { ConnectionBtnClick(); }); });
    surGraphe->addSpacing(12);
    surGraphe->addWidget(ConnectionBtn, 0, Qt::AlignHCenter);
    surGraphe->addStretch(1);

    Progression = new QProgressBar(this);
    Progression->setMaximumWidth(220);
    Progression->setTextVisible(false);
    Progression->setAccessibleName(QStringLiteral("Avancement du balayage"));
    Progression->hide();
    statusBar()->addPermanentWidget(Progression);
    statusBar()->setAccessibleName(QStringLiteral("Barre d'état"));
    if (auto* poignee = statusBar()->findChild<QSizeGrip*>())
        poignee->setAccessibleName(QStringLiteral("Poignée de redimensionnement"));

    connect(PasSE, &TSpinEdit::Change, this, [this] { Garde([this] { PasSEChange(); }); });
    connect(DebutSE, &TSpinEdit::Change, this, [this] { Garde([this] { DebutSEChange(); }); });
    connect(FinSE, &TSpinEdit::Change, this, [this] { Garde([this] { FinSEChange(); }); });

    // Order matters: each value runs its change rule under the bounds set so far.
    // The fields are read at each step: a change rule may have moved them.
    FinSE->SetMaxValue(Spectre.FinMaxiPas());
    FinSE->SetValue(spectro.FinLambda);
    FinSE->SetMinValue(Spectre.FinMini());
    DebutSE->SetMinValue(spectro.MiniLambda());
    DebutSE->SetMaxValue(Spectre.DebutMaxi());
    DebutSE->SetValue(spectro.DebutLambda);
    PasSE->SetValue(spectro.pasLambda);
    AccordeModele();

    EffaceAffichages();
    DebugPanel->clear();
    DebugPanel->hide();
}

void TSpectreMain::Garde(const std::function<void()>& action)
{
    // Port failures go through the link, which tells a lost line only once; anything
    // else is the general error report, the wait appearance undone.
    ActionGardee([&] { Echange(action); }, [this](const QString& message) { Erreur(message); });
}

void TSpectreMain::Relie(QAction* action, void (TSpectreMain::*slot)())
{
    connect(action, &QAction::triggered, this, [this, slot] { Garde([this, slot] { (this->*slot)(); }); });
}

bool TSpectreMain::Echange(const std::function<void()>& echange)
{
    try {
        echange();
        return true;
    } catch (const EPortSerie& e) {
        // Once the window says goodbye, an exchange cut short by the closing port is
        // expected: nothing to tell.
        if (!adieuFait)
            Liaison->RapporteEchec(e.message);
        return false;
    }
}

void TSpectreMain::AccordeModele()
{
    // A spin edit already showing the bounded value runs no change rule; the model must
    // still take what is shown, or a scan would be built from a value nobody sees.
    Spectre.ChangePas(PasSE->Value());
    Spectre.ChangeDebut(DebutSE->Value());
    Spectre.ChangeFin(FinSE->Value());
}

void TSpectreMain::SetConstanteDlg(TConstanteDlg* dlg)
{
    ConstanteDlg = dlg;
    if (FormDDE)
        FormDDE->ConstanteDlg = dlg;
}

void TSpectreMain::SetFormDDE(TFormDDE* form)
{
    FormDDE = form;
    if (FormDDE && ConstanteDlg)
        FormDDE->ConstanteDlg = ConstanteDlg;
}

// ---------------------------------------------------------------------------------------
// The link's operations

void TSpectreMain::EnvoieCommande(Tlecture e, qint32 s, const QString& t, const QByteArray& c)
{
    Liaison->EnvoieCommande(e, s, t, c);
}

void TSpectreMain::GotoLambda(qint32 lambda)
{
    Echange([&] { Liaison->GotoLambda(lambda); });
}

void TSpectreMain::SetObscuriteProc()
{
    Liaison->SetObscuriteProc();
}

void TSpectreMain::SetBlancProc()
{
    Echange([&] { Liaison->SetBlancProc(); });
}

double TSpectreMain::getAbsorbance()
{
    double a = PasDeValeur();
    Echange([&] { a = Liaison->getAbsorbance(); });
    return a;
}

void TSpectreMain::VerifieNombreFlash(Tmode mode)
{
    Liaison->VerifieNombreFlash(mode);
}

void TSpectreMain::SetMode(Tmode acq)
{
    Echange([&] { Liaison->SetMode(acq); });
    MajActions();
}

bool TSpectreMain::EchangeEnCours() const
{
    return Liaison->EchangeEnCours();
}

void TSpectreMain::InitAppareil()
{
    Liaison->InitAppareil();
    if (etatSpectre() == esAttente)
        AppliqueLimites();
}

void TSpectreMain::AppliqueLimites()
{
    // The variant (chosen, or reported by the instrument) decides the lowest wavelength.
    const qint32 mini = spectro.MiniLambda();
    if (GrapheSpectre.mondeX.mini != mini && mini < GrapheSpectre.mondeX.maxi) {
        GrapheSpectre.mondeX.mini = mini;
        Redessine();
    }
    DebutSE->SetMinValue(mini);
    FinSE->SetMaxValue(spectro.MaxiLambda);
}

bool TSpectreMain::EnLigne() const
{
    return Port->EstOuvert() && etatSpectre() != esInit;
}

bool TSpectreMain::Connecte()
{
    if (EnLigne())
        return true;
    Dialogues().Message(NonConnecte);
    return false;
}

// ---------------------------------------------------------------------------------------
// The link's view

void TSpectreMain::Sablier(bool actif)
{
    if (actif)
        sabliers.emplace_back();
    else if (!sabliers.empty())
        sabliers.pop_back();
}

void TSpectreMain::SablierScan(bool actif)
{
    if (actif != sablierScan) {
        sablierScan = actif;
        Sablier(actif);
    }
}

void TSpectreMain::ActionsEchange(bool enCours)
{
    StopAct->setEnabled(enCours);
    if (enCours) {
        SpectreAct->setEnabled(false);
        BlancAct->setEnabled(false);
        BeerAct->setEnabled(false);
        CinetiqueAct->setEnabled(false);
    }
}

void TSpectreMain::Etiquette(const QString& texte)
{
    DebugPanel->setText(texte);
}

void TSpectreMain::Statut(const QString& texte)
{
    statusBar()->showMessage(texte);
}

void TSpectreMain::Titre(const QString& texte)
{
    setWindowTitle(texte);
}

void TSpectreMain::EffaceAffichages()
{
    LambdaLabel->clear();
    AbsLabel->clear();
}

void TSpectreMain::Erreur(const QString& message)
{
    sabliers.clear();
    sablierScan = false;
    RapporteErreur(message);
    if (etatSpectre() != esInit)
        MajActions();
}

void TSpectreMain::ReinitEnvoi()
{
    ConstanteDlg->SetItemIndex(0);
}

void TSpectreMain::OuvreFenetre(Tmode acq)
{
    QWidget** fenetre = acq == mCinetique ? &FenetreCinetique : acq == mBeer ? &FenetreBeer : nullptr;
    if (!fenetre)
        return;
    if (!*fenetre) {
        auto* dde = FormDDE;
        if (acq == mCinetique) {
            auto* f = new TCinetiqueForm(*this);
            f->FormDDE = dde;
            *fenetre = f;
        } else {
            auto* f = new TBeerForm(*this);
            f->FormDDE = dde;
            *fenetre = f;
        }
    }
    if (*fenetre) {
        (*fenetre)->show();
        (*fenetre)->raise();
        (*fenetre)->activateWindow();
    }
}

// ---------------------------------------------------------------------------------------
// Acquisition

void TSpectreMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && Liaison
        && etatSpectre() != esInit)
        MajActions();
}

void TSpectreMain::MajActions()
{
    const TEtatSpectre etat = etatSpectre();
    const Tmode acq = Liaison->AcquisitionEnCours();
    SauverAct->setEnabled(Spectre.dataOK);
    KurvalisAct->setEnabled(Spectre.dataOK);
    if (etat == esInit) {
        Titre(QStringLiteral("Spectro Kelvor 51xx non trouvé"));
        Statut(QStringLiteral("Cliquer sur le bouton Config."));
    }
    StopAct->setEnabled(etat == esEnCours);
    BlancAct->setEnabled(etat == esAttente && acq == mSpectre);
    BeerAct->setEnabled(etat == esAttente && acq != mCinetique);
    CinetiqueAct->setEnabled(etat == esAttente && acq != mBeer);
    // During a scan the spectrum still grows past any fit.
    AjusterAAct->setEnabled(etat != esEnCours);
    SpectreAct->setEnabled(etat == esAttente && Spectre.blancFait && acq == mSpectre);
    ConfigAct->setVisible(etat == esInit);
    ConnectionBtn->setVisible(etat == esInit);
    NoteLabel->setVisible(etat == esInit);
    DebutSE->setEnabled(!StopAct->isEnabled());
    FinSE->setEnabled(!StopAct->isEnabled());
    ToolBar->update();
}

void TSpectreMain::ConfigClick()
{
    if (Liaison->RechercheEnCours())
        return;
    Liaison->SupprimeTrigger();
    TChoixSpectroDlg& dlg = *ChoixSpectroDlg;
    TPort* port = Port;
    dlg.SetSonde([port](qint32 n) { return port->PortExiste(quint16(n)); },
                 [port](qint32 n) { return port->NomPort(quint16(n)); });
    dlg.Active();
    if (!Dialogues().Execute(dlg))
        return;
    dlg.Valide();
    AppliqueLimites();
    Liaison->InitAppareil();
    if (etatSpectre() == esAttente)
        AppliqueLimites();
}

void TSpectreMain::Affiche(const QString& lambda, const QString& abs)
{
    LambdaLabel->setText(lambda);
    AbsLabel->setText(abs);
}

void TSpectreMain::MontreBornes(qint32 debut, qint32 fin)
{
    DebutSE->SetValue(debut);
    FinSE->SetValue(fin);
}

void TSpectreMain::BalayageDemarre()
{
    SablierScan(true);
    Progression->setRange(0, 100);
    Progression->setValue(0);
    Progression->show();
}

void TSpectreMain::Avancement(qint32 pourcent)
{
    // What assistive tools read out.
    Progression->setValue(pourcent);
}

void TSpectreMain::BalayageFini()
{
    SablierScan(false);
    Progression->hide();
}

void TSpectreMain::SpectreTermine()
{
    Panneau->NouveauCourant(NomSpectreHeure(QTime::currentTime()), spectro.DebutLambda, spectro.FinLambda);
}

void TSpectreMain::Echec(const QString& message)
{
    RapporteErreur(message);
}

void TSpectreMain::BlancClick()
{
    if (!Connecte())
        return;
    if (!Dialogues().Confirme(QStringLiteral("Mettre la cuve avec le solvant puis \"OK\""),
                              TDialogues::bOkAnnuler))
        return;
    SetObscuriteProc();
    if (!EnLigne())
        return;     // the line was lost during the wait, and said so
    VerifieNombreFlash(mSpectre);
    if (!EnLigne())
        return;
    Spectre.DemarreBlanc(DebutSE->Value(), FinSE->Value());
}

void TSpectreMain::SpectreClick()
{
    if (!Connecte())
        return;
    if (!Spectre.ContinueSansSauver())
        return;
    if (!Spectre.BlancCouvre(DebutSE->Value(), FinSE->Value())
        && Dialogues().Confirme(QStringLiteral("La ligne de base ne couvre pas %1–%2 nm. "
                                               "Refaire le Blanc d'abord ?")
                                    .arg(DebutSE->Value())
                                    .arg(FinSE->Value()),
                                TDialogues::bOuiNon)) {
        BlancClick();
        return;
    }
    if (!Dialogues().Confirme(QStringLiteral("Mettre la cuve avec l'échantillon puis \"OK\""),
                              TDialogues::bOkAnnuler))
        return;
    SetObscuriteProc();
    if (!EnLigne())
        return;
    Zoom.OublieA(GrapheSpectre);
    Panneau->BalayageCommence();
    Spectre.DemarreSpectre(DebutSE->Value(), FinSE->Value());
}

void TSpectreMain::LiaisonPerdue()
{
    // The points already measured stay, as after "Stop"; the link then returns the
    // window to "no instrument".
    Spectre.Arrete(lecture());
}

void TSpectreMain::BalayageMuet()
{
    Spectre.Arrete(lecture());
}

void TSpectreMain::LigneBlanc(const QByteArray& chaineLue)
{
    Spectre.LigneBlanc(chaineLue);
}

void TSpectreMain::LigneSpectre(const QByteArray& chaineLue)
{
    Spectre.LigneSpectre(chaineLue);
}

void TSpectreMain::StopClick()
{
    Spectre.Stop();
}

void TSpectreMain::PasSEChange()
{
    Spectre.ChangePas(PasSE->Value());
    FinSE->SetMaxValue(Spectre.FinMaxiPas());
}

void TSpectreMain::DebutSEChange()
{
    TraceBornes();
    Spectre.ChangeDebut(DebutSE->Value());
    FinSE->SetMinValue(Spectre.FinMini());
    TraceBornes();
    Panneau->PlageChange(spectro.DebutLambda, spectro.FinLambda);
}

void TSpectreMain::FinSEChange()
{
    TraceBornes();
    Spectre.ChangeFin(FinSE->Value());
    DebutSE->SetMaxValue(Spectre.DebutMaxi());
    TraceBornes();
    Panneau->PlageChange(spectro.DebutLambda, spectro.FinLambda);
}

void TSpectreMain::BeerClick()
{
    if (Connecte())
        SetMode(mBeer);
}

void TSpectreMain::CinetiqueClick()
{
    if (Connecte())
        SetMode(mCinetique);
}

void TSpectreMain::AProposClick()
{
    Dialogues().Execute(*AboutBox);
}

void TSpectreMain::closeEvent(QCloseEvent* event)
{
    if (!adieuFait && !QuitterQuandMeme(TravauxNonSauves())) {
        event->ignore();
        return;
    }
    if (!adieuFait) {
        adieuFait = true;
        Liaison->SupprimeTrigger();
        Liaison->Adieu();
    }
    QMainWindow::closeEvent(event);
    // Closing this window ends the program even while a measurement window is still
    // shown; the loop is left without asking the other windows to close, so they do
    // not run their close steps.
    QCoreApplication::exit(0);
}

QStringList TSpectreMain::TravauxNonSauves() const
{
    QStringList travaux;
    if (Spectre.SauvegardeAfaire)
        travaux << QStringLiteral("le spectre");
    if (auto* cinetique = qobject_cast<TCinetiqueForm*>(FenetreCinetique); cinetique && cinetique->TravailNonSauve())
        travaux << QStringLiteral("la cinétique");
    if (auto* beer = qobject_cast<TBeerForm*>(FenetreBeer); beer && beer->TravailNonSauve())
        travaux << QStringLiteral("la série Beer-Lambert");
    return travaux;
}

// ---------------------------------------------------------------------------------------
// Display and cursor

void TSpectreMain::Redessine()
{
    PaintBox->Invalide();
}

void TSpectreMain::PaintBoxPaint(TCanevas& c, const TRectangle& rect)
{
    QString description = QStringLiteral("Spectre, %1 à %2 nm")
                              .arg(qRound(GrapheSpectre.mondeX.mini))
                              .arg(qRound(GrapheSpectre.mondeX.maxi));
    if (const TPics& pics = Panneau->Pics(); !pics.Vide())
        description += QStringLiteral(", λmax %1 nm").arg(pics.LambdaMax().lambda);
    PaintBox->setAccessibleDescription(description);
    const TSurface surface{c, rect};
    try {
        GrapheSpectre.Draw(surface);
    } catch (const EErreurCalcul&) {
        // Axis limits the window never sets; nothing sensible to draw.
        return;
    }
    Panneau->TraceSurGraphe(c, GrapheSpectre);
    TraceBornes(surface);
    if (lecture() == lLigneBase) {
        const QString texte = QStringLiteral("Blanc en cours");
        GrapheSpectre.SetHauteurFonte(c, 24);
        c.Font.Color = clRed;
        const qint32 largeur = rect.Right - rect.Left;
        const qint32 hauteur = rect.Bottom - rect.Top;
        c.Brush.Style = bsClear;
        c.TextOut((largeur - c.TextWidth(texte)) / 2, hauteur / 2, texte);
        c.Font.Color = clBlack;
    }
}

void TSpectreMain::TraceBornes()
{
    // Outside a drawing: invert on the kept picture, unless a full repaint is pending
    // (it will draw the markers at their new place).
    const QImage& image = PaintBox->image;
    if (PaintBox->Perimee() || !canevas.Attache(&PaintBox->image)) {
        PlaceBornes();
        return;
    }
    TraceBornes({canevas, TRectangle{0, 0, image.width(), image.height()}});
    canevas.Detache();
    PaintBox->update();
}

void TSpectreMain::PlaceBornes()
{
    qint32 y = 0;
    GrapheSpectre.WindowXY(spectro.DebutLambda, 0, debutPB, y);
    GrapheSpectre.WindowXY(spectro.FinLambda, 0, finPB, y);
}

void TSpectreMain::TraceBornes(const TSurface& surface)
{
    PlaceBornes();
    TCanevas& c = surface.canevas;
    c.Pen.Color = clRed;
    c.Pen.Width = 2;
    c.Pen.Style = psSolid;
    c.Pen.Mode = pmNot;
    for (qint32 x : {debutPB, finPB}) {
        // A marker zoomed out of view is not drawn over the axes.
        if (x < GrapheSpectre.LimiteCourbe.Left || x > GrapheSpectre.LimiteCourbe.Right)
            continue;
        c.MoveTo(x, surface.fenetre.Top);
        c.LineTo(x, surface.fenetre.Bottom);
    }
    Tgraphe::penDefault(c);
}

void TSpectreMain::MajBornes()
{
    TraceBornes();
    DebutSE->SetValue(spectro.DebutLambda);
    FinSE->SetValue(spectro.FinLambda);
    FinSE->SetMinValue(Spectre.FinMini());
    DebutSE->SetMaxValue(Spectre.DebutMaxi());
}

qint32 TSpectreMain::LambdaSouris(qint32 X, qint32 Y, double* aw) const
{
    double xr = 0;
    double yr = 0;
    GrapheSpectre.MondeXY(X, Y, xr, yr);
    if (aw)
        *aw = yr;
    if (!std::isfinite(xr))
        return 0;
    return qint32(std::clamp<qint64>(ArrondiPair(xr), -1000000, 1000000));
}

void TSpectreMain::PaintBoxMouseDown(qint32 X, qint32)
{
    if (std::abs(X - debutPB) < 3)
        curseur = DebutSE->isEnabled() ? curDebut : curNormal;
    else if (std::abs(X - finPB) < 3)
        curseur = FinSE->isEnabled() ? curFin : curNormal;
    else
        curseur = curNormal;
    PaintBox->setCursor(curseur == curNormal ? Qt::ArrowCursor : Qt::SizeHorCursor);
}

void TSpectreMain::PaintBoxMouseMove(qint32 X, qint32 Y)
{
    PaintBox->Prepare();
    double aw = 0;
    const qint32 lambda = LambdaSouris(X, Y, &aw);
    const TRectangle& courbe = GrapheSpectre.LimiteCourbe;
    if (curseur == curDebut) {
        if (X > courbe.Left && X < finPB) {
            TraceBornes();
            Spectre.ChangeDebut(lambda);
            MajBornes();
            PaintBox->setCursor(Qt::SizeHorCursor);
        }
    } else if (curseur == curFin) {
        if (X > debutPB && X < courbe.Right) {
            TraceBornes();
            Spectre.ChangeFin(lambda);
            MajBornes();
            PaintBox->setCursor(Qt::SizeHorCursor);
        }
    } else if (etatSpectre() != esEnCours) {
        const QString texteLambda = QStringLiteral("Lambda=%1 nm");
        if (!canevas.Attache(&PaintBox->image))
            return;
        qint32 l = lambda;
        double a = aw;
        if (Spectre.PointCurseur(l, a))
            Affiche(texteLambda.arg(l), QStringLiteral("A=") + spectro.StrAbs(a));
        GrapheSpectre.AfficheCroix(canevas, l, a);
        canevas.Detache();
        PaintBox->update();
        if (std::abs(X - debutPB) < 3 && DebutSE->isEnabled())
            PaintBox->setCursor(Qt::SizeHorCursor);
        else if (std::abs(X - finPB) < 3 && FinSE->isEnabled())
            PaintBox->setCursor(Qt::SizeHorCursor);
        else
            PaintBox->setCursor(Qt::ArrowCursor);
    }
}

void TSpectreMain::PaintBoxMouseUp(qint32 X, qint32 Y)
{
    PaintBox->Prepare();
    TraceBornes();
    const qint32 lambda = LambdaSouris(X, Y);
    if (curseur == curDebut && X < finPB - EcartSouris) {
        Spectre.ChangeDebut(Spectre.DebutLache(lambda));
        DebutSE->SetValue(spectro.DebutLambda);
    }
    if (curseur == curFin && X > debutPB + EcartSouris) {
        Spectre.ChangeFin(Spectre.FinLache(lambda));
        FinSE->SetValue(spectro.FinLambda);
    }
    curseur = curNormal;
    PaintBox->setCursor(Qt::ArrowCursor);
    MajBornes();
    Redessine();
}

TVueAxe TSpectreMain::LimitesLambda() const
{
    return {double(spectro.MiniLambda()), double(spectro.MaxiLambda)};
}

void TSpectreMain::PaintBoxMolette(qint32 X, qint32 Y, double crans)
{
    // The mapping is the last full repaint's.
    if (!PaintBox->Prepare())
        return;
    double lambda = 0;
    double a = 0;
    GrapheSpectre.MondeXY(X, Y, lambda, a);
    ZoomeLambda(lambda, crans);
}

void TSpectreMain::ZoomeLambda(double lambda, double crans)
{
    Zoom.Zoome(GrapheSpectre, lambda, crans, LimitesLambda(), Panneau->Superposition().Visibles());
    Redessine();
}

void TSpectreMain::AjusterAClick()
{
    if (!Zoom.AjusteA(GrapheSpectre, Panneau->Superposition().Visibles())) {
        Statut(QStringLiteral("Aucune absorbance affichée entre %1 et %2 nm")
                   .arg(qRound(GrapheSpectre.mondeX.mini))
                   .arg(qRound(GrapheSpectre.mondeX.maxi)));
        return;
    }
    Redessine();
}

void TSpectreMain::ToutVoirClick()
{
    Zoom.ToutVoir(GrapheSpectre, LimitesLambda());
    Panneau->AjusteAxe();
    Redessine();
}

// ---------------------------------------------------------------------------------------
// Files and sending

void TSpectreMain::SauveSpectreClick()
{
    const QString nom = Dialogues().FichierSauve(QStringLiteral("Enregistrer le spectre"),
                                                 QStringLiteral("Spectre (*.txt)|*.txt"), QStringLiteral("txt"), {});
    if (nom.isEmpty())
        return;
    Spectre.Sauve(nom, DateHeureCourante());
}

void TSpectreMain::FileOpenClick()
{
    if (!Spectre.PeutOuvrir())
        return;
    const QString nom = Dialogues().FichierOuvre(QStringLiteral("Ouvrir un spectre"),
                                                 QStringLiteral("Spectre (*.txt)|*.txt|Tous les fichiers (*)|*"), {});
    if (!nom.isEmpty())
        FileOpenAccept(nom);
}

void TSpectreMain::FileOpenAccept(const QString& nom)
{
    if (!Spectre.Ouvre(nom))
        return;
    Zoom.OublieA(GrapheSpectre);
    Panneau->NouveauCourant(QFileInfo(nom).completeBaseName(), spectro.DebutLambda, spectro.FinLambda);
    Redessine();
}

void TSpectreMain::RegSaveBtnClick()
{
    TConstanteDlg& dlg = *ConstanteDlg;
    TFormDDE& dde = *FormDDE;
    dlg.AddColPermis = oldDebut == spectro.DebutLambda && oldFin == spectro.FinLambda
                       && oldPas == spectro.pasLambda;
    if (!dlg.Montre())
        return;
    dde.EnvoieDonnees(GrapheSpectre.valeurY, spectro.DebutLambda, spectro.FinLambda);
    oldDebut = spectro.DebutLambda;
    oldFin = spectro.FinLambda;
    oldPas = spectro.pasLambda;
    Spectre.SauvegardeAfaire = false;
}

} // namespace kelvor
