// The spectrum window's readouts beside the graph: λmax, the colour of the solution, the
// legend of several spectra, and the graph's exports, after opening files and after a
// simulated scan.

#include "app/application.h"
#include "windows/specmain.h"

#include "exchange/fichierspectre.h"
#include "mesure/couleursolution.h"
#include "mesure/pics.h"
#include "simulateur.h"
#include "support/canevasenregistreur.h"
#include "support/dialoguesscript.h"
#include "support/localefixe.h"
#include "util/chromato.h"
#include "support/ports.h"
#include "support/spectresynthetique.h"
#include "windows/exportgraphe.h"
#include "windows/panneauspectre.h"
#include "windows/spinedit.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

// Two bands (455 and 615 nm, away from the axis labels) and a weaker single one.
Vecteur DeuxBandes()
{
    return synth::Spectre([](double l) { return 0.5 * synth::Gauss(l, 455, 25) + 0.9 * synth::Gauss(l, 615, 30); },
                          350, 800, 1, 0.002);
}
Vecteur UneBande()
{
    return synth::Spectre([](double l) { return 0.4 * synth::Gauss(l, 520, 30); }, 350, 800, 2);
}

QWidget* ParNom(QWidget& fenetre, const QString& nom)
{
    for (QWidget* w : fenetre.findChildren<QWidget*>())
        if (w->accessibleName() == nom)
            return w;
    return nullptr;
}

class PanneauSpectre : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};
    QTemporaryDir dossier;
    TDialoguesScript dialogues;
    std::unique_ptr<TFenetresProgramme> fenetres;
    TSpectreMain* w = nullptr;

    void SetUp() override
    {
        // No port is searched here: every port number is hidden.
        CacheLesPorts();
        NouveauSpectro();
        fenetres = std::make_unique<TFenetresProgramme>();
        w = &fenetres->Principale();
        w->resize(1100, 700);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    QString Fichier(const QString& nom, const Vecteur& y)
    {
        const QString chemin = dossier.filePath(nom + ".txt");
        EXPECT_TRUE(EcritSpectre(chemin, "01/01/2026 10:00:00", y, 350, 800));
        return chemin;
    }
    TPanneauSpectre& P() { return *w->Panneau; }
    QString Texte(const QString& nom)
    {
        auto* l = qobject_cast<QLabel*>(ParNom(*w, nom));
        return l ? l->text() : QStringLiteral("<absent>");
    }
    QString Legende() { return ParNom(*w, "Légende")->accessibleDescription(); }
    QImage Graphe()
    {
        w->PaintBox->Prepare();
        return w->PaintBox->Image();
    }
};

TEST_F(PanneauSpectre, OpenedSpectrumShowsItsPeaksAndColourAndFollowsTheMarkers)
{
    EXPECT_EQ(Texte("λmax"), "");
    w->FileOpenAccept(Fichier("bleu", DeuxBandes()));

    const TPics pics = CherchePics(w->GrapheSpectre.valeurY, 350, 800);
    ASSERT_EQ(pics.pics.size(), 2);
    EXPECT_EQ(pics.LambdaMax().lambda, 615);
    EXPECT_EQ(Texte("λmax"), TexteLambdaMax(pics));
    EXPECT_TRUE(Texte("λmax").startsWith("λmax = 615 nm   A = 0,9")) << Texte("λmax").toStdString();
    EXPECT_EQ(ParNom(*w, "λmax")->accessibleDescription(), Texte("λmax"));
    Graphe();
    EXPECT_TRUE(w->PaintBox->accessibleDescription().endsWith(" nm, λmax 615 nm"))
        << w->PaintBox->accessibleDescription().toStdString();

    const TCouleurSolution c = CouleurSolution(w->GrapheSpectre.valeurY, 350, 800);
    ASSERT_TRUE(c.valide);
    const QString couleur = Texte("Couleur de la solution");
    EXPECT_TRUE(couleur.contains(QRegularExpression("^#[0-9A-F]{6}  "))) << couleur.toStdString();
    EXPECT_TRUE(couleur.contains(c.hex) && couleur.contains(c.nom) && couleur.contains(c.texte));
    EXPECT_EQ(Legende(), "bleu");

    // Both peaks are marked on the graph with their wavelength.
    TCanevasEnregistreur enregistreur;
    w->PaintBoxPaint(enregistreur, TRectangle{0, 0, 900, 500});
    EXPECT_TRUE(enregistreur.Textes().contains("455"));
    EXPECT_TRUE(enregistreur.Textes().contains("615"));
    w->Redessine();

    // End marker before the second band: λmax is the first, and the range no longer
    // covers the visible spectrum.
    w->FinSE->SetValue(560);
    EXPECT_TRUE(Texte("λmax").startsWith("λmax = 455 nm")) << Texte("λmax").toStdString();
    EXPECT_EQ(Texte("Couleur de la solution"), "plage visible incomplète");
    w->FinSE->SetValue(800);
    EXPECT_TRUE(Texte("λmax").startsWith("λmax = 615 nm"));
}

