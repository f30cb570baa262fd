#include "windows/kelvorconst.h"
#include "windows/spectdde.h"

#include "support/attente.h"
#include "support/compagnon.h"
#include "support/dialoguesscript.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

// Every test gets its own endpoint folder and registry, so test programs may run side
// by side.
class EchangeDDE : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dossier.isValid());
        qputenv("KELVOR_DDE_DIR", QFile::encodeName(dossier.filePath("dde")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dossier.filePath("reglages"));
    }
    void TearDown() override { qunsetenv("KELVOR_DDE_DIR"); }

    static void Registre(const QString& cle, const QString& valeur)
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Kurvalis");
        s.setValue(cle, valeur);
        s.sync();
    }

    // A form whose launcher and waits are recorded instead of done.
    std::unique_ptr<TFormDDE> Forme(bool lanceurAccepte = false)
    {
        auto f = std::make_unique<TFormDDE>();
        f->Executable = "/opt/kelvor/kelvor";
        f->Lanceur = [this, lanceurAccepte](const QString& p) {
            lances << p;
            return lanceurAccepte;
        };
        f->Attente = [this](int ms) { attentes << ms; };
        return f;
    }

    QTemporaryDir dossier;
    QStringList lances;
    QList<int> attentes;
};

Vecteur Spectre()
{
    Vecteur y;
    y.fill(PasDeValeur());
    for (int lambda = 400; lambda <= 410; lambda += 2)
        y[lambda] = 0.1;
    return y;
}

std::function<void(QDialog&)> Choisit(int item)
{
    return [item](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.SetItemIndex(item);
        dlg.OKBtn->click();
    };
}

} // namespace

TEST_F(EchangeDDE, CompanionFoundAtEitherRegistryPlaceOrByBareName)
{
    struct Cas
    {
        const char* cle;
        const char* sousCle;
        const char* application;
    };
    const Cas cas[] = {
        {"", "", "kurvalis.exe"},
        {"/opt/Kurvalis/kurvalis.exe", "", "/opt/Kurvalis/kurvalis.exe"},
        {"", "C:\\Kurvalis\\kurvalis.exe", "C:\\Kurvalis\\kurvalis.exe"},
        {"/a/kurvalis.exe", "/b/kurvalis.exe", "/a/kurvalis.exe"},
    };
    for (const Cas& c : cas) {
        Registre("Path", c.cle);
        Registre("Kurvalis/Path", c.sousCle);
        EXPECT_EQ(Forme()->ServiceApplication, c.application) << c.cle << "|" << c.sousCle;
    }
}

TEST_F(EchangeDDE, SpectrumSentThreeTimesGivesLoadThenTwoColumns)
{
    TDialoguesScript script;
    TCompagnon kurvalis;
    ASSERT_TRUE(kurvalis.ecoute);
    auto dde = Forme();
    TConstanteDlg dlg;
    dlg.CommEdit->setText("bleu");
    dde->ConstanteDlg = &dlg;

    const Vecteur y = Spectre();
    const bool permis[] = {false, true, true};
    const int choix[] = {0, 2, 1};
    // Only a send made from the first item moves the choice on, to the second item.
    const int itemApres[] = {1, 2, 1};
    for (int i = 0; i < 3; ++i) {
        dlg.AddColPermis = permis[i];
        script.RepondDialogue(true, Choisit(choix[i]));
        ASSERT_TRUE(dlg.Montre());
        dde->EnvoieDonnees(y, 400, 410);
        ASSERT_TRUE(kurvalis.Attend(i + 1)) << "send " << i;
        EXPECT_EQ(dlg.ItemIndex(), itemApres[i]) << "send " << i;
    }
    EXPECT_EQ(kurvalis.Macros(), QList<QByteArray>({"CLIP|LOAD", "CLIP|ADDCOL", "CLIP|ADDCOL"}));
    const QString& plein = kurvalis.recus[0].pressePapier;
    EXPECT_TRUE(plein.startsWith("/opt/kelvor/kelvor\r\nbleu spectre ")) << plein.toStdString();
    EXPECT_TRUE(plein.endsWith("\r\nlambda\tA\r\nnm\t\r\n400\t0.100\r\n402\t0.100\r\n404\t0.100\r\n"
                               "406\t0.100\r\n408\t0.100\r\n410\t0.100\r\n"));
    const QString valeurs = "0.100\r\n0.100\r\n0.100\r\n0.100\r\n0.100\r\n0.100\r\n";
    EXPECT_EQ(kurvalis.recus[1].pressePapier, "\r\nA2\t\r\n\t\r\nbleu\t\r\n" + valeurs);
    EXPECT_EQ(kurvalis.recus[2].pressePapier, "\r\nA3\t\r\n\t\r\nbleu\t\r\n" + valeurs);
    EXPECT_TRUE(lances.isEmpty());
    EXPECT_TRUE(attentes.isEmpty());
    EXPECT_TRUE(script.messages.isEmpty());

    // A full block starts the numbering again.
    dde->TexteSpectre(y, 400, 410);
    dde->TexteColonne(y, 400, 410);
    EXPECT_TRUE(LitPressePapier().startsWith("\r\nA2\t\r\n"));
}

