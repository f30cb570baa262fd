#pragma once
// The real serial port over QSerialPort, and how a port number names a device.

#include "instrument/port.h"

#include <QList>
#include <QPair>
#include <QSerialPort>

namespace kelvor {

// Device of port n: the environment variable KELVOR_COM<n> when it is set (an empty
// value hides the port), else the fixed table in docs/serial.md. Empty for n outside 1..50.
QString NomPort(quint16 numero);
// n = 0 is never present; otherwise the device is present when it opens (and is closed
// again at once) or when it exists but is busy or access is denied.
bool PortExiste(quint16 numero);

class TPortSerie : public TPort
{
    Q_OBJECT

public:
    explicit TPortSerie(QObject* parent = nullptr);
    ~TPortSerie() override;

    void Ouvre(quint16 numero) override;
    void Ferme() override;
    bool EstOuvert() const override;
    void Ecrit(const QByteArray& octets) override;
    void Purge() override;
    qint32 AjouteTrigger(char octet) override;
    void SupprimeTrigger(qint32 handle) override;
    bool LitOctet(char& octet) override;
    void TraiteActivite() override;
    bool PortExiste(quint16 numero) const override { return kelvor::PortExiste(numero); }
    QString NomPort(quint16 numero) const override { return kelvor::NomPort(numero); }

private:
    void LeveDtrRts();
    void Recoit();
    void Annonce();
    void SurErreur(QSerialPort::SerialPortError erreur);

    QSerialPort serie;
    // Bytes taken from the device: [0, lu) read, [lu, annonce) announced, rest pending.
    QByteArray tampon;
    qsizetype lu = 0;
    qsizetype annonce = 0;
    QList<QPair<qint32, char>> triggers;
    qint32 prochainHandle = 1;
    bool enAnnonce = false;
};

} // namespace kelvor
