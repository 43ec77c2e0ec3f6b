#include "exchange/import/ImportText.h"
#include "exchange/import/ImportColumns.h"
#include "exchange/import/ProperName.h"
#include "fuzz/ImportReadCheck.h"
#include "grid/PlainText.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl {
namespace {

using Rows = std::vector<QStringList>;

struct ParseCase
{
    const char* name;
    QByteArray bytes;
    Rows rows;
};

TEST(ImportTextTest, SplitsLinesAndFields)
{
    const QString thirteen = QStringLiteral("\"a,1\",").repeated(12) + QStringLiteral("\"m,13\"");
    QStringList thirteenCells;
    for (int i = 0; i < 12; ++i)
        thirteenCells << QStringLiteral("a,1");
    thirteenCells << QStringLiteral("m,13");

    const std::vector<ParseCase> cases = {
        {"CR LF and LF, no row for the last line end",
         "146.52,K1ABC\r\n7.1,W1AW\n",
         {{"146.52", "K1ABC"}, {"7.1", "W1AW"}}},
        {"a lone CR ends a line too", "1,a\r2,b", {{"1", "a"}, {"2", "b"}}},
        {"empty fields stay in place", "a,,c,", {{"a", "", "c", ""}}},
        {"an empty line is a row of one empty cell", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
        {"blanks around fields go", "  146.52 ,\t K1ABC  ", {{"146.52", "K1ABC"}}},
        {"a comma inside quotes belongs to the text",
         "146.52,\"Smith, John\",x",
         {{"146.52", "Smith, John", "x"}}},
        {"two quotes inside quotes are one", "\"He said \"\"hi\"\"\",b", {{"He said \"hi\"", "b"}}},
        {"a quote left open is dropped", "a,\"b,c", {{"a", "b", "c"}}},
        {"a quoted section inside a field", "ab\"c,d\"e,f", {{"abc,de", "f"}}},
        {"blanks inside quotes are trimmed with the cell", "\" x \",y", {{"x", "y"}}},
        {"any number of quoted fields", thirteen.toUtf8(), {thirteenCells}},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ImportText::parse(c.bytes), c.rows) << c.name;
}

TEST(ImportTextTest, ReadsUtf8AndFallsBackToWindows1252)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const std::vector<Case> cases = {
        {"UTF-8", "Z\xC3\xBCrich \xE2\x82\xAC", QStringLiteral("Zürich €")},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBFZ\xC3\xBCrich", QStringLiteral("Zürich")},
        // What the program's own exports write: one byte per character.
        {"Windows-1252", "Z\xFCrich \x80 \x93q\x94", QStringLiteral("Zürich € “q”")},
        {"UTF-16 with a byte-order mark", QByteArray("\xFF\xFEZ\0\xFC\0", 6), QStringLiteral("Zü")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlainText::decode(c.bytes), c.text) << c.name;
}

TEST(ImportTextTest, ProperNameFixesCapitalsOfNames)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"mary o'neil. dr.smith", "Mary O'neil. Dr.Smith"},
        {"MARY O'NEIL. DR.SMITH", "Mary O'neil. Dr.Smith"},
        {"po box 12", "PO Box 12"},
        {"pocatello", "Pocatello"},
        {"x", "X"},
        {"12 main st.", "12 Main St."},
        // Only A to Z change case.
        {"ÉCOLE ÜBER", "École Über"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ProperName(in), out) << in.toStdString();
}

TEST(ImportColumnsTest, HeadingsNameTheFieldsThenNumberTheRest)
{
    const QStringList expected = {"Frequency(MHz)", "  +-  ",   "Callsign",  "User",
                                  "Location",       "Special",  "Date/Time", "Notes",
                                  "Column 9",       "Column 12"};
    QStringList headings;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 11})
        headings << ImportColumns::heading(i);
    EXPECT_EQ(headings, expected);
}

TEST(ImportColumnsTest, JoinsTwoColumnsInEveryRowOrInOne)
{
    struct Case
    {
        const char* name;
        int n;
        int onlyRow;
        Rows rows;
        Rows joined;
    };
    const std::vector<Case> cases = {
        {"every row loses a column",
         2,
         -1,
         {{"h0", "h1", "h2", "h3"}, {"146.52", " ", "Kxyz ", " W1AW"}},
         {{"h0", "h1", "h2 h3"}, {"146.52", " ", "Kxyz W1AW"}}},
        {"an empty side adds no blank", 0, -1, {{"", "b"}, {"a", ""}}, {{"b"}, {"a"}}},
        {"one row: the rest moves left, the row keeps its width",
         0,
         1,
         {{"a", "b", "c"}, {"d", "e", "f"}},
         {{"a", "b", "c"}, {"d e", "f", ""}}},
        {"a row too short is left alone",
         1,
         -1,
         {{"a", "b"}, {"c", "d", "e"}},
         {{"a", "b"}, {"c", "d e"}}},
    };
    for (const Case& c : cases) {
        Rows rows = c.rows;
        ImportColumns::joinColumns(rows, c.n, c.onlyRow);
        EXPECT_EQ(rows, c.joined) << c.name;
    }
}

