#include "mesure/journalcinet.h"

#include "mesure/cinetique.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

const QDateTime Debut(QDate(2026, 12, 10), QTime(14, 2, 37));

void AttendMemeRun(const TRunCinetique& r, const TRunCinetique& attendu, const std::string& ou)
{
    EXPECT_EQ(r.Debut, attendu.Debut) << ou;
    EXPECT_EQ(r.Lambda, attendu.Lambda) << ou;
    EXPECT_EQ(r.Deltat, attendu.Deltat) << ou;
    EXPECT_EQ(r.Duree, attendu.Duree) << ou;
    ASSERT_EQ(r.n, attendu.n) << ou;
    for (qint32 i = 0; i < r.n; ++i) {
        EXPECT_EQ(r.x[i], attendu.x[i]) << ou << " point " << i;
        EXPECT_EQ(r.y[i], attendu.y[i]) << ou << " point " << i;
    }
    ASSERT_EQ(r.Reperes.size(), attendu.Reperes.size()) << ou;
    for (std::size_t i = 0; i < r.Reperes.size(); ++i) {
        EXPECT_EQ(r.Reperes[i].Valeur, attendu.Reperes[i].Valeur) << ou;
        EXPECT_EQ(r.Reperes[i].Text, attendu.Reperes[i].Text) << ou;
    }
}

// A journal written event by event next to the run each event should leave: the
// expected state after line i is etats[i] (line 0 is the heading).
struct JournalEcrit
{
    QTemporaryDir dossier;
    TJournalCinet journal{dossier.filePath("journal")};
    TRunCinetique run;
    std::vector<TRunCinetique> etats;

