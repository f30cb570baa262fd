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

TEST_F(SpinEditTest, TypedTextReadsInsideTheBounds)
{
    struct Cas { const char* tape; qint32 lu; };
    const Cas cas[] = {{"700", 700}, {"900", 800}, {"12", 325}, {"", 325}, {"-", 325}};
    QLineEdit* edit = se.findChild<QLineEdit*>();
    for (const Cas& c : cas) {
        edit->clear();
        QSignalSpy changes(&se, &TSpinEdit::Change);
        QTest::keyClicks(edit, c.tape);
        EXPECT_EQ(Texte(), c.tape) << "letters typed are kept as typed";
        EXPECT_EQ(se.Value(), c.lu) << c.tape;
        EXPECT_EQ(changes.count(), int(qstrlen(c.tape))) << c.tape;
    }
    edit->clear();
    QTest::keyClicks(edit, "5x");   // a letter is refused
    EXPECT_EQ(Texte(), "5");
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
