#include "windows/kelvorcinet.h"

#include "exchange/csv.h"
#include "mesure/csvcinet.h"
#include "exchange/fichierkv3.h"
#include "exchange/textes.h"
#include "instrument/cfgspect.h"
#include "instrument/inifile.h"
#include "platform/pressepapier.h"
#include "util/dialogues.h"
#include "util/horloge.h"
#include "windows/aide.h"
#include "windows/boiteaoutils.h"
#include "windows/exportgraphe.h"
#include "windows/spinedit.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

namespace kelvor {

const QString TCinetiqueForm::MessageTablePleine =
    QStringLiteral("Le tableau des mesures est plein : l'acquisition est terminée.");

namespace {

// A widget that assistive technologies are told not to show.
class TAccessibleMasque : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

const char* const ProprieteMasque = "kelvorMasqueAccessible";

QAccessibleInterface* FabriqueMasque(const QString&, QObject* objet)
{
    if (!objet || !objet->isWidgetType() || !objet->property(ProprieteMasque).toBool())
        return nullptr;
    return new TAccessibleMasque(static_cast<QWidget*>(objet), QAccessible::NoRole);
}

void MasqueAccessibilite(QWidget* w)
{
    static const bool installee = [] {
        QAccessible::installFactory(FabriqueMasque);
        return true;
    }();
    Q_UNUSED(installee);
    w->setProperty(ProprieteMasque, true);
}

} // namespace

TSpinButton::TSpinButton(const QString& nom, QWidget* parent) : QWidget(parent)
{
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    Haut = new QToolButton(this);
    Bas = new QToolButton(this);
    Haut->setArrowType(Qt::UpArrow);
    Bas->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {Haut, Bas}) {
        b->setFixedSize(18, 11);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoRepeat(true);
        l->addWidget(b);
    }
    Haut->setAccessibleName(nom + QStringLiteral(" +"));
    Bas->setAccessibleName(nom + QStringLiteral(" -"));
    connect(Haut, &QToolButton::clicked, this, &TSpinButton::UpClick);
    connect(Bas, &QToolButton::clicked, this, &TSpinButton::DownClick);
}

TCinetiqueForm::TCinetiqueForm(TAppareil& appareil, QWidget* parent)
    : QWidget(parent, Qt::Window), Appareil(appareil)
{
    SetRoleAccessible(this, QAccessible::Window);
    Construit();
    FormCreate();
    AjouteAide(this, QStringLiteral("cinetique"));
}

TCinetiqueForm::~TCinetiqueForm()
{
    DetacheEnfants(this);
    Timer->stop();
    // The program ends (after the question about unsaved work): the run is given up.
    // A journal this window never opened nor took back stays for the next session.
    if (Journal.EstOuvert() || restaure_)
        Journal.Supprime();
}

