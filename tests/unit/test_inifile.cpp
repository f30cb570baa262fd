#include "instrument/inifile.h"

#include "support/localefixe.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <csignal>
#include <optional>
#include <string>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace kelvor;

namespace {

class Ini : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dossier.isValid());
        chemin = dossier.filePath(QStringLiteral("Kealvor5100.ini"));
    }
    void Ecrit(const QByteArray& octets)
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(octets);
    }
    QByteArray Lit() const
    {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }

    QTemporaryDir dossier;
    QString chemin;
};

} // namespace

TEST_F(Ini, LitLesTroisFormesDeValeur)
{
    Ecrit("[S]\r\n"
          "i1=12\r\n  i2 =  -5  \r\ni3=0x1F\r\ni4=0XfF\r\ni5=0xFFFFFFFF\r\ni6=2,5\r\ni7=abc\r\n"
          "i8=\r\ni9=99999999999\r\ni10=1 2\r\ni11=+8\r\ni12=0x\r\n"
          "b1=1\r\nb2=0\r\nb3=7\r\nb4=-1\r\nb5=oui\r\n"
          "r1=0.1\r\nr2=0,1\r\nr3=1e3\r\nr4= 2 \r\nr5=x\r\nr6=1.5.2\r\n");
    const struct { const char* cle; qint32 attendu; } entiers[] = {
        {"i1", 12}, {"i2", -5}, {"i3", 31}, {"i4", 255}, {"i5", -1}, {"i6", 42}, {"i7", 42},
        {"i8", 42}, {"i9", 42}, {"i10", 42}, {"i11", 8}, {"i12", 42}, {"absente", 42},
    };
    const struct { const char* cle; bool defaut, attendu; } booleens[] = {
        {"b1", false, true}, {"b2", true, false}, {"b3", false, true}, {"b4", false, true},
        {"b5", true, true}, {"b5", false, false}, {"absente", true, true},
    };
    const struct { const char* cle; double attendu; } reels[] = {
        {"r1", 0.1}, {"r2", 0.1}, {"r3", 1000}, {"r4", 2}, {"r5", -9}, {"r6", -9},
        {"absente", -9},
    };
    for (const bool francais : {false, true}) {
        std::optional<LocaleFixe> locale;
        if (francais)
            locale.emplace(QLocale::French, QLocale::France);
        const TIniFile ini(chemin);
        for (const auto& c : entiers)
            EXPECT_EQ(ini.ReadInteger("S", c.cle, 42), c.attendu) << c.cle;
        for (const auto& c : booleens)
            EXPECT_EQ(ini.ReadBool("S", c.cle, c.defaut), c.attendu) << c.cle;
        for (const auto& c : reels)
            EXPECT_DOUBLE_EQ(ini.ReadFloat("S", c.cle, -9), c.attendu) << c.cle << francais;
    }
}

TEST_F(Ini, NomsSansEgardALaCasseEtPremiereOccurrence)
{
    Ecrit("k=avant\n[beer]\nCONCMAX=0,1\n  Nom = c \nnom=double\n[Beer]\nunite=x\n");
    TIniFile ini(chemin);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Beer", "ConcMax", 9), 0.1);
    EXPECT_EQ(ini.ReadString("BEER", "nom", "?"), "c");
    EXPECT_EQ(ini.ReadString("Beer", "Unite", "?"), "?");     // only the first section counts
    EXPECT_EQ(ini.ReadString("Beer", "k", "?"), "?");         // before any section
    EXPECT_TRUE(ini.SectionExists("bEEr"));
    EXPECT_FALSE(ini.ValueExists("Beer", "Maxi"));

    // Writing goes to the first occurrence too, under the file's own spelling.
    ini.WriteString("Beer", "nom", "d");
    EXPECT_EQ(ini.Contenu(),
              "k=avant\r\n[beer]\r\nCONCMAX=0,1\r\nNom=d\r\nnom=double\r\n[Beer]\r\nunite=x\r\n");
}