TEST(ImportTextTest, ReadsRecordsOverLinesAndEitherSeparator)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        std::vector<QStringList> rows;
    };
    const std::vector<Case> cases = {
        {"semicolons from a decimal-comma export",
         "\"Item\";\"MHz\"\r\n1;146,52;\"a, b\"\r\n",
         {{"Item", "MHz"}, {"1", "146,52", "a, b"}}},
        {"commas win a tie", "a;b,c\r\n", {{"a;b", "c"}}},
        {"a quoted field holds line breaks",
         "a,\"l1\r\nl2\nl3\",b\r\nc\r\n",
         {{"a", "l1\r\nl2\nl3", "b"}, {"c"}}},
        {"a quote nothing closes stays on its line",
         "a,\"b,c\r\nd,e\r\n",
         {{"a", "b", "c"}, {"d", "e"}}},
        {"files joined with their byte-order marks",
         "\xEF\xBB\xBF"
         "146.52,a\r\n\xEF\xBB\xBF"
         "7.1,b\r\n",
         {{"146.52", "a"}, {"7.1", "b"}}},
        {"the formula guard comes off", "\"'=1+2\",'x,''-y", {{"=1+2", "'x", "'-y"}}},
        {"one line in another encoding",
         "M\xC3\xBCnchen\r\nZ\xFCrich\r\n\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         {{"München"}, {"Zürich"}, {"Łódź"}}},
    };
    for (const Case& c : cases) {
        const ImportRead read = ImportText::read(c.bytes);
        EXPECT_EQ(read.rows, c.rows) << c.name;
        EXPECT_EQ(read.badRow, 0) << c.name;
    }
}

TEST(ImportTextTest, ControlCharactersRefuseTheFileWithTheirRow)
{
    struct Case
    {
        QByteArray bytes;
        int row;
        int code;
    };
    const Case cases[] = {
        {QByteArray("a,b\r\nc\0d\r\n", 10), 2, 0},
        {"x\r\n\"y\r\nz\x1b\"\r\n", 2, 27},
        {"\x7f", 1, 127},
    };
    for (const Case& c : cases) {
        const ImportRead read = ImportText::read(c.bytes);
        EXPECT_EQ(read.badRow, c.row) << c.bytes.toHex().constData();
        EXPECT_EQ(int(read.badCode), c.code);
        EXPECT_TRUE(read.rows.empty());
    }
    EXPECT_EQ(ImportText::read("a\tb,c\r\n").rows, std::vector<QStringList>({{"a\tb", "c"}}));
}