void TCinetiqueForm::Construit()
{
    setWindowTitle(QStringLiteral("Cinétique avec Kelvor 5100"));
    // No fixed minimum: the layout's own keeps every control whole.
    if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QSize s = ecran->availableSize();
        setMaximumSize(std::max(550, s.width() - 20), std::max(120, s.height() - 20));
        resize(std::min(900, s.width() - 20), std::min(600, s.height() - 20));
    }

    auto* fond = new QVBoxLayout(this);
    fond->setContentsMargins(0, 0, 0, 0);
    fond->setSpacing(0);

    // Tool bar.
    auto* barre = new QWidget(this);
    barre->setAccessibleName(QStringLiteral("Barre d'outils"));
    auto* lb = new QHBoxLayout(barre);
    lb->setContentsMargins(4, 2, 4, 2);
    lb->setSpacing(2);
    const auto outil = [&](const QString& texte, const QString& conseil) {
        auto* b = new QToolButton(barre);
        b->setText(texte);
        b->setAccessibleName(QString(texte).remove('&'));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::StrongFocus);
        if (!conseil.isEmpty())
            Indication(b, conseil);
        lb->addWidget(b);
        return b;
    };
    SaveBtn = outil(QStringLiteral("&Sauver"), {});
    destinations_ = new TDestinations(SaveBtn);
    SaveMenu = destinations_->Menu;
    KurvalisM = destinations_->KurvalisM;
    ClipM = destinations_->ClipM;
    FileM = destinations_->FileM;
    RepereBtn = outil(QStringLiteral("&Repère"), QStringLiteral("|Placer un repère temporel"));
    ResetBtn = outil(QStringLiteral("Rà&Z"), QStringLiteral("|Remise à zéro de l'acquisition"));
    StopBtn = outil(QStringLiteral("St&op"), QStringLiteral("|Arrêt de l'acquisition"));
    ZeroBtnBis = outil(QStringLiteral("Zéro/&Blanc"),
                       QStringLiteral("|Mettre la cuve avec le solvant puis cliquer ici"));
    PrintBtn = outil(QStringLiteral("&Imprimer"), QStringLiteral("|Impression du graphe"));
    AjouteMenuImage(*PrintBtn, [this](TCanevas& canevas, const TRectangle& rect) {
        Tgraphe copie = GrapheMontre();     // the screen's graph keeps its layout
        try {
            DessineGraphe(canevas, rect, copie);
        } catch (const EErreurCalcul&) {
        }
    });
    ExitBtn = outil(QStringLiteral("&Quitter"), {});
    lb->addStretch(1);
    fond->addWidget(barre);

    // Top panel.
    auto* haut = new QWidget(this);
    auto* lh = new QHBoxLayout(haut);
    lh->setContentsMargins(6, 4, 6, 4);
    auto* labelLambda = new QLabel(QStringLiteral("&Lambda (nm)"), haut);
    LambdaSE = new TSpinEdit(haut);
    LambdaSE->setAccessibleName(QStringLiteral("Lambda (nm)"));
    labelLambda->setBuddy(LambdaSE);
    LabelDeltat = new TLecture(QStringLiteral("Intervalle Dt"), QString(), haut);
    LabelDeltat->setMinimumWidth(60);
    DeltatSB = new TSpinButton(QStringLiteral("Intervalle Dt"), haut);
    auto* labelDuree = new QLabel(QStringLiteral("&Durée"), haut);
    DureeEdit = new QLineEdit(haut);
    DureeEdit->setAccessibleName(QStringLiteral("Durée"));
    DureeEdit->setMaximumWidth(90);
    DureeEdit->setValidator(new TValidateurDuree(DureeEdit));
    DureeEdit->setToolTip(IndicationDuree);
    labelDuree->setBuddy(DureeEdit);
    DureeSpin = new TSpinButton(QStringLiteral("Durée"), haut);
    const auto panneau = [&](const QString& nom) {
        auto* p = new TLecture(nom, QStringLiteral("00:00:00"), haut);
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->setAlignment(Qt::AlignCenter);
        p->setMinimumWidth(80);
        return p;
    };
    PanelDuree = panneau(QStringLiteral("Temps écoulé"));
    PanelAbs = panneau(QStringLiteral("Dernière absorbance"));
    LectureS = new QWidget(haut);
    LectureS->setObjectName(QStringLiteral("LectureS"));
    SetRoleAccessible(LectureS, QAccessible::Indicator);
    LectureS->setAccessibleName(QStringLiteral("Lecture en cours"));
    LectureS->setFixedSize(40, 6);
    LectureS->setAttribute(Qt::WA_StyledBackground);
    LectureS->setStyleSheet(QStringLiteral("background-color: red; border-radius: 3px;"));
    LectureS->hide();
    // Only catches the space bar: out of the Tab order and unseen by screen readers,
    // which reach the large buttons themselves.
    EditBidon = new QLineEdit(haut);
    EditBidon->setFixedWidth(0);
    EditBidon->setFrame(false);
    EditBidon->setFocusPolicy(Qt::ClickFocus);
    MasqueAccessibilite(EditBidon);
    lh->addWidget(labelLambda);
    lh->addWidget(LambdaSE);
    lh->addSpacing(10);
    lh->addWidget(LabelDeltat);
    lh->addWidget(DeltatSB);
    lh->addSpacing(10);
    lh->addWidget(labelDuree);
    lh->addWidget(DureeEdit);
    lh->addWidget(DureeSpin);
    lh->addSpacing(10);
    lh->addWidget(PanelDuree);
    lh->addWidget(PanelAbs);
    lh->addWidget(LectureS);
    lh->addWidget(EditBidon);
    lh->addStretch(1);
    fond->addWidget(haut);

    // The three large buttons share one place; at most one shows.
    auto* grands = new QWidget(this);
    grands_ = grands;
    auto* lg = new QHBoxLayout(grands);
    lg->setContentsMargins(6, 2, 6, 2);
    const auto grand = [&](const QString& texte, const QString& conseil) {
        auto* b = new QPushButton(texte, grands);
        b->setAccessibleName(texte);
        b->setMinimumHeight(40);
        QFont f = b->font();
        f.setPointSizeF(f.pointSizeF() * 1.3);
        f.setBold(true);
        b->setFont(f);
        if (!conseil.isEmpty())
            Indication(b, conseil);
        lg->addWidget(b);
        return b;
    };
    LambdaBtn = grand(QStringLiteral("Choisir la longueur d'onde puis cliquer ici"),
                      QStringLiteral("|Validation de la longueur d'onde"));
    ZeroBtn = grand(QStringLiteral("Mettre la cuve avec le solvant puis cliquer ici"), {});
    StartBtn = grand(QStringLiteral("Mettre la cuve avec la solution puis cliquer ici"),
                     QStringLiteral("Démarrer|Lance l'acquisition"));
    fond->addWidget(grands);

    Oscillo = new TZoneImage(QStringLiteral("Graphe de l'absorbance en fonction du temps"), this);
    Oscillo->setMinimumHeight(20);
    Oscillo->Redessine = [this] { OscilloPaint(); };
    Oscillo->installEventFilter(this);
    auto* centre = new QHBoxLayout;
    centre->setSpacing(0);
    centre->addWidget(Oscillo, 1);
    ConstruitAnalyse(this);
    centre->addWidget(PanneauAnalyse);
    fond->addLayout(centre, 1);
    BarreEtat = BarreIndications(fond);

    // One shot re-armed to each due time: a coarse periodic timer may fire early.
    Timer = new QTimer(this);
    Timer->setSingleShot(true);
    Timer->setTimerType(Qt::PreciseTimer);

    connect(SaveBtn, &QToolButton::clicked, this, &TCinetiqueForm::SaveBtnClick);
    connect(destinations_, &TDestinations::Choix, this, &TCinetiqueForm::KurvalisMClick);
    connect(RepereBtn, &QToolButton::clicked, this, &TCinetiqueForm::RepereBtnClick);
    connect(ResetBtn, &QToolButton::clicked, this, &TCinetiqueForm::ResetBtnClick);
    connect(StopBtn, &QToolButton::clicked, this, &TCinetiqueForm::StopBtnClick);
    connect(ZeroBtnBis, &QToolButton::clicked, this, &TCinetiqueForm::ZeroBtnBisClick);
    connect(PrintBtn, &QToolButton::clicked, this, &TCinetiqueForm::PrintBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TCinetiqueForm::ExitItemClick);
    connect(LambdaBtn, &QPushButton::clicked, this, &TCinetiqueForm::LambdaBtnClick);
    connect(ZeroBtn, &QPushButton::clicked, this, &TCinetiqueForm::ZeroBtnClick);
    connect(StartBtn, &QPushButton::clicked, this, &TCinetiqueForm::StartBtnClick);
    connect(DeltatSB, &TSpinButton::UpClick, this, &TCinetiqueForm::DeltatSBUpClick);
    connect(DeltatSB, &TSpinButton::DownClick, this, &TCinetiqueForm::DeltatSBDownClick);
    connect(DureeSpin, &TSpinButton::UpClick, this, &TCinetiqueForm::DureeSpinUpClick);
    connect(DureeSpin, &TSpinButton::DownClick, this, &TCinetiqueForm::DureeSpinDownClick);
    connect(Timer, &QTimer::timeout, this, &TCinetiqueForm::TimerTimer);
    DureeEdit->installEventFilter(this);
    EditBidon->installEventFilter(this);
}