TEST_F(Ini, EcritureGardeLOrdreLesCommentairesEtAjouteEnFinDeSection)
{
    Ecrit("; en-tete\r\n"
          "[Save]\r\nKurvalis=1\r\n; choix\r\nClip=0\r\n\r\n"
          "[Autre]\r\nA=1\r\nligne sans egal\r\n\r\n"
          "[Cinetique]\r\nLambda=600\r\n");
    TIniFile ini(chemin);
    ini.WriteBool("save", "CLIP", true);
    ini.WriteBool("Save", "File", false);
    ini.WriteInteger("Cinetique", "Deltat", 5);
    ini.WriteInteger("Cinetique", "Lambda", 650);
    ini.WriteString("Beer", "Nom", "c");
    ini.WriteString("Beer", "Unite", "mol/L");
    ini.WriteString("Save", "Kurvalis", "0");
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(Lit(), QByteArray("; en-tete\r\n"
                                "[Save]\r\nKurvalis=0\r\n; choix\r\nClip=1\r\nFile=0\r\n\r\n"
                                "[Autre]\r\nA=1\r\nligne sans egal\r\n\r\n"
                                "[Cinetique]\r\nLambda=650\r\nDeltat=5\r\n\r\n"
                                "[Beer]\r\nNom=c\r\nUnite=mol/L\r\n"));

    // Reloaded, the file gives back what was written, and a second pass changes nothing.
    TIniFile relu(chemin);
    EXPECT_EQ(relu.ReadInteger("Cinetique", "Deltat", 0), 5);
    EXPECT_EQ(relu.ReadString("Beer", "Unite", ""), "mol/L");
    EXPECT_EQ(relu.Contenu(), Lit());
}

