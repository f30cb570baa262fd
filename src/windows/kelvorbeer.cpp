#include "windows/kelvorbeer.h"

#include "exchange/textes.h"
#include "instrument/inifile.h"
#include "windows/aide.h"
#include "windows/boiteaoutils.h"
#include "windows/exportgraphe.h"
#include "windows/modebeer.h"
#include "windows/spinedit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kelvor {

namespace {

// Hints go to the status line only: this window shows no tool tips.
void Conseil(QWidget* w, const QString& longue)
{
    Indication(w, longue, buSans);
}

// Widths of the right panel: two columns, or three with the uncertainties.
constexpr int LargeurDroite = 151;
constexpr int LargeurDroiteEtalonnage = 290;
// Column of the unknowns grid that shows "c ± u".
constexpr int ColonneIncertitude = 2;

QTableWidget* Grille(int rangs, QWidget* parent, int colonnes = 2)
{
    auto* g = new QTableWidget(rangs, colonnes, parent);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    g->verticalHeader()->setDefaultSectionSize(20);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setTabKeyNavigation(false);
    return g;
}

// Writes a cell; only the first column of the measurement grid can be selected.
void Cellule(QTableWidget* g, int rang, int colonne, const QString& texte, bool selectionnable,
             const QColor& couleur = QColor())
{
    QTableWidgetItem* item = g->item(rang, colonne);
    if (!item) {
        item = new QTableWidgetItem;
        g->setItem(rang, colonne, item);
    }
    item->setText(texte);
    item->setFlags(selectionnable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
    if (couleur.isValid())
        item->setForeground(couleur);
}

} // namespace

TBeerForm::TBeerForm(TAppareil& appareil, QWidget* parent)
    : QWidget(parent, Qt::Window), Serie(appareil), Appareil(appareil)
{
    SetRoleAccessible(this, QAccessible::Window);

    Construit();
    AjouteAide(this, QStringLiteral("beer-lambert"));

    Graphe.Trace = tCinet;
    Graphe.NbreCourbe = 1;

    LambdaSE->SetMinValue(Spectro().MiniLambda());
    LambdaSE->SetMaxValue(Spectro().MaxiLambda);
    LambdaSE->SetValue(500);
    LambdaSEChange();   // the instrument is not known to be there yet

    {
        const TIniFile ini(CheminReglages());
        Serie.LitReglages(ini);
    }
    destinations_->Coche(Serie.SauveKurvalis, Serie.SauveClip, Serie.SauveFichier);

    Serie.SetVue(this);
    Serie.InitAttente();
    qApp->installEventFilter(this);
}

TBeerForm::~TBeerForm()
{
    DetacheEnfants(this);
    qApp->removeEventFilter(this);
    Serie.SetVue(nullptr);
}

void TBeerForm::Construit()
{
    setWindowTitle(QStringLiteral("Loi de Beer-Lambert avec Kelvor 5100"));
    resize(747, 568);
    if (QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());

    // Top panel.
    auto* haut = new QWidget(this);
    auto* hautLayout = new QHBoxLayout(haut);
    hautLayout->setContentsMargins(6, 4, 6, 4);
    LambdaSE = new TSpinEdit(haut);
    LambdaSE->setAccessibleName(QStringLiteral("Longueur d'onde"));
    Conseil(LambdaSE, QStringLiteral("Indiquer la longueur d'onde en nm"));
    LabelLambda = new QLabel(QStringLiteral("&Lambda (nm)"), haut);
    LabelLambda->setBuddy(LambdaSE);
    LabelClavier = new QLabel(haut);
    ClavierEdit = new QLineEdit(haut);
    ClavierEdit->setMaximumWidth(120);
    LabelClavier->setBuddy(ClavierEdit);
    hautLayout->addWidget(LabelLambda);
    hautLayout->addWidget(LambdaSE);
    hautLayout->addSpacing(24);
    hautLayout->addWidget(LabelClavier);
    hautLayout->addWidget(ClavierEdit);
    LabelAvis = new QLabel(haut);
    LabelAvis->setStyleSheet(QStringLiteral("color: red;"));
    LabelAvis->setAccessibleName(QStringLiteral("Avertissement"));
    hautLayout->addSpacing(12);
    hautLayout->addWidget(LabelAvis);
    hautLayout->addStretch(1);
    connect(LambdaSE, &TSpinEdit::Change, this, &TBeerForm::LambdaSEChange);

    // Tool bar, captions beside the images.
    ToolBar = new QWidget(this);
    auto* barre = new QHBoxLayout(ToolBar);
    barre->setContentsMargins(4, 0, 4, 0);
    barre->setSpacing(2);
    auto bouton = [&](QToolButton*& b, const QString& texte, QStyle::StandardPixmap image,
                      const QString& conseil, void (TBeerForm::*action)()) {
        b = new QToolButton(ToolBar);
        b->setText(texte);
        b->setIcon(style()->standardIcon(image));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAccessibleName(QString(texte).remove('&'));
        Conseil(b, conseil);
        if (action)
            connect(b, &QToolButton::clicked, this, action);
        barre->addWidget(b);
    };
    bouton(SaveBtn, QStringLiteral("&Sauver"), QStyle::SP_DialogSaveButton, QString(),
           &TBeerForm::SaveBtnClick);
    bouton(ModeBtn0, QStringLiteral("&Mode"), QStyle::SP_FileDialogDetailedView,
           QStringLiteral("Choix du mode : Beer, A(x), A seul"), &TBeerForm::AcquisitionItemClick);
    bouton(MajBtn, QStringLiteral("Mà&J"), QStyle::SP_BrowserReload,
           QStringLiteral("Si clignotant, cliquer pour régler la longueur d'onde du spectro"),
           &TBeerForm::MajBtnClick);
    bouton(ZeroBtn, QStringLiteral("&Zero/Blanc"), QStyle::SP_DialogResetButton,
           QStringLiteral("Mettre la cuve avec le solvant puis cliquer ici"),
           &TBeerForm::ZeroBtnClick);
    bouton(EnregistreBtn, QStringLiteral("&Enregistrer"), QStyle::SP_DialogApplyButton, QString(),
           &TBeerForm::EnregistreBtnClick);
    bouton(ResetBtn, QStringLiteral("&RàZ"), QStyle::SP_TrashIcon,
           QStringLiteral("Remise à zéro de l'acquisition"), &TBeerForm::ResetBtnClick);
    bouton(UndoBtn, QStringLiteral("&Défaire"), QStyle::SP_ArrowBack,
           QStringLiteral("Suppression de la dernière acquisition"), &TBeerForm::UndoBtnClick);
    bouton(PrintBtn0, QStringLiteral("&Imprimer"), QStyle::SP_FileIcon,
           QStringLiteral("Impression du graphe"), &TBeerForm::PrintBtnClick);
    bouton(ExitBtn0, QStringLiteral("&Quitter"), QStyle::SP_DialogCloseButton, QString(),
           &TBeerForm::ExitItemClick);
    barre->addStretch(1);
    AjouteMenuImage(*PrintBtn0, [this](TCanevas& canevas, const TRectangle& rect) {
        CopieVersGraphe();
        Tgraphe g = Graphe;     // the screen's graph keeps its layout
        g.Draw({canevas, rect});
    });

    destinations_ = new TDestinations(SaveBtn);
    SaveMenu = destinations_->Menu;
    KurvalisM = destinations_->KurvalisM;
    ClipM = destinations_->ClipM;
    FileM = destinations_->FileM;
    connect(destinations_, &TDestinations::Choix, this, &TBeerForm::KurvalisMClick);
    SaveMenu->addSeparator();
    RapportM = SaveMenu->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                   QStringLiteral("Rapport tableur (*.csv)"));
    RapportM->setStatusTip(QStringLiteral("Étalonnage, inconnus et avertissements en CSV"));
    connect(RapportM, &QAction::triggered, this, &TBeerForm::RapportMClick);