void TCinetiqueForm::FormCreate()
{
    Tspectro& spectro = Spectro();
    Graphe.NbreCourbe = 1;
    Graphe.Trace = tCinet;

    Cinetique.DeltatMesure = 3;
    DejaSauve = false;
    Cinetique.InstantDebut = Horloge().HeureDuJour();
    Cinetique.DureeMesure = 120;
    AfficheDuree();
    LabelDeltat->setText(QStringLiteral("Dt=%1 s").arg(Cinetique.DeltatMesure));

    Graphe.mondeX.nom = QStringLiteral("t");
    Graphe.mondeX.signif = QStringLiteral("temps");
    Graphe.mondeX.unite = QStringLiteral("s");
    Graphe.mondeY.nom = QStringLiteral("A");
    Graphe.mondeY.signif = QStringLiteral("Absorbance");
    Graphe.mondeY.unite.clear();
    Graphe.SetMonde(0, 0, Cinetique.DureeMesure, spectro.MaxiAbs);

    LambdaSE->SetMinValue(spectro.MiniLambda());
    LambdaSE->SetMaxValue(spectro.MaxiLambda);
    LambdaSE->SetValue(500);

    TReglagesCinetique r;
    try {
        Cinetique.LitReglages(TIniFile(CheminReglages()), r);
    } catch (...) {
        // An unreadable file keeps what was read so far.
    }
    destinations_->Coche(r.Kurvalis, r.Clip, r.Fichier);
    LambdaSE->SetValue(r.Lambda);
    AfficheDuree();
    LabelDeltat->setText(QStringLiteral("Dt=%1 s").arg(Cinetique.DeltatMesure));

    connect(LambdaSE, &TSpinEdit::Change, this, &TCinetiqueForm::LambdaSEChange);
    SetEtatAcq(eaReglageLambda);
}

void TCinetiqueForm::ConstruitAnalyse(QWidget* parent)
{
    PanneauAnalyse = new QWidget(parent);
    PanneauAnalyse->setAccessibleName(QStringLiteral("Panneau d'analyse"));
    PanneauAnalyse->setFixedWidth(340);
    auto* l = new QVBoxLayout(PanneauAnalyse);
    l->setContentsMargins(6, 4, 6, 4);
    const auto etiquette = [&](const QString& texte, QWidget* pour) {
        auto* e = new QLabel(texte, PanneauAnalyse);
        e->setBuddy(pour);
        pour->setAccessibleName(QString(texte).remove('&').remove(QLatin1String(" :")));
        l->addWidget(e);
        l->addWidget(pour);
    };
    PlageCB = new QComboBox(PanneauAnalyse);
    etiquette(QStringLiteral("&Plage analysée :"), PlageCB);
    PlageCB->setToolTip(QStringLiteral("Une plage se choisit aussi en glissant la souris sur le graphe"));
    AInfZeroCB = new QCheckBox(QStringLiteral("A∞ &fixé à 0"), PanneauAnalyse);
    AInfZeroCB->setAccessibleName(QStringLiteral("A∞ fixé à 0"));
    l->addWidget(AInfZeroCB);
    VitesseSE = new QSpinBox(PanneauAnalyse);
    VitesseSE->setRange(3, 100);
    VitesseSE->setValue(5);
    etiquette(QStringLiteral("Points pour la &vitesse initiale :"), VitesseSE);
    TraceCB = new QComboBox(PanneauAnalyse);
    TraceCB->addItems({QStringLiteral("A et meilleur ajustement"), QStringLiteral("Ordre 0 : A"),
                       QStringLiteral("Ordre 1 : ln(A − A∞)"), QStringLiteral("Ordre 2 : 1/(A − A∞)")});
    etiquette(QStringLiteral("&Tracé :"), TraceCB);
    AnalyseLabel = new QLabel(PanneauAnalyse);
    AnalyseLabel->setAccessibleName(QStringLiteral("Analyse cinétique"));
    AnalyseLabel->setWordWrap(true);
    AnalyseLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    AnalyseLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AnalyseLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    AnalyseLabel->setFocusPolicy(Qt::StrongFocus);
    l->addWidget(AnalyseLabel, 1);
    ExporteBtn = new QPushButton(QStringLiteral("&Exporter CSV…"), PanneauAnalyse);
    ExporteBtn->setAccessibleName(QStringLiteral("Exporter CSV…"));
    CopieAnalyseBtn = new QPushButton(QStringLiteral("&Copier l'analyse"), PanneauAnalyse);
    CopieAnalyseBtn->setAccessibleName(QStringLiteral("Copier l'analyse"));
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(ExporteBtn);
    boutons->addWidget(CopieAnalyseBtn);
    l->addLayout(boutons);
    PanneauAnalyse->hide();

    connect(PlageCB, &QComboBox::currentIndexChanged, this, &TCinetiqueForm::Analyser);
    connect(AInfZeroCB, &QCheckBox::toggled, this, &TCinetiqueForm::Analyser);
    connect(VitesseSE, &QSpinBox::valueChanged, this, &TCinetiqueForm::Analyser);
    connect(TraceCB, &QComboBox::currentIndexChanged, this, &TCinetiqueForm::Analyser);
    connect(ExporteBtn, &QPushButton::clicked, this, &TCinetiqueForm::ExporteCsvClick);
    connect(CopieAnalyseBtn, &QPushButton::clicked, this, &TCinetiqueForm::CopieAnalyseClick);
}

