// The folders of src/ include one another only along the arrows of the rules table.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

using Regles = QHash<QString, QSet<QString>>;

// "folder: allowed folders", '#' starts a comment.
Regles LitRegles(const QString& chemin)
{
    Regles regles;
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return regles;
    QTextStream flux(&f);
    while (!flux.atEnd()) {
        const QString ligne = flux.readLine().section('#', 0, 0).trimmed();
        if (ligne.isEmpty())
            continue;
        const QString dossier = ligne.section(':', 0, 0).trimmed();
        QSet<QString>& permis = regles[dossier];
        for (const QString& d : ligne.section(':', 1).split(' ', Qt::SkipEmptyParts))
            permis.insert(d);
        permis.insert(dossier);
    }
    return regles;
}

struct Bilan
{
    QStringList fautes;     // "folder/file.cpp:line: folder -> folder"
    int inclusions = 0;     // project includes read
};

// Every #include "…" of the .h and .cpp files under racine, checked against the rules.
Bilan VerifieInclusions(const QString& racine, const Regles& regles)
{
    static const QRegularExpression inclusion(QStringLiteral(R"(^\s*#\s*include\s*"([^"]+)\")"));
    Bilan bilan;
    QDirIterator it(racine, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList fichiers;
    while (it.hasNext())
        fichiers << QDir(racine).relativeFilePath(it.next());
    fichiers.sort();
    for (const QString& fichier : fichiers) {
        const QString source = fichier.section('/', 0, 0);
        QFile f(racine + '/' + fichier);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            bilan.fautes << fichier + QStringLiteral(": unreadable");
            continue;
        }
        QTextStream flux(&f);
        for (int numero = 1; !flux.atEnd(); ++numero) {
            const auto trouve = inclusion.match(flux.readLine());
            if (!trouve.hasMatch())
                continue;
            ++bilan.inclusions;
            const QString chemin = trouve.captured(1);
            // Includes are written from src/: "folder/file.h", nothing relative.
            const QString cible = chemin.contains('/') && !chemin.startsWith(QStringLiteral("../"))
                                      ? chemin.section('/', 0, 0)
                                      : QString();
            if (cible.isEmpty() || !regles.value(source).contains(cible))
                bilan.fautes << QStringLiteral("%1:%2: %3 -> %4 (\"%5\")")
                                    .arg(fichier).arg(numero).arg(source,
                                         cible.isEmpty() ? QStringLiteral("?") : cible, chemin);
        }
    }
    return bilan;
}

void Ecrit(const QString& chemin, const QByteArray& texte)
{
    QDir().mkpath(chemin.section('/', 0, -2));
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(texte);
}

} // namespace

TEST(Architecture, SourceFoldersIncludeOnlyAlongTheAllowedArrows)
{
    const Regles regles = LitRegles(QStringLiteral(KELVOR_REGLES_ARCHITECTURE));
    ASSERT_TRUE(regles.contains(QStringLiteral("util"))) << "rules table not read";
    const Bilan bilan = VerifieInclusions(QStringLiteral(KELVOR_SOURCE_DIR), regles);
    EXPECT_GT(bilan.inclusions, 100) << "the source folder was not read";
    EXPECT_TRUE(bilan.fautes.isEmpty()) << bilan.fautes.join('\n').toStdString();
}

// The check itself: it names file and line of each include against the rules, and lets
// through includes within a folder and along an arrow.
TEST(Architecture, ForbiddenIncludesAreNamedByFileAndLine)
{
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString racine = dossier.path();
    Ecrit(racine + "/regles.txt", "# core\nbas:\nhaut: bas   # up to down only\n");
    Ecrit(racine + "/src/bas/a.h", "#pragma once\n#include <QString>\n#include \"bas/b.h\"\n");
    Ecrit(racine + "/src/bas/b.cpp", "#include \"bas/b.h\"\n\n  #  include \"haut/c.h\"\n");
    Ecrit(racine + "/src/haut/c.cpp",
          "#include \"haut/c.h\"\n#include \"bas/a.h\"\n#include \"autre/d.h\"\n"
          "#include \"c.h\"\n#include \"../bas/a.h\"\n// #include \"autre/e.h\"\n");
    Ecrit(racine + "/src/neuf/e.cpp", "#include \"bas/a.h\"\n");

    const Bilan bilan = VerifieInclusions(racine + "/src", LitRegles(racine + "/regles.txt"));
    EXPECT_EQ(bilan.fautes, QStringList({
                                "bas/b.cpp:3: bas -> haut (\"haut/c.h\")",
                                "haut/c.cpp:3: haut -> autre (\"autre/d.h\")",
                                "haut/c.cpp:4: haut -> ? (\"c.h\")",
                                "haut/c.cpp:5: haut -> ? (\"../bas/a.h\")",
                                "neuf/e.cpp:1: neuf -> bas (\"bas/a.h\")",
                            }));
    EXPECT_EQ(bilan.inclusions, 9);
}