    // Right panel: measurements, and the unknowns below them.
    auto* droite = new QWidget(this);
    droite_ = droite;
    droite->setFixedWidth(LargeurDroite);
    auto* droiteLayout = new QVBoxLayout(droite);
    droiteLayout->setContentsMargins(0, 0, 0, 0);
    droiteLayout->setSpacing(2);
    BeerMesureGrid = Grille(8, droite);
    BeerMesureGrid->setAccessibleName(QStringLiteral("Mesures"));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            Cellule(BeerMesureGrid, r, c, QString(), false);
            BeerMesureGrid->item(r, c)->setBackground(palette().button());
            BeerMesureGrid->item(r, c)->setTextAlignment(Qt::AlignCenter);
        }
    beerCalcGrid = Grille(4, droite, 3);
    beerCalcGrid->horizontalHeader()->setSectionResizeMode(ColonneIncertitude,
                                                           QHeaderView::ResizeToContents);
    beerCalcGrid->setFixedHeight(155);
    beerCalcGrid->setAccessibleName(QStringLiteral("Concentrations déterminées"));
    Conseil(beerCalcGrid, QStringLiteral("Valeurs déterminées à partir de la loi de Beer-Lambert"));
    droiteLayout->addWidget(BeerMesureGrid, 1);
    droiteLayout->addWidget(beerCalcGrid);

    Oscillo = new TZoneImage(QStringLiteral("Graphe de l'absorbance"), this);
    Oscillo->Redessine = [this] { OscilloPaint(); };

    PanneauEtalonnage = new QLabel(this);
    PanneauEtalonnage->setAccessibleName(QStringLiteral("Étalonnage"));
    PanneauEtalonnage->setTextFormat(Qt::PlainText);
    PanneauEtalonnage->setWordWrap(true);
    PanneauEtalonnage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PanneauEtalonnage->setTextInteractionFlags(Qt::TextSelectableByMouse
                                               | Qt::TextSelectableByKeyboard);
    PanneauEtalonnage->setFocusPolicy(Qt::StrongFocus);
    PanneauEtalonnage->setFrameShape(QFrame::StyledPanel);
    PanneauEtalonnage->setMargin(4);
    PanneauEtalonnage->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* gauche = new QVBoxLayout;
    gauche->setContentsMargins(0, 0, 0, 0);
    gauche->setSpacing(0);
    gauche->addWidget(Oscillo, 1);
    gauche->addWidget(PanneauEtalonnage);

    auto* milieu = new QHBoxLayout;
    milieu->setContentsMargins(0, 0, 0, 0);
    milieu->setSpacing(0);
    milieu->addLayout(gauche, 1);
    milieu->addWidget(droite);

    auto* tout = new QVBoxLayout(this);
    tout->setContentsMargins(0, 0, 0, 0);
    tout->setSpacing(0);
    tout->addWidget(haut);
    tout->addWidget(ToolBar);
    tout->addLayout(milieu, 1);
    BarreEtat = BarreIndications(tout);

    setTabOrder(LambdaSE, ClavierEdit);
}