void TCinetiqueForm::AfficheDuree()
{
    DureeEdit->setText(TexteDuree(Cinetique.DureeMesure));
}

void TCinetiqueForm::SetEtatAcq(TEtatAcquisition etat)
{
    Cinetique.EtatAcq = etat;
    const TControlesCinetique c = ControlesEtat(etat);
    LambdaBtn->setVisible(c.LambdaBtn);
    ZeroBtn->setVisible(c.ZeroBtn);
    StartBtn->setVisible(c.StartBtn);
    grands_->setVisible(c.LambdaBtn || c.ZeroBtn || c.StartBtn);
    StopBtn->setVisible(c.StopBtn);
    ResetBtn->setVisible(c.ResetBtn);
    SaveBtn->setVisible(c.SaveBtn);
    ExitBtn->setVisible(c.ExitBtn);
    ZeroBtnBis->setVisible(c.ZeroBtnBis);
    RepereBtn->setEnabled(c.RepereBtn);
    LambdaSE->setEnabled(c.LambdaSE);
    PanelDuree->setVisible(c.Panneaux);
    PanelAbs->setVisible(c.Panneaux);
    // Entering eaEnCours, the first reading (StartBtnClick) arms the timer.
    if (!c.Timer)
        Timer->stop();
    // The space bar drives the large button that shows, but a wavelength being typed
    // keeps its field (the change itself brings us back here).
    if ((c.LambdaBtn || c.ZeroBtn || c.StartBtn) && isActiveWindow()
        && !LambdaSE->isAncestorOf(QApplication::focusWidget()) && !LambdaSE->hasFocus())
        EditBidon->setFocus();

    PanneauAnalyse->setVisible(etat == eaTerminee);
    if (etat == eaTerminee) {
        const double m = MaxiOrdonneeFin(Graphe.valeurY, Graphe.NbrePoints, Spectro().MaxiAbs);
        Graphe.SetMonde(0, 0, Cinetique.DureeMesure, m);
        MajPanneauAnalyse();
    }
}

void TCinetiqueForm::VideTextes()
{
    PanelDuree->clear();
    PanelAbs->clear();
}

void TCinetiqueForm::InitAttente()
{
    Timer->stop();
    AfficheDuree();
    LabelDeltat->setText(QStringLiteral("%1 s").arg(Cinetique.DeltatMesure));
    Graphe.Reset();
    Graphe.mondeX.maxi = Cinetique.DureeMesure;
    Graphe.mondeY.maxi = Spectro().MaxiAbs;
    Cinetique.PrepareAbscisses();
    VideTextes();
    OscilloPaint();
    SetEtatAcq(eaAttente);
}

void TCinetiqueForm::LambdaBtnClick()
{
    if (EtatAcq() != eaReglageLambda || Appareil.EchangeEnCours())
        return;
    LambdaBtn->hide();
    ZeroBtn->hide();
    StartBtn->hide();
    try {
        TSablier s;
        Appareil.GotoLambda(LambdaSE->Value());
    } catch (...) {
        SetEtatAcq(EtatAcq());      // the button comes back for another try
        throw;
    }
    SetEtatAcq(eaReglageZero);
}

void TCinetiqueForm::ZeroBtnClick()
{
    // A second click during the exchange must not start a blank inside the blank.
    if (EtatAcq() != eaReglageZero || Appareil.EchangeEnCours())
        return;
    Appareil.SetBlancProc();
    InitAttente();
}

void TCinetiqueForm::ZeroBtnBisClick()
{
    // A blank nested inside a reading would hand that reading a stale absorbance.
    if (Appareil.EchangeEnCours()) {
        Dialogues().Bip();
        return;
    }
    Appareil.SetBlancProc();
    ApresEchange();
}

void TCinetiqueForm::StartBtnClick()
{
    if (EtatAcq() != eaAttente)
        return;
    ++numeroRun_;
    erreurSignalee_ = false;
    journalSignale_ = false;
    restaure_ = false;
    selection_ = false;
    {
        const QSignalBlocker bloque(TraceCB);
        TraceCB->setCurrentIndex(0);
    }
    Cinetique.Demarre();
    DejaSauve = false;
    debutRun_ = QDateTime::currentDateTime();
    JournalEcrit(Journal.Commence(debutRun_, LambdaSE->Value(), Cinetique.DeltatMesure,
                                  Cinetique.DureeMesure));
    // The ordinate starts at the end-of-run floor and grows with the readings.
    Graphe.SetMonde(0, 0, Cinetique.DureeMesure, 1);
    OscilloPaint();
    SetEtatAcq(eaEnCours);
    TimerTimer();
}

void TCinetiqueForm::JournalEcrit(bool ok)
{
    if (ok || journalSignale_)
        return;
    journalSignale_ = true;
    Dialogues().Message(QStringLiteral("Le fichier de récupération ne peut être écrit (%1) : "
                                       "l'acquisition continue sans lui.")
                            .arg(Journal.Erreur()));
}

void TCinetiqueForm::SupprimeJournal()
{
    if (!Journal.Supprime())
        Dialogues().Message(QStringLiteral("Le fichier de récupération %1 ne peut être supprimé (%2).")
                                .arg(Journal.Chemin(), Journal.Erreur()));
}

void TCinetiqueForm::ArmeTimer()
{
    if (EtatAcq() == eaEnCours)
        Timer->start(int(std::min<qint64>(Cinetique.MsAvantLecture(), INT_MAX)));
}

