#include "windows/spinedit.h"

#include "support/qtprint.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

// The spin edit as the main window creates its start control: 325..800, 500, step 8.
struct SpinEditTest : ::testing::Test
{
    TSpinEdit se;
    SpinEditTest()
    {
        se.SetMinValue(325);
        se.SetMaxValue(800);
        se.SetIncrement(8);
        se.SetValue(500);
    }
    QString Texte() const { return se.findChild<QLineEdit*>()->text(); }
};

TEST_F(SpinEditTest, BoundsAreLimitsAndNeverMoveTheShownText)
{
    QSignalSpy changes(&se, &TSpinEdit::Change);
    se.SetMinValue(600);
    EXPECT_EQ(Texte(), "500");
    EXPECT_EQ(se.Value(), 600);     // read through the new bounds
    se.SetMaxValue(550);
    se.SetMinValue(100);
    EXPECT_EQ(Texte(), "500");
    EXPECT_EQ(se.Value(), 500);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(SpinEditTest, ProgramValuesAreBroughtInsideAndOnlyRealChangesNotify)
{
    struct Cas { const char* nom; qint32 donne; const char* montre; int changes; };
    const Cas cas[] = {
        {"same value shown", 500, "500", 0},
        {"inside", 612, "612", 1},
        {"below", 10, "325", 1},
        {"below again, same text", 0, "325", 0},
        {"above", 5000, "800", 1},
        {"negative", -7, "325", 1},
    };
    for (const Cas& c : cas) {
        QSignalSpy changes(&se, &TSpinEdit::Change);
        se.SetValue(c.donne);
        EXPECT_EQ(Texte(), c.montre) << c.nom;
        EXPECT_EQ(changes.count(), c.changes) << c.nom;
    }
}

TEST_F(SpinEditTest, TypingKeepsOnlyWhatCanLeadToAValueAndEndingShowsTheValueUsed)
{
    // The main window's fields: start 325..800, step 1..10, end 500..999.
    struct Cas { const char* nom; qint32 mini, maxi; const char* tape, *garde; qint32 lu; const char* fin; };
    const Cas cas[] = {
        {"inside", 325, 800, "700", "700", 700, "700"},
        {"on the way up", 325, 800, "12", "12", 325, "325"},
        {"beyond the top", 325, 800, "900", "90", 325, "325"},
        {"empty", 325, 800, "", "", 325, "325"},
        {"minus without negatives", 325, 800, "-", "", 325, "325"},
        {"negative step", 1, 10, "-5", "5", 5, "5"},
        {"step too large", 1, 10, "530", "5", 5, "5"},
        {"step zero", 1, 10, "0", "0", 1, "1"},
        {"list in the end", 500, 999, "1,2,3", "123", 500, "500"},
        {"letter", 500, 999, "5x", "5", 500, "500"},
        {"negative range", -50, -5, "-7", "-7", -7, "-7"},
        {"negative beyond", -50, -5, "-60", "-6", -6, "-6"},
    };
    QLineEdit* edit = se.findChild<QLineEdit*>();
    for (const Cas& c : cas) {
        se.SetMinValue(c.mini);
        se.SetMaxValue(c.maxi);
        edit->clear();
        se.setFocus();
        QTest::keyClicks(edit, c.tape);
        EXPECT_EQ(Texte(), c.garde) << c.nom;
        EXPECT_EQ(se.Value(), c.lu) << c.nom;
        QSignalSpy changes(&se, &TSpinEdit::Change);
        QTest::keyClick(&se, Qt::Key_Return);
        EXPECT_EQ(Texte(), c.fin) << c.nom;
        EXPECT_EQ(changes.count(), QString(c.garde) == c.fin ? 0 : 1) << c.nom;
    }
}

TEST_F(SpinEditTest, ArrowsStepFromTheValueReadAndStopAtTheBounds)
{
    QLineEdit* edit = se.findChild<QLineEdit*>();
    se.setFocus();
    QTest::keyClick(&se, Qt::Key_Up);
    EXPECT_EQ(Texte(), "508");
    QTest::keyClick(&se, Qt::Key_Down);
    QTest::keyClick(&se, Qt::Key_Down);
    EXPECT_EQ(Texte(), "492");
    se.SetValue(796);
    se.stepBy(1);
    EXPECT_EQ(Texte(), "800");
    edit->setText("2000");          // out of bounds as typed: the arrow starts from 800
    se.stepBy(-1);
    EXPECT_EQ(Texte(), "792");
}

} // namespace