// ---- drawing ---------------------------------------------------------------------------

void TBeerForm::CopieVersGraphe()
{
    Graphe.valeurX = Serie.valeurX;
    Graphe.valeurY = Serie.valeurY;
    Graphe.NbrePoints = Serie.NbrePoints;
    auto copie = [](Tmonde& m, const TAxeBeer& a) {
        m.nom = a.nom;
        m.unite = a.unite;
        m.signif = a.signif;
        m.mini = a.mini;
        m.maxi = a.maxi;
    };
    copie(Graphe.mondeX, Serie.abscisse);
    copie(Graphe.mondeY, Serie.absorbance);
}

void TBeerForm::EcritLigneMesure(int rang, const QString& x, const QString& y)
{
    Cellule(BeerMesureGrid, rang, 0, x, true);
    Cellule(BeerMesureGrid, rang, 1, y, false);
}

void TBeerForm::OscilloPaint()
{
    // Shows the series as it is: painting (a resize, an activation) never changes it.
    CopieVersGraphe();
    Oscillo->setAccessibleDescription(
        QStringLiteral("Beer-Lambert, %1 points").arg(Serie.NbrePoints));

    const QSize taille = Oscillo->size();
    const bool dessine = Oscillo->Attache(canevas_);
    if (dessine) {
        try {
            Graphe.Draw({canevas_, TRectangle{0, 0, taille.width(), taille.height()}});
        } catch (const EErreurCalcul&) {
            // The series keeps its ranges apart; a failed layout leaves the last picture.
        }
    }

    // Headings, then the points left once those below zero are gone.
    Cellule(BeerMesureGrid, 0, 0, Serie.abscisse.nom, false);
    Cellule(BeerMesureGrid, 0, 1, Serie.absorbance.nom, false);
    Cellule(BeerMesureGrid, 1, 0, Serie.abscisse.unite, false);
    Cellule(BeerMesureGrid, 1, 1, Serie.absorbance.unite, false);
    const qint32 n = Serie.NbrePoints;
    if (BeerMesureGrid->rowCount() < n + 3)
        BeerMesureGrid->setRowCount(n + 5);
    for (qint32 i = 0; i < n; ++i)
        EcritLigneMesure(i + 2, ReelToStr3(Serie.valeurX[i]), ReelToStr3(Serie.valeurY[i]));
    if (n > 0)
        BeerMesureGrid->setCurrentCell(n + 1, 0);
    for (int r = n + 2; r < BeerMesureGrid->rowCount(); ++r)
        EcritLigneMesure(r, QString(), QString());

    // Rows of the unknowns that exist now; a row left by one that is gone (RàZ, a new
    // mode) is emptied.
    const bool etalonne = Serie.ModeAcq == maBeer && n >= 3;
    const qint32 m = Serie.ModeAcq == maBeer ? Serie.NbreCalc : 0;
    if (etalonne) {
        double xd = 0, yd = 0, xf = 0, yf = 0;
        if (dessine && Serie.DebutDroiteEtalonnage(xd, yd) && Serie.FinDroiteEtalonnage(xf, yf)) {
            qint32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            Graphe.WindowXY(xd, yd, x0, y0);
            Graphe.WindowXY(xf, yf, x1, y1);
            canevas_.MoveTo(x0, y0);
            canevas_.LineTo(x1, y1);
        }
    }
    if (beerCalcGrid->rowCount() < m + 1)
        beerCalcGrid->setRowCount(m + 1);
    for (qint32 j = 0; j < m; ++j) {
        Cellule(beerCalcGrid, j, 0, ReelToStr3(Serie.ConcCalc[j]), true, Qt::red);
        Cellule(beerCalcGrid, j, 1, ReelToStr3(Serie.AbsCalc[j]), true, Qt::red);
        if (dessine && etalonne)
            Graphe.TracePointCalc(canevas_, Serie.ConcCalc[j], Serie.AbsCalc[j]);
    }
    if (m > 0)
        beerCalcGrid->setCurrentCell(m, 0);
    for (int r = m; r < beerCalcGrid->rowCount(); ++r) {
        Cellule(beerCalcGrid, r, 0, QString(), true, Qt::red);
        Cellule(beerCalcGrid, r, 1, QString(), true, Qt::red);
    }

    AfficheEtalonnage();

    if (dessine) {
        canevas_.Detache();
        Oscillo->update();
    }
}