    JournalEcrit()
    {
        run.Debut = Debut;
        run.Lambda = 530;
        run.Deltat = 3;
        run.Duree = 120;
        Enregistre(journal.Commence(Debut, 530, 3, 120));
    }
    void Enregistre(bool ecrit)
    {
        ASSERT_TRUE(ecrit) << journal.Erreur().toStdString();
        etats.push_back(run);
    }
    void Point(double t, double a)
    {
        run.x[run.n] = t;
        run.y[run.n] = a;
        Enregistre(journal.AjoutePoint(run.n++, t, a));
    }
    void Repere(double t, const QString& texte)
    {
        run.Reperes.push_back({t, texte});
        Enregistre(journal.AjouteRepere(t, texte));
    }
    QByteArray Octets() const
    {
        QFile f(journal.Chemin());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void RunTypique(JournalEcrit& j)
{
    for (int i = 0; i < 6; ++i)
        j.Point(3 * i, 0.8 * std::exp(-0.02 * 3 * i) + 1e-5 / 3);
    j.Repere(7, QStringLiteral("ajout de soude ; 2 gouttes*"));
    j.run.n = DivisePoints(j.run.x, j.run.y, j.run.n);
    j.Enregistre(j.journal.AjouteDivision());
    j.run.Deltat = 6;
    j.run.Duree = 500;
    j.Enregistre(j.journal.AjouteReglages(6, 500));
    j.Point(24, 0.1234567890123);
    j.Repere(25, QStringLiteral("ligne\ncoupée \\ é"));
    j.Point(30, -0.002);
}

TEST(JournalCinet, ReadsBackEveryEventExactly)
{
    JournalEcrit j;
    RunTypique(j);
    const auto r = j.journal.Recuperable();
    ASSERT_TRUE(r);
    AttendMemeRun(*r, j.run, "fichier entier");
    EXPECT_EQ(r->n, 5);
}

// A crash can cut the file at any byte: whatever the cut, every line written before
// it comes back and nothing else does.
TEST(JournalCinet, FileCutAtEveryByteGivesBackEveryWholeLineBeforeTheCut)
{
    JournalEcrit j;
    RunTypique(j);
    const QByteArray octets = j.Octets();
    ASSERT_EQ(octets.count('\n'), qsizetype(j.etats.size()));
    for (qsizetype coupe = 0; coupe <= octets.size(); ++coupe) {
        const QByteArray debut = octets.left(coupe);
        const auto r = LitJournalCinet(debut);
        const qsizetype lignes = debut.count('\n');
        if (lignes == 0) {
            EXPECT_FALSE(r) << "coupe " << coupe;
            continue;
        }
        ASSERT_TRUE(r) << "coupe " << coupe;
        AttendMemeRun(*r, j.etats[lignes - 1], "coupe " + std::to_string(coupe));
    }
}

TEST(JournalCinet, ReadingStopsAtADamagedOrOutOfSequenceLine)
{
    JournalEcrit j;
    RunTypique(j);
    const QByteArray octets = j.Octets();
    const qsizetype ligne3 = octets.indexOf('\n', octets.indexOf('\n', octets.indexOf('\n') + 1) + 1) + 1;
    QByteArray abime = octets;
    abime[ligne3 + 4] = abime[ligne3 + 4] == '9' ? '8' : '9';  // inside point 2's time
    AttendMemeRun(*LitJournalCinet(abime), j.etats[2], "octet changé");

    // A point whose index does not follow on (a lost line) ends the reading too.
    QByteArray saut = octets.left(ligne3);
    TJournalCinet autre(j.dossier.filePath("autre"));
    ASSERT_TRUE(autre.Commence(Debut, 530, 3, 120));
    ASSERT_TRUE(autre.AjoutePoint(7, 21, 0.5));
    QFile f(autre.Chemin());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    saut += f.readAll().split('\n')[1] + '\n';
    AttendMemeRun(*LitJournalCinet(saut), j.etats[2], "index sauté");

    // Zeros a power cut may leave at the end of a file.
    AttendMemeRun(*LitJournalCinet(octets + QByteArray(40, '\0') + '\n'), j.run, "zéros");
}

TEST(JournalCinet, RecoverableOnlyWithAPointAndGoneOnceRemoved)
{
    QTemporaryDir dossier;
    TJournalCinet journal(dossier.filePath("j"));
    EXPECT_FALSE(journal.Recuperable());
    ASSERT_TRUE(journal.Commence(Debut, 600, 3, 120));
    ASSERT_TRUE(journal.AjouteRepere(0, "départ"));
    EXPECT_FALSE(journal.Recuperable());
    ASSERT_TRUE(journal.AjoutePoint(0, 0, 0.5));
    EXPECT_TRUE(journal.Recuperable());
    // A new run replaces the old journal.
    ASSERT_TRUE(journal.Commence(Debut.addSecs(60), 600, 3, 120));
    EXPECT_FALSE(journal.Recuperable());
    EXPECT_TRUE(journal.Supprime());
    EXPECT_FALSE(QFile::exists(journal.Chemin()));
    EXPECT_TRUE(journal.Supprime());
    EXPECT_FALSE(journal.AjoutePoint(0, 0, 0.5));
}

TEST(JournalCinet, UnwritableFolderIsReported)
{
    TJournalCinet journal(QStringLiteral("/dossier/inexistant/journal"));
    EXPECT_FALSE(journal.Commence(Debut, 600, 3, 120));
    EXPECT_FALSE(journal.Erreur().isEmpty());
    EXPECT_FALSE(journal.EstOuvert());
}

TEST(JournalCinet, JournalLivesInTheDataFolder)
{
    const QString ancien = DossierDonnees;
    DossierDonnees = QStringLiteral("/home/eleve/Documents/Kurvalis/");
    EXPECT_EQ(NomJournalCinet(), QStringLiteral("/home/eleve/Documents/Kurvalis/CinetiqueEnCours.journal"));
    DossierDonnees = ancien;
}

TEST(JournalCinet, OfferTextNamesTheStartAndThePointCount)
{
    TRunCinetique run;
    run.Debut = Debut;
    run.n = 42;
    EXPECT_EQ(TexteOffreRecuperation(run),
              QStringLiteral("Une acquisition interrompue le 10/12/2026 à 14:02 (42 points) a été retrouvée. "
                             "La récupérer ?"));
    run.n = 1;
    EXPECT_TRUE(TexteOffreRecuperation(run).contains(QStringLiteral("(1 point)")));
}

} // namespace
