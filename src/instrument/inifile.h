#pragma once
// The settings file: an INI text in Windows-1252 with CR LF line ends. The whole file is
// loaded, values are replaced in memory and the whole file is written back, so keys,
// sections and comments of other writers survive in their order.

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace kelvor {

// Name of the settings file inside the data folder.
inline constexpr char NomFichierReglages[] = "Kealvor5100.ini";
// Full path of the settings file; empty while the data folder is unknown.
QString CheminReglages();

class TIniFile
{
public:
    // Loads the file; an absent or unreadable file reads as empty.
    explicit TIniFile(const QString& chemin);

    // false when the file exists but could not be read: it is then never replaced, as
    // writing back what was loaded would drop every section it holds.
    bool Lisible() const { return m_lisible; }

    const QString& FileName() const { return m_chemin; }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& cle) const;

    // Each read returns the default for a missing key or a value that does not convert.
    QString ReadString(const QString& section, const QString& cle, const QString& defaut) const;
    // Decimal, or hexadecimal after "0x".
    qint32 ReadInteger(const QString& section, const QString& cle, qint32 defaut) const;
    // Any integer other than 0 is true.
    bool ReadBool(const QString& section, const QString& cle, bool defaut) const;
    // "." and "," are both taken as the decimal separator.
    double ReadFloat(const QString& section, const QString& cle, double defaut) const;

    // An existing key keeps its place; a new one goes to the end of its section, a new
    // section to the end of the file.
    void WriteString(const QString& section, const QString& cle, const QString& valeur);
    void WriteInteger(const QString& section, const QString& cle, qint32 valeur);
    void WriteBool(const QString& section, const QString& cle, bool valeur);
    // Up to 15 significant digits, locale decimal separator.
    void WriteFloat(const QString& section, const QString& cle, double valeur);

    // Replaces the file atomically: on any failure the previous file stays whole.
    // Returns false on failure, with the reason in French in erreur when given; callers
    // may ignore it.
    bool UpdateFile(QString* erreur = nullptr) const;
    // The file's bytes as UpdateFile writes them.
    QByteArray Contenu() const;

private:
    struct Ligne
    {
        QString texte;      // as written to the file
        QString cle;        // empty when the line holds no key
        QString valeur;
    };
    struct Section
    {
        QString entete;     // "[name]" line as found; empty for lines before any section
        QString nom;
        std::vector<Ligne> lignes;
        QHash<QString, int> index;  // folded key -> first line holding it
    };

    const Section* Trouve(const QString& section) const;
    const QString* Valeur(const QString& section, const QString& cle) const;
    void Charge(const QString& texte);

    QString m_chemin;
    bool m_lisible = true;
    std::vector<Section> m_sections;
    QHash<QString, int> m_index;    // folded section name -> first section of that name
};

} // namespace kelvor
