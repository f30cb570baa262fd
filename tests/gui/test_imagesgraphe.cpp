// The graph of the kinetics and Beer-Lambert windows as an image: the entries under their
// "Imprimer" button write the file or fill the clipboard, and the screen keeps its picture.

#include "instrument/cfgspect.h"
#include "support/appareilscript.h"
#include "support/dialoguesscript.h"
#include "windows/kelvorbeer.h"
#include "windows/kelvorcinet.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

QAction* Entree(QToolButton& bouton, const QString& texte)
{
    if (!bouton.menu())
        return nullptr;
    for (QAction* a : bouton.menu()->actions())
        if (a->text() == texte)
            return a;
    return nullptr;
}

class ImagesGraphe : public ::testing::Test
{
protected:
    QTemporaryDir dossier;
    TDialoguesScript dialogues;
    TAppareilScript appareil;

    void SetUp() override
    {
        DossierDonnees = dossier.path() + '/';
        NouveauSpectro();
    }
    void TearDown() override { DossierDonnees.clear(); }

    // Both entries of the window's print button, checked on its picture.
    void Verifie(QWidget& fenetre, QToolButton& imprimer, const QImage& (*ecran)(QWidget&))
    {
        fenetre.resize(900, 600);
        fenetre.show();
        fenetre.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
        QAction* image = Entree(imprimer, "&Image du graphe...");
        QAction* copie = Entree(imprimer, "&Copier l'image");
        ASSERT_TRUE(image && copie);
        EXPECT_EQ(imprimer.popupMode(), QToolButton::MenuButtonPopup);
        const QImage avant = ecran(fenetre);

        dialogues.Repond(true, dossier.filePath("graphe.svg"));
        image->trigger();
        QFile svg(dossier.filePath("graphe.svg"));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QByteArray xml = svg.readAll();
        EXPECT_TRUE(xml.contains("<svg") && (xml.contains("<polyline") || xml.contains("<path")))
            << xml.left(300).toStdString();
        EXPECT_TRUE(dialogues.messages.isEmpty());

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&fenetre, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(1600, 900));
        EXPECT_EQ(ecran(fenetre), avant) << "the screen's graph keeps its own layout";
    }
};

TEST_F(ImagesGraphe, KineticsGraphLeavesAsFileOrClipboardImage)
{
    TCinetiqueForm form(appareil);
    form.resize(900, 600);
    form.show();
    form.OscilloPaint();    // the picture of the laid-out window, to compare with
    Verifie(form, *form.PrintBtn, [](QWidget& f) -> const QImage& {
        return static_cast<TCinetiqueForm&>(f).Oscillo->image;
    });
}

TEST_F(ImagesGraphe, BeerLambertGraphLeavesAsFileOrClipboardImage)
{
    TBeerForm form(appareil);
    Verifie(form, *form.PrintBtn0, [](QWidget& f) -> const QImage& {
        return static_cast<TBeerForm&>(f).Oscillo->image;
    });
}

} // namespace
