#include "exchange/import/formats/AdifReader.h"

#include "exchange/import/ImportMessages.h"
#include "exchange/import/formats/ExactFrequency.h"
#include "grid/CodePage1252.h"
#include "grid/LocaleInfo.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>

namespace wl {

namespace {

const QString OptionalField = QStringLiteral("APP_WAVELARK_OPTIONAL");
const QString ModifierField = QStringLiteral("APP_WAVELARK_MODIFIER");

// Whether only blanks lie between `from` and the next tag (or the end of the text).
bool blankUpToNextTag(QByteArrayView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size() && text[i] != '<'; ++i) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            return false;
    }
    return true;
}

// Where `count` UTF-8 characters starting at `from` end; -1 when the text ends first or is not
// UTF-8 there.
qsizetype afterCharacters(QByteArrayView text, qsizetype from, qsizetype count)
{
    qsizetype at = from;
    for (qsizetype n = 0; n < count; ++n) {
        if (at >= text.size())
            return -1;
        const auto lead = static_cast<unsigned char>(text[at]);
        const int length = lead < 0x80    ? 1
                           : lead >= 0xF0 ? 4
                           : lead >= 0xE0 ? 3
                           : lead >= 0xC0 ? 2
                                          : 0;
        if (length == 0 || at + length > text.size() || !text.sliced(at, length).isValidUtf8())
            return -1;
        at += length;
    }
    return at;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The end of a value whose length the tag gives. The format counts bytes, but many logs
// written in UTF-8 count letters: when the byte count ends inside a letter, or leaves text
// before the next tag where the letter count ends cleanly, the count is taken as letters.
// A file that is not UTF-8 as a whole is single-byte text, where the two agree. -1 when
// neither reading fits, rather than keeping half a letter.
qsizetype valueEnd(QByteArrayView text, qsizetype from, qsizetype length, bool utf8File)
{
    const qsizetype byByte = from + length;
    if (!utf8File)
        return byByte;
    const QByteArrayView bytes = text.sliced(from, length);
    const bool whole = bytes.isValidUtf8();
    if (whole && blankUpToNextTag(text, byByte))
        return byByte;
    const qsizetype byLetter = afterCharacters(text, from, length);
    if (byLetter >= 0 && blankUpToNextTag(text, byLetter))
        return byLetter;
    // Text between fields is allowed and ignored; it cannot be told from a miscounted value
    // only when the value holds no letter beyond ASCII.
    return whole && isAscii(bytes) ? byByte : -1;
}

QString decodeValue(QByteArrayView bytes, bool utf8File)
{
    return utf8File ? QString::fromUtf8(bytes) : CodePage1252::decode(bytes);
}

QByteArrayView skipBom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

// The fields this reader takes a value from.
bool isReadField(const QString& name)
{
    static const QStringList read = {
        QStringLiteral("FREQ"),       QStringLiteral("CALL"),    QStringLiteral("NAME"),
        QStringLiteral("QTH"),        QStringLiteral("MODE"),    QStringLiteral("SUBMODE"),
        QStringLiteral("NOTES"),      QStringLiteral("COMMENT"), QStringLiteral("QSO_DATE"),
        QStringLiteral("TIME_ON"),    QStringLiteral("LAT"),     QStringLiteral("LON"),
        QStringLiteral("GRIDSQUARE"), QStringLiteral("BAND")};
    return read.contains(name) || name == OptionalField || name == ModifierField;
}

bool isUserField(const QString& element)
{
    return element == u"USERDEF";
}

// The name a field of the XML form is kept under, as the tagged form names it: an application
// field <APP PROGRAMID="X" FIELDNAME="FREQ"> is APP_X_FREQ, never the standard FREQ; a user
// field keeps its own name unless that is a field this reader takes, which it must not replace.
QString xmlFieldName(const QString& element, const QXmlStreamAttributes& attributes)
{
    const QString fieldName = attributes.value(QStringLiteral("FIELDNAME")).toString().toUpper();
    if (element == u"APP") {
        const QString program = attributes.value(QStringLiteral("PROGRAMID")).toString().toUpper();
        return QStringLiteral("APP_%1_%2").arg(program, fieldName);
    }
    if (isUserField(element))
        return isReadField(fieldName) ? QStringLiteral("USERDEF_") + fieldName : fieldName;
    return element;
}

bool looksLikeXml(QByteArrayView bytes)
{
    const QByteArray start = skipBom(bytes)
                                 .first(std::min<qsizetype>(skipBom(bytes).size(), 200))
                                 .toByteArray()
                                 .trimmed()
                                 .toUpper();
    return start.startsWith("<?XML") || start.startsWith("<ADX");
}

std::optional<QDateTime> dateTime(const AdifReader::Fields& f, const QDate& today, QString& why)
{
    const QString dateText = f.value(QStringLiteral("QSO_DATE"));
    const QString timeText = f.value(QStringLiteral("TIME_ON"));
    QDate date = today;
    if (!dateText.isEmpty()) {
        date = QDate::fromString(dateText, QStringLiteral("yyyyMMdd"));
        if (!date.isValid()) {
            why = QStringLiteral("the QSO_DATE \"%1\" is not a date (YYYYMMDD)")
                      .arg(ImportMessages::Quoted(dateText));
            return std::nullopt;
        }
    }
    QTime time(0, 0);
    if (!timeText.isEmpty()) {
        time = QTime::fromString(timeText, timeText.size() == 6 ? QStringLiteral("HHmmss")
                                                                : QStringLiteral("HHmm"));
        if (!time.isValid()) {
            why = QStringLiteral("the TIME_ON \"%1\" is not a time (HHMM or HHMMSS)")
                      .arg(ImportMessages::Quoted(timeText));
            return std::nullopt;
        }
    }
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

std::optional<double> AdifReader::readLocation(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^([NSEW])(\\d{3}) (\\d{2}(?:\\.\\d{1,6})?)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QChar hemisphere = m.captured(1).toUpper().front();
    const double degrees = m.captured(2).toInt();
    // The file's numbers are written with a point whatever the reader's locale.
    const double minutes =
        LocaleInfo::fromLocale(QLocale::c()).parseNumber(m.captured(3)).value_or(0.0);
    const double limit = hemisphere == u'N' || hemisphere == u'S' ? 90 : 180;
    const double value = degrees + minutes / 60.0;
    if (minutes >= 60 || value > limit)
        return std::nullopt;
    return hemisphere == u'S' || hemisphere == u'W' ? -value : value;
}

std::optional<std::pair<double, double>> AdifReader::gridCentre(const QString& locator)
{
    const QString g = locator.trimmed().toUpper();
    if (g.isEmpty() || g.size() % 2 != 0 || g.size() > 8)
        return std::nullopt;
    // Each pair splits the cell of the pair before it: 18 fields, 10 squares, 24 subsquares,
    // 10 extended squares.
    static constexpr int Divisions[] = {18, 10, 24, 10};
    double lon = -180, lat = -90, lonSize = 360, latSize = 180;
    for (int p = 0; p < g.size() / 2; ++p) {
        const int n = Divisions[p];
        const QChar a = g[2 * p], b = g[2 * p + 1];
        const bool digits = p % 2 == 1;
        const int x = digits ? a.unicode() - u'0' : a.unicode() - u'A';
        const int y = digits ? b.unicode() - u'0' : b.unicode() - u'A';
        if (x < 0 || x >= n || y < 0 || y >= n)
            return std::nullopt;
        lonSize /= n;
        latSize /= n;
        lon += x * lonSize;
        lat += y * latSize;
    }
    return std::make_pair(lat + latSize / 2, lon + lonSize / 2);
}

void AdifReader::readTagged(const QByteArray& bytes, const RecordSink& sink,
                            QStringList& problems)
{
    const QByteArrayView text = skipBom(bytes);
    // Most logs are UTF-8; one that is not as a whole is read as Windows-1252.
    const bool utf8File = text.isValidUtf8();
    qsizetype pos = 0;
    // A header is any text before <EOH> in a file that does not start with a tag.
    if (!text.isEmpty() && text.front() != '<') {
        const qsizetype eoh =
            QLatin1StringView(text).indexOf(QLatin1StringView("<EOH>"), 0, Qt::CaseInsensitive);
        pos = eoh < 0 ? text.size() : eoh + 5;
    }
    Fields fields;
    bool broken = false;
    int count = 0;
    auto finish = [&] {
        if (broken || !fields.isEmpty()) {
            ++count;
            sink(broken ? nullptr : &fields);
        }
        fields.clear();
        broken = false;
    };
    auto recordNumber = [&] { return count + 1; };
    while (true) {
        const qsizetype open = text.indexOf('<', pos);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf('>', open);
        if (close < 0) {
            problems
                << QStringLiteral("Record %1: a tag is not closed with \">\".").arg(recordNumber());
            broken = true;
            break;
        }
        const QString tag = QString::fromLatin1(text.sliced(open + 1, close - open - 1));
        pos = close + 1;
        const QStringList parts = tag.split(QLatin1Char(':'));
        const QString name = parts.front().trimmed().toUpper();
        if (parts.size() == 1) {
            if (name == u"EOR")
                finish();
            continue;
        }
        bool ok = false;
        const qsizetype length = parts[1].trimmed().toLongLong(&ok);
        if (!ok || length < 0 || parts[1].trimmed().isEmpty() ||
            !parts[1].trimmed().front().isDigit()) {
            problems << QStringLiteral("Record %1: the field <%2> has a malformed length.")
                            .arg(recordNumber())
                            .arg(ImportMessages::Quoted(tag));
            broken = true;
            continue;
        }
        if (length > text.size() - pos) {
            problems << QStringLiteral("Record %1: the field %2 is longer than the rest of the "
                                       "file.")
                            .arg(recordNumber())
                            .arg(ImportMessages::Quoted(name));
            broken = true;
            break;
        }
        const qsizetype end = valueEnd(text, pos, length, utf8File);
        if (end < 0) {
            problems << QStringLiteral("Record %1: the field %2 does not hold the %3 characters "
                                       "its tag gives, counted as bytes or as letters.")
                            .arg(recordNumber())
                            .arg(ImportMessages::Quoted(name))
                            .arg(length);
            broken = true;
            pos += length;
            continue;
        }
        fields.insert(name, decodeValue(text.sliced(pos, end - pos), utf8File));
        pos = end;
    }
    if (broken || !fields.isEmpty()) {
        if (!broken)
            problems
                << QStringLiteral("Record %1: the file ends before its <EOR>.").arg(recordNumber());
        sink(nullptr);
    }
}

void AdifReader::readXml(const QByteArray& bytes, const RecordSink& sink, QStringList& problems)
{
    QXmlStreamReader xml(bytes);
    Fields fields;
    bool inRecord = false;
    int count = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString().toUpper();
            if (name == u"RECORD") {
                inRecord = true;
                fields.clear();
            } else if (inRecord) {
                // Application and user fields carry their name in an attribute.
                const QString field = xmlFieldName(name, xml.attributes());
                const QString value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                // A standard field always wins over a user field that took its name.
                if (!fields.contains(field) || !isUserField(name))
                    fields.insert(field, value);
            }
        } else if (xml.isEndElement() && xml.name().toString().toUpper() == u"RECORD") {
            inRecord = false;
            ++count;
            sink(&fields);
        }
    }
    if (xml.hasError())
        problems << QStringLiteral("Record %1: the XML cannot be read at line %2: %3")
                        .arg(count + 1)
                        .arg(xml.lineNumber())
                        .arg(xml.errorString());
}

