#include "platform/ddelocal.h"

#include "exchange/kurvalis.h"

#include <QDir>
#include <QLocalServer>
#include <QPointer>
#include <QStandardPaths>

namespace kelvor {

namespace {

const QByteArray VerbeExecute = "EXECUTE ";

} // namespace

QString DossierDDE()
{
    QString dossier = qEnvironmentVariable("KELVOR_DDE_DIR");
    if (dossier.isEmpty()) {
        QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (base.isEmpty())
            base = QDir::tempPath();
        dossier = base + QStringLiteral("/kelvor-dde");
    }
    QDir().mkpath(dossier);
    return dossier;
}

QString PointDDE(const QString& service, const QString& topic)
{
    return DossierDDE() + '/' + service.toUpper() + '.' + topic;
}

bool RepondDDE(const QString& service, const QString& topic, int delaiMs)
{
    QLocalSocket socket;
    socket.connectToServer(PointDDE(service, topic));
    const bool ok = socket.waitForConnected(delaiMs);
    socket.abort();
    return ok;
}

QByteArray TrameExecute(const QByteArray& macro)
{
    return VerbeExecute + QByteArray::number(macro.size()) + '\n' + macro;
}

TTrameDDE AnalyseTrame(const QByteArray& debut, qint64 disponibles)
{
    const qsizetype fin = debut.indexOf('\n');
    if (fin < 0)
        return {debut.size() >= EnteteDDEMax ? etRefusee : etIncomplete};
    bool ok = false;
    const QByteArray entete = debut.left(fin);
    const qsizetype n = entete.startsWith(VerbeExecute)
                            ? entete.mid(VerbeExecute.size()).toLongLong(&ok)
                            : 0;
    if (!ok || n < 0 || n > MacroDDEMax)
        return {etRefusee};
    if (disponibles < fin + 1 + n)
        return {etIncomplete};
    return {etComplete, fin + 1, n};
}

void TClientDDE::SetLink(const QString& service, const QString& topic)
{
    CloseLink();
    service_ = service;
    topic_ = topic;
}

bool TClientDDE::OpenLink(int delaiMs)
{
    if (Ouvert())
        return true;
    socket_.abort();
    socket_.connectToServer(PointDDE(service_, topic_));
    return socket_.waitForConnected(delaiMs);
}

bool TClientDDE::ExecuteMacro(const QByteArray& macro)
{
    if (!Ouvert() || macro.size() > MacroDDEMax)
        return false;
    const QByteArray trame = TrameExecute(macro);
    if (socket_.write(trame) != trame.size())
        return false;
    socket_.flush();
    while (socket_.bytesToWrite() > 0)
        if (!socket_.waitForBytesWritten(1000))
            return false;
    return true;
}

void TClientDDE::CloseLink()
{
    if (socket_.state() != QLocalSocket::UnconnectedState)
        socket_.abort();
}

TServeurDDE::TServeurDDE(QObject* parent) : QObject(parent) {}

TServeurDDE::~TServeurDDE()
{
    Arrete();
}

bool TServeurDDE::Ecoute(const QString& service, const QString& topic)
{
    Arrete();
    if (RepondDDE(service, topic))
        return false;
    const QString point = PointDDE(service, topic);
    QLocalServer::removeServer(point);
    serveur_ = new QLocalServer(this);
    serveur_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!serveur_->listen(point)) {
        delete serveur_;
        serveur_ = nullptr;
        return false;
    }
    connect(serveur_, &QLocalServer::newConnection, this, &TServeurDDE::NouvelleConnexion);
    return true;
}

void TServeurDDE::Arrete()
{
    if (!serveur_)
        return;
    serveur_->close();
    delete serveur_;
    serveur_ = nullptr;
}

bool TServeurDDE::EnEcoute() const
{
    return serveur_ && serveur_->isListening();
}

void TServeurDDE::NouvelleConnexion()
{
    while (QLocalSocket* socket = serveur_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Lit(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Bytes may have arrived before the connection was taken.
        Lit(socket);
    }
}

void TServeurDDE::Lit(QLocalSocket* socket)
{
    // Frames are taken from the socket's own buffer as soon as they are complete.
    for (;;) {
        const TTrameDDE trame = AnalyseTrame(socket->peek(EnteteDDEMax), socket->bytesAvailable());
        if (trame.etat == etRefusee)
            socket->abort();
        if (trame.etat != etComplete)
            return;
        socket->read(trame.entete);
        const QByteArray macro = socket->read(trame.macro);
        // A receiver may stop the server, and with it this socket.
        const QPointer<QLocalSocket> garde(socket);
        emit MacroRecue(LignesMacro(macro), macro);
        if (!garde)
            return;
    }
}

} // namespace kelvor