// Text saved as two bytes a letter without a byte-order mark reads as the same text saved as
// UTF-8, in either byte order; before, its zero bytes refused it.
TEST(ImportTextTest, TwoByteTextWithoutByteOrderMarkReads)
{
    const QString text = QString::fromUtf8("146.52,Jürg,\"Zoë, Straße\"\r\n7.1,Ωμέγα,x\r\n");
    const Rows expected = ImportText::read(text.toUtf8()).rows;
    ASSERT_EQ(expected.size(), 2u);
    QStringEncoder little(QStringEncoder::Utf16LE);
    QStringEncoder big(QStringEncoder::Utf16BE);
    for (const QByteArray& bytes :
         {QByteArray(little.encode(text)), QByteArray(big.encode(text))}) {
        EXPECT_FALSE(bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"));
        const ImportRead read = ImportText::read(bytes);
        EXPECT_EQ(read.badRow, 0);
        EXPECT_EQ(read.rows, expected);
        EXPECT_TRUE(ImportText::mayRefuse(bytes));
    }
}

// Large files are read record by record from their bytes; the records must be those of the text
// read whole, wherever quotes, line breaks and refused characters fall.
TEST(ImportTextTest, BytesReadRecordByRecordAsTheWholeText)
{
    const QByteArray cases[] = {
        "a,\"b\r\nc\"d\"e\r\nf,g\r\n",          // a quote opened after the last close
        "a,\"x\r\ny\"z\"w\r\nmore\r\n\"end\"",  // a fallback line holding a quoted break
        "1,\"open\r\n2,b\r\n3,\"c\"",           // an open quote closed by a later line's quotes
        "a\rb,\"c\rd\"\r\"e\r",                 // lone CRs inside and outside quotes
        "\xEF\xBB\xBF\"\"\"\",\"\"\"\r\n\r\n;", // a byte-order mark, runs of quotes, blanks
        "x\r\n\"y\r\nz\x1b\"\r\n",              // a refused character inside a quoted break
        "\"a\r\nb\x01\r\nc",                    // one inside a line that falls back
        "M\xC3\xBCnchen,\"\xC5\x81\xC3\xB3"
        "d\xC5\xBA\r\n\xE2\x82\xAC\"\r\n",
    };
    for (const QByteArray& bytes : cases) {
        const ImportRead read = ImportText::read(bytes);
        const ImportRead whole = ImportText::read(fuzz::asUtf16(PlainText::decode(bytes)));
        EXPECT_EQ(read.rows, whole.rows) << bytes.toHex().constData();
        EXPECT_EQ(read.badRow, whole.badRow) << bytes.toHex().constData();
        EXPECT_EQ(read.separator, whole.separator) << bytes.toHex().constData();
    }
    // Looked at eight bytes at a time: refused bytes anywhere in a word or in the tail.
    const QByteArray clean = "a,\tb\r\n\xC3\xBC\xFC~ \x80\xFF\x1F";
    EXPECT_TRUE(ImportText::mayRefuse(clean));
    EXPECT_FALSE(ImportText::mayRefuse(clean.chopped(1)));
    for (qsizetype at = 0; at < clean.size() - 1; ++at) {
        for (char bad : {'\0', '\x01', '\x1B', '\x7F'}) {
            QByteArray bytes = clean.chopped(1);
            bytes[at] = bad;
            EXPECT_TRUE(ImportText::mayRefuse(bytes)) << at << ' ' << int(bad);
        }
    }
    EXPECT_TRUE(ImportText::mayRefuse("\xFF\xFE"));
    for (const char* none : {"", "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF", "\xFF\xFE"})
        EXPECT_FALSE(ImportText::holdsText(none)) << none;
    EXPECT_TRUE(ImportText::holdsText("\r\n"));
}

// The window reads cells as UTF-8 straight from the bytes; they must be the cells of the text
// read, whatever the file holds, and a refusal must name the same row.
TEST(ImportTextTest, Utf8CellsAreTheCellsOfTheText)
{
    const QByteArray cases[] = {
        "146.52,\"Smith, John\",x\r\n7.1,\"a \"\"b\"\"\",\"\"\r\n",   // quotes, doubled quotes
        "a,\"b,c\r\nd,e\r\n",                                     // a quote nothing closes
        "a,\"l1\r\nl2\",b\nc",                                      // a quoted line break, LF
        "1,a\r2,b\r",                                                // lone CRs
        "  ,\t, x ,\"  \",\r\n\r\nlast",                               // blank cells, no last break
        "\xC2\xA0" "a\xC2\xA0,\xE3\x80\x80" "b\xE2\x80\x83,\xEF\xBB\xBF" "c,\xF0\x9F\x93\xBB", // wide blanks, a BOM
        "\xEF\xBB\xBFx,y\r\n\xEF\xBB\xBFz\r\n",                        // files joined with their BOMs
        "M\xC3\xBCnchen,\xA0Z\xFCrich\xA0\r\n\xC5\x81\xC3\xB3" "d\xC5\xBA\r\n", // UTF-8 and Latin-1
        "\"'=1+2\",'x,''-y, '@a",                                    // the formula guard
        "a;b;\"c;d\"\r\n1;2,5;3\r\n",                                 // semicolons
        "a,b\r\nc\x01" "d\r\ne\r\n",                                   // a refused character
        QByteArray("\xFF\xFE" "a\0,\0b\0", 8),                        // UTF-16
        "ab\"c,d\"e,f\r\n\"\"\"\",\"\"\"\r\n",                            // quotes inside fields
    };
    for (const QByteArray& bytes : cases) {
        const ImportRead text = ImportText::read(bytes);
        std::vector<QStringList> rows;
        const ImportRead utf8 = fuzz::readAsUtf8(bytes, &rows);
        EXPECT_EQ(utf8.badRow, text.badRow) << bytes.toHex().constData();
        EXPECT_EQ(utf8.badCode, text.badCode) << bytes.toHex().constData();
        EXPECT_EQ(utf8.separator, text.separator) << bytes.toHex().constData();
        if (text.badRow == 0)
            EXPECT_EQ(rows, text.rows) << bytes.toHex().constData();
        else
            EXPECT_EQ(int(rows.size()), text.badRow - 1) << bytes.toHex().constData();
    }
}

} // namespace
} // namespace wl