TEST_F(PanneauSpectre, SpectraAddedFromFilesAreShownHiddenAndRemovedThroughTheLegend)
{
    w->FileOpenAccept(Fichier("courant", DeuxBandes()));
    const QImage seul = Graphe();

    dialogues.Repond(true, Fichier("témoin", UneBande()));
    P().AjouterBtn->click();
    EXPECT_EQ(dialogues.questions.last(), "Ajouter un spectre au graphe");
    EXPECT_EQ(Legende(), "courant\ntémoin");
    const QImage deux = Graphe();
    EXPECT_NE(deux, seul);

    // Hidden: the graph is as before, the legend says so.
    P().Legende->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Legende(), "courant\ntémoin (masqué)");
    EXPECT_EQ(Graphe(), seul);
    P().Legende->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(Graphe(), deux);

    // The current spectrum stays: it cannot be hidden or removed from the legend.
    EXPECT_FALSE(P().Legende->item(0)->flags() & Qt::ItemIsUserCheckable);
    P().Legende->setCurrentRow(0);
    EXPECT_FALSE(P().RetirerBtn->isEnabled());
    P().Legende->setFocus();
    QTest::keyClick(P().Legende, Qt::Key_Delete);
    EXPECT_EQ(Legende(), "courant\ntémoin");

    P().Legende->setCurrentRow(1);
    EXPECT_TRUE(P().RetirerBtn->isEnabled());
    QTest::keyClick(P().Legende, Qt::Key_Delete);
    EXPECT_EQ(Legende(), "courant");
    EXPECT_EQ(Graphe(), seul);

    // A file opened in place of the current one keeps the others.
    dialogues.Repond(true, Fichier("témoin", UneBande()));
    P().AjouterClick();
    w->FileOpenAccept(Fichier("suivant", UneBande()));
    EXPECT_EQ(Legende(), "suivant\ntémoin");
    EXPECT_TRUE(dialogues.messages.isEmpty()) << dialogues.messages.join('|').toStdString();
}

TEST_F(PanneauSpectre, GraphHoldsEightSpectraAtMostAndSaysWhenFull)
{
    w->FileOpenAccept(Fichier("courant", DeuxBandes()));
    const QString autre = Fichier("autre", UneBande());
    for (int i = 0; i < 7; ++i) {
        dialogues.Repond(true, autre);
        P().AjouterClick();
    }
    EXPECT_EQ(P().Superposition().Courbes().size(), 8);
    EXPECT_FALSE(P().GarderBtn->isEnabled());
    EXPECT_TRUE(dialogues.messages.isEmpty());
    dialogues.Repond(true, autre);
    P().AjouterClick();
    EXPECT_EQ(dialogues.messages,
              QStringList{"Le graphe montre déjà 8 spectres : retirez-en un avant d'en ajouter un autre."});
    EXPECT_EQ(P().Superposition().Courbes().size(), 8);

    // A file without a readable point is refused with its name.
    const QString vide = dossier.filePath("vide.txt");
    QFile f(vide);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a\r\nb\r\nc\r\n");
    f.close();
    P().Legende->setCurrentRow(1);
    P().RetirerClick();
    dialogues.Repond(true, vide);
    P().AjouterClick();
    EXPECT_TRUE(dialogues.messages.last().startsWith("Aucun point de spectre lisible")) << dialogues.messages.last().toStdString();
    EXPECT_EQ(P().Superposition().Courbes().size(), 7);
}

