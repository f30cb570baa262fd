#include "util/cp1252.h"

#include <QList>

namespace kelvor {

namespace {

// Code points of 0x80..0x9F; the five unassigned bytes map to the C1 control of the
// same value, as Windows does, so every byte survives a round trip.
constexpr char16_t hauts[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char EncodeCaractere(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (hauts[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray EncodeCp1252(const QString& texte)
{
    QByteArray octets;
    octets.reserve(texte.size());
    for (const char32_t c : texte.toUcs4())
        octets.append(EncodeCaractere(c));
    return octets;
}

QString DecodeCp1252(const QByteArray& octets)
{
    QString texte(octets.size(), Qt::Uninitialized);
    QChar* sortie = texte.data();
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        *sortie++ = (b >= 0x80 && b < 0xA0) ? QChar(hauts[b - 0x80]) : QChar(b);
    }
    return texte;
}

} // namespace kelvor
