#include "platform/portserie.h"

#include <algorithm>

namespace kelvor {

namespace {

// Port numbers 1..50 as the program counts them, onto device names. On Linux built-in
// UARTs come first, then USB adapters (the usual way an instrument is attached today).
QString DeviceDuTableau(quint16 n)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(n);
#else
    if (n >= 1 && n <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    if (n >= 5 && n <= 20)
        return QStringLiteral("/dev/ttyUSB%1").arg(n - 5);
    if (n >= 21 && n <= 36)
        return QStringLiteral("/dev/ttyACM%1").arg(n - 21);
    if (n >= 37 && n <= 50)
        return QStringLiteral("/dev/ttyS%1").arg(n - 33);
    return {};
#endif
}

} // namespace

QString NomPort(quint16 numero)
{
    if (numero < 1 || numero > 50)
        return {};
    const QByteArray variable = "KELVOR_COM" + QByteArray::number(numero);
    if (qEnvironmentVariableIsSet(variable.constData()))
        return qEnvironmentVariable(variable.constData());
    return DeviceDuTableau(numero);
}

bool PortExiste(quint16 numero)
{
    const QString nom = NomPort(numero);
    if (nom.isEmpty())
        return false;
    QSerialPort sonde;
    sonde.setPortName(nom);
    if (sonde.open(QIODevice::ReadWrite)) {
        sonde.close();
        return true;
    }
    // Busy (held by another program, or locked) and access denied both come back as
    // PermissionError: the port exists.
    return sonde.error() == QSerialPort::PermissionError;
}

TPortSerie::TPortSerie(QObject* parent) : TPort(parent)
{
    connect(&serie, &QSerialPort::readyRead, this, &TPortSerie::Recoit);
    connect(&serie, &QSerialPort::errorOccurred, this, &TPortSerie::SurErreur);
}

TPortSerie::~TPortSerie()
{
    serie.disconnect(this);
}

void TPortSerie::Ouvre(quint16 numero)
{
    Ferme();
    const QString nom = NomPort(numero);
    if (nom.isEmpty())
        throw EPortSerie(QStringLiteral("Pas de périphérique pour COM%1").arg(numero));
    serie.setPortName(nom);
    serie.setBaudRate(QSerialPort::Baud9600);
    serie.setDataBits(QSerialPort::Data8);
    serie.setParity(QSerialPort::NoParity);
    serie.setStopBits(QSerialPort::OneStop);
    // No output flow control: with RTS/CTS the kernel would also hold what we send
    // until CTS rises, and a three-wire cable never raises it.
    serie.setFlowControl(QSerialPort::NoFlowControl);
    if (!serie.open(QIODevice::ReadWrite)) {
        const QString raison = serie.errorString();
        serie.clearError();
        throw EPortSerie(QStringLiteral("Impossible d'ouvrir COM%1 (%2) : %3").arg(numero).arg(nom, raison));
    }
    LeveDtrRts();
    tampon.clear();
    lu = annonce = 0;
}

void TPortSerie::LeveDtrRts()
{
    // Tells the instrument we are there and ready. A line without modem lines (a
    // pseudo-terminal, some adapters) refuses; that is no reason to give up the port.
    serie.setDataTerminalReady(true);
    serie.setRequestToSend(true);
    serie.clearError();
}

void TPortSerie::Ferme()
{
    if (serie.isOpen())
        serie.close();
    tampon.clear();
    lu = annonce = 0;
}

bool TPortSerie::EstOuvert() const
{
    return serie.isOpen();
}

void TPortSerie::Ecrit(const QByteArray& octets)
{
    if (!serie.isOpen())
        throw EPortSerie(QStringLiteral("Le port série n'est pas ouvert."));
    if (serie.write(octets) != octets.size())
        throw EPortSerie(QStringLiteral("Écriture impossible sur le port série : %1").arg(serie.errorString()));
    // Out now rather than at the next turn of the event loop.
    serie.flush();
}

void TPortSerie::Purge()
{
    if (serie.isOpen())
        serie.clear(QSerialPort::Input);
    tampon.clear();
    lu = annonce = 0;
}

qint32 TPortSerie::AjouteTrigger(char octet)
{
    const qint32 handle = prochainHandle++;
    triggers.append({handle, octet});
    return handle;
}

void TPortSerie::SupprimeTrigger(qint32 handle)
{
    triggers.removeIf([handle](const QPair<qint32, char>& t) { return t.first == handle; });
}

bool TPortSerie::LitOctet(char& octet)
{
    if (lu >= annonce)
        return false;
    octet = tampon.at(lu++);
    return true;
}

void TPortSerie::TraiteActivite()
{
    // QSerialPort never emits readyRead while one of its readyRead handlers runs, so an
    // exchange started from a line handler would not hear its reply: take what it holds.
    if (serie.isOpen() && serie.bytesAvailable() > 0)
        Recoit();
}

void TPortSerie::Recoit()
{
    tampon.append(serie.readAll());
    Annonce();
}

void TPortSerie::Annonce()
{
    // Handlers may run a nested event loop that lands here again; every step therefore
    // works from the members, never from indices kept across an emit.
    while (annonce < tampon.size()) {
        qsizetype fin = -1;
        for (const auto& t : std::as_const(triggers)) {
            const qsizetype i = tampon.indexOf(t.second, annonce);
            if (i >= 0 && (fin < 0 || i < fin))
                fin = i;
        }
        const qsizetype limite = fin >= 0 ? fin + 1 : tampon.size();
        const qint64 n = limite - annonce;
        annonce = limite;
        emit OctetsDisponibles(n);
        if (fin >= 0)
            emit LigneComplete();
    }
    if (lu > 0) {
        tampon.remove(0, lu);
        annonce -= lu;
        lu = 0;
    }
}

void TPortSerie::SurErreur(QSerialPort::SerialPortError erreur)
{
    // Open failures are reported by Ouvre; here only a port that was working.
    if (!serie.isOpen() || (erreur != QSerialPort::ResourceError && erreur != QSerialPort::ReadError))
        return;
    const QString message = QStringLiteral("Liaison série perdue (%1) : %2").arg(serie.portName(), serie.errorString());
    serie.clearError();
    Ferme();
    emit Erreur(message);
}

} // namespace kelvor
