#include "instrument/inifile.h"

#include "util/cp1252.h"
#include "util/labutil.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cmath>

namespace kelvor {

namespace {

QString Plie(const QString& nom)
{
    return nom.trimmed().toCaseFolded();
}

bool LitEntierIni(const QString& texte, qint32& valeur)
{
    const QString s = texte.trimmed();
    bool ok = false;
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Hexadecimal covers the full 32 bits, as other writers store flags that way.
        const quint32 v = s.mid(2).toUInt(&ok, 16);
        if (ok && !s.mid(2).startsWith('+'))
            valeur = qint32(v);
        return ok && !s.mid(2).startsWith('+');
    }
    for (const QChar c : s)
        if (!(c.isDigit() && c.unicode() < 128) && c != '-' && c != '+')
            return false;
    const qint32 v = s.toInt(&ok, 10);
    if (ok)
        valeur = v;
    return ok;
}

} // namespace

QString CheminReglages()
{
    if (DossierDonnees.isEmpty())
        return {};
    return DossierDonnees + QLatin1String(NomFichierReglages);
}

TIniFile::TIniFile(const QString& chemin) : m_chemin(chemin)
{
    if (chemin.isEmpty() || !QFile::exists(chemin))
        return;
    QFile f(chemin);
    QByteArray octets;
    if (f.open(QIODevice::ReadOnly))
        octets = f.read(TailleMaxReglages + 1);
    m_lisible = f.error() == QFileDevice::NoError && octets.size() <= TailleMaxReglages;
    const QString natif = QDir::toNativeSeparators(chemin);
    if (octets.size() > TailleMaxReglages)
        m_refus = QStringLiteral("Le fichier de réglages %1 dépasse 1 Mo : il n'est ni lu ni remplacé.").arg(natif);
    else if (!m_lisible)
        m_refus = QStringLiteral("Le fichier de réglages %1 existe mais ne peut pas être lu : "
                                 "il n'est pas remplacé.")
                      .arg(natif);
    else
        Charge(DecodeCp1252(octets));
}

void TIniFile::Charge(const QString& texte)
{
    QStringList lignes = texte.split('\n');
    // A final line end does not start one more (empty) line.
    if (!lignes.isEmpty() && lignes.back().isEmpty())
        lignes.removeLast();

    m_sections.push_back({});   // lines before any section
    for (QString& brute : lignes) {
        if (brute.endsWith('\r'))
            brute.chop(1);
        const QString t = brute.trimmed();
        if (t.startsWith('[') && t.indexOf(']') > 0) {
            Section s;
            s.entete = brute;
            s.nom = t.mid(1, t.indexOf(']') - 1).trimmed();
            m_index.insert(Plie(s.nom), int(m_sections.size()));
            m_sections.push_back(std::move(s));
            continue;
        }
        Ligne l{brute, {}, {}};
        const qsizetype egal = brute.indexOf('=');
        if (!t.startsWith(';') && egal > 0 && !brute.left(egal).trimmed().isEmpty()) {
            l.cle = brute.left(egal).trimmed();
            l.valeur = brute.mid(egal + 1).trimmed();
        }
        Section& s = m_sections.back();
        if (!l.cle.isEmpty() && !s.index.contains(Plie(l.cle)))
            s.index.insert(Plie(l.cle), int(s.lignes.size()));
        s.lignes.push_back(std::move(l));
    }
    // A later duplicate section must not shadow the first one.
    m_index.clear();
    for (int i = int(m_sections.size()) - 1; i >= 1; --i)
        m_index.insert(Plie(m_sections[i].nom), i);
}

const TIniFile::Section* TIniFile::Trouve(const QString& section) const
{
    const auto it = m_index.constFind(Plie(section));
    return it == m_index.cend() ? nullptr : &m_sections[*it];
}

const QString* TIniFile::Valeur(const QString& section, const QString& cle) const
{
    const Section* s = Trouve(section);
    if (!s)
        return nullptr;
    const auto it = s->index.constFind(Plie(cle));
    return it == s->index.cend() ? nullptr : &s->lignes[*it].valeur;
}

bool TIniFile::SectionExists(const QString& section) const
{
    return Trouve(section) != nullptr;
}

bool TIniFile::ValueExists(const QString& section, const QString& cle) const
{
    return Valeur(section, cle) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& cle, const QString& defaut) const
{
    const QString* v = Valeur(section, cle);
    return v ? *v : defaut;
}

qint32 TIniFile::ReadInteger(const QString& section, const QString& cle, qint32 defaut) const
{
    const QString* v = Valeur(section, cle);
    qint32 valeur = defaut;
    if (v && LitEntierIni(*v, valeur))
        return valeur;
    return defaut;
}

