#include "app/about.h"

#include "util/dialogues.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
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

    auto* boutons = new QDialogButtonBox(this);
    auto* miseAJour =
        boutons->addButton(QStringLiteral("&Version à jour"), QDialogButtonBox::ActionRole);
    auto* ok = boutons->addButton(QDialogButtonBox::Ok);
    ok->setDefault(true);
    connect(miseAJour, &QPushButton::clicked, this, &TAboutBox::MiseAJourBtnClick);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* mise = new QVBoxLayout(this);
    mise->addWidget(panneau);
    mise->addWidget(adresse);
    mise->addWidget(boutons);
    mise->setSizeConstraint(QLayout::SetFixedSize);   // fixed dialog border
}

void TAboutBox::MiseAJourBtnClick()
{
    if (!ouvrePage(QUrl(PageMiseAJour())))
        Dialogues().Message(QStringLiteral("Impossible d'accéder à ") + PageMiseAJour());
}

} // namespace kelvor
