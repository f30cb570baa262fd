#include "instrument/choixspe.h"

#include "platform/portserie.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kelvor {

TChoixSpectroDlg* ChoixSpectroDlg = nullptr;

namespace {
constexpr qint32 DernierPort = 50;
}

TChoixSpectroDlg::TChoixSpectroDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Spectrophotomètre"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(false);

    existe_ = [](qint32 n) { return PortExiste(quint16(n)); };
    chemin_ = [](qint32 n) { return NomPort(quint16(n)); };

    Comports = new QGroupBox(QStringLiteral("Voie série : "), this);
    Comports->setObjectName(QStringLiteral("Comports"));
    grillePorts_ = new QGridLayout(Comports);
    groupePorts_ = new QButtonGroup(this);

    KelvorRG = new QGroupBox(QStringLiteral("Type de spectrophotomètre"), this);
    KelvorRG->setObjectName(QStringLiteral("KelvorRG"));
    auto* ligneKelvor = new QHBoxLayout(KelvorRG);
    groupeKelvor_ = new QButtonGroup(this);
    const char* noms[] = {"Kelvor 5100", "Kelvor 5105"};
    for (int k = 0; k < 2; ++k) {
        auto* b = new QRadioButton(QString::fromLatin1(noms[k]), KelvorRG);
        groupeKelvor_->addButton(b, k);
        ligneKelvor->addWidget(b);
    }

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Annuler"), this);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* boutons = new QVBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    boutons->addStretch();
    auto* haut = new QHBoxLayout;
    haut->addWidget(Comports, 1);
    haut->addLayout(boutons);
    auto* tout = new QVBoxLayout(this);
    tout->addLayout(haut);
    tout->addWidget(KelvorRG);
    tout->setSizeConstraint(QLayout::SetFixedSize);

    if (!ChoixSpectroDlg)
        ChoixSpectroDlg = this;
}

TChoixSpectroDlg::~TChoixSpectroDlg()
{
    if (ChoixSpectroDlg == this)
        ChoixSpectroDlg = nullptr;
}

void TChoixSpectroDlg::SetSonde(TPortExiste existe, TCheminPort chemin)
{
    existe_ = std::move(existe);
    chemin_ = std::move(chemin);
}

QList<QRadioButton*> TChoixSpectroDlg::ItemsPorts() const
{
    QList<QRadioButton*> items;
    for (QAbstractButton* b : groupePorts_->buttons())
        items << static_cast<QRadioButton*>(b);
    return items;
}

QRadioButton* TChoixSpectroDlg::ItemKelvor(TKelvor k) const
{
    return static_cast<QRadioButton*>(groupeKelvor_->button(k));
}

void TChoixSpectroDlg::Active()
{
    for (QAbstractButton* b : groupePorts_->buttons()) {
        groupePorts_->removeButton(b);
        delete b;
    }
    while (QLayoutItem* item = grillePorts_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    numero.clear();

    const Tspectro& s = Spectro();
    QRadioButton* choisi = nullptr;
    for (qint32 n = 1; n <= DernierPort; ++n) {
        if (!existe_(n))
            continue;
        const int position = int(numero.size());
        auto* item = new QRadioButton(QStringLiteral("COM%1").arg(n), Comports);
        // A Linux user recognises the adapter by its device, not by a COM number.
        const QString chemin = chemin_(n);
        item->setAccessibleDescription(chemin);
        item->setToolTip(chemin);
        groupePorts_->addButton(item, position);
        auto* legende = new QLabel(chemin, Comports);
        legende->setEnabled(false);
        legende->setBuddy(item);
        // Two columns of ports, each a radio button with its device beside it.
        const int ligne = position / 2;
        const int colonne = (position % 2) * 2;
        grillePorts_->addWidget(item, ligne, colonne);
        grillePorts_->addWidget(legende, ligne, colonne + 1);
        numero << quint8(n);
        if (n == s.ComNumberS)
            choisi = item;
    }
    if (!choisi && !numero.isEmpty())
        choisi = static_cast<QRadioButton*>(groupePorts_->button(0));
    if (choisi)
        choisi->setChecked(true);

    if (QAbstractButton* k = groupeKelvor_->button(s.Kelvor))
        k->setChecked(true);
}

void TChoixSpectroDlg::Valide()
{
    Tspectro& s = Spectro();
    const int position = groupePorts_->checkedId();
    if (position >= 0 && position < numero.size())
        s.ComNumberS = numero[position];
    const int k = groupeKelvor_->checkedId();
    if (k == k5100 || k == k5105)
        s.Kelvor = TKelvor(k);
}

void TChoixSpectroDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
    OKBtn->setFocus();
}

} // namespace kelvor
