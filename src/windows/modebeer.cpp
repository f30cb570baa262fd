#include "windows/modebeer.h"

#include "util/dialogues.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kelvor {

namespace {

QLineEdit* Edit(const QString& nomAccessible, QWidget* parent, int longueurMax = 32767)
{
    auto* e = new QLineEdit(parent);
    e->setAccessibleName(nomAccessible);
    e->setMaxLength(longueurMax);
    return e;
}

} // namespace

TModeBeerDlg::TModeBeerDlg(TSerieBeer& serie, QWidget* parent) : QDialog(parent), serie_(serie)
{
    setWindowTitle(QStringLiteral("Utilisation de la loi de Beer-Lambert"));

    ModeAcqRG = new QGroupBox(QStringLiteral("Mode d'acquisition"), this);
    auto* radios = new QVBoxLayout(ModeAcqRG);
    radios->setSpacing(2);
    ModeAcqGroupe = new QButtonGroup(this);
    const QStringList items = {QStringLiteral("à chaque frappe de la barre d'espace"),
                               QStringLiteral("Loi de Beer-Lambert"),
                               QStringLiteral("Entrée clavier")};
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], ModeAcqRG);
        ModeAcqGroupe->addButton(r, i);
        radios->addWidget(r);
    }
    connect(ModeAcqGroupe, &QButtonGroup::idClicked, this, [this] { ModeAcqRGClick(); });

    Pages = new QStackedWidget(this);

    // Space-bar page.
    auto* barre = new QLabel(QStringLiteral("\nVous pouvez aussi cliquer sur le bouton \n"
                                            "\"Enregistre\""),
                             Pages);
    barre->setObjectName(QStringLiteral("Barre"));
    barre->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Pages->addWidget(barre);

    // Concentration page.
    auto* beer = new QWidget(Pages);
    beer->setObjectName(QStringLiteral("Loi de Beer-Lambert"));
    auto* beerLayout = new QGridLayout(beer);
    beerLayout->setContentsMargins(0, 0, 0, 0);
    MemoBeer = new QPlainTextEdit(beer);
    MemoBeer->setReadOnly(true);
    MemoBeer->setPlainText(QStringLiteral("Lecture d'absorbance en réponse à \n"
                                          "1-entrée de valeur de c au clavier\n"
                                          "2-frappe de la barre d'espace pour c \n"
                                          "inconnu"));
    MemoBeer->setAccessibleName(QStringLiteral("Explication"));
    MemoBeer->setTabChangesFocus(true);
    EditMaxBeer = Edit(QStringLiteral("Concentration maxi"), beer);
    auto* labelMax = new QLabel(QStringLiteral("Concentration &maxi"), beer);
    labelMax->setBuddy(EditMaxBeer);
    AjustementCB = new QComboBox(beer);
    AjustementCB->setAccessibleName(QStringLiteral("Ajustement"));
    for (TAjustement a : {ajRapportSommes, ajOrigine, ajAffine})
        AjustementCB->addItem(NomAjustement(a));
    auto* labelAjustement = new QLabel(QStringLiteral("A&justement"), beer);
    labelAjustement->setBuddy(AjustementCB);
    beerLayout->addWidget(MemoBeer, 0, 0, 1, 2);
    beerLayout->addWidget(labelMax, 1, 0);
    beerLayout->addWidget(EditMaxBeer, 1, 1);
    beerLayout->addWidget(labelAjustement, 2, 0);
    beerLayout->addWidget(AjustementCB, 2, 1);
    Pages->addWidget(beer);

    // Keyboard page.
    auto* clavier = new QGroupBox(QStringLiteral("Grandeur  entrée au clavier"), Pages);
    clavier->setObjectName(QStringLiteral("Clavier"));
    auto* grille = new QGridLayout(clavier);
    EditNom = Edit(QStringLiteral("Symbole"), clavier, 8);
    EditUnite = Edit(QStringLiteral("Unité"), clavier, 20);
    EditMin = Edit(QStringLiteral("Mini"), clavier);
    EditMax = Edit(QStringLiteral("Maxi"), clavier);
    EditSignif = Edit(QStringLiteral("Signification"), clavier);
    auto ligne = [&](const QString& texte, QLineEdit* e, int rang, int colonne) {
        auto* l = new QLabel(texte, clavier);
        l->setBuddy(e);
        grille->addWidget(l, rang, colonne);
        grille->addWidget(e, rang, colonne + 1);
    };
    ligne(QStringLiteral("&Symbole"), EditNom, 0, 0);
    ligne(QStringLiteral("&Unité"), EditUnite, 0, 2);
    ligne(QStringLiteral("M&ini"), EditMin, 1, 0);
    ligne(QStringLiteral("M&axi"), EditMax, 1, 2);
    auto* labelSignif = new QLabel(QStringLiteral("&Signification"), clavier);
    labelSignif->setBuddy(EditSignif);
    grille->addWidget(labelSignif, 2, 0);
    grille->addWidget(EditSignif, 2, 1, 1, 3);
    Pages->addWidget(clavier);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Annuler"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TModeBeerDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* gauche = new QVBoxLayout;
    gauche->addWidget(ModeAcqRG);
    gauche->addWidget(Pages, 1);
    auto* droite = new QVBoxLayout;
    droite->addWidget(OKBtn);
    droite->addWidget(CancelBtn);
    droite->addStretch(1);
    auto* tout = new QHBoxLayout(this);
    tout->setContentsMargins(8, 8, 8, 8);
    tout->addLayout(gauche, 1);
    tout->addLayout(droite);

    // The intended size, unless the fonts in use need more room.
    setFixedSize(sizeHint().expandedTo(QSize(357, 203)));
    if (QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
    SetItemIndex(serie_.ModeAcq);
}

