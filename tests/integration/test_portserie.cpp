// The concrete serial port: naming, presence probe, notifications, refusals.

#include "banc.h"

#include <QDir>
#include <QFile>

namespace kelvor {
namespace {

TEST(PortSerieNom, EnvironmentOverridesThenFixedTable)
{
    for (int n = 1; n <= 50; ++n)
        qunsetenv(("KELVOR_COM" + QByteArray::number(n)).constData());
    struct { quint16 n; const char* device; } table[] = {
        {0, ""}, {1, "/dev/ttyS0"}, {4, "/dev/ttyS3"}, {5, "/dev/ttyUSB0"}, {20, "/dev/ttyUSB15"},
        {21, "/dev/ttyACM0"}, {36, "/dev/ttyACM15"}, {37, "/dev/ttyS4"}, {50, "/dev/ttyS17"}, {51, ""},
    };
    for (const auto& c : table)
        EXPECT_EQ(NomPort(c.n), QString(c.device)) << c.n;

    qputenv("KELVOR_COM5", "/tmp/kelvor-pty");
    qputenv("KELVOR_COM6", "");
    EXPECT_EQ(NomPort(5), "/tmp/kelvor-pty");
    EXPECT_EQ(NomPort(6), "");
    EXPECT_FALSE(PortExiste(6)) << "an empty override hides the port";
    EXPECT_FALSE(PortExiste(0));
}

using PortSerie = TBanc;

TEST_F(PortSerie, ProbeFindsFreeAndBusyPortsOnly)
{
    TSimulateur& sim = Simulateur(7);
    qputenv("KELVOR_COM8", QDir::temp().filePath("kelvor-aucun-port").toLocal8Bit());
    // kelvor-sim --link gives a stable path: a symbolic link to the pty.
    const QString lien = QDir::temp().filePath(QStringLiteral("kelvor-lien-%1").arg(QCoreApplication::applicationPid()));
    QFile::remove(lien);
    ASSERT_TRUE(QFile::link(sim.Peripherique(), lien));
    qputenv("KELVOR_COM9", lien.toLocal8Bit());
    EXPECT_TRUE(PortExiste(7));
    EXPECT_FALSE(PortExiste(8));
    EXPECT_TRUE(PortExiste(9));
    QFile::remove(lien);
    port.Ouvre(7);
    EXPECT_TRUE(PortExiste(7)) << "held by us: busy still counts as present";
    EXPECT_TRUE(port.EstOuvert());
}

TEST_F(PortSerie, LineCompleteFollowsTheBytesUpToItsCarriageReturn)
{
    liaison.reset();   // this test reads the bytes itself
    TSimulateur& sim = Simulateur(7);
    port.Ouvre(7);
    const qint32 trigger = port.AjouteTrigger('\r');
    EXPECT_NE(trigger, 0);
    QByteArray lus;
    QList<QByteArray> vusALaFinDeLigne;
    QObject::connect(&port, &TPort::OctetsDisponibles, [&](qint64 n) {
        char c;
        for (qint64 i = 0; i < n && port.LitOctet(c); ++i)
            lus.append(c);
    });
    QObject::connect(&port, &TPort::LigneComplete, [&] { vusALaFinDeLigne << lus; });

    Emet(sim, "ab\rcd");
    Emet(sim, "\ref\r\n");
    EXPECT_EQ(lus, QByteArray("ab\rcd\ref\r\n"));
    EXPECT_EQ(vusALaFinDeLigne, QList<QByteArray>({"ab\r", "ab\rcd\r", "ab\rcd\ref\r"}));

    port.SupprimeTrigger(trigger);
    Emet(sim, "gh\r");
    EXPECT_EQ(vusALaFinDeLigne.size(), 3) << "no trigger, no line";
}

TEST_F(PortSerie, PurgeDropsUnreadBytesAndClosedPortRefusesToWrite)
{
    liaison.reset();
    TSimulateur& sim = Simulateur(7);
    port.Ouvre(7);
    Emet(sim, "1234");
    port.Purge();
    char c;
    EXPECT_FALSE(port.LitOctet(c));

    port.Ecrit("GOTO500\r");
    EXPECT_TRUE(AttendsQue([&] { return sim.Journal() == "GOTO500\r"; }));

    port.Ferme();
    try {
        port.Ecrit("X\r");
        ADD_FAILURE() << "write on a closed port";
    } catch (const EPortSerie& e) {
        EXPECT_EQ(e.message, "Le port série n'est pas ouvert.");
    }
}

// On a three-wire line CTS never rises. A port opened with RTS/CTS handshaking would
// send nothing there (the simulator drops what such a port sends); ours is heard.
TEST_F(PortSerie, ThreeWireLineHearsOurPortButNotAHandshakingOne)
{
    TSimulateur& sim = Simulateur(3);
    sim.pannes.sansCts = true;

    QSerialPort attendCts;
    attendCts.setPortName(sim.Peripherique());
    attendCts.setFlowControl(QSerialPort::HardwareControl);
    ASSERT_TRUE(attendCts.open(QIODevice::ReadWrite));
    attendCts.write("CONNECT\r");
    attendCts.flush();
    EXPECT_TRUE(ResteVrai([&] { return sim.Commandes().isEmpty(); }, 100))
        << "the fault must hold a handshaking port's output";
    attendCts.close();

    liaison->InitAppareil();
    EXPECT_EQ(liaison->etatSpectre(), esAttente);
    EXPECT_EQ(sim.Commandes().value(0), "CONNECT");
}

} // namespace
} // namespace kelvor
