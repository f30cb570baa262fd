#include "exchange/csv.h"

#include <gtest/gtest.h>

using namespace kelvor;

// Cells as the spreadsheet must read them back: separators and quotes quoted, numbers as
// they are, and texts that would run as formulas kept as text.
TEST(Csv, CellsReadBackAsWritten)
{
    const struct {
        const char* cellule;
        const char* ecrit;
    } cas[] = {
        {"Bleu de méthylène", "Bleu de méthylène"},
        {"a;b", "\"a;b\""},
        {"dit \"oui\"", "\"dit \"\"oui\"\"\""},
        {"-0,125", "-0,125"},
        {"-1,5e-05", "-1,5e-05"},
        {"-2+3", "'-2+3"},
        {"-", "'-"},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+33 6", "'+33 6"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"-cmd", "'-cmd"},
        {"", ""},
    };
    for (const auto& c : cas)
        EXPECT_EQ(LigneCsv({QString::fromUtf8(c.cellule), "1"}).toStdString(),
                  std::string(c.ecrit) + ";1\r\n")
            << c.cellule;
}