void TCinetiqueForm::TimerTimer()
{
    if (EtatAcq() != eaEnCours || lectureEnCours_)
        return;
    // Never early: a timer that comes before the due time waits for the rest.
    if (Cinetique.MsAvantLecture() > 0) {
        ArmeTimer();
        return;
    }
    const qint32 instant = Cinetique.LectureDemandee();
    // A due time that finds another exchange under way is skipped, never nested.
    if (Appareil.EchangeEnCours()) {
        ArmeTimer();
        return;
    }
    lectureEnCours_ = true;
    const quint64 run = numeroRun_;
    LectureS->show();
    LectureS->repaint();
    double a = PasDeValeur();
    QString erreur;
    try {
        a = Appareil.getAbsorbance();
    } catch (const std::exception& e) {
        // Reported once per run: the next readings would otherwise pile up boxes.
        if (!erreurSignalee_) {
            erreurSignalee_ = true;
            erreur = QString::fromUtf8(e.what());
        }
    }
    lectureEnCours_ = false;
    LectureS->hide();
    // A run discarded (RàZ, a short Stop) or restarted while waiting does not get a
    // reading taken for the one before; a run stopped and kept does.
    if (run == numeroRun_) {
        absC = a;
        if (!std::isnan(absC))
            AjoutePoint(instant);
    }
    ArmeTimer();
    if (!erreur.isEmpty())
        Dialogues().Message(erreur);
    ApresEchange();
}

void TCinetiqueForm::AjoutePoint(qint32 instant)
{
    const qint32 n = Graphe.NbrePoints;
    const TCinetique::TAjout r = Cinetique.AjoutePoint(absC, instant);
    if (r == TCinetique::ajIgnore)
        return;
    PanelDuree->setText(TexteDuree(Cinetique.SecondesEcoulees()));
    PanelAbs->setText(QLocale().toString(absC, 'f', 3));
    DecritGraphe();
    if (Journal.EstOuvert())
        JournalEcrit(Journal.AjoutePoint(n, Graphe.valeurX[n], Graphe.valeurY[n]));
    if (EtendOrdonnee(absC, Graphe.mondeY.mini, Graphe.mondeY.maxi))
        OscilloPaint();
    else
        Oscillo->DessineDans(canevas_, [&] { Graphe.TracePointCinet(canevas_, static_cast<IndiceVecteur>(n)); });
    if (r == TCinetique::ajTermine) {
        SetEtatAcq(eaTerminee);
    } else if (r == TCinetique::ajPlein) {
        SetEtatAcq(eaTerminee);
        Dialogues().Message(MessageTablePleine);
    }
}

void TCinetiqueForm::StopBtnClick()
{
    if (EtatAcq() != eaEnCours)
        return;
    if (RunAbandonne(Graphe.NbrePoints, Cinetique.NbreMax))
        ResetBtnClick();
    else
        SetEtatAcq(eaTerminee);
}

void TCinetiqueForm::ResetBtnClick()
{
    ++numeroRun_;
    SupprimeJournal();
    Graphe.NbrePoints = 0;
    Graphe.ListeRepere.clear();
    OscilloPaint();
    // A run taken back from a journal was measured in another session: wavelength and
    // blank are to be set again before a new one.
    if (restaure_) {
        restaure_ = false;
        SetEtatAcq(eaReglageLambda);
    } else {
        SetEtatAcq(eaAttente);
    }
    VideTextes();
}

void TCinetiqueForm::RepereBtnClick()
{
    if (EtatAcq() != eaEnCours)
        return;
    reperesEnAttente_.push_back({numeroRun_, Cinetique.SecondesEcoulees()});
    OuvreReperes();
}

void TCinetiqueForm::ApresEchange()
{
    if (!reperesEnAttente_.empty())
        QMetaObject::invokeMethod(this, &TCinetiqueForm::OuvreReperes, Qt::QueuedConnection);
}

void TCinetiqueForm::OuvreReperes()
{
    // Opened inside an exchange's wait, the box's own loop would hold that wait, and
    // every reading after it, until it closes: it waits for the exchange to end instead.
    // Readings go on inside the box's loop, each at its due time.
    while (!Appareil.EchangeEnCours() && !saisieOuverte_ && !reperesEnAttente_.empty()) {
        const TRepereDemande d = reperesEnAttente_.front();
        reperesEnAttente_.pop_front();
        QString texte;
        saisieOuverte_ = true;
        // Cancelling still places the marker, without a text.
        if (!Dialogues().Saisie(QStringLiteral("Création d'un repère"),
                                QStringLiteral("Signification"), texte))
            texte.clear();
        saisieOuverte_ = false;
        if (d.run == numeroRun_) {
            Graphe.AjouteRepere(d.instant, texte);
            Oscillo->DessineDans(canevas_, [&] { Graphe.TraceRepere(canevas_, Graphe.ListeRepere.back()); });
            if (Journal.EstOuvert())
                JournalEcrit(Journal.AjouteRepere(d.instant, texte));
            if (EtatAcq() == eaTerminee)
                MajPanneauAnalyse();    // a new span to offer
        }
    }
}

void TCinetiqueForm::PrintBtnClick()
{
    Graphe.Imprime();
    OscilloPaint();
}

void TCinetiqueForm::ExitItemClick()
{
    Appareil.SetMode(mSpectre);
    close();
}

void TCinetiqueForm::LambdaSEChange()
{
    const TEtatAcquisition e = EtatAcq();
    if (e == eaReglageLambda || e == eaReglageZero || e == eaAttente)
        SetEtatAcq(eaReglageLambda);
}

void TCinetiqueForm::MajNbreMax()
{
    Cinetique.MajNbreMax();
    AfficheDuree();
    LabelDeltat->setText(QStringLiteral("%1 s").arg(Cinetique.DeltatMesure));
    Graphe.mondeX.maxi = Cinetique.DureeMesure;
    if (!lectureEnCours_)
        ArmeTimer();    // a running grid goes on at the new pace
    if (EtatAcq() == eaEnCours && Journal.EstOuvert())
        JournalEcrit(Journal.AjouteReglages(Cinetique.DeltatMesure, Cinetique.DureeMesure));
    OscilloPaint();
}

