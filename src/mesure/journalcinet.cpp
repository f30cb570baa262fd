#include "mesure/journalcinet.h"

#include "mesure/cinetique.h"

#include <QFileInfo>
#include <QList>
#include <QLocale>

#include <array>
#include <cmath>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kelvor {

namespace {

const QByteArray Signature = "KELVORCINET 1";

constexpr std::array<quint32, 256> TableCrc()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int j = 0; j < 8; ++j)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

quint32 Crc32(const QByteArray& octets)
{
    static constexpr std::array<quint32, 256> table = TableCrc();
    quint32 crc = 0xFFFFFFFFu;
    for (char c : octets)
        crc = table[(crc ^ quint8(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray Ligne(const QByteArray& corps)
{
    return corps + '*' + QByteArray::number(Crc32(corps), 16).rightJustified(8, '0') + '\n';
}

// The body of a whole line whose check matches; empty otherwise.
QByteArray CorpsVerifie(const QByteArray& ligne)
{
    const qsizetype etoile = ligne.lastIndexOf('*');
    if (etoile < 1 || ligne.size() - etoile != 9)
        return {};
    const QByteArray corps = ligne.left(etoile);
    bool ok = false;
    const quint32 crc = ligne.mid(etoile + 1).toUInt(&ok, 16);
    return ok && crc == Crc32(corps) ? corps : QByteArray();
}

QByteArray Nombre(double v)
{
    // Shortest text that reads back to the same double.
    return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
}

bool LitReel(const QByteArray& champ, double& v)
{
    bool ok = false;
    v = champ.toDouble(&ok);
    return ok && std::isfinite(v);
}

template<typename T>
bool LitEntier(const QByteArray& champ, T& v)
{
    bool ok = false;
    const qlonglong x = champ.toLongLong(&ok);
    if (!ok || x < std::numeric_limits<T>::min() || x > std::numeric_limits<T>::max())
        return false;
    v = T(x);
    return true;
}

QByteArray Echappe(const QString& texte)
{
    QByteArray s;
    for (char c : texte.toUtf8()) {
        switch (c) {
        case '\\': s += "\\\\"; break;
        case '\n': s += "\\n"; break;
        case '\r': s += "\\r"; break;
        default: s += c;
        }
    }
    return s;
}

QString Desechappe(const QByteArray& s)
{
    QByteArray t;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            t += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            t += s[i];
        }
    }
    return QString::fromUtf8(t);
}

bool LitEntete(const QByteArray& corps, TRunCinetique& run)
{
    const QList<QByteArray> c = corps.split(';');
    if (c.size() != 5 || c[0] != Signature)
        return false;
    run.Debut = QDateTime::fromString(QString::fromLatin1(c[1]), Qt::ISODate);
    return run.Debut.isValid() && LitEntier(c[2], run.Lambda) && LitEntier(c[3], run.Deltat)
           && LitEntier(c[4], run.Duree);
}

// Applies one event line to the run; false when it is not one that can follow.
bool Applique(const QByteArray& corps, TRunCinetique& run)
{
    if (corps == "H") {
        run.n = DivisePoints(run.x, run.y, run.n);
        return true;
    }
    if (corps.startsWith("R;")) {
        const qsizetype fin = corps.indexOf(';', 2);
        Trepere r;
        if (fin < 0 || !LitReel(corps.mid(2, fin - 2), r.Valeur))
            return false;
        r.Text = Desechappe(corps.mid(fin + 1));
        run.Reperes.push_back(r);
        return true;
    }
    const QList<QByteArray> c = corps.split(';');
    if (c[0] == "P" && c.size() == 4) {
        qint32 i = -1;
        double t, a;
        if (!LitEntier(c[1], i) || i != run.n || i >= NbrePointsMaxi || !LitReel(c[2], t)
            || !LitReel(c[3], a))
            return false;
        run.x[i] = t;
        run.y[i] = a;
        run.n = i + 1;
        return true;
    }
    if (c[0] == "C" && c.size() == 3)
        return LitEntier(c[1], run.Deltat) && LitEntier(c[2], run.Duree);
    return false;
}

bool ForceSurDisque(QFile& fichier)
{
#ifdef Q_OS_WIN
    return _commit(fichier.handle()) == 0;
#else
    return ::fsync(fichier.handle()) == 0;
#endif
}

// Makes the new file's name itself survive a power cut.
void ForceDossier(const QString& chemin)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(QFileInfo(chemin).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(chemin);
#endif
}

} // namespace

QString NomJournalCinet()
{
    return DossierDonnees + QStringLiteral("CinetiqueEnCours.journal");
}

std::optional<TRunCinetique> LitJournalCinet(const QByteArray& octets)
{
    TRunCinetique run;
    qsizetype debut = 0;
    bool entete = true;
    for (qsizetype fin; (fin = octets.indexOf('\n', debut)) >= 0; debut = fin + 1) {
        const QByteArray corps = CorpsVerifie(octets.mid(debut, fin - debut));
        if (entete) {
            if (corps.isEmpty() || !LitEntete(corps, run))
                return std::nullopt;
            entete = false;
        } else if (corps.isEmpty() || !Applique(corps, run)) {
            break;
        }
    }
    if (entete)
        return std::nullopt;
    return run;
}

QString TexteOffreRecuperation(const TRunCinetique& run)
{
    const QString points = run.n == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(run.n);
    return QStringLiteral("Une acquisition interrompue le %1 à %2 (%3) a été retrouvée. La récupérer ?")
        .arg(run.Debut.toString(QStringLiteral("dd/MM/yyyy")), run.Debut.toString(QStringLiteral("HH:mm")),
             points);
}

TJournalCinet::TJournalCinet(const QString& chemin) : m_chemin(chemin), m_fichier(chemin) {}

TJournalCinet::~TJournalCinet() = default;

std::optional<TRunCinetique> TJournalCinet::Recuperable() const
{
    QFile f(m_chemin);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<TRunCinetique> run = LitJournalCinet(f.readAll());
    if (run && run->n < 1)
        return std::nullopt;
    return run;
}

bool TJournalCinet::Commence(const QDateTime& debut, qint32 lambda, quint16 deltat, quint16 duree)
{
    m_fichier.close();
    m_taille = 0;
    // Unbuffered: every line goes to the system at once, then to the disk.
    if (!m_fichier.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_erreur = m_fichier.errorString();
        return false;
    }
    ForceDossier(m_chemin);
    const QByteArray entete = Signature + ';' + debut.toString(Qt::ISODate).toLatin1() + ';'
                              + QByteArray::number(lambda) + ';' + QByteArray::number(deltat)
                              + ';' + QByteArray::number(duree);
    return Ecrit(entete);
}

bool TJournalCinet::AjoutePoint(qint32 index, double t, double a)
{
    return Ecrit("P;" + QByteArray::number(index) + ';' + Nombre(t) + ';' + Nombre(a));
}

bool TJournalCinet::AjouteRepere(double t, const QString& texte)
{
    return Ecrit("R;" + Nombre(t) + ';' + Echappe(texte));
}

bool TJournalCinet::AjouteReglages(quint16 deltat, quint16 duree)
{
    return Ecrit("C;" + QByteArray::number(deltat) + ';' + QByteArray::number(duree));
}

bool TJournalCinet::AjouteDivision()
{
    return Ecrit("H");
}

bool TJournalCinet::Supprime()
{
    m_fichier.close();
    m_taille = 0;
    QFile fichier(m_chemin);
    if (!fichier.exists() || fichier.remove())
        return true;
    m_erreur = fichier.errorString();
    return false;
}

bool TJournalCinet::Ecrit(const QByteArray& corps)
{
    if (!m_fichier.isOpen()) {
        m_erreur = QStringLiteral("Le journal de récupération n'est pas ouvert.");
        return false;
    }
    const QByteArray ligne = Ligne(corps);
    if (m_fichier.write(ligne) == ligne.size() && ForceSurDisque(m_fichier)) {
        m_taille += ligne.size();
        return true;
    }
    m_erreur = m_fichier.errorString();
    // A torn line would hide every later one: cut it off so the next write follows on.
    m_fichier.resize(m_taille);
    return false;
}

} // namespace kelvor
