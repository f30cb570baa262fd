// Pictures of the main window for people to look at: before connection, with a finished
// spectrum, with two, and zoomed. Written to KELVOR_GALERIE (default: the working folder).

#include "app/application.h"
#include "graph/canevas.h"
#include "simulateur.h"
#include "support/dialoguesscript.h"
#include "support/ports.h"
#include "windows/panneauspectre.h"
#include "windows/specmain.h"
#include "windows/spinedit.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

QString Chemin(const QString& nom)
{
    const QString dossier = qEnvironmentVariable("KELVOR_GALERIE", QDir::currentPath());
    QDir().mkpath(dossier);
    return QDir(dossier).filePath(nom);
}

void Photo(QWidget& w, const QString& nom)
{
    QTest::qWait(200);
    ASSERT_TRUE(w.grab().save(Chemin(nom)));
}

TEST(SpecMainGalerie, AvantConnexionEtSpectreFini)
{
    InstalleSubstitutionCalibri();
    TDialoguesScript dialogues;
    TSimulateur sim;
    ASSERT_TRUE(sim.Demarre());
    CacheLesPorts();
    MontrePort(1, sim.Peripherique());
    NouveauSpectro();
    TFenetresProgramme fenetres;
    TSpectreMain& w = fenetres.Principale();
    w.resize(1100, 720);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Photo(w, "spectrum-window-connection.png");

    w.InitAppareil();
    ASSERT_EQ(w.etatSpectre(), esAttente);
    w.PasSE->SetValue(1);
    w.FinSE->SetValue(900);
    w.DebutSE->SetValue(300);
    dialogues.Repond(true);
    w.BlancClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.lecture() == lNone; }, 20000));
    sim.MetCuve(cuEchantillon);
    dialogues.Repond(true);
    w.SpectreClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.etatSpectre() == esAttente; }, 20000));
    w.PaintBoxMouseMove(w.PaintBox->width() / 2, w.PaintBox->height() / 2);
    Photo(w, "spectrum-window-scan.png");

    // The scan kept, a second one at a lower concentration over it: two spectra, their
    // legend, the new one's λmax and colour.
    w.Panneau->GarderClick();
    QTest::qWait(1000);         // a name of its own: "Spectre hh:mm:ss" of the next second
    sim.physique.concentration = 0.45;
    dialogues.Repond(true);     // the first scan is not saved: go on
    dialogues.Repond(true);
    w.SpectreClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.etatSpectre() == esAttente; }, 20000));
    Photo(w, "spectrum-window-overlays.png");

    // Both spectra zoomed on the band around λmax, the absorbance fitted to them.
    ASSERT_TRUE(w.PaintBox->Prepare());
    qint32 x = 0, y = 0;
    w.GrapheSpectre.WindowXY(w.Panneau->Pics().LambdaMax().lambda, 0, x, y);
    w.PaintBoxMolette(x, y, 6);
    w.AjusterAClick();
    ASSERT_TRUE(w.PaintBox->Prepare());
    w.PaintBoxMouseMove(x, w.PaintBox->height() / 2);
    Photo(w, "spectrum-window-zoom.png");
}

} // namespace