void TCinetiqueForm::DeltatSBUpClick()
{
    if (Cinetique.DeltatPlus())
        MajNbreMax();
}

void TCinetiqueForm::DeltatSBDownClick()
{
    if (Cinetique.DeltatMoins())
        MajNbreMax();
}

void TCinetiqueForm::DureeSpinUpClick()
{
    const qint32 avant = Graphe.NbrePoints;
    Cinetique.DureePlus();
    if (Graphe.NbrePoints != avant && Journal.EstOuvert())
        JournalEcrit(Journal.AjouteDivision());
    MajNbreMax();
}

void TCinetiqueForm::DureeSpinDownClick()
{
    Cinetique.DureeMoins();
    MajNbreMax();
}

void TCinetiqueForm::DureeEditExit()
{
    if (!DureeEdit->hasAcceptableInput()) {
        BarreEtat->showMessage(IndicationDuree, 5000);
        AfficheDuree();
        return;
    }
    const qint32 secondes = DureeToSecondes(DureeEdit->text());
    if (Cinetique.SetDuree(secondes))
        MajNbreMax();
    else if (secondes != Cinetique.DureeMesure)
        AfficheDuree();     // beyond the bound: show the duration that holds
}

void TCinetiqueForm::DecritGraphe()
{
    Oscillo->setAccessibleDescription(QStringLiteral("Cinétique à %1 nm, %2 points")
                                          .arg(LambdaSE->Value())
                                          .arg(Cinetique.NbrePoints()));
}

Tgraphe& TCinetiqueForm::GrapheMontre()
{
    return VueLineaire() ? GrapheLineaire : Graphe;
}

void TCinetiqueForm::DessineGraphe(TCanevas& canevas, const TRectangle& rect, Tgraphe& g)
{
    DecritGraphe();
    g.Draw({canevas, rect});
    TraceAnalyse(canevas, g);
}

void TCinetiqueForm::OscilloPaint()
{
    if (!Oscillo->Attache(canevas_))
        return;
    const QSize taille = Oscillo->Image().size();
    try {
        DessineGraphe(canevas_, TRectangle{0, 0, taille.width(), taille.height()}, GrapheMontre());
    } catch (const EErreurCalcul&) {
        // Limits are kept apart by this window; a failed layout leaves the last picture.
    }
    canevas_.Detache();
    // The span being dragged or analysed, as a light band behind nothing else.
    qint32 x1 = glisseDebut_, x2 = glisseFin_;
    if (x1 < 0 && selection_ && PlageCB && PlageCB->currentIndex() == PlageCB->count() - 1 && !VueLineaire()) {
        qint32 y;
        Graphe.WindowXY(selT1_, 0, x1, y);
        Graphe.WindowXY(selT2_, 0, x2, y);
    }
    if (x1 >= 0 && x2 >= 0 && x1 != x2) {
        QPainter p(&Oscillo->image);
        const TRectangle& z = Graphe.LimiteCourbe;
        p.fillRect(QRect(QPoint(std::min(x1, x2), z.Top), QPoint(std::max(x1, x2), z.Bottom)),
                   QColor(0, 90, 200, 40));
    }
    Oscillo->update();
}

// ---------------------------------------------------------------------------------------
// Analysis of a finished run

bool TCinetiqueForm::VueLineaire() const
{
    return TraceCB && EtatAcq() == eaTerminee && TraceCB->currentIndex() > 0;
}

void TCinetiqueForm::MajPanneauAnalyse()
{
    plages_ = PlagesAnalyse(Graphe.valeurX, Graphe.NbrePoints, Graphe.ListeRepere);
    {
        const QSignalBlocker bloque(PlageCB);
        const int avant = PlageCB->currentIndex();
        PlageCB->clear();
        for (const TPlageProposee& p : plages_)
            PlageCB->addItem(p.nom);
        if (selection_)
            PlageCB->addItem(QStringLiteral("Sélection sur le graphe (%1 s à %2 s)")
                                 .arg(QLocale().toString(selT1_, 'f', 0), QLocale().toString(selT2_, 'f', 0)));
        PlageCB->setCurrentIndex(selection_ ? PlageCB->count() - 1
                                            : std::clamp(avant, 0, int(plages_.size()) - 1));
    }
    Analyser();
}

void TCinetiqueForm::Analyser()
{
    if (EtatAcq() != eaTerminee)
        return;
    const int i = PlageCB->currentIndex();
    double t1 = 0, t2 = 0;
    if (i >= 0 && i < plages_.size()) {
        t1 = plages_[i].t1;
        t2 = plages_[i].t2;
    } else if (selection_) {
        t1 = selT1_;
        t2 = selT2_;
    }
    const TOptionsAnalyse options{!AInfZeroCB->isChecked(), VitesseSE->value()};
    plage_ = PlageTemps(Graphe.valeurX, Graphe.NbrePoints, t1, t2);
    Analyse = AnalysePlage(Graphe.valeurX, Graphe.valeurY, Graphe.NbrePoints, t1, t2, options);
    const QString texte = LignesAnalyseCinet(Analyse).join('\n');
    AnalyseLabel->setText(texte);
    AnalyseLabel->setAccessibleDescription(texte);
    PrepareLineaire();
    OscilloPaint();
}

