#pragma once
// The serial port as the link logic sees it: bytes, a line trigger and two
// notifications, all on the interface thread. The concrete port lives in kelvorplatform.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <stdexcept>

namespace kelvor {

// A failure of the serial layer (cannot open, write on a closed port, line lost).
struct EPortSerie : std::runtime_error
{
    explicit EPortSerie(const QString& msg) : std::runtime_error(msg.toStdString()), message(msg) {}
    QString message;
};

class TPort : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens port n at 9600 8N1 without flow control, DTR and RTS raised; closes any
    // port open before.
    // Throws EPortSerie when the device cannot be opened.
    virtual void Ouvre(quint16 numero) = 0;
    virtual void Ferme() = 0;
    virtual bool EstOuvert() const = 0;
    // Throws EPortSerie when the port is closed or the write fails.
    virtual void Ecrit(const QByteArray& octets) = 0;
    // Drops every received byte not read yet.
    virtual void Purge() = 0;
    // Registers a single-byte trigger; LigneComplete follows each occurrence. Returns a
    // handle, never 0.
    virtual qint32 AjouteTrigger(char octet) = 0;
    virtual void SupprimeTrigger(qint32 handle) = 0;
    // Reads one announced byte; false when none is ready.
    virtual bool LitOctet(char& octet) = 0;
    // Announces bytes already received that no notification has announced yet; the
    // waiting loop calls it after each batch of events.
    virtual void TraiteActivite() = 0;
    // Worth trying: the device opens, or exists but is held by someone else.
    virtual bool PortExiste(quint16 numero) const = 0;
    virtual QString NomPort(quint16 numero) const = 0;

signals:
    // n bytes can be read with LitOctet. For every trigger byte, the count that includes
    // it is announced before the matching LigneComplete.
    void OctetsDisponibles(qint64 n);
    void LigneComplete();
    // The port failed while open (device gone); it has been closed.
    void Erreur(const QString& message);
};

} // namespace kelvor
