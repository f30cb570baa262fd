#include "windows/kelvorconst.h"

#include "util/dialogues.h"
#include "util/labutil.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace kelvor {

namespace {

QLineEdit* Edit(const QString& nomAccessible, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setAccessibleName(nomAccessible);
    return e;
}

} // namespace

TConstanteDlg::TConstanteDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Kelvor 4100 vers Kurvalis"));

    auto* parametre = new QGroupBox(QStringLiteral("Paramètre"), this);
    auto* formulaire = new QFormLayout(parametre);
    NomConstEdit = Edit(QStringLiteral("Symbole"), parametre);
    NomConstEdit->setMaxLength(8);
    UniteConstEdit = Edit(QStringLiteral("Unité"), parametre);
    ValeurConstEdit = Edit(QStringLiteral("Valeur"), parametre);
    SignifConstEdit = Edit(QStringLiteral("Signification"), parametre);
    formulaire->addRow(QStringLiteral("&Symbole"), NomConstEdit);
    formulaire->addRow(QStringLiteral("&Unité"), UniteConstEdit);
    formulaire->addRow(QStringLiteral("&Valeur"), ValeurConstEdit);
    formulaire->addRow(QStringLiteral("Si&gnification"), SignifConstEdit);

    NewPageCB = new QGroupBox(QStringLiteral("Envoyer comme"), this);
    itemsLayout_ = new QVBoxLayout(NewPageCB);
    itemsGroupe_ = new QButtonGroup(this);
    for (const QString& t : ItemsEnvoi(kFichier, false))
        AjouteItem(t);
    SetItemIndex(0);

    auto* commentaire = new QLabel(QStringLiteral("Commentaire"), this);
    CommEdit = Edit(QStringLiteral("Commentaire"), this);
    commentaire->setBuddy(CommEdit);

    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Abandon"), this);
    OKBtn->setDefault(true);
    auto* boutons = new QDialogButtonBox(this);
    boutons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    boutons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    connect(OKBtn, &QPushButton::clicked, this, &TConstanteDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* haut = new QHBoxLayout;
    haut->addWidget(parametre, 1);
    haut->addWidget(NewPageCB);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(haut);
    principal->addWidget(commentaire);
    principal->addWidget(CommEdit);
    principal->addWidget(boutons);

    FormCreate();
}

void TConstanteDlg::FormCreate()
{
    modeKurvalis = kFichier;
}

QStringList TConstanteDlg::Items() const
{
    QStringList l;
    for (const QRadioButton* b : items_)
        l << b->text();
    return l;
}

int TConstanteDlg::ItemIndex() const
{
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked())
            return i;
    return -1;
}

void TConstanteDlg::SetItemIndex(int index)
{
    if (index >= 0 && index < items_.size()) {
        items_[index]->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button.
    itemsGroupe_->setExclusive(false);
    for (QRadioButton* b : items_)
        b->setChecked(false);
    itemsGroupe_->setExclusive(true);
}

void TConstanteDlg::AjouteItem(const QString& texte)
{
    auto* b = new QRadioButton(texte, NewPageCB);
    itemsGroupe_->addButton(b, int(items_.size()));
    itemsLayout_->addWidget(b);
    items_ << b;
}

void TConstanteDlg::RetireDernierItem()
{
    if (items_.isEmpty())
        return;
    QRadioButton* b = items_.takeLast();
    const bool choisi = b->isChecked();
    itemsGroupe_->removeButton(b);
    delete b;
    if (choisi && !items_.isEmpty())
        items_.last()->setChecked(true);
}

void TConstanteDlg::FormActivate()
{
    AddColPermis = PermisColonne(modeKurvalis, AddColPermis);
    const QStringList voulus = ItemsEnvoi(ModeOffert(), AddColPermis);
    while (items_.size() > voulus.size())
        RetireDernierItem();
    while (items_.size() < voulus.size())
        AjouteItem(voulus[items_.size()]);
    for (int i = 0; i < items_.size(); ++i)
        items_[i]->setText(voulus[i]);
}

TmodeKurvalis TConstanteDlg::ModeOffert() const
{
    // Data on another grid than the columns sent so far cannot join them: the second
    // item then means a new page.
    return modeKurvalis == kColonne && !AddColPermis ? kPage : modeKurvalis;
}

void TConstanteDlg::Enregistre()
{
    modeKurvalis = ModeApresOK(ModeOffert(), ItemIndex());
    valeurConst = StrToReel(ValeurConstEdit->text());
    avecConstante = !NomConstEdit->text().isEmpty();
    enregistre_ = true;
}

void TConstanteDlg::OKBtnClick()
{
    Enregistre();
    accept();
}

bool TConstanteDlg::Montre()
{
    enregistre_ = false;
    FormActivate();
    const bool ok = Dialogues().Execute(*this);
    // The OK button records; a confirmation that did not pass through it records here.
    if (ok && !enregistre_)
        Enregistre();
    return ok;
}

TValeursConstante TConstanteDlg::Valeurs() const
{
    TValeursConstante v;
    v.avecConstante = avecConstante;
    v.NomConst = NomConstEdit->text();
    v.UniteConst = UniteConstEdit->text();
    v.ValeurConst = ValeurConstEdit->text();
    v.SignifConst = SignifConstEdit->text();
    v.Commentaire = CommEdit->text();
    return v;
}

void TConstanteDlg::CentreEcran()
{
    const QWidget* parent = parentWidget();
    const QScreen* ecran = parent ? parent->screen() : screen();
    if (!ecran)
        return;
    QRect cadre = frameGeometry();
    cadre.moveCenter(ecran->availableGeometry().center());
    move(cadre.topLeft());
    // Not a position the user chose: the next showing centres again.
    setAttribute(Qt::WA_Moved, false);
}

void TConstanteDlg::showEvent(QShowEvent* event)
{
    FormActivate();
    // The items may have changed: size the dialog before centring it.
    layout()->activate();
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CentreEcran();
    OKBtn->setFocus();
}

} // namespace kelvor