void TCinetiqueForm::PrepareLineaire()
{
    serie_ = {};
    if (TraceCB->currentIndex() <= 0)
        return;
    const auto ordre = static_cast<TOrdreCinet>(TraceCB->currentIndex() - 1);
    const auto n = size_t(plage_.Nombre());
    serie_ = SerieLineaire(Analyse, ordre, std::span<const double>(Graphe.valeurX.data() + plage_.debut, n),
                           std::span<const double>(Graphe.valeurY.data() + plage_.debut, n));
    Tgraphe& g = GrapheLineaire;
    g.Reset();
    g.Trace = tCinet;
    g.NbrePoints = qint32(std::min<qsizetype>(serie_.points.size(), NbrePointsMaxi));
    double x1 = Analyse.tDebut, x2 = Analyse.tFin, y1 = 0, y2 = 0;
    for (qint32 k = 0; k < g.NbrePoints; ++k) {
        g.valeurX[k] = serie_.points[k].x();
        g.valeurY[k] = serie_.points[k].y();
        y1 = k ? std::min(y1, g.valeurY[k]) : g.valeurY[k];
        y2 = k ? std::max(y2, g.valeurY[k]) : g.valeurY[k];
    }
    const double marge = y2 > y1 ? (y2 - y1) * 0.08 : 0.5;
    if (!(x2 > x1))
        x2 = x1 + 1;
    g.mondeX.nom = QStringLiteral("t");
    g.mondeX.unite = QStringLiteral("s");
    g.mondeX.signif = QStringLiteral("temps");
    g.mondeY.nom = serie_.nomY;
    g.mondeY.unite.clear();
    g.mondeY.signif = serie_.nomY;
    g.SetMonde(x1, y1 - marge, x2, y2 + marge);
}

void TCinetiqueForm::TraceAnalyse(TCanevas& canevas, Tgraphe& g)
{
    if (EtatAcq() != eaTerminee)
        return;
    constexpr QRgb bleu = 0xFF0050C8;
    if (VueLineaire()) {
        if (serie_.points.isEmpty())
            return;
        const auto ordre = static_cast<TOrdreCinet>(TraceCB->currentIndex() - 1);
        const double t0 = Analyse.Ajustement(ordre).t0;
        const TSerieLineaire s = serie_;
        TraceFonction(canevas, g, [s, t0](double t) { return s.ordonnee + s.pente * (t - t0); },
                      Analyse.tDebut, Analyse.tFin, bleu);
    } else if (const TAjustementCinet* m = Analyse.Meilleur()) {
        const TAjustementCinet f = *m;
        TraceFonction(canevas, g, [f](double t) { return f.Modele(t); }, Analyse.tDebut, Analyse.tFin, bleu);
    }
}

void TCinetiqueForm::SelectionneTemps(double t1, double t2)
{
    Ordonne(t1, t2);
    selT1_ = t1;
    selT2_ = t2;
    selection_ = true;
    MajPanneauAnalyse();
}

bool TCinetiqueForm::GlisseSouris(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    const auto* souris = static_cast<QMouseEvent*>(event);
    const qint32 x = qRound(souris->position().x());
    if (type == QEvent::MouseButtonPress) {
        if (souris->button() != Qt::LeftButton || EtatAcq() != eaTerminee || VueLineaire())
            return false;
        glisseDebut_ = glisseFin_ = x;
        return true;
    }
    if (glisseDebut_ < 0)
        return false;
    glisseFin_ = x;
    if (type == QEvent::MouseMove) {
        OscilloPaint();
        return true;
    }
    const qint32 debut = glisseDebut_;
    glisseDebut_ = glisseFin_ = -1;
    // A click is not a span.
    if (std::abs(x - debut) < 4) {
        OscilloPaint();
        return true;
    }
    double t1, t2, y;
    Graphe.MondeXY(debut, 0, t1, y);
    Graphe.MondeXY(x, 0, t2, y);
    SelectionneTemps(t1, t2);
    return true;
}

TRunCinetique TCinetiqueForm::RunCourant() const
{
    TRunCinetique run;
    run.Debut = debutRun_;
    run.Lambda = LambdaSE->Value();
    run.Deltat = Cinetique.DeltatMesure;
    run.Duree = Cinetique.DureeMesure;
    run.x = Graphe.valeurX;
    run.y = Graphe.valeurY;
    run.n = Graphe.NbrePoints;
    run.Reperes = Graphe.ListeRepere;
    return run;
}

void TCinetiqueForm::ExporteCsvClick()
{
    if (EtatAcq() != eaTerminee)
        return;
    QString nom = Dialogues().FichierSauve(QStringLiteral("Exporter pour un tableur"), FiltreCsv,
                                           QStringLiteral("csv"), {});
    if (nom.isEmpty())
        return;
    nom = NomFichierCsv(nom);
    if (!EcritFichierOctets(nom, CsvCinetique(RunCourant(), &Analyse)))
        Dialogues().Message(QStringLiteral("Erreur d'écriture du fichier"));
}

void TCinetiqueForm::CopieAnalyseClick()
{
    if (EtatAcq() == eaTerminee)
        CopiePressePapier(TexteBloc(LignesCopieAnalyse(RunCourant(), Analyse)));
}

// ---------------------------------------------------------------------------------------
// Recovery after a crash

void TCinetiqueForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!recuperationVue_) {
        recuperationVue_ = true;
        // Once the window is on screen, so the question comes over it.
        QMetaObject::invokeMethod(this, &TCinetiqueForm::ProposeRecuperation, Qt::QueuedConnection);
    }
}

void TCinetiqueForm::ProposeRecuperation()
{
    // A run begun meanwhile writes the journal itself.
    if (numeroRun_ != 0 || Journal.EstOuvert())
        return;
    if (!QFile::exists(Journal.Chemin()))
        return;
    const std::optional<TRunCinetique> run = Journal.Recuperable();
    if (!run) {
        SupprimeJournal();      // not a single reading to give back
        return;
    }
    if (Dialogues().Confirme(TexteOffreRecuperation(*run), TDialogues::bOuiNon))
        Restaure(*run);
    else
        SupprimeJournal();
}

