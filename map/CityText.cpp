#include "map/CityText.h"

#include "globe/AngleText.h"

#include <QList>

#include <algorithm>
#include <cctype>

namespace wl {

namespace {

const char* const LatitudeFormat = "%d %m %N";
const char* const LongitudeFormat = "%d %m %E";

constexpr char32_t LastLatin1 = 0xFF;

// Letters with a stroke and ligatures do not decompose; they are spelled as the shipped city
// names spell them.
QString undecomposed(char32_t c)
{
    struct Spelling
    {
        char32_t letter;
        const char* latin;
    };
    static constexpr Spelling Table[] = {
        {0x0110, "D"},  {0x0111, "d"}, {0x0126, "H"},  {0x0127, "h"},  {0x0131, "i"},
        {0x0141, "L"},  {0x0142, "l"}, {0x014A, "NG"}, {0x014B, "ng"}, {0x0152, "OE"},
        {0x0153, "oe"}, {0x0166, "T"}, {0x0167, "t"},  {0x0192, "f"},  {0x1E9E, "SS"},
        {0x2010, "-"},  {0x2011, "-"}, {0x2013, "-"},  {0x2014, "-"},  {0x2018, "'"},
        {0x2019, "'"},  {0x02BC, "'"}, {0x201C, "\""}, {0x201D, "\""},
    };
    for (const Spelling& s : Table) {
        if (s.letter == c)
            return QString::fromLatin1(s.latin);
    }
    return {};
}

// One character in the code page: itself when it fits, else its letters without accents
// (compatibility decomposition), else "?".
QString latin1Spelling(char32_t c)
{
    const QString text = QString::fromUcs4(&c, 1);
    if (c <= LastLatin1)
        return text;
    if (QString spelled = undecomposed(c); !spelled.isEmpty())
        return spelled;
    QString plain;
    for (QChar part : text.normalized(QString::NormalizationForm_KD)) {
        if (part.isMark())
            continue;
        if (part.unicode() > LastLatin1)
            return QStringLiteral("?");
        plain += part;
    }
    return plain.isEmpty() ? QStringLiteral("?") : plain;
}

} // namespace

QString CityText::latitudeText(std::int32_t gu)
{
    return QString::fromStdString(guToStr(gu, LatitudeFormat));
}

QString CityText::longitudeText(std::int32_t gu)
{
    return QString::fromStdString(guToStr(gu, LongitudeFormat));
}

std::int32_t CityText::readLatitude(const QString& text)
{
    return strToGU(text.toLatin1().toStdString(), LatitudeFormat);
}

std::int32_t CityText::readLongitude(const QString& text)
{
    return strToGU(text.toLatin1().toStdString(), LongitudeFormat);
}

std::string CityText::titleBytes(const QString& text)
{
    QString spelled;
    for (const uint c : text.normalized(QString::NormalizationForm_C).toUcs4()) {
        spelled += latin1Spelling(c);
        if (spelled.size() >= MaxTitleLength)
            break;
    }
    return spelled.left(MaxTitleLength).toLatin1().toStdString();
}

QString CityText::titleText(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool CityText::titleLess(const std::string& a, const std::string& b)
{
    // Leading punctuation and blanks ("'Abasan", "(Old) Town") do not decide the place in the
    // list: the name proper does, byte by byte; the whole titles only break a tie.
    const auto nameStart = [](const std::string& t) {
        std::size_t i = 0;
        while (i < t.size() && static_cast<unsigned char>(t[i]) < 0x80 &&
               !std::isalnum(static_cast<unsigned char>(t[i])))
            ++i;
        return t.begin() + static_cast<std::ptrdiff_t>(i);
    };
    const auto bytes = [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    };
    const auto an = nameStart(a), bn = nameStart(b);
    if (std::lexicographical_compare(an, a.end(), bn, b.end(), bytes))
        return true;
    if (std::lexicographical_compare(bn, b.end(), an, a.end(), bytes))
        return false;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), bytes);
}

} // namespace wl
