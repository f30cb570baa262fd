// The Beer-Lambert mode dialog: what it proposes, its pages, OK and Cancel.

#include "windows/modebeer.h"

#include "support/appareilscript.h"
#include "support/dialoguesscript.h"
#include "support/qtprint.h"
#include "support/localefixe.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

class ModeBeerTest : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};

    void SetUp() override
    {
        serie.concMax = 0.25;
        serie.InitAttente();
    }

    // Shows the dialog through the seam; remplit types into it before OK or Cancel.
    bool Montre(bool ok, std::function<void(TModeBeerDlg&)> remplit)
    {
        dialogues.RepondDialogue(ok, [remplit, ok](QDialog& d) {
            auto& dlg = static_cast<TModeBeerDlg&>(d);
            remplit(dlg);
            (ok ? dlg.OKBtn : dlg.CancelBtn)->click();
        });
        return dlg.Montre();
    }
    static void Remplace(QLineEdit* e, const QString& texte)
    {
        e->selectAll();
        QTest::keyClicks(e, texte);
        if (texte.isEmpty())
            e->clear();
    }

    TAppareilScript appareil;
    TDialoguesScript dialogues;
    TSerieBeer serie{appareil};
    TModeBeerDlg dlg{serie};
};

TEST_F(ModeBeerTest, LayoutAndWhatItProposesComingFromTheSpaceBarMode)
{
    EXPECT_EQ(dlg.windowTitle(), "Utilisation de la loi de Beer-Lambert");
    EXPECT_GE(dlg.width(), 357);
    EXPECT_GE(dlg.height(), 203);
    QStringList items;
    for (QAbstractButton* b : dlg.ModeAcqRG->findChildren<QRadioButton*>())
        items << b->text();
    EXPECT_EQ(items, QStringList({"à chaque frappe de la barre d'espace", "Loi de Beer-Lambert",
                                  "Entrée clavier"}));
    EXPECT_EQ(dlg.EditNom->maxLength(), 8);
    EXPECT_EQ(dlg.EditUnite->maxLength(), 20);
    EXPECT_EQ(dlg.Pages->widget(0)->property("text").toString(),
              "\nVous pouvez aussi cliquer sur le bouton \n\"Enregistre\"");

    dlg.FormActivate();
    EXPECT_EQ(dlg.ItemIndex(), maIncrement);
    EXPECT_EQ(dlg.Pages->currentIndex(), 0);
    EXPECT_EQ(dlg.EditNom->text(), "c");
    EXPECT_EQ(dlg.EditUnite->text(), "mol/L");
    EXPECT_EQ(dlg.EditSignif->text(), "Concentration");
    EXPECT_EQ(dlg.EditMax->text(), "0,25");
    EXPECT_EQ(dlg.EditMin->text(), "0");
    EXPECT_EQ(dlg.EditMaxBeer->text(), "16") << "the abscissa maximum";

    // Each radio item shows the page at its position.
    for (int i : {2, 1, 0}) {
        QTest::mouseClick(dlg.ModeAcqGroupe->button(i), Qt::LeftButton);
        EXPECT_EQ(dlg.Pages->currentIndex(), i);
    }
}

TEST_F(ModeBeerTest, OkAppliesTheTypedValues)
{
    struct Cas
    {
        const char* nom;
        int item;
        const char* maxBeer;
        const char* mini;
        const char* maxi;
        double concMax, axeMini, axeMaxi;
    } cas[] = {
        {"negative concentration", maBeer, "-0,05", "", "", 0.05, 0, 0.05},
        {"concentration above one", maBeer, "2", "", "", 1, 0, 1},
        {"concentration not a number", maBeer, "abc", "", "", 0.1, 0, 0.1},
        {"keyboard range swapped", maClavier, "", "10", "2", 0.25, 2, 10},
        {"keyboard maximum empty", maClavier, "", "1", "", 0.25, 1, 5},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        serie.ModeAcq = maIncrement;
        serie.concMax = 0.25;
        serie.InitAttente();
        EXPECT_TRUE(Montre(true, [&](TModeBeerDlg& d) {
            QTest::mouseClick(d.ModeAcqGroupe->button(c.item), Qt::LeftButton);
            if (c.item == maBeer) {
                Remplace(d.EditMaxBeer, c.maxBeer);
            } else {
                Remplace(d.EditNom, "V");
                Remplace(d.EditUnite, "mL");
                d.EditSignif->setText("Volume versé");
                Remplace(d.EditMin, c.mini);
                Remplace(d.EditMax, c.maxi);
            }
        }));
        EXPECT_EQ(serie.ModeAcq, c.item);
        EXPECT_DOUBLE_EQ(serie.concMax, c.concMax);
        EXPECT_DOUBLE_EQ(serie.abscisse.mini, c.axeMini);
        EXPECT_DOUBLE_EQ(serie.abscisse.maxi, c.axeMaxi);
        EXPECT_EQ(serie.abscisse.nom, c.item == maBeer ? "c" : "V");
        EXPECT_EQ(serie.abscisse.signif, c.item == maBeer ? "Concentration" : "Volume versé");
    }

    // Opened again, it shows the keyboard quantity as it stands.
    dlg.FormActivate();
    EXPECT_EQ(dlg.ItemIndex(), maClavier);
    EXPECT_EQ(dlg.Pages->currentIndex(), 2);
    EXPECT_EQ(dlg.EditNom->text(), "V");
    EXPECT_EQ(dlg.EditMax->text(), "5");
    EXPECT_EQ(dlg.EditMaxBeer->text(), "5");
}

TEST_F(ModeBeerTest, CancelChangesNothing)
{
    EXPECT_FALSE(Montre(false, [](TModeBeerDlg& d) {
        QTest::mouseClick(d.ModeAcqGroupe->button(maClavier), Qt::LeftButton);
        Remplace(d.EditNom, "V");
        Remplace(d.EditMin, "3");
        Remplace(d.EditMaxBeer, "0,7");
    }));
    EXPECT_EQ(serie.ModeAcq, maIncrement);
    EXPECT_EQ(serie.abscisse.nom, "n");
    EXPECT_EQ(serie.abscisse.mini, 0);
    EXPECT_EQ(serie.abscisse.maxi, 16);
    EXPECT_EQ(serie.concMax, 0.25);
    EXPECT_EQ(dialogues.questions, QStringList{"Utilisation de la loi de Beer-Lambert"});
}

} // namespace
