#include "exchange/kurvalis.h"

#include <gtest/gtest.h>

using namespace kelvor;

TEST(Kurvalis, MacroOfEachOrder)
{
    EXPECT_EQ(MacroEnvoi(eAdd), "CLIP|ADD");
    EXPECT_EQ(MacroEnvoi(eLoad), "CLIP|LOAD");
    EXPECT_EQ(MacroEnvoi(eFocus), "FOCUS");
    EXPECT_EQ(MacroEnvoi(eAddCol), "CLIP|ADDCOL");
}

TEST(Kurvalis, CompanionFoundInRegistryOrByBareName)
{
    EXPECT_EQ(ApplicationKurvalis("", ""), "kurvalis.exe");
    EXPECT_EQ(ApplicationKurvalis("C:\\Kurvalis\\kurvalis.exe", "D:\\k.exe"),
              "C:\\Kurvalis\\kurvalis.exe");
    EXPECT_EQ(ApplicationKurvalis("", "D:\\k.exe"), "D:\\k.exe");

    struct Cas
    {
        const char* application;
        const char* service;
    };
    const Cas cas[] = {{"kurvalis.exe", "KURVALIS"},
                       {"C:\\Program Files\\Kurvalis\\kurvalis.exe", "KURVALIS"},
                       {"/opt/kurvalis/Kurvalis", "KURVALIS"},
                       {"/opt/v1.2/kurvalis.bin", "KURVALIS"},
                       {"kurvalis", "KURVALIS"}};
    for (const Cas& c : cas)
        EXPECT_EQ(NomService(c.application), c.service) << c.application;
}

// The "Envoyer comme" items and the mode each confirmation leads to.
TEST(Kurvalis, ItemsOfferedAndModeAfterOk)
{
    const QString f = "Nouveau &fichier", p = "Nouvelle &page", c = "Nouvelle &colonne";
    struct Cas
    {
        TmodeKurvalis mode;
        bool permis;
        QStringList items;
        TmodeKurvalis apres[3];   // after OK with item 0, 1, 2
    };
    const Cas cas[] = {
        {kFichier, true, {f, p, c}, {kFichier, kPage, kColonne}},
        {kFichier, false, {f, p}, {kFichier, kPage, kColonne}},
        {kColonne, true, {f, c}, {kFichier, kColonne, kColonne}},
        {kColonne, false, {f, c}, {kFichier, kColonne, kColonne}},
        {kPage, true, {f, p}, {kFichier, kPage, kColonne}},
        {kPage, false, {f, p}, {kFichier, kPage, kColonne}},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(testing::Message() << "mode " << k.mode << " permis " << k.permis);
        EXPECT_EQ(ItemsEnvoi(k.mode, PermisColonne(k.mode, k.permis)), k.items);
        for (int item = 0; item < 3; ++item)
            EXPECT_EQ(ModeApresOK(k.mode, item), k.apres[item]) << "item " << item;
    }
    EXPECT_FALSE(PermisColonne(kPage, true));
    EXPECT_TRUE(PermisColonne(kColonne, true));
}

TEST(Kurvalis, OrdersForSpectraAndTables)
{
    EXPECT_EQ(OrdreSpectre(kFichier), eLoad);
    EXPECT_EQ(OrdreSpectre(kColonne), eAddCol);
    EXPECT_EQ(OrdreSpectre(kPage), eAdd);
    EXPECT_EQ(OrdreTable(0), eLoad);
    EXPECT_EQ(OrdreTable(1), eAdd);
    EXPECT_EQ(OrdreTable(-1), eLoad);
}

TEST(Kurvalis, MacrosFromTheCompanion)
{
    struct Cas
    {
        QByteArray macro;
        TActionMacro action;
    };
    const Cas cas[] = {
        {"focus(1)", amFocus},        {"FOCUS", amFocus},          {"GetData", amFocus},
        {"focus(1)\r\n", amFocus},    {"FOCUS\r\nFOCUS", amAucune}, {"CONFIG|LOAD", amAucune},
        {"CONFIG|SAVE(x)", amAucune}, {"FOCUSX", amAucune},        {"", amAucune},
        {"(FOCUS)", amAucune},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(AnalyseMacro(LignesMacro(c.macro)), c.action) << c.macro.toStdString();
    EXPECT_EQ(NomCommande("focus(1)"), "focus");
    EXPECT_EQ(LignesMacro("a\r\nb\nc\r\n\r\n"), QStringList({"a", "b", "c", ""}));
}
