#include "windows/exportgraphe.h"

#include "util/dialogues.h"
#include "util/nomfichier.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QSvgGenerator>
#include <QToolButton>

namespace kelvor {

const QString FiltreImages = QStringLiteral("Image PNG (*.png)|*.png|Image SVG (*.svg)|*.svg|"
                                            "Document PDF (*.pdf)|*.pdf");

namespace {

QString MessageEcriture(const QString& nom)
{
    return QStringLiteral("Impossible d'écrire le fichier « %1 ».").arg(nom);
}

bool Echec(QString* erreur, const QString& message)
{
    if (erreur)
        *erreur = message;
    return false;
}

bool EcritSvg(const TDessin& dessin, const QString& nom, QString* erreur)
{
    QFile fichier(nom);
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Echec(erreur, MessageEcriture(nom));
    QSvgGenerator svg;
    svg.setOutputDevice(&fichier);
    svg.setSize(TailleImageGraphe);
    svg.setViewBox(QRect(QPoint(0, 0), TailleImageGraphe));
    svg.setTitle(QFileInfo(nom).completeBaseName());
    TCanevasQt canevas;
    if (!canevas.Attache(&svg))
        return Echec(erreur, MessageEcriture(nom));
    dessin(canevas, TRectangle{0, 0, TailleImageGraphe.width(), TailleImageGraphe.height()});
    canevas.Detache();
    return fichier.error() == QFileDevice::NoError || Echec(erreur, MessageEcriture(nom));
}

bool EcritPdf(const TDessin& dessin, const QString& nom, QString* erreur)
{
    // The same page as a print to a PDF file.
    TImprimantePdf pdf(nom);
    QString message;
    TCanevas* page = pdf.Commence(message);
    if (!page)
        return Echec(erreur, message);
    dessin(*page, page->ClipRect());
    pdf.Termine();
    return true;
}

} // namespace

QImage ImageGraphe(const TDessin& dessin, QSize taille)
{
    QImage image(taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanevasQt canevas;
    if (canevas.Attache(&image)) {
        dessin(canevas, TRectangle{0, 0, taille.width(), taille.height()});
        canevas.Detache();
    }
    return image;
}

bool EcritImageGraphe(const TDessin& dessin, const QString& nom, QString* erreur)
{
    const QString format = QFileInfo(nom).suffix().toLower();
    if (format == QLatin1String("png"))
        return ImageGraphe(dessin).save(nom, "PNG") || Echec(erreur, MessageEcriture(nom));
    if (format == QLatin1String("svg"))
        return EcritSvg(dessin, nom, erreur);
    if (format == QLatin1String("pdf"))
        return EcritPdf(dessin, nom, erreur);
    return Echec(erreur, QStringLiteral("Format d'image inconnu « %1 » : choisir .png, .svg ou .pdf.")
                             .arg(QFileInfo(nom).suffix()));
}

void ExporteImageGraphe(const TDessin& dessin)
{
    const QString nom = Dialogues().FichierSauve(QStringLiteral("Enregistrer l'image du graphe"),
                                                 FiltreImages, QStringLiteral("png"), {});
    if (nom.isEmpty())
        return;
    QString erreur;
    if (!EcritImageGraphe(dessin, AvecExtension(nom, QStringLiteral("png")), &erreur))
        Dialogues().Message(erreur);
}

void CopieImageGraphe(const TDessin& dessin)
{
    QGuiApplication::clipboard()->setImage(ImageGraphe(dessin));
}

void AjouteMenuImage(QToolButton& bouton, const TDessin& dessin)
{
    auto* menu = new QMenu(&bouton);
    const auto entree = [&](const QString& texte, const QString& indication, const QKeySequence& touche,
                            void (*quoi)(const TDessin&)) {
        QAction* a = menu->addAction(texte);
        a->setStatusTip(indication);
        a->setShortcut(touche);
        // Reachable from the keyboard without opening the drop-down.
        bouton.window()->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [dessin, quoi] { quoi(dessin); });
    };
    entree(QStringLiteral("&Image du graphe..."), QStringLiteral("Enregistrer le graphe en PNG, SVG ou PDF"),
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &ExporteImageGraphe);
    entree(QStringLiteral("&Copier l'image"), QStringLiteral("Copier le graphe dans le presse-papiers"),
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &CopieImageGraphe);
    bouton.setMenu(menu);
    bouton.setPopupMode(QToolButton::MenuButtonPopup);
}

} // namespace kelvor
