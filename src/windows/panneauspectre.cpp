#include "windows/panneauspectre.h"

#include "exchange/csv.h"
#include "mesure/csvcinet.h"
#include "exchange/fichierspectre.h"
#include "exchange/textes.h"
#include "instrument/cfgspect.h"
#include "mesure/csvspectres.h"
#include "mesure/pointsspectre.h"
#include "mesure/tracespectres.h"
#include "util/chromato.h"
#include "util/dialogues.h"
#include "windows/exportgraphe.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kelvor {

namespace {

// The stroke of a spectrum as the legend's icon.
QIcon IconeTrait(const TCourbeSpectre& c)
{
    QPixmap image(28, 12);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (c.courant) {
        for (int k = 0; k < 3; ++k) {
            p.setPen(QPen(QColor::fromRgb(CouleurLambda(450 + 100 * k)), 3));
            p.drawLine(k * 9, 6, k * 9 + 9, 6);
        }
    } else {
        p.setPen(QPen(c.couleur, 2, c.tirets));
        p.drawLine(0, 6, 28, 6);
    }
    return QIcon(image);
}

QLabel* Titre(const QString& texte, QWidget* parent)
{
    auto* l = new QLabel(texte, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

TPanneauSpectre::TPanneauSpectre(Tgraphe& graphe, QWidget* parent) : QWidget(parent), graphe_(graphe)
{
    setFixedWidth(270);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(6, 6, 6, 6);

    LambdaMaxLabel = new QLabel(this);
    LambdaMaxLabel->setAccessibleName(QStringLiteral("λmax"));
    LambdaMaxLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont gras = LambdaMaxLabel->font();
    gras.setBold(true);
    gras.setPointSize(gras.pointSize() + 2);
    LambdaMaxLabel->setFont(gras);
    colonne->addWidget(LambdaMaxLabel);

    colonne->addSpacing(8);
    colonne->addWidget(Titre(QStringLiteral("Couleur de la solution"), this));
    auto* ligneCouleur = new QHBoxLayout;
    Pastille = new QLabel(this);
    Pastille->setFixedSize(40, 40);
    Pastille->setFrameShape(QFrame::Box);
    Pastille->setAccessibleName(QStringLiteral("Pastille de couleur"));
    ligneCouleur->addWidget(Pastille, 0, Qt::AlignTop);
    CouleurLabel = new QLabel(this);
    CouleurLabel->setWordWrap(true);
    CouleurLabel->setAccessibleName(QStringLiteral("Couleur de la solution"));
    CouleurLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ligneCouleur->addWidget(CouleurLabel, 1);
    colonne->addLayout(ligneCouleur);

    colonne->addSpacing(8);
    colonne->addWidget(Titre(QStringLiteral("Spectres affichés"), this));
    Legende = new QListWidget(this);
    Legende->setAccessibleName(QStringLiteral("Légende"));
    Legende->setToolTip(QStringLiteral("Cocher pour afficher, Suppr pour retirer"));
    Legende->installEventFilter(this);
    colonne->addWidget(Legende, 1);
    auto* boutons = new QHBoxLayout;
    const auto bouton = [&](const QString& texte, const QString& indication, void (TPanneauSpectre::*action)()) {
        auto* b = new QPushButton(texte, this);
        b->setToolTip(indication);
        b->setAccessibleName(QString(texte).remove('&').remove(QStringLiteral("...")));
        connect(b, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
        boutons->addWidget(b);
        return b;
    };
    GarderBtn = bouton(QStringLiteral("&Garder"), QStringLiteral("Garder ce spectre sur le graphe pour le comparer au suivant"),
                       &TPanneauSpectre::GarderClick);
    AjouterBtn = bouton(QStringLiteral("A&jouter..."), QStringLiteral("Ajouter au graphe un spectre enregistré"),
                        &TPanneauSpectre::AjouterClick);
    RetirerBtn = bouton(QStringLiteral("&Retirer"), QStringLiteral("Retirer du graphe le spectre choisi dans la légende"),
                        &TPanneauSpectre::RetirerClick);
    colonne->addLayout(boutons);

    connect(Legende, &QListWidget::itemChanged, this, &TPanneauSpectre::LegendeCochee);
    connect(Legende, &QListWidget::currentRowChanged, this, [this] { MajLegende(); });
    AfficheAnalyse();
    MajLegende();
}

void TPanneauSpectre::InstalleActions(QToolBar& barre, QAction* avant, QAction& sauver)
{
    auto* imprimer = new QAction(QStringLiteral("Im&primer"), this);
    imprimer->setIconText(imprimer->text());
    imprimer->setToolTip(QStringLiteral("Imprimer le graphe"));
    imprimer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(imprimer, &QAction::triggered, this, &TPanneauSpectre::ImprimeClick);
    barre.insertAction(avant, imprimer);
    if (auto* b = qobject_cast<QToolButton*>(barre.widgetForAction(imprimer))) {
        b->setAccessibleName(QStringLiteral("Imprimer"));
        AjouteMenuImage(*b, Dessin());
    }

    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("&Spectre (*.txt)..."), &sauver, &QAction::trigger);
    menu->addAction(QStringLiteral("&Tableur (*.csv)..."), this, &TPanneauSpectre::ExporteTableurClick)
        ->setStatusTip(QStringLiteral("Les spectres affichés, une colonne par spectre"));
    sauver.setMenu(menu);
    if (auto* b = qobject_cast<QToolButton*>(barre.widgetForAction(&sauver)))
        b->setPopupMode(QToolButton::MenuButtonPopup);
}

// ---------------------------------------------------------------------------------------
// Moments of the window

void TPanneauSpectre::NouveauCourant(const QString& nom, qint32 debut, qint32 fin)
{
    superposition_.DefinitCourant(nom, graphe_.valeurY, debut, fin);
    avecCourant_ = true;
    debut_ = debut;
    fin_ = fin;
    Analyse();
    MajLegende();
    AjusteAxe();
}

void TPanneauSpectre::BalayageCommence()
{
    // The spectrum being replaced leaves the legend and the exports; the kept ones stay.
    const QList<TCourbeSpectre>& courbes = superposition_.Courbes();
    if (!courbes.isEmpty() && courbes.front().courant)
        superposition_.Retire(0);
    avecCourant_ = false;
    Analyse();
    MajLegende();
}

void TPanneauSpectre::PlageChange(qint32 debut, qint32 fin)
{
    if (!avecCourant_ || (debut == debut_ && fin == fin_))
        return;
    debut_ = debut;
    fin_ = fin;
    const TPics avant = pics_;
    Analyse();
    if (!(pics_.pics == avant.pics) && Redessine)
        Redessine();
}

void TPanneauSpectre::Analyse()
{
    pics_ = avecCourant_ ? CherchePics(graphe_.valeurY, debut_, fin_) : TPics{};
    couleur_ = avecCourant_ ? CouleurSolution(graphe_.valeurY, debut_, fin_) : TCouleurSolution{};
    AfficheAnalyse();
}

void TPanneauSpectre::AfficheAnalyse()
{
    const QString lambdaMax = avecCourant_ ? TexteLambdaMax(pics_) : QString();
    LambdaMaxLabel->setText(lambdaMax);
    LambdaMaxLabel->setAccessibleDescription(lambdaMax);

    QString texte;
    if (avecCourant_ && couleur_.valide)
        texte = couleur_.hex + QStringLiteral("  ") + couleur_.nom + '\n' + couleur_.texte;
    else if (avecCourant_)
        texte = couleur_.texte;
    CouleurLabel->setText(texte);
    CouleurLabel->setAccessibleDescription(texte);
    Pastille->setStyleSheet(avecCourant_ && couleur_.valide
                                ? QStringLiteral("background: %1;").arg(couleur_.hex)
                                : QStringLiteral("background: transparent;"));
    Pastille->setAccessibleDescription(avecCourant_ && couleur_.valide ? couleur_.hex : QString());
}

// ---------------------------------------------------------------------------------------
// Legend

void TPanneauSpectre::MajLegende()
{
    if (majLegende_)
        return;
    majLegende_ = true;
    const int choisi = Legende->currentRow();
    Legende->clear();
    for (const TCourbeSpectre& c : superposition_.Courbes()) {
        auto* item = new QListWidgetItem(IconeTrait(c), c.nom, Legende);
        if (c.courant) {
            // The current spectrum is the one measured and saved: it stays shown.
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setToolTip(QStringLiteral("Spectre courant"));
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
        }
    }
    Legende->setCurrentRow(std::min(choisi, Legende->count() - 1));
    const QString texte = superposition_.TexteLegende();
    Legende->setAccessibleDescription(texte);
    GarderBtn->setEnabled(superposition_.Gardable());
    const int i = Legende->currentRow();
    RetirerBtn->setEnabled(i >= 0 && i < superposition_.Courbes().size() && !superposition_.Courbes()[i].courant);
    majLegende_ = false;
}

void TPanneauSpectre::LegendeCochee(QListWidgetItem* item)
{
    if (majLegende_ || !(item->flags() & Qt::ItemIsUserCheckable))
        return;
    superposition_.DefinitVisible(Legende->row(item), item->checkState() == Qt::Checked);
    Legende->setAccessibleDescription(superposition_.TexteLegende());
    Change();
}

void TPanneauSpectre::GarderClick()
{
    QString erreur;
    if (!superposition_.Garde(&erreur)) {
        Dialogues().Message(erreur);
        return;
    }
    MajLegende();
    Change();
}

void TPanneauSpectre::AjouterClick()
{
    const QString nom = Dialogues().FichierOuvre(QStringLiteral("Ajouter un spectre au graphe"),
                                                 QStringLiteral("Spectre (*.txt)|*.txt"), {});
    if (nom.isEmpty())
        return;
    Tspectro& spectro = Spectro();
    Vecteur vide;
    vide.fill(PasDeValeur());
    TSpectreLu lu;
    QString erreur;
    if (!LitSpectre(nom, vide, spectro.MiniLambda(), spectro.MaxiLambda, lu, &erreur)) {
        Dialogues().Message(erreur);
        return;
    }
    if (PointsSpectre(lu.y, spectro.MiniLambda(), spectro.MaxiLambda).empty()) {
        Dialogues().Message(QStringLiteral("Aucun point de spectre lisible dans le fichier %1.")
                                .arg(QDir::toNativeSeparators(nom)));
        return;
    }
    if (!superposition_.Ajoute(QFileInfo(nom).completeBaseName(), lu.y, lu.debut, lu.fin, &erreur)) {
        Dialogues().Message(erreur);
        return;
    }
    MajLegende();
    Change();
}

void TPanneauSpectre::RetirerClick()
{
    const int i = Legende->currentRow();
    if (i < 0 || i >= superposition_.Courbes().size() || superposition_.Courbes()[i].courant)
        return;
    superposition_.Retire(i);
    MajLegende();
    Change();
}

bool TPanneauSpectre::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == Legende && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RetirerClick();
        return true;
    }
    return QWidget::eventFilter(objet, event);
}

void TPanneauSpectre::Change()
{
    AjusteAxe();
    if (Redessine)
        Redessine();
}

void TPanneauSpectre::AjusteAxe()
{
    const double maxi = MaxiAutresSpectres(superposition_);
    if (std::isfinite(maxi))
        graphe_.mondeY.maxi = std::max(graphe_.mondeY.maxi, std::clamp(maxi * 1.1, 1.0, Spectro().MaxiAbs));
}

// ---------------------------------------------------------------------------------------
// Drawing and exports

void TPanneauSpectre::TraceSurGraphe(TCanevas& canevas, Tgraphe& g) const
{
    TraceAutresSpectres(canevas, g, superposition_);
    TracePics(canevas, g, pics_);
    TraceLegende(canevas, g, superposition_);
}

TDessin TPanneauSpectre::Dessin() const
{
    return [this](TCanevas& canevas, const TRectangle& rect) {
        // A copy takes the surface's layout; the screen keeps its own.
        Tgraphe g = graphe_;
        g.Draw({canevas, rect});
        TraceSurGraphe(canevas, g);
    };
}

void TPanneauSpectre::ImprimeClick()
{
    ImprimeDessin(Dessin());
}

void TPanneauSpectre::ExporteTableurClick()
{
    const QList<TCourbeSpectre> visibles = superposition_.Visibles();
    if (visibles.isEmpty()) {
        Dialogues().Message(QStringLiteral("Aucun spectre à exporter."));
        return;
    }
    const QString nom = Dialogues().FichierSauve(QStringLiteral("Exporter pour un tableur"), FiltreCsv,
                                                 QStringLiteral("csv"), {});
    if (nom.isEmpty())
        return;
    QString erreur;
    if (!EcritFichierOctets(NomFichierCsv(nom), CsvSpectres(visibles), &erreur))
        Dialogues().Message(erreur);
}

} // namespace kelvor