void TBeerForm::AfficheEtalonnage()
{
    // Outside the concentration mode there is no calibration: empty panel, empty column.
    const bool beer = Serie.ModeAcq == maBeer;
    const TEtalonnage e = beer ? Serie.Etalonnage() : TEtalonnage{};
    const QString texte = beer ? e.TextePanneau() : QString();
    PanneauEtalonnage->setText(texte);
    PanneauEtalonnage->setAccessibleDescription(texte);
    const qint32 m = beer ? Serie.NbreCalc : 0;
    if (beerCalcGrid->rowCount() < m + 1)
        beerCalcGrid->setRowCount(m + 1);
    for (int r = 0; r < beerCalcGrid->rowCount(); ++r)
        Cellule(beerCalcGrid, r, ColonneIncertitude, r < m ? e.TexteInconnu(r) : QString(), true,
                Qt::red);
}

void TBeerForm::AffichePoint(qint32 i)
{
    CopieVersGraphe();
    Oscillo->DessineDans(canevas_, [&] { Graphe.TracePointCinet(canevas_, IndiceVecteur(i)); });
    if (BeerMesureGrid->rowCount() < i + 3)
        BeerMesureGrid->setRowCount(i + 5);
    EcritLigneMesure(i + 2, ReelToStr3(Serie.valeurX[i]), ReelToStr3(Serie.valeurY[i]));
    BeerMesureGrid->setCurrentCell(i + 2, 0);
}

