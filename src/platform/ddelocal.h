#pragma once
// Conversations between programs by service and topic, over local sockets: one
// endpoint per service and topic, a client that opens it and sends macros without
// waiting for them to be carried out, a server that hands each macro over as lines.
// The bytes on the wire are written down in docs/dde.md.

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace kelvor {

// Folder of the endpoints: $KELVOR_DDE_DIR when set, else a per-user folder.
QString DossierDDE();
// Endpoint of a service and topic; service names ignore letter case.
QString PointDDE(const QString& service, const QString& topic);
// True when a server listens on the endpoint (it accepts a connection).
bool RepondDDE(const QString& service, const QString& topic, int delaiMs = 300);

// Longest macro carried; a longer one is refused on both sides.
constexpr qsizetype MacroDDEMax = 65536;
// Bytes of one execute request.
QByteArray TrameExecute(const QByteArray& macro);

// Longest heading of an execute request, line end included.
constexpr qsizetype EnteteDDEMax = 32;
enum TEtatTrame { etIncomplete, etRefusee, etComplete };
// Where the next execute request stands in the bytes received so far: debut holds their
// first EnteteDDEMax bytes at most, disponibles counts them all. A complete request is
// entete bytes of heading followed by macro bytes; a refused one ends the conversation.
struct TTrameDDE
{
    TEtatTrame etat = etIncomplete;
    qsizetype entete = 0;
    qsizetype macro = 0;
};
TTrameDDE AnalyseTrame(const QByteArray& debut, qint64 disponibles);

class TClientDDE
{
public:
    void SetLink(const QString& service, const QString& topic);
    // Kept for the conversation's shape; no data is asked through the item here.
    void SetItem(const QString& item) { item_ = item; }
    QString Item() const { return item_; }
    // True when the conversation is open.
    bool OpenLink(int delaiMs = 1000);
    // Hands the macro over without waiting for it to be carried out; false when the
    // conversation is not open or the bytes could not be handed over.
    bool ExecuteMacro(const QByteArray& macro);
    void CloseLink();
    bool Ouvert() const { return socket_.state() == QLocalSocket::ConnectedState; }

private:
    QLocalSocket socket_;
    QString service_;
    QString topic_;
    QString item_;
};

class TServeurDDE : public QObject
{
    Q_OBJECT
public:
    explicit TServeurDDE(QObject* parent = nullptr);
    ~TServeurDDE() override;

    // Starts listening. Fails when another server already answers on the endpoint;
    // an endpoint left behind by a program that ended is taken over.
    bool Ecoute(const QString& service, const QString& topic);
    void Arrete();
    bool EnEcoute() const;

signals:
    // One macro, split into lines; brut is the macro as it travelled.
    void MacroRecue(const QStringList& lignes, const QByteArray& brut);

private:
    void NouvelleConnexion();
    void Lit(QLocalSocket* socket);

    QLocalServer* serveur_ = nullptr;
};

} // namespace kelvor
