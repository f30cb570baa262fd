#include "windows/kelvorconst.h"

#include "support/dialoguesscript.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

const QString F = "Nouveau &fichier", P = "Nouvelle &page", C = "Nouvelle &colonne";

// Confirms the dialog by its OK button after choosing an item.
std::function<void(QDialog&)> Choisit(int item)
{
    return [item](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.SetItemIndex(item);
        dlg.OKBtn->click();
    };
}

} // namespace

TEST(ConstanteDlg, FirstUseOffersFileAndPageWithFileSelected)
{
    TDialoguesScript script;
    TConstanteDlg dlg;
    script.RepondDialogue(true, [](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        EXPECT_EQ(dlg.Items(), QStringList({F, P}));
        EXPECT_EQ(dlg.ItemIndex(), 0);
    });
    EXPECT_TRUE(dlg.Montre());
    EXPECT_EQ(script.questions, QStringList({"Kelvor 4100 vers Kurvalis"}));
    EXPECT_EQ(dlg.modeKurvalis, kFichier);
    EXPECT_FALSE(dlg.avecConstante);
}

// Sends of spectra of the same grid: once a column was chosen, columns go on.
TEST(ConstanteDlg, ColumnChosenOnceIsKeptAndPageModeNeverOffersIt)
{
    TDialoguesScript script;
    TConstanteDlg dlg;
    struct Etape
    {
        bool permis;
        int choix;
        QStringList items;
        TmodeKurvalis mode;
    };
    const Etape etapes[] = {
        {false, 0, {F, P}, kFichier},     {true, 2, {F, P, C}, kColonne},
        {true, 1, {F, C}, kColonne},      {true, 0, {F, C}, kFichier},
        {true, 1, {F, P, C}, kPage},      {true, 1, {F, P}, kPage},
    };
    for (const Etape& e : etapes) {
        dlg.AddColPermis = e.permis;
        QStringList vus;
        script.RepondDialogue(true, [&](QDialog& d) {
            vus = static_cast<TConstanteDlg&>(d).Items();
            Choisit(e.choix)(d);
        });
        ASSERT_TRUE(dlg.Montre());
        EXPECT_EQ(vus, e.items);
        EXPECT_EQ(dlg.modeKurvalis, e.mode);
    }
}

TEST(ConstanteDlg, RemovingTheSelectedColumnSelectsTheSecondItem)
{
    TConstanteDlg dlg;
    dlg.AddColPermis = true;
    dlg.FormActivate();
    dlg.SetItemIndex(2);
    dlg.AddColPermis = false;
    dlg.FormActivate();
    EXPECT_EQ(dlg.Items(), QStringList({F, P}));
    EXPECT_EQ(dlg.ItemIndex(), 1);
}

TEST(ConstanteDlg, OkRecordsTheParameterAndCancelChangesNothing)
{
    TDialoguesScript script;
    TConstanteDlg dlg;
    script.RepondDialogue(true, [](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.NomConstEdit->setText("C");
        dlg.ValeurConstEdit->setText("0,5");
        dlg.OKBtn->click();
    });
    ASSERT_TRUE(dlg.Montre());
    EXPECT_TRUE(dlg.avecConstante);
    EXPECT_DOUBLE_EQ(dlg.valeurConst, 0.5);

    // Cancelled: the edits keep what was typed, the recorded values do not follow.
    script.RepondDialogue(false, [](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.NomConstEdit->clear();
        dlg.ValeurConstEdit->setText("abc");
        dlg.SetItemIndex(1);
        dlg.CancelBtn->click();
    });
    EXPECT_FALSE(dlg.Montre());
    EXPECT_TRUE(dlg.avecConstante);
    EXPECT_DOUBLE_EQ(dlg.valeurConst, 0.5);
    EXPECT_EQ(dlg.modeKurvalis, kFichier);
    EXPECT_EQ(dlg.Valeurs().NomConst, "");
    EXPECT_TRUE(dlg.Valeurs().avecConstante);

    // Confirmed without a symbol: no parameter; a value that is no number gives no value.
    script.RepondDialogue(true, Choisit(0));
    ASSERT_TRUE(dlg.Montre());
    EXPECT_FALSE(dlg.avecConstante);
    EXPECT_TRUE(std::isnan(dlg.valeurConst));
}

TEST(ConstanteDlg, ConfirmationThatBypassesTheButtonStillRecords)
{
    TDialoguesScript script;
    TConstanteDlg dlg;
    dlg.AddColPermis = true;
    script.RepondDialogue(true, [](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.NomConstEdit->setText("pH");
        dlg.SetItemIndex(2);
    });
    ASSERT_TRUE(dlg.Montre());
    EXPECT_EQ(dlg.modeKurvalis, kColonne);
    EXPECT_TRUE(dlg.avecConstante);
}

TEST(ConstanteDlg, SymbolHoldsEightCharactersAndKeyboardReachesEverything)
{
    TConstanteDlg dlg;
    QTest::keyClicks(dlg.NomConstEdit, "abcdefghij");
    EXPECT_EQ(dlg.NomConstEdit->text(), "abcdefgh");

    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_TRUE(dlg.OKBtn->hasFocus());
    EXPECT_TRUE(dlg.OKBtn->isDefault());
    // Return confirms through the OK button.
    dlg.NomConstEdit->setText("C");
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.avecConstante);
    for (QWidget* w : std::initializer_list<QWidget*>{dlg.NomConstEdit, dlg.UniteConstEdit,
                                                       dlg.ValeurConstEdit, dlg.SignifConstEdit,
                                                       dlg.CommEdit})
        EXPECT_FALSE(w->accessibleName().isEmpty());
}

TEST(ConstanteDlg, CentredOnTheScreenNotOnTheMainWindow)
{
    QWidget principale;
    principale.setGeometry(0, 0, 200, 120);
    principale.show();
    TConstanteDlg dlg(&principale);
    const QPoint centre = principale.screen()->availableGeometry().center();
    for (int fois = 0; fois < 2; ++fois) {
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        EXPECT_LE((dlg.frameGeometry().center() - centre).manhattanLength(), 4)
            << "showing " << fois;
        dlg.move(5, 5);   // moved by the user: the next showing centres again
        dlg.hide();
    }
}