TEST_F(EchangeDDE, KineticsRunsGoAsNewFileThenNewPage)
{
    TCompagnon kurvalis;
    auto dde = Forme();
    TConstanteDlg dlg;
    dde->ConstanteDlg = &dlg;
    Vecteur x{}, y{};
    x[1] = 5;
    y[0] = 0.25;
    y[1] = 0.5;

    dde->EnvoieDonneesCinetique(true, x, y, 2, {});
    EXPECT_EQ(dlg.ItemIndex(), 1);
    dde->EnvoieDonneesCinetique(true, x, y, 2, {{5, "top"}});
    ASSERT_TRUE(kurvalis.Attend(2));
    EXPECT_EQ(kurvalis.Macros(), QList<QByteArray>({"CLIP|LOAD", "CLIP|ADD"}));
    EXPECT_TRUE(kurvalis.recus[1].pressePapier.endsWith(
        "\r\n\r\nt\tA\r\ns\t\r\n0\t0.25\r\n5\t0.5\r\n&1 REPERE\r\n5\ttop\r\n"));

    // Copy only: the clipboard changes, nothing is sent, the choice moves on all the same.
    dlg.SetItemIndex(0);
    dde->EnvoieDonneesCinetique(false, x, y, 1, {});
    EXPECT_TRUE(LitPressePapier().endsWith("s\t\r\n0\t0.25\r\n"));
    EXPECT_EQ(dlg.ItemIndex(), 1);
    EXPECT_TRUE(ResteVrai([&] { return kurvalis.recus.size() == 2; }, 50));
}

TEST_F(EchangeDDE, NoCompanionReachableLeavesTheBlockOnTheClipboard)
{
    struct Cas
    {
        bool lanceurAccepte;
        QList<int> attentes;
    };
    const Cas cas[] = {{false, {1000}}, {true, {2000, 1000}}};
    for (const Cas& c : cas) {
        TDialoguesScript script;
        lances.clear();
        attentes.clear();
        auto dde = Forme(c.lanceurAccepte);
        dde->EnvoieDonnees(Spectre(), 400, 410);
        EXPECT_EQ(script.messages, QStringList({"Impossible de lancer KURVALIS"}));
        EXPECT_EQ(lances, QStringList({"kurvalis.exe"}));
        EXPECT_EQ(attentes, c.attentes);
        EXPECT_TRUE(LitPressePapier().endsWith("410\t0.100\r\n"));
    }
}

TEST_F(EchangeDDE, CompanionStartedByTheLauncherGetsTheMacro)
{
    Registre("Path", "/opt/Kurvalis/Kurvalis.bin");
    std::unique_ptr<TCompagnon> kurvalis;
    auto dde = Forme();
    dde->Lanceur = [&](const QString& p) {
        lances << p;
        kurvalis = std::make_unique<TCompagnon>();
        return true;
    };
    TDialoguesScript script;
    dde->Execute(eFocus);
    ASSERT_TRUE(kurvalis && kurvalis->Attend(1));
    EXPECT_EQ(kurvalis->Macros(), QList<QByteArray>({"FOCUS"}));
    EXPECT_EQ(lances, QStringList({"/opt/Kurvalis/Kurvalis.bin"}));
    EXPECT_EQ(attentes, QList<int>({2000}));
    // Running now: the next order neither starts nor waits.
    dde->Execute(eAdd);
    ASSERT_TRUE(kurvalis->Attend(2));
    EXPECT_EQ(lances.size(), 1);
    EXPECT_EQ(attentes.size(), 1);
    EXPECT_FALSE(dde->ClientDDE.Ouvert());
}