int TModeBeerDlg::ItemIndex() const
{
    return ModeAcqGroupe->checkedId();
}

void TModeBeerDlg::SetItemIndex(int index)
{
    if (QAbstractButton* b = ModeAcqGroupe->button(index))
        b->setChecked(true);
    ModeAcqRGClick();
}

void TModeBeerDlg::FormActivate()
{
    const TChampsModeBeer c = serie_.ChampsModeDlg();
    EditNom->setText(c.nom);
    EditUnite->setText(c.unite);
    EditSignif->setText(c.signif);
    EditMax->setText(c.maxi);
    EditMin->setText(c.mini);
    EditMaxBeer->setText(c.maxBeer);
    AjustementCB->setCurrentIndex(c.ajustement);
    SetItemIndex(c.mode);
}

void TModeBeerDlg::ModeAcqRGClick()
{
    const int i = ItemIndex();
    if (i >= 0 && i < Pages->count())
        Pages->setCurrentIndex(i);
}

TChampsModeBeer TModeBeerDlg::Choix() const
{
    TChampsModeBeer c;
    const int i = ItemIndex();
    c.mode = i >= maIncrement && i <= maClavier ? TModeAcquisition(i) : serie_.ModeAcq;
    c.nom = EditNom->text();
    c.unite = EditUnite->text();
    c.signif = EditSignif->text();
    c.mini = EditMin->text();
    c.maxi = EditMax->text();
    c.maxBeer = EditMaxBeer->text();
    const int a = AjustementCB->currentIndex();
    c.ajustement = a >= ajRapportSommes && a <= ajAffine ? TAjustement(a) : serie_.Ajustement;
    return c;
}

void TModeBeerDlg::OKBtnClick()
{
    serie_.AppliqueModeDlg(Choix());
    applique_ = true;
    accept();
}

bool TModeBeerDlg::Montre()
{
    applique_ = false;
    FormActivate();
    const bool ok = Dialogues().Execute(*this);
    // The OK button applies; a confirmation that did not pass through it applies here.
    if (ok && !applique_)
        serie_.AppliqueModeDlg(Choix());
    return ok;
}

} // namespace kelvor