std::optional<ImportRecord> AdifReader::record(const Fields& f, int number, const QDate& today,
                                               QStringList& problems)
{
    auto refuse = [&](const QString& why) {
        problems << QStringLiteral("Record %1: %2.").arg(number).arg(why);
        return std::nullopt;
    };
    const QString freq = f.value(QStringLiteral("FREQ"));
    if (freq.isEmpty()) {
        if (f.contains(QStringLiteral("BAND")))
            return refuse(QStringLiteral("only the band %1 is given; a frequency (FREQ) is needed")
                              .arg(ImportMessages::Quoted(f.value(QStringLiteral("BAND")))));
        return refuse(QStringLiteral("it has no frequency (FREQ)"));
    }
    const std::optional<double> mhz = ExactFrequency::toMHz(freq);
    if (!mhz)
        return refuse(QStringLiteral("the frequency \"%1\" cannot be read")
                          .arg(ImportMessages::Quoted(freq)));
    QString why;
    const std::optional<QDateTime> when = dateTime(f, today, why);
    if (!when)
        return refuse(why);
    ImportRecord r;
    r.row = number;
    r.hz = *mhz;
    r.modifier = QStringLiteral(" ");
    r.callsign = f.value(QStringLiteral("CALL"));
    r.user = f.value(QStringLiteral("NAME"));
    r.location = f.value(QStringLiteral("QTH"));
    QStringList mode{f.value(QStringLiteral("MODE")), f.value(QStringLiteral("SUBMODE"))};
    mode.removeAll(QString());
    // This program's own ADIF export carries the optional field and the modifier whole in
    // its application fields; other programs' logs give the mode.
    r.special = f.value(OptionalField, mode.join(QLatin1Char(' ')));
    if (const QString modifier = f.value(ModifierField); !modifier.isEmpty())
        r.modifier = modifier.left(1);
    QStringList notes{f.value(QStringLiteral("NOTES")), f.value(QStringLiteral("COMMENT"))};
    notes.removeAll(QString());
    r.notes = notes.join(QStringLiteral("; "));
    r.rDate = *when;
    const QString latText = f.value(QStringLiteral("LAT"));
    const QString lonText = f.value(QStringLiteral("LON"));
    if (!latText.isEmpty() || !lonText.isEmpty()) {
        const std::optional<double> lat = readLocation(latText);
        const std::optional<double> lon = readLocation(lonText);
        const bool latOk =
            lat && (latText.front().toUpper() == u'N' || latText.front().toUpper() == u'S');
        const bool lonOk =
            lon && (lonText.front().toUpper() == u'E' || lonText.front().toUpper() == u'W');
        if (!latOk || !lonOk)
            return refuse(
                QStringLiteral("the position LAT \"%1\" LON \"%2\" cannot be read "
                               "(XDDD MM.MMM)")
                    .arg(ImportMessages::Quoted(latText), ImportMessages::Quoted(lonText)));
        r.lat = lat;
        r.lon = lon;
    } else if (const QString grid = f.value(QStringLiteral("GRIDSQUARE")); !grid.isEmpty()) {
        const auto centre = gridCentre(grid);
        if (!centre)
            return refuse(QStringLiteral("the grid square \"%1\" cannot be read")
                              .arg(ImportMessages::Quoted(grid)));
        r.lat = centre->first;
        r.lon = centre->second;
    }
    return r;
}