bool TIniFile::ReadBool(const QString& section, const QString& cle, bool defaut) const
{
    return ReadInteger(section, cle, defaut ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const QString& section, const QString& cle, double defaut) const
{
    const QString* v = Valeur(section, cle);
    if (!v)
        return defaut;
    const double x = StrToReel(*v);
    return std::isnan(x) ? defaut : x;
}

void TIniFile::WriteString(const QString& section, const QString& cle, const QString& valeur)
{
    const QString nomCle = cle.trimmed();
    // A line break in a value would start a key or a section of its own in the file.
    const QString v = QString(valeur).replace(QLatin1Char('\r'), QLatin1Char(' '))
                          .replace(QLatin1Char('\n'), QLatin1Char(' '))
                          .trimmed();
    const QString pliee = Plie(cle);
    auto it = m_index.constFind(Plie(section));
    if (it == m_index.cend()) {
        if (m_sections.empty())
            m_sections.push_back({});
        // Keep a blank line between the previous section and the new one.
        Section& derniere = m_sections.back();
        if (m_sections.size() > 1 || !derniere.lignes.empty())
            if (derniere.lignes.empty() || !derniere.lignes.back().texte.trimmed().isEmpty())
                derniere.lignes.push_back({});
        Section s;
        s.nom = section.trimmed();
        s.entete = '[' + s.nom + ']';
        m_index.insert(Plie(section), int(m_sections.size()));
        m_sections.push_back(std::move(s));
        it = m_index.constFind(Plie(section));
    }
    Section& s = m_sections[*it];
    const auto ligne = s.index.constFind(pliee);
    if (ligne != s.index.cend()) {
        Ligne& l = s.lignes[*ligne];
        l.valeur = v;
        l.texte = l.cle + '=' + v;
        return;
    }
    // After the last non-blank line, so the blank line before the next section stays.
    qsizetype pos = qsizetype(s.lignes.size());
    while (pos > 0 && s.lignes[pos - 1].texte.trimmed().isEmpty())
        --pos;
    s.lignes.insert(s.lignes.begin() + pos, Ligne{nomCle + '=' + v, nomCle, v});
    if (pos == qsizetype(s.lignes.size()) - 1) {
        s.index.insert(pliee, int(pos));
    } else {
        for (auto i = s.index.begin(); i != s.index.end(); ++i)
            if (*i >= pos)
                ++*i;
        s.index.insert(pliee, int(pos));
    }
}

void TIniFile::WriteInteger(const QString& section, const QString& cle, qint32 valeur)
{
    WriteString(section, cle, QString::number(valeur));
}

void TIniFile::WriteBool(const QString& section, const QString& cle, bool valeur)
{
    WriteString(section, cle, valeur ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteFloat(const QString& section, const QString& cle, double valeur)
{
    WriteString(section, cle, FormatGeneral(valeur, 15, 1, SeparateurDecimal()));
}

QByteArray TIniFile::Contenu() const
{
    QString texte;
    for (const Section& s : m_sections) {
        if (!s.entete.isEmpty() || &s != &m_sections.front()) {
            texte += s.entete;
            texte += QLatin1String("\r\n");
        }
        for (const Ligne& l : s.lignes) {
            texte += l.texte;
            texte += QLatin1String("\r\n");
        }
    }
    return EncodeCp1252(texte);
}

bool TIniFile::UpdateFile(QString* erreur) const
{
    const auto echec = [&](const QString& raison) {
        if (erreur)
            *erreur = raison;
        return false;
    };
    if (m_chemin.isEmpty())
        return echec(QStringLiteral("Pas de dossier de données pour les réglages."));
    if (!m_lisible)
        return echec(m_refus);
    // Written beside the old file and renamed over it only when complete, so a full
    // disk or a locked folder never costs the stored baseline.
    // Unbuffered: a buffered write that fails while being flushed by commit() is not
    // always reported, and a short file would then replace the good one.
    QSaveFile f(m_chemin);
    const auto echecFichier = [&] {
        return echec(QStringLiteral("Les réglages n'ont pas pu être enregistrés dans %1 : %2")
                         .arg(QDir::toNativeSeparators(m_chemin), f.errorString()));
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return echecFichier();
    const QByteArray octets = Contenu();
    if (f.write(octets) != octets.size() || f.error() != QFileDevice::NoError) {
        const bool resultat = echecFichier();
        f.cancelWriting();
        return resultat;
    }
    if (!f.commit())
        return echecFichier();
    return true;
}

} // namespace kelvor
