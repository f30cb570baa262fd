#include "graph/graphker.h"
#include "windows/impression.h"
#include "support/canevasenregistreur.h"
#include "support/dialoguesscript.h"

#include <QPrinterInfo>

#include <gtest/gtest.h>

using namespace kelvor;

// Only the path without a printer can run safely here: with one, the page would really go
// out.
TEST(ImprimanteSysteme, WithoutPrinterSaysSoAndKeepsTheScreen)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed; not printing a real page";
    TImprimanteSysteme systeme;
    SetImprimante(&systeme);
    TDialoguesScript dialogues;
    TCanevasEnregistreur ecran;
    Tgraphe g;
    dialogues.Repond(true);
    g.Imprime();
    SetImprimante(nullptr);
    EXPECT_EQ(dialogues.questions, QStringList{"Impression ?"});
    EXPECT_EQ(dialogues.messages,
              QStringList{"Aucune imprimante n'est installée : impression impossible."});
    EXPECT_TRUE(ecran.traces.isEmpty());
}
