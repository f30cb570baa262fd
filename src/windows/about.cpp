#include "windows/about.h"

#include "util/dialogues.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace kelvor {

const QString PageAccueil = QStringLiteral("https://kelvor.example.org/");

QString PageMiseAJour()
{
    return PageAccueil + QStringLiteral("miseajourKelvor.html");
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent), ouvrePage([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowTitle(QStringLiteral("A propos"));
    setObjectName(QStringLiteral("AboutBox"));

    auto* panneau = new QFrame(this);
    panneau->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* icone = new QLabel(panneau);
    icone->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    icone->setAccessibleName(QStringLiteral("Icône du programme"));
    auto* textes = new QVBoxLayout;
    for (const char* ligne : {"Version 1.01 du 26/06/2015", "Spectrophotomètre Kelvor IC 51xx",
                              "pour Kurvalis Windows"})
        textes->addWidget(new QLabel(QString::fromUtf8(ligne), panneau));
    auto* contenu = new QHBoxLayout(panneau);
    contenu->addWidget(icone, 0, Qt::AlignTop);
    contenu->addLayout(textes);

    auto* adresse = new QLabel(PageAccueil, this);
    adresse->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    MiseAJourBtn = new QPushButton(QStringLiteral("&Version à jour"), this);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    connect(MiseAJourBtn, &QPushButton::clicked, this, &TAboutBox::MiseAJourBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(MiseAJourBtn);
    boutons->addWidget(OKBtn);

    auto* mise = new QVBoxLayout(this);
    mise->addWidget(panneau);
    mise->addWidget(adresse);
    mise->addLayout(boutons);
    mise->setSizeConstraint(QLayout::SetFixedSize);   // fixed dialog border
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
    OKBtn->setFocus();
}

void TAboutBox::MiseAJourBtnClick()
{
    if (!ouvrePage(QUrl(PageMiseAJour())))
        Dialogues().Message(QStringLiteral("Impossible d'accéder à ") + PageMiseAJour());
}

} // namespace kelvor