void TBeerForm::AfficheInconnu(qint32 j)
{
    if (beerCalcGrid->rowCount() < j + 1)
        beerCalcGrid->setRowCount(j + 1);
    Cellule(beerCalcGrid, j, 0, ReelToStr3(Serie.ConcCalc[j]), true, Qt::red);
    Cellule(beerCalcGrid, j, 1, Spectro().StrAbs(Serie.AbsCalc[j]), true, Qt::red);
    Oscillo->DessineDans(canevas_, [&] { Graphe.TracePointCalc(canevas_, Serie.ConcCalc[j], Serie.AbsCalc[j]); });
}

// ---- controls --------------------------------------------------------------------------

void TBeerForm::AppliqueControles()
{
    const TEtatControles e = Serie.Controles();
    ResetBtn->setVisible(e.razVisible);
    SaveBtn->setVisible(e.razVisible);
    UndoBtn->setVisible(e.defaireVisible);
    EnregistreBtn->setVisible(e.enregistreVisible);
    EnregistreBtn->setEnabled(e.enregistreActif);
    EnregistreBtn->setText(u'&' + e.enregistreCaption);     // Alt+E or Alt+C
    EnregistreBtn->setAccessibleName(e.enregistreCaption);
    Conseil(EnregistreBtn, e.enregistreHint);
    LabelClavier->setText(e.labelValeur);
    // The field is named after its label, without the trailing "=".
    ClavierEdit->setAccessibleName(QString(e.labelValeur).remove(QLatin1Char('=')).trimmed());
    LabelClavier->setVisible(e.valeurVisible);
    ClavierEdit->setVisible(e.valeurVisible);
    ClavierEdit->setEnabled(e.valeurActif);
    Conseil(ClavierEdit, e.valeurHint);
    beerCalcGrid->setVisible(e.inconnusVisible);
    PanneauEtalonnage->setVisible(e.inconnusVisible);
    RapportM->setVisible(e.inconnusVisible);
    droite_->setFixedWidth(e.inconnusVisible ? LargeurDroiteEtalonnage : LargeurDroite);
    MajBtn->setEnabled(e.majActif);
    ZeroBtn->setEnabled(e.zeroActif);
}

void TBeerForm::MajControles()
{
    ClavierEdit->clear();
    AppliqueControles();
    AfficheEtalonnage();
    if (Serie.Controles().focusValeur && ClavierEdit->isEnabled())
        ClavierEdit->setFocus();
}

void TBeerForm::FocusValeur()
{
    ClavierEdit->setFocus();
}

void TBeerForm::VideValeur()
{
    ClavierEdit->clear();
}

void TBeerForm::Avertit(const QString& texte)
{
    LabelAvis->setText(texte);
}

// ---- commands --------------------------------------------------------------------------

void TBeerForm::EnregistreBtnClick()
{
    Serie.Enregistre();
}

void TBeerForm::ClavierEditKeyPress()
{
    Serie.ValideValeur(ClavierEdit->text());
}

void TBeerForm::UndoBtnClick()
{
    Serie.Defaire();
}

void TBeerForm::ResetBtnClick()
{
    Serie.RaZ();
}

void TBeerForm::AcquisitionItemClick()
{
    if (Serie.Occupe())
        return;
    if (!ModeBeerDlg)
        ModeBeerDlg = new TModeBeerDlg(Serie, this);
    const TModeAcquisition avant = Serie.ModeAcq;
    ModeBeerDlg->Montre();
    Serie.ApresChoixMode(avant);
}

void TBeerForm::LambdaSEChange()
{
    Serie.LambdaChange();
    AppliqueControles();
}