FormatImport AdifReader::read(const QByteArray& bytes, const QDate& today)
{
    FormatImport out;
    std::map<QString, int> seen;
    int number = 0;
    const RecordSink take = [&](const Fields* fields) {
        ++number;
        if (!fields || fields->isEmpty())
            return; // already reported, or a record without fields
        for (auto it = fields->cbegin(); it != fields->cend(); ++it)
            ++seen[it.key()];
        if (auto r = record(*fields, number, today, out.batch.problems))
            out.batch.records.push_back(std::move(*r));
    };
    if (looksLikeXml(bytes))
        readXml(bytes, take, out.batch.problems);
    else
        readTagged(bytes, take, out.batch.problems);
    static const std::map<QString, QString> used = {
        {QStringLiteral("FREQ"), QStringLiteral("Frequency (MHz)")},
        {QStringLiteral("CALL"), QStringLiteral("Callsign")},
        {QStringLiteral("NAME"), QStringLiteral("User")},
        {QStringLiteral("QTH"), QStringLiteral("Location")},
        {QStringLiteral("MODE"), QStringLiteral("Optional")},
        {QStringLiteral("SUBMODE"), QStringLiteral("Optional")},
        {QStringLiteral("NOTES"), QStringLiteral("Notes")},
        {QStringLiteral("COMMENT"), QStringLiteral("Notes")},
        {QStringLiteral("QSO_DATE"), QStringLiteral("Date")},
        {QStringLiteral("TIME_ON"), QStringLiteral("Date")},
        {QStringLiteral("LAT"), QStringLiteral("Position")},
        {QStringLiteral("LON"), QStringLiteral("Position")},
        {QStringLiteral("GRIDSQUARE"), QStringLiteral("Position (when no LAT/LON)")},
        {QStringLiteral("BAND"), QStringLiteral("(checked: a frequency is needed)")},
        {OptionalField, QStringLiteral("Optional")},
        {ModifierField, QStringLiteral("+/-")}};
    for (const auto& [name, count] : seen) {
        const auto use = used.find(name);
        out.mapping << QStringLiteral("%1 (%2 records) -> %3")
                           .arg(ImportMessages::Quoted(name))
                           .arg(count)
                           .arg(use == used.end() ? QStringLiteral("(not imported)") : use->second);
    }
    std::stable_sort(out.batch.problems.begin(), out.batch.problems.end(),
                     [](const QString& a, const QString& b) {
                         return a.section(QLatin1Char(':'), 0, 0).mid(7).toInt() <
                                b.section(QLatin1Char(':'), 0, 0).mid(7).toInt();
                     });
    return out;
}

} // namespace wl
