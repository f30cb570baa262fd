#include "graph/graphker.h"
#include "windows/impression.h"
#include "support/canevasenregistreur.h"
#include "support/dialoguesscript.h"

#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelvor;

// Only the path without a printer can run safely here: with one, the page would really go
// out. Without one, the page is offered as a PDF file.
TEST(ImprimanteSysteme, WithoutPrinterOffersAPdfFileAndKeepsTheScreen)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed; not printing a real page";
    const QString offre = "Aucune imprimante n'est installée.\nEnregistrer la page dans un fichier PDF ?";
    QTemporaryDir dossier;
    TImprimanteSysteme systeme;
    SetImprimante(&systeme);
    TDialoguesScript dialogues;
    TCanevasEnregistreur ecran;
    Tgraphe g;

    // Declined: nothing written, the reason said.
    dialogues.Repond(true);
    dialogues.Repond(false);
    g.Imprime();
    EXPECT_EQ(dialogues.questions, (QStringList{"Impression ?", offre}));
    EXPECT_EQ(dialogues.messages,
              QStringList{"Aucune imprimante n'est installée : impression impossible."});

    // Accepted: a bare name becomes a .pdf file holding the page.
    dialogues.questions.clear();
    dialogues.messages.clear();
    dialogues.Repond(true);
    dialogues.Repond(true);
    dialogues.Repond(true, dossier.filePath("page"));
    g.Imprime();
    SetImprimante(nullptr);
    EXPECT_EQ(dialogues.questions, (QStringList{"Impression ?", offre, "Enregistrer la page en PDF"}));
    EXPECT_TRUE(dialogues.messages.isEmpty());
    QFile pdf(dossier.filePath("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 1000);
    EXPECT_TRUE(ecran.traces.isEmpty()) << "the screen is not drawn on";
}