TEST_F(PanneauSpectre, ExportsWriteTheShownGraphInEachFormatAndTheSpreadsheet)
{
    w->FileOpenAccept(Fichier("courant", DeuxBandes()));
    dialogues.Repond(true, Fichier("témoin", UneBande()));
    P().AjouterClick();

    // A bare name takes the PNG extension; the image is 1600x900.
    dialogues.Repond(true, dossier.filePath("graphe"));
    ExporteImageGraphe(P().Dessin());
    EXPECT_EQ(dialogues.questions.last(), "Enregistrer l'image du graphe");
    QFile png(dossier.filePath("graphe.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8));
    const QImage image(png.fileName());
    EXPECT_EQ(image.size(), QSize(1600, 900));
    // The wavelength-coloured current spectrum is in it (red-orange near 615 nm).
    bool couleur = false;
    for (int x = 0; x < image.width() && !couleur; x += 2)
        for (int y = 0; y < image.height() && !couleur; ++y)
            couleur = image.pixel(x, y) == CouleurLambda(615);
    EXPECT_TRUE(couleur);

    const QString svg = dossier.filePath("graphe.SVG");
    ASSERT_TRUE(EcritImageGraphe(P().Dessin(), svg));
    QFile fs(svg);
    ASSERT_TRUE(fs.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&fs);
    int chemins = 0;
    QString racine;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (racine.isEmpty())
                racine = xml.name().toString();
            chemins += xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline");
        }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(racine, "svg");
    EXPECT_GT(chemins, 0);

    const QString pdf = dossier.filePath("graphe.pdf");
    ASSERT_TRUE(EcritImageGraphe(P().Dessin(), pdf));
    QFile fp(pdf);
    ASSERT_TRUE(fp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fp.read(5) == "%PDF-");

    QString erreur;
    EXPECT_FALSE(EcritImageGraphe(P().Dessin(), dossier.filePath("graphe.bmp"), &erreur));
    EXPECT_EQ(erreur, "Format d'image inconnu « bmp » : choisir .png, .svg ou .pdf.");
    EXPECT_FALSE(EcritImageGraphe(P().Dessin(), dossier.filePath("absent/graphe.png"), &erreur));
    EXPECT_TRUE(erreur.startsWith("Impossible d'écrire le fichier"));

    // The spreadsheet: one column per shown spectrum, from the save menu.
    QAction* tableur = nullptr;
    for (QAction* a : w->SauverAct->menu()->actions())
        if (a->text() == "&Tableur (*.csv)...")
            tableur = a;
    ASSERT_TRUE(tableur);
    dialogues.Repond(true, dossier.filePath("spectres"));
    tableur->trigger();
    QFile csv(dossier.filePath("spectres.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray octets = csv.readAll();
    EXPECT_TRUE(octets.startsWith("\xEF\xBB\xBF" "\xCE\xBB (nm);courant;t\xC3\xA9moin\r\n350;")) << octets.left(60).toStdString();
    EXPECT_TRUE(octets.contains("\r\n351;")) << "the one-nanometre grid of the current spectrum";
}

TEST_F(PanneauSpectre, PrintButtonOffersTheImageEntriesAndPrintsTheWholeGraph)
{
    w->FileOpenAccept(Fichier("courant", DeuxBandes()));
    QToolButton* imprimer = nullptr;
    for (QAction* a : w->ToolBar->actions())
        if (auto* b = qobject_cast<QToolButton*>(w->ToolBar->widgetForAction(a)); b && b->accessibleName() == "Imprimer")
            imprimer = b;
    ASSERT_TRUE(imprimer);
    ASSERT_TRUE(imprimer->menu());
    QStringList entrees;
    for (QAction* a : imprimer->menu()->actions())
        entrees << a->text();
    EXPECT_EQ(entrees, (QStringList{"&Image du graphe...", "&Copier l'image"}));

    const QString chemin = dossier.filePath("page.pdf");
    TImprimantePdf pdf(chemin, 72);
    SetImprimante(&pdf);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    dialogues.Repond(true);
    QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
    SetImprimante(nullptr);
    EXPECT_EQ(dialogues.questions, QStringList{"Impression ?"});
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

// ---------------------------------------------------------------------------------------
// With the simulated instrument

class PanneauSimule : public PanneauSpectre
{
protected:
    TSimulateur sim;

    void SetUp() override
    {
        QString erreur;
        ASSERT_TRUE(sim.Demarre(&erreur)) << erreur.toStdString();
        sim.physique.bruit = false;
        PanneauSpectre::SetUp();
        MontrePort(1, sim.Peripherique());
    }

    void Balayage()
    {
        dialogues.Repond(true);
        w->SpectreClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->etatSpectre() == esAttente; }, 20000));
    }
};

TEST_F(PanneauSimule, TwoScansKeptSideBySideEachWithItsReadouts)
{
    w->InitAppareil();
    ASSERT_EQ(w->etatSpectre(), esAttente);
    w->PasSE->SetValue(4);
    w->FinSE->SetValue(780);
    w->DebutSE->SetValue(380);
    dialogues.Repond(true);
    w->BlancClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->lecture() == lNone; }, 20000));
    sim.MetCuve(cuEchantillon);

    Balayage();
    const auto nomHeure = QRegularExpression("^Spectre \\d\\d:\\d\\d:\\d\\d$");
    EXPECT_TRUE(nomHeure.match(Legende()).hasMatch()) << Legende().toStdString();
    const QString lambda1 = Texte("λmax");
    EXPECT_EQ(lambda1, TexteLambdaMax(CherchePics(w->GrapheSpectre.valeurY, 380, 780)));
    EXPECT_TRUE(Texte("Couleur de la solution").startsWith(
        CouleurSolution(w->GrapheSpectre.valeurY, 380, 780).hex));
    EXPECT_FALSE(P().Pics().Vide());

    // A scan in progress has no readouts; its end brings the new ones.
    P().GarderClick();
    EXPECT_FALSE(P().GarderBtn->isEnabled()) << "kept already";
    sim.physique.concentration = 0.5;
    dialogues.Repond(true);     // "Spectre non sauvé, on continue ?"
    dialogues.Repond(true);
    w->SpectreClick();
    EXPECT_EQ(Texte("λmax"), "");
    EXPECT_FALSE(P().GarderBtn->isEnabled());
    EXPECT_EQ(Legende().count('\n'), 0) << "only the kept one while the new one is measured";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->etatSpectre() == esAttente; }, 20000));
    const QStringList noms = Legende().split('\n');
    ASSERT_EQ(noms.size(), 2);
    EXPECT_TRUE(nomHeure.match(noms[0]).hasMatch() && nomHeure.match(noms[1]).hasMatch());
    EXPECT_EQ(Texte("λmax"), TexteLambdaMax(CherchePics(w->GrapheSpectre.valeurY, 380, 780)));
    EXPECT_NE(Texte("λmax"), lambda1) << "half the absorbance at the same wavelength";
    EXPECT_TRUE(P().GarderBtn->isEnabled());
}

} // namespace
