// Serial-port access told the way a user can act on it: missing device, busy, refused for
// lack of rights (join "dialout", then log in again); and a search that finds nothing
// says why the first port it could not open failed.

#include "banc.h"
#include "platform/accesport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvor {
namespace {

const QString Refus = QStringLiteral(
    "La voie série COM9 (/dev/ttyUSB4) existe, mais votre compte n'a pas le droit de l'ouvrir.\n"
    "Il doit faire partie du groupe « dialout » : un administrateur tape la commande\n"
    "    sudo adduser eleve dialout\n"
    "puis fermez la session et reconnectez-vous (le nouveau groupe ne compte qu'à la "
    "connexion suivante).");

TEST(AccesPort, MessagesSayWhatToDo)
{
    qputenv("USER", "eleve");
    struct Cas { TAccesPort acces; QString libelle, message; };
    const Cas cas[] = {
        {apLibre, "libre", {}},
        {apAbsent, "absente",
         "La voie série COM9 (/dev/ttyUSB4) n'existe pas : l'adaptateur USB-série est-il branché ?"},
        {apOccupe, "occupée",
         "La voie série COM9 (/dev/ttyUSB4) est occupée par un autre programme : fermez-le puis "
         "cliquez à nouveau sur « Connection »."},
        {apRefuse, "accès refusé", Refus},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(LibelleAcces(c.acces), c.libelle);
        EXPECT_EQ(MessageAcces(9, "/dev/ttyUSB4", c.acces), c.message) << c.libelle.toStdString();
    }
}

// A pseudo-terminal's slave side: a real serial-like device the test owns.
struct Pty
{
    int maitre = posix_openpt(O_RDWR | O_NOCTTY);
    QString esclave;
    Pty()
    {
        if (maitre >= 0 && grantpt(maitre) == 0 && unlockpt(maitre) == 0)
            esclave = QString::fromLocal8Bit(ptsname(maitre));
    }
    ~Pty()
    {
        if (maitre >= 0)
            ::close(maitre);
    }
};

TEST(AccesPort, TellsWhetherADeviceIsThereAndFree)
{
    Pty pty;
    ASSERT_FALSE(pty.esclave.isEmpty());
    QTemporaryDir dossier;
    EXPECT_EQ(AccesPort(pty.esclave), apLibre);
    EXPECT_EQ(AccesPort(dossier.filePath("ttyUSB0")), apAbsent);
    EXPECT_EQ(AccesPort(QString()), apAbsent);
}

// Runs the check as an unprivileged user: root opens every device whatever its mode.
// Returns false (and says why) when that is not possible here.
bool SansDroits(const std::function<bool()>& verification, bool& resultat)
{
    if (::geteuid() != 0) {
        resultat = verification();
        return true;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(verification() ? 0 : 1);
    }
    int statut = 0;
    ::waitpid(pid, &statut, 0);
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) == 3)
        return false;
    resultat = WEXITSTATUS(statut) == 0;
    return true;
}

TEST(AccesPort, APortTheUserMayNotOpenAsksToJoinDialout)
{
    Pty pty;
    ASSERT_FALSE(pty.esclave.isEmpty());
    ASSERT_EQ(::chmod(pty.esclave.toLocal8Bit().constData(), 0600), 0);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(pty.esclave.toLocal8Bit().constData(), 0), 0);
    }
    qputenv("USER", "eleve");
    qputenv("KELVOR_COM9", pty.esclave.toLocal8Bit());
    const QString attendu = QString(Refus).replace("/dev/ttyUSB4", pty.esclave);

    bool ok = false;
    const bool fait = SansDroits([&] {
        if (AccesPort(pty.esclave) != apRefuse || !PortExiste(9))
            return false;
        TPortSerie port;
        try {
            port.Ouvre(9);
        } catch (const EPortSerie& e) {
            return e.message == attendu;
        }
        return false;
    }, ok);
    if (!fait)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_TRUE(ok) << "refused, listed as present, and the open failure names the dialout group";
}

TEST(AccesPort, OpeningAMissingDeviceSaysItDoesNotExist)
{
    QTemporaryDir dossier;
    const QString absent = dossier.filePath("ttyUSB0");
    qputenv("KELVOR_COM9", absent.toLocal8Bit());
    TPortSerie port;
    try {
        port.Ouvre(9);
        ADD_FAILURE() << "opened a missing device";
    } catch (const EPortSerie& e) {
        EXPECT_EQ(e.message, MessageAcces(9, absent, apAbsent));
    }
}

// A port that is present but refuses to open, as for a user outside "dialout".
class TPortRefuse : public TPort
{
public:
    QList<quint16> refuses;
    QList<quint16> presents;
    void Ouvre(quint16 n) override
    {
        if (refuses.contains(n))
            throw EPortSerie(QStringLiteral("refus COM%1").arg(n));
    }
    void Ferme() override {}
    bool EstOuvert() const override { return false; }
    void Ecrit(const QByteArray&) override {}
    void Purge() override {}
    qint32 AjouteTrigger(char) override { return 1; }
    void SupprimeTrigger(qint32) override {}
    bool LitOctet(char&) override { return false; }
    void TraiteActivite() override {}
    bool PortExiste(quint16 n) const override { return presents.contains(n); }
    QString NomPort(quint16 n) const override { return QStringLiteral("/dev/ttyFAKE%1").arg(n); }
};

TEST(RechercheSansInstrument, SaysWhyTheFirstPortItCouldNotOpenFailed)
{
    Tspectro spectro;
    spectro.ComNumberS = 5;
    TPortRefuse port;
    port.presents = {1, 5};
    port.refuses = {1, 5};
    TVueEnregistreuse vue;
    TLiaison liaison(port, spectro, vue);

    liaison.InitAppareil();
    EXPECT_EQ(liaison.etatSpectre(), esInit);
    EXPECT_TRUE(AttendsStable([&] { return vue.erreurs.size() == 1; }, 30));
    EXPECT_EQ(vue.erreurs, QStringList{"refus COM5"}) << "once, for the chosen port, after the search";
    EXPECT_EQ(vue.statuts.last(), "Cliquer sur le bouton \"Config.\"");

    // Nothing refused: nothing more to say than the status bar does.
    vue = TVueEnregistreuse();
    port.refuses.clear();
    port.presents = {5};
    liaison.InitAppareil();
    EXPECT_TRUE(ResteVrai([&] { return vue.erreurs.isEmpty(); }, 30));
}

} // namespace
} // namespace kelvor