TEST_F(EchangeDDE, MacroThatCannotBeIssuedIsReported)
{
    TDialoguesScript script;
    auto dde = Forme();
    dde->EnvoieMacro(eLoad);
    EXPECT_EQ(script.messages, QStringList({"Transfert non exécuté"}));
}

TEST_F(EchangeDDE, ServerBringsTheMainWindowForwardOnFocusOnly)
{
    auto dde = Forme();
    ASSERT_TRUE(dde->ServeurDDE.EnEcoute());
    int focus = 0;
    dde->DonneFocus = [&] { ++focus; };

    struct Cas
    {
        QByteArray macro;
        int focus;
    };
    const Cas cas[] = {{"focus(1)", 1}, {"FOCUS\r\nGETDATA", 0}, {"CONFIG|LOAD", 0},
                       {"GetData", 1},  {"CONFIG|SAVE", 0}};
    TClientDDE client;
    for (const Cas& c : cas) {
        focus = 0;
        QSignalSpy recues(&dde->ServeurDDE, &TServeurDDE::MacroRecue);
        client.SetLink(dde->NomServeur(), "ServeurDDE");
        ASSERT_TRUE(client.OpenLink());
        ASSERT_TRUE(client.ExecuteMacro(c.macro));
        client.ExecuteMacro("MARQUE");   // unknown: does nothing, tells us the first arrived
        ASSERT_TRUE(Attends([&] { return recues.size() >= 2; })) << c.macro.toStdString();
        EXPECT_EQ(focus, c.focus) << c.macro.toStdString();
        client.CloseLink();
    }
}

TEST_F(EchangeDDE, FocusActivatesTheMainWindow)
{
    auto dde = Forme();
    QWidget principale;
    QWidget autre;
    dde->SetFenetrePrincipale(&principale);
    principale.show();
    autre.show();
    autre.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&autre));
    dde->ExecuteMacro({"FOCUS"});
    EXPECT_TRUE(QTest::qWaitForWindowActive(&principale));
}

TEST_F(EchangeDDE, TransportFramesAndEndpoints)
{
    EXPECT_EQ(TrameExecute("CLIP|LOAD"), QByteArray("EXECUTE 9\nCLIP|LOAD"));
    EXPECT_EQ(PointDDE("kurvalis", "ServeurDDE"), dossier.filePath("dde") + "/KURVALIS.ServeurDDE");

    TServeurDDE serveur;
    QList<QStringList> recues;
    QObject::connect(&serveur, &TServeurDDE::MacroRecue,
                     [&](const QStringList& l, const QByteArray&) { recues << l; });
    // A file left behind at the endpoint does not block a new server...
    QFile reste(PointDDE("ESSAI", "T"));
    ASSERT_TRUE(reste.open(QIODevice::WriteOnly));
    reste.close();
    ASSERT_TRUE(serveur.Ecoute("essai", "T"));
    // ...but a server that answers does.
    TServeurDDE second;
    EXPECT_FALSE(second.Ecoute("ESSAI", "T"));
    EXPECT_TRUE(RepondDDE("Essai", "T"));
    EXPECT_FALSE(RepondDDE("AUTRE", "T"));

    // Two frames in one write, split lines, then a malformed frame that ends the connection.
    QLocalSocket s;
    s.connectToServer(PointDDE("ESSAI", "T"));
    ASSERT_TRUE(s.waitForConnected(1000));
    s.write(TrameExecute("a\r\nb") + TrameExecute("dur\xE9" "e"));
    s.write("BONJOUR\n");
    s.flush();
    ASSERT_TRUE(Attends([&] { return s.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(recues, QList<QStringList>({{"a", "b"}, {"durée"}}));

    // A frame that arrives in pieces is taken whole.
    QLocalSocket t;
    t.connectToServer(PointDDE("ESSAI", "T"));
    ASSERT_TRUE(t.waitForConnected(1000));
    const QByteArray trame = TrameExecute("FOCUS");
    t.write(trame.left(4));
    t.flush();
    QTest::qWait(30);
    t.write(trame.mid(4));
    t.flush();
    ASSERT_TRUE(Attends([&] { return recues.size() == 3; }));
    EXPECT_EQ(recues.last(), QStringList({"FOCUS"}));
}