void TBeerForm::MajBtnClick()
{
    if (Serie.Occupe())
        return;
    {
        TSablier s;
        LambdaSE->setEnabled(false);
        Serie.MajLambda(LambdaSE->Value());
        LambdaSE->setEnabled(true);
    }
    AppliqueControles();
}

void TBeerForm::ZeroBtnClick()
{
    Serie.Zero();
    AppliqueControles();
}

void TBeerForm::ExitItemClick()
{
    // Leaving changes the instrument's mode: not in the middle of an exchange.
    if (Serie.Occupe())
        return;
    Appareil.SetMode(mSpectre);
    close();
}

void TBeerForm::PrintBtnClick()
{
    CopieVersGraphe();
    Graphe.Imprime();
    // The page left its own layout in the graph.
    OscilloPaint();
}

// ---- saving ----------------------------------------------------------------------------

void TBeerForm::KurvalisMClick(QAction* item)
{
    destinations_->Choisit(item);
    Serie.ChoisitDestination(item->data().toInt());
    SaveBtnClick();
}

void TBeerForm::SaveBtnClick()
{
    if (Serie.SauveKurvalis && ConfirmeEnvoi(FormDDE)) {
        Serie.DejaSauve = true;
        CopieDonnees(true);
    }
    if (Serie.SauveClip) {
        Serie.DejaSauve = true;
        CopieDonnees(false);
    }
    if (Serie.SauveFichier)
        SauveFichier();
}

void TBeerForm::CopieDonnees(bool envoyer)
{
    EnvoieTable(FormDDE,
                Serie.BlocPressePapier(ExecutableEnvoi(FormDDE), DateHeureCourante(),
                                       ValeursParametres(FormDDE)),
                envoyer);
}

void TBeerForm::SauveFichier()
{
    Serie.SauveDansFichier();
}

void TBeerForm::RapportMClick()
{
    Serie.SauveRapport();
}

// ---- window ----------------------------------------------------------------------------

void TBeerForm::FormActivate()
{
    Serie.InitAttente();
}

void TBeerForm::FormClose()
{
    ProposeSauvegarde(Serie.DemandeSauvegarde(), [this] { SaveBtnClick(); });
    TIniFile ini(CheminReglages());
    Serie.EcritReglages(ini);
    if (!ini.FileName().isEmpty())
        ini.UpdateFile();
}

void TBeerForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    // Hidden, never destroyed: the series stays until the program ends.
    event->accept();
}

bool TBeerForm::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowActivate:
        FormActivate();
        break;
    case QEvent::StatusTip:
        return AfficheIndication(e, BarreEtat);
    default:
        break;
    }
    return QWidget::event(e);
}

bool TBeerForm::eventFilter(QObject* objet, QEvent* e)
{
    if (e->type() != QEvent::KeyPress || !objet->isWidgetType() ||
        static_cast<QWidget*>(objet)->window() != this)
        return QWidget::eventFilter(objet, e);
    auto* touche = static_cast<QKeyEvent*>(e);
    // The window sees every key first: space records while "Enregistrer" is enabled,
    // unless a button has the focus, which takes space as its own click.
    if (touche->key() == Qt::Key_Space && touche->modifiers() == Qt::NoModifier &&
        !qobject_cast<QAbstractButton*>(objet) &&
        EnregistreBtn->isEnabled() && EnregistreBtn->isVisible()) {
        EnregistreBtnClick();
        return true;
    }
    const bool entree = touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter;
    if (objet == ClavierEdit) {
        if (entree) {
            ClavierEditKeyPress();
            return true;
        }
        const QString texte = touche->text();
        if (texte.size() == 1 && texte[0].unicode() >= 32 && !CaractereValeurAdmis(texte[0]))
            return true;
        return false;
    }
    // Tool buttons answer Enter as well as space, and Alt+Down opens "Sauver"'s menu.
    if (auto* b = qobject_cast<QToolButton*>(objet); b && b->parentWidget() == ToolBar) {
        if (entree) {
            b->click();
            return true;
        }
    }
    return QWidget::eventFilter(objet, e);
}

} // namespace kelvor