TEST_F(Ini, FichierNeufEtFinsDeLigneLF)
{
    TIniFile neuf(chemin);
    neuf.WriteInteger("IC5100", "Com", 2);
    neuf.WriteInteger("LigneBase", "320", 0);
    EXPECT_EQ(neuf.Contenu(), "[IC5100]\r\nCom=2\r\n\r\n[LigneBase]\r\n320=0\r\n");

    neuf.WriteString("Beer", "Unite", "mol/L\r\n[IC5100]\nCom=9");
    EXPECT_EQ(neuf.ReadInteger("IC5100", "Com", 0), 2) << "a typed text never becomes a key";
    EXPECT_EQ(neuf.Contenu(), "[IC5100]\r\nCom=2\r\n\r\n[LigneBase]\r\n320=0\r\n\r\n"
                              "[Beer]\r\nUnite=mol/L  [IC5100] Com=9\r\n");

    Ecrit("[A]\nx=1\n\n[B]\ny=2");      // LF only, no final line end
    TIniFile lf(chemin);
    EXPECT_EQ(lf.ReadInteger("B", "y", 0), 2);
    EXPECT_EQ(lf.Contenu(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(Ini, TexteEnWindows1252)
{
    Ecrit("[Beer]\r\nNom=\xE9tat\r\nUnite=\xB5mol/L\r\n");
    TIniFile ini(chemin);
    EXPECT_EQ(ini.ReadString("Beer", "Nom", ""), QString::fromUtf8("état"));
    EXPECT_EQ(ini.ReadString("Beer", "Unite", ""), QString::fromUtf8("µmol/L"));
    ini.WriteString("Beer", "Nom", QString::fromUtf8("€ ω"));
    EXPECT_EQ(ini.Contenu(), "[Beer]\r\nNom=\x80 ?\r\nUnite=\xB5mol/L\r\n");
}

TEST_F(Ini, ReelsEcritsAuSeparateurDuPosteSur15Chiffres)
{
    const struct { double x; const char* c; const char* fr; } cas[] = {
        {0.1, "0.1", "0,1"},
        {2, "2", "2"},
        {-1.5, "-1.5", "-1,5"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {123456789012345.6, "123456789012346", "123456789012346"},
        {1e20, "1E20", "1E20"},
        {0.00001, "1E-5", "1E-5"},
    };
    for (const auto& c : cas) {
        TIniFile ini(chemin);
        ini.WriteFloat("Beer", "Maxi", c.x);
        EXPECT_EQ(ini.ReadString("Beer", "Maxi", ""), QString::fromLatin1(c.c));
        LocaleFixe francais(QLocale::French, QLocale::France);
        ini.WriteFloat("Beer", "Maxi", c.x);
        EXPECT_EQ(ini.ReadString("Beer", "Maxi", ""), QString::fromLatin1(c.fr));
        EXPECT_DOUBLE_EQ(ini.ReadFloat("Beer", "Maxi", 0), std::stod(c.c)) << c.c;
    }
}

// A failed write must leave the previous settings file whole.
class EcritureAtomique : public Ini
{
protected:
    const QByteArray ancien = "[IC5100]\r\nCom=3\r\n";

    TIniFile Gros() const
    {
        TIniFile ini(chemin);
        for (int l = 198; l <= 1000; ++l)
            ini.WriteInteger("LigneBase", QString::number(l), 123456);
        return ini;
    }
};

TEST_F(EcritureAtomique, EcritureInterrompueGardeLAncienFichier)
{
    Ecrit(ancien);
    const TIniFile ini = Gros();

    // A file size limit makes the write fail part-way, as a full disk would.
    rlimit avant{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &avant), 0);
    auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = avant;
    limite.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
    const bool ok = ini.UpdateFile();
    setrlimit(RLIMIT_FSIZE, &avant);
    std::signal(SIGXFSZ, ancienSignal);

    EXPECT_FALSE(ok);
    EXPECT_EQ(Lit(), ancien);
    EXPECT_EQ(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Kealvor5100.ini"});     // no temporary left behind

    EXPECT_TRUE(ini.UpdateFile());                  // and it works once space is back
    EXPECT_EQ(Lit(), ini.Contenu());
}

TEST_F(EcritureAtomique, DossierEnLectureSeuleGardeLAncienFichier)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    Ecrit(ancien);
    QFile::setPermissions(dossier.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool ok = Gros().UpdateFile();
    QFile::setPermissions(dossier.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Lit(), ancien);
}

TEST_F(EcritureAtomique, DossierAbsentEchoueSansRienCreer)
{
    TIniFile ini(dossier.filePath("absent/Kealvor5100.ini"));
    ini.WriteInteger("IC5100", "Com", 1);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_FALSE(QFileInfo::exists(dossier.filePath("absent")));
}

// A settings file far larger than ours is not read past the limit, gives the defaults and
// is never replaced: the bytes on disk stay as they were.
TEST_F(Ini, FichierTropGrandNiLuNiRemplace)
{
    QByteArray octets = "[IC5100]\r\nCom=3\r\n";
    octets += QByteArray(TailleMaxReglages, ';');
    Ecrit(octets);
    TIniFile ini(chemin);
    EXPECT_FALSE(ini.Lisible());
    EXPECT_EQ(ini.ReadInteger("IC5100", "Com", 1), 1);
    ini.WriteInteger("IC5100", "Com", 4);
    QString erreur;
    EXPECT_FALSE(ini.UpdateFile(&erreur));
    EXPECT_EQ(erreur, QStringLiteral("Le fichier de réglages %1 dépasse 1 Mo : il n'est ni lu ni remplacé.")
                          .arg(QDir::toNativeSeparators(chemin)));
    EXPECT_EQ(Lit(), octets);

    // At the limit it is still ours.
    octets.truncate(TailleMaxReglages);
    Ecrit(octets);
    EXPECT_EQ(TIniFile(chemin).ReadInteger("IC5100", "Com", 1), 3);
}