void TCinetiqueForm::Restaure(const TRunCinetique& run)
{
    Timer->stop();
    ++numeroRun_;
    Graphe.Reset();
    {
        // Setting the wavelength is not a change made by the user.
        const QSignalBlocker bloque(LambdaSE);
        LambdaSE->SetValue(run.Lambda);
    }
    Cinetique.Restaure(run);
    Graphe.ListeRepere = run.Reperes;
    Graphe.mondeX.maxi = Cinetique.DureeMesure;
    debutRun_ = run.Debut;
    DejaSauve = false;
    restaure_ = true;
    selection_ = false;
    AfficheDuree();
    LabelDeltat->setText(QStringLiteral("%1 s").arg(Cinetique.DeltatMesure));
    VideTextes();
    SetEtatAcq(eaTerminee);
}

ListeReperes TCinetiqueForm::Reperes() const
{
    ListeReperes l;
    for (const Trepere& r : Graphe.ListeRepere)
        l.push_back({r.Valeur, r.Text});
    return l;
}

void TCinetiqueForm::SaveBtnClick()
{
    if (KurvalisM->isChecked() && ConfirmeEnvoi(FormDDE)) {
        DejaSauve = true;
        CopieDonnees(true);
    }
    if (ClipM->isChecked()) {
        DejaSauve = true;
        CopieDonnees(false);
    }
    if (FileM->isChecked())
        SauveFichier();
    if (DejaSauve)
        SupprimeJournal();
}

void TCinetiqueForm::KurvalisMClick(QAction* item)
{
    destinations_->Choisit(item);
    SaveBtnClick();
}

void TCinetiqueForm::CopieDonnees(bool envoyer)
{
    EnvoieTable(FormDDE,
                BlocCinetique(ExecutableEnvoi(FormDDE), DateHeureCourante(),
                              ValeursParametres(FormDDE), Graphe.valeurX, Graphe.valeurY,
                              Graphe.NbrePoints, Reperes()),
                envoyer);
}

void TCinetiqueForm::SauveFichier()
{
    const QString nom = ChoisitFichierDonnees(NomFichierData);
    if (nom.isEmpty())
        return;
    FormatKV3 = EstNomKV3(nom);
    NomFichierData = nom;
    const TValeursConstante c = ValeursParametres(FormDDE);
    const QString instrument = Spectro().NomConstructeur();
    QStringList lignes;
    if (FormatKV3) {
        lignes = EnteteKV3Cinetique(QCoreApplication::applicationFilePath(), c)
                 + PageKV3Cinetique(c, instrument, DateHeureCourante(), Graphe.valeurX,
                                    Graphe.valeurY, Graphe.NbrePoints, Reperes());
    } else {
        lignes = EnteteTexteCinetique(instrument)
                 + PageTexteCinetique(c, Graphe.valeurX, Graphe.valeurY, Graphe.NbrePoints,
                                      Reperes());
    }
    // Only a file written to its end counts as saved: a failed write must still
    // bring the question when the window closes.
    if (EcritFichierLignes(nom, lignes))
        DejaSauve = true;
    else
        Dialogues().Message(QStringLiteral("Erreur d'écriture du fichier"));
}

bool TCinetiqueForm::TravailNonSauve() const
{
    return EtatAcq() == eaEnCours || (EtatAcq() == eaTerminee && !DejaSauve);
}

void TCinetiqueForm::FormClose()
{
    if (EtatAcq() == eaEnCours)
        StopBtnClick();
    ProposeSauvegarde(EtatAcq() == eaTerminee && !DejaSauve, [this] { SaveBtnClick(); });
    try {
        TIniFile ini(CheminReglages());
        TReglagesCinetique r;
        r.Kurvalis = KurvalisM->isChecked();
        r.Clip = ClipM->isChecked();
        r.Fichier = FileM->isChecked();
        r.Lambda = LambdaSE->Value();
        Cinetique.EcritReglages(ini, r);
        ini.UpdateFile();
    } catch (...) {
        // Settings that cannot be written are not worth a message at close.
    }
    Timer->stop();
}

void TCinetiqueForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    // Hidden, never destroyed: the last run stays until the program ends.
    event->accept();
}

bool TCinetiqueForm::event(QEvent* event)
{
    if (AfficheIndication(event, BarreEtat))
        return true;
    return QWidget::event(event);
}

bool TCinetiqueForm::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == Oscillo)
        return GlisseSouris(event) || QWidget::eventFilter(objet, event);
    if (event->type() == QEvent::FocusOut && objet == DureeEdit) {
        DureeEditExit();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(objet, event);
    auto* touche = static_cast<QKeyEvent*>(event);
    const QString texte = touche->text();
    if (touche->key() == Qt::Key_Tab || touche->key() == Qt::Key_Backtab)
        return false;
    if (objet == EditBidon) {
        if (texte == QLatin1String(" ")) {
            for (QPushButton* b : {LambdaBtn, ZeroBtn, StartBtn})
                if (b->isVisibleTo(this)) {
                    b->click();
                    break;
                }
        }
        return !texte.isEmpty();
    }
    if (objet == DureeEdit) {
        if (touche->key() == Qt::Key_Enter || touche->key() == Qt::Key_Return) {
            DureeEditExit();
            return true;
        }
        // A character the field refuses says why instead of vanishing silently.
        if (texte.size() == 1 && texte[0].isPrint()) {
            QString essai = DureeEdit->text();
            const int debut = DureeEdit->hasSelectedText() ? DureeEdit->selectionStart()
                                                           : DureeEdit->cursorPosition();
            essai.replace(debut, DureeEdit->selectedText().size(), texte);
            int pos = debut + 1;
            if (DureeEdit->validator()->validate(essai, pos) == QValidator::Invalid)
                BarreEtat->showMessage(IndicationDuree, 5000);
        }
    }
    return QWidget::eventFilter(objet, event);
}

} // namespace kelvor
