#include "windows/choixspe.h"

#include "platform/portserie.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
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
    acces_ = [this](qint32 n) { return AccesPort(chemin_(n)); };

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
    ConstruitNote();
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
    MontreAcces();
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
    SurveillePeripheriques(true);
    if (QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
    OKBtn->setFocus();
}

void TChoixSpectroDlg::SetAcces(TAccesSonde acces)
{
    acces_ = std::move(acces);
}

void TChoixSpectroDlg::ConstruitNote()
{
    NoteLabel = new QLabel(this);
    NoteLabel->setWordWrap(true);
    NoteLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    NoteLabel->setMinimumWidth(380);
    NoteLabel->hide();
    if (auto* tout = qobject_cast<QVBoxLayout*>(layout()))
        tout->insertWidget(1, NoteLabel);

    surveillance_ = new QFileSystemWatcher(this);
    // Plugging an adapter creates several nodes in a row: list once they are there.
    relisteDiffere_ = new QTimer(this);
    relisteDiffere_->setSingleShot(true);
    relisteDiffere_->setInterval(300);
    connect(surveillance_, &QFileSystemWatcher::directoryChanged, relisteDiffere_, qOverload<>(&QTimer::start));
    connect(relisteDiffere_, &QTimer::timeout, this, &TChoixSpectroDlg::Reliste);
}

void TChoixSpectroDlg::MontreAcces()
{
    QString note;
    const QList<QRadioButton*> items = ItemsPorts();
    for (int position = 0; position < items.size(); ++position) {
        const qint32 n = numero[position];
        const TAccesPort acces = acces_(n);
        const QString texte = QStringLiteral("%1 (%2)").arg(chemin_(n), LibelleAcces(acces));
        items[position]->setAccessibleName(QStringLiteral("COM%1, %2").arg(n).arg(LibelleAcces(acces)));
        items[position]->setToolTip(texte);
        const int ligne = position / 2;
        const int colonne = (position % 2) * 2 + 1;
        if (QLayoutItem* l = grillePorts_->itemAtPosition(ligne, colonne)) {
            if (auto* legende = qobject_cast<QLabel*>(l->widget()))
                legende->setText(texte);
        }
        if (acces == apRefuse && note.isEmpty())
            note = MessageAcces(quint16(n), chemin_(n), acces);
    }
    const quint16 stocke = Spectro().ComNumberS;
    if (note.isEmpty() && items.isEmpty())
        note = QStringLiteral("Aucune voie série n'est présente : branchez l'adaptateur "
                              "USB-série, il apparaîtra ici.");
    else if (note.isEmpty() && !numero.contains(quint8(stocke)) && !chemin_(stocke).isEmpty())
        note = MessageAcces(stocke, chemin_(stocke), apAbsent);
    NoteLabel->setText(note);
    NoteLabel->setVisible(!note.isEmpty());
}

void TChoixSpectroDlg::Reliste()
{
    const int position = groupePorts_->checkedId();
    const int port = position >= 0 && position < numero.size() ? numero[position] : -1;
    const int variante = groupeKelvor_->checkedId();
    Active();
    if (const qsizetype i = numero.indexOf(quint8(port)); i >= 0)
        groupePorts_->button(int(i))->setChecked(true);
    if (QAbstractButton* k = groupeKelvor_->button(variante))
        k->setChecked(true);
}

void TChoixSpectroDlg::SurveillePeripheriques(bool actif)
{
    if (!surveillance_->directories().isEmpty())
        surveillance_->removePaths(surveillance_->directories());
    if (!actif)
        return;
    QStringList dossiers;
    for (qint32 n = 1; n <= DernierPort; ++n) {
        const QString chemin = chemin_(n);
        const QString dossier = chemin.isEmpty() ? QString() : QFileInfo(chemin).absolutePath();
        if (!dossier.isEmpty() && !dossiers.contains(dossier) && QFileInfo(dossier).isDir())
            dossiers << dossier;
    }
    if (!dossiers.isEmpty())
        surveillance_->addPaths(dossiers);
}

void TChoixSpectroDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    SurveillePeripheriques(false);
}

} // namespace kelvor
