// The settings reader: any file loads without fault; what it writes back reads back the
// same; a value written under a key reads back, before and after the file is rewritten.

#include "commun.h"
#include "instrument/cfgspect.h"
#include "instrument/inifile.h"
#include "util/cp1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kelvor;

namespace {

QString Fichier()
{
    // In memory where possible: a disk busy with other work would set the pace.
    static const QTemporaryDir dossier((QDir(QStringLiteral("/dev/shm")).exists()
                                            ? QStringLiteral("/dev/shm")
                                            : QDir::tempPath()) +
                                       QStringLiteral("/kelvor-fuzz-XXXXXX"));
    return dossier.filePath(QStringLiteral("reglages.ini"));
}

void Ecrit(const QByteArray& octets)
{
    QFile f(Fichier());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(octets) != octets.size())
        EchecFuzz("temporary settings file not written");
}

TIniFile Relit(const QByteArray& octets)
{
    Ecrit(octets);
    return TIniFile(Fichier());
}

// A name the program could use: letters and digits only, never empty.
QString Nom(const QByteArray& octets)
{
    static const char lettres[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString nom = QStringLiteral("K");
    for (char c : octets)
        nom += QChar(lettres[quint8(c) % (sizeof lettres - 1)]);
    return nom;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzz();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    LocaleFuzz(data[0]);
    // Section and key names and the value come first, the file after them.
    const QByteArray tout(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString section = Nom(tout.mid(1, data[1] % 4));
    const QString cle = Nom(tout.mid(2, data[2] % 6));
    const qsizetype longueur = data[3] % 16;
    QString valeur = DecodeCp1252(tout.mid(4, longueur)).trimmed();
    valeur.remove('\r');
    valeur.remove('\n');
    const QByteArray fichier = tout.mid(4 + longueur);

    TIniFile ini = Relit(fichier);
    ini.ReadInteger(section, cle, 7);
    ini.ReadFloat(section, cle, 1.5);
    ini.ReadBool(section, cle, true);
    // Reading what was written gives the same file again.
    const QByteArray contenu = ini.Contenu();
    VERIFIE_FUZZ(Relit(contenu).Contenu() == contenu);

    // The instrument's settings and baseline survive being stored into this file.
    // A short baseline keeps each run fast; it goes through the same code as a full one.
    Tspectro spectro;
    spectro.MaxiLambda = 330;
    spectro.lit(ini);
    TIniFile copie = Relit(contenu);
    spectro.ecrit(copie);
    Tspectro relu;
    relu.MaxiLambda = spectro.MaxiLambda;
    relu.lit(Relit(copie.Contenu()));
    VERIFIE_FUZZ(relu.ComNumberS == spectro.ComNumberS && relu.pasLambda == spectro.pasLambda);
    VERIFIE_FUZZ(relu.DebutLambda == spectro.DebutLambda && relu.FinLambda == spectro.FinLambda);
    VERIFIE_FUZZ(relu.Kelvor == spectro.Kelvor && relu.AbsBlanc == spectro.AbsBlanc);

    ini.WriteString(section, cle, valeur);
    VERIFIE_FUZZ(ini.ReadString(section, cle, QStringLiteral("?")) == valeur);
    VERIFIE_FUZZ(Relit(ini.Contenu()).ReadString(section, cle, QStringLiteral("?")) ==
                 DecodeCp1252(EncodeCp1252(valeur)));
    return 0;
}
