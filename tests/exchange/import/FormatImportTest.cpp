#include "exchange/import/ImportText.h"
#include "exchange/import/formats/AdifReader.h"
#include "exchange/import/formats/ExactFrequency.h"
#include "exchange/import/formats/ImportFormats.h"
#include "exchange/import/formats/OwnCsvReader.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

namespace wl {
namespace {

const QDate Today(2024, 3, 9);

FormatImport read(ImportFormat format, const QByteArray& bytes)
{
    return ImportFormats::read(format, bytes, Today);
}

std::string report(const FormatImport& r)
{
    return r.batch.problems.join(u'\n').toStdString();
}

TEST(FormatImportTest, FrequenciesAreReadExactlyInEveryUnit)
{
    struct Case
    {
        const char* text;
        int decimals;
        std::optional<double> mhz;
    };
    const Case cases[] = {
        {"128.010", 0, 128.010},  {"128010", 3, 128.010},    {"128010000", 6, 128.010},
        {" 7.2 ", 0, 7.2},        {"530", 3, 0.53},          {"5", 6, 0.000005},
        {".5", 0, 0.5},           {"14.074000", 0, 14.074},  {"", 0, std::nullopt},
        {"1,5", 0, std::nullopt}, {"-3", 0, std::nullopt},   {"1e3", 0, std::nullopt},
        {"0", 0, std::nullopt},   {"1.2.3", 0, std::nullopt}};
    for (const Case& c : cases) {
        const std::optional<double> got =
            ExactFrequency::toMHz(QString::fromLatin1(c.text), c.decimals);
        ASSERT_EQ(got.has_value(), c.mhz.has_value()) << c.text;
        // Exactly the double nearest the written value, not a product a bit beside it.
        if (got) {
            EXPECT_EQ(*got, *c.mhz) << c.text;
        }
    }
}

TEST(FormatImportTest, ChannelListMapsColumnsAndKeepsAwkwardCells)
{
    // A byte order mark, columns in their own order plus one the import does not know, a
    // quoted comma, a tone of each kind, an unknown mode and a short row.
    const QByteArray csv =
        "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
        "DtcsPolarity,Mode,TStep,Comment,Extra\r\n"
        "1,Tower,128.010,,0.000000,,88.5,88.5,023,NN,AM,5.00,\"Approach, east\",x\r\n"
        "2,Rpt,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,\r\n"
        "3,Squelch,446.0,,0,TSQL,88.5,123.0,023,NN,NFM,12.5,,\r\n"
        "4,Digital,440.5,+,5.0,DTCS,88.5,88.5,754,NN,FROB,12.5,,\r\n"
        "\r\n"
        "5,Short,7.2\r\n";
    const FormatImport r = read(ImportFormat::ChannelCsv, csv);
    ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r);
    ASSERT_EQ(r.batch.records.size(), 5u);
    EXPECT_EQ(r.batch.blankRows, 1);
    const ImportRecord& tower = r.batch.records[0];
    EXPECT_EQ(tower.row, 2);
    EXPECT_EQ(tower.hz, 128.010);
    EXPECT_EQ(tower.callsign, "Tower");
    EXPECT_EQ(tower.notes, "Approach, east");
    EXPECT_EQ(tower.special, "AM");
    EXPECT_EQ(r.batch.records[1].modifier, "-");
    EXPECT_EQ(r.batch.records[1].special, "FM T 100.0");
    EXPECT_EQ(r.batch.records[1].notes, "Duplex - 0.600000");
    EXPECT_EQ(r.batch.records[2].special, "NFM TSQL 123.0");
    EXPECT_EQ(r.batch.records[3].special, "FROB DCS 754");
    EXPECT_EQ(r.batch.records[4].callsign, "Short");
    EXPECT_EQ(r.batch.records[4].hz, 7.2);
    ASSERT_EQ(r.remarks.size(), 1);
    EXPECT_TRUE(r.remarks[0].contains("Row 5") && r.remarks[0].contains("FROB"));
    EXPECT_TRUE(r.mapping.contains("Name -> Callsign"));
    EXPECT_TRUE(r.mapping.contains("Extra -> (not imported)"));
    EXPECT_TRUE(r.mapping.contains("TStep -> (not imported)"));
}

TEST(FormatImportTest, DirectoryExportInWindows1252)
{
    const QByteArray csv = "Frequency Output,Frequency Input,FCC Callsign,Agency/Category,"
                           "Description,Alpha Tag,PL Tone,Mode,Class Station Code,Tag,County\n"
                           "155.475,155.475,,,\"Mutual aid, statewide\",Mutual \xC9,156.7 PL,FM,"
                           "BM,Interop,\"Dade\"\n"
                           "460.1250,465.1250,KA1,,Dispatch,PD Disp,,FMN,FB2,Law Dispatch,\n";
    const FormatImport r = read(ImportFormat::DirectoryCsv, csv);
    ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r);
    ASSERT_EQ(r.batch.records.size(), 2u);
    EXPECT_EQ(r.batch.records[0].hz, 155.475);
    EXPECT_EQ(r.batch.records[0].callsign, QString::fromUtf8("Mutual É"));
    EXPECT_EQ(r.batch.records[0].location, "Dade");
    EXPECT_EQ(r.batch.records[0].notes, "Mutual aid, statewide; Interop; Class Station Code BM");
    EXPECT_EQ(r.batch.records[1].hz, 460.125);
    EXPECT_EQ(r.batch.records[1].notes,
              "Dispatch; Law Dispatch; Class Station Code FB2; Input 465.1250; FCC Callsign KA1");
}

TEST(FormatImportTest, CsvProblemsAreReportedByRowAndStoreNothing)
{
    const FormatImport missing = read(ImportFormat::ChannelCsv, "Location,Name\n1,A\n");
    EXPECT_TRUE(missing.batch.records.empty());
    ASSERT_EQ(missing.batch.problems.size(), 1);
    EXPECT_TRUE(missing.batch.problems[0].contains("Frequency"));

    const FormatImport bad = read(ImportFormat::DirectoryCsv, "Frequency Output,Alpha Tag\n"
                                                              "abc,One\n"
                                                              "155.1,Two,unexpected\n"
                                                              "155.2,Three\n");
    EXPECT_EQ(bad.batch.problems, QStringList({"Row 2: the frequency \"abc\" cannot be read.",
                                               "Row 3: more cells than the heading names."}));
}

TEST(FormatImportTest, AdifTaggedLogWithHeaderPositionsAndGrid)
{
    const QByteArray adi =
        "Log written by hand <no tag here>\n<ADIF_VER:5>3.1.4 <PROGRAMID:4>test\n<EOH>\n"
        "<CALL:6>W1AW/4<FREQ:8>7.040000<MODE:2>CW<QSO_DATE:8>20240305<TIME_ON:4>1530"
        "<LAT:11>N041 42.900<LON:11>W072 43.600<NOTES:15>first <b> heard<eor>\n"
        "<call:4>JA1X<freq:6>21.074<mode:4>MFSK<submode:3>FT8<gridsquare:6>PM95uq"
        "<comment:6>D\xC3\xA9j\xC3\xA0<app_x_y:3>abc<EOR>\n"
        "<CALL:5>G3ABC<FREQ:5>3.573<BAND:3>80m<TIME_ON:6>0102x3<EOR>\n";
    const FormatImport r = read(ImportFormat::Adif, adi);
    ASSERT_EQ(r.batch.problems,
              QStringList({"Record 3: the TIME_ON \"0102x3\" is not a time (HHMM or HHMMSS)."}));
    ASSERT_EQ(r.batch.records.size(), 2u);
    const ImportRecord& a = r.batch.records[0];
    EXPECT_EQ(a.callsign, "W1AW/4");
    EXPECT_EQ(a.hz, 7.04);
    EXPECT_EQ(a.special, "CW");
    EXPECT_EQ(a.notes, "first <b> heard");
    EXPECT_EQ(a.rDate, QDateTime(QDate(2024, 3, 5), QTime(15, 30), Qt::UTC));
    EXPECT_NEAR(*a.lat, 41.715, 1e-9);
    EXPECT_NEAR(*a.lon, -72.726666667, 1e-6); // west is negative: east positive
    const ImportRecord& b = r.batch.records[1];
    EXPECT_EQ(b.special, "MFSK FT8");
    EXPECT_EQ(b.notes, QString::fromUtf8("Déjà"));
    EXPECT_EQ(b.rDate, QDateTime(Today, QTime(0, 0), Qt::UTC));
    // PM95uq: the centre of its subsquare.
    EXPECT_NEAR(*b.lat, 30.0 + 5 + 16.5 / 24.0, 1e-9);
    EXPECT_NEAR(*b.lon, 120.0 + 18 + 20.5 / 12.0, 1e-9);
    EXPECT_TRUE(r.mapping.contains("APP_X_Y (1 records) -> (not imported)"));
}

TEST(FormatImportTest, AdifFaultsAreNamedByRecord)
{
    struct Case
    {
        QByteArray adi;
        QString problem;
    };
    const Case cases[] = {
        {"<CALL:x>AB<FREQ:3>7.1<EOR>", "Record 1: the field <CALL:x> has a malformed length."},
        {"<CALL:-2>AB<FREQ:3>7.1<EOR>", "Record 1: the field <CALL:-2> has a malformed length."},
        {"<FREQ:3>7.1<EOR><CALL:40>AB<EOR>",
         "Record 2: the field CALL is longer than the rest of the file."},
        {"<CALL:2>AB<BAND:3>40m<EOR>",
         "Record 1: only the band 40m is given; a frequency (FREQ) is needed."},
        {"<CALL:2>AB<EOR>", "Record 1: it has no frequency (FREQ)."},
        {"<FREQ:3>7.1<LAT:11>N041 42.900<EOR>",
         "Record 1: the position LAT \"N041 42.900\" LON \"\" cannot be read (XDDD MM.MMM)."},
        {"<FREQ:3>7.1<LAT:11>E041 42.900<LON:11>W072 43.600<EOR>",
         "Record 1: the position LAT \"E041 42.900\" LON \"W072 43.600\" cannot be read "
         "(XDDD MM.MMM)."},
        {"<FREQ:3>7.1<GRIDSQUARE:4>ZZ99<EOR>",
         "Record 1: the grid square \"ZZ99\" cannot be read."},
        {"<FREQ:3>7.1<QSO_DATE:8>20241345<EOR>",
         "Record 1: the QSO_DATE \"20241345\" is not a date (YYYYMMDD)."},
        {"<FREQ:3>7.1<CALL:2>AB", "Record 1: the file ends before its <EOR>."},
    };
    for (const Case& c : cases) {
        const FormatImport r = read(ImportFormat::Adif, c.adi);
        EXPECT_EQ(r.batch.problems, QStringList{c.problem}) << c.adi.toStdString();
    }
}

TEST(FormatImportTest, AdifXmlLog)
{
    const QByteArray adx =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER></HEADER><RECORDS>\n"
        "<RECORD><CALL>VK2ABC</CALL><FREQ>14.2055</FREQ><MODE>SSB</MODE>"
        "<LAT>S033 52.000</LAT><LON>E151 12.500</LON>"
        "<NOTES>a &amp; b</NOTES><USERDEF FIELDNAME=\"RIG\">x</USERDEF></RECORD>\n"
        "<RECORD><CALL>K1</CALL><FREQ>nope</FREQ></RECORD>\n"
        "</RECORDS></ADX>\n";
    const FormatImport r = read(ImportFormat::Adif, adx);
    EXPECT_EQ(r.batch.problems, QStringList{"Record 2: the frequency \"nope\" cannot be read."});
    ASSERT_EQ(r.batch.records.size(), 1u);
    EXPECT_EQ(r.batch.records[0].callsign, "VK2ABC");
    EXPECT_EQ(r.batch.records[0].hz, 14.2055);
    EXPECT_EQ(r.batch.records[0].notes, "a & b");
    EXPECT_NEAR(*r.batch.records[0].lat, -(33 + 52.0 / 60), 1e-9);
    EXPECT_NEAR(*r.batch.records[0].lon, 151 + 12.5 / 60, 1e-9);
    EXPECT_TRUE(r.mapping.contains("RIG (1 records) -> (not imported)"));

    const FormatImport broken = read(ImportFormat::Adif, "<?xml version=\"1.0\"?><ADX><RECORDS>"
                                                         "<RECORD><FREQ>7.1</RECORD>");
    ASSERT_EQ(broken.batch.problems.size(), 1);
    EXPECT_TRUE(broken.batch.problems[0].startsWith("Record 1: the XML cannot be read"));
}

// Application and user fields of the XML form are kept under their own names: a program's
// FREQ or a user's NOTES never takes the place of the standard field.
TEST(FormatImportTest, AdxApplicationAndUserFieldsNeverReplaceStandardOnes)
{
    const QByteArray adx =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER><USERDEF FIELDID=\"1\" "
        "TYPE=\"S\">NOTES</USERDEF></HEADER><RECORDS>\n"
        "<RECORD><FREQ>21.074</FREQ><APP PROGRAMID=\"X\" FIELDNAME=\"FREQ\" TYPE=\"N\">99.9</APP>"
        "<NOTES>heard well</NOTES><USERDEF FIELDNAME=\"NOTES\">mine</USERDEF>"
        "<USERDEF FIELDNAME=\"RIG\">IC-7300</USERDEF></RECORD>\n"
        "<RECORD><USERDEF FIELDNAME=\"NOTES\">first</USERDEF><APP PROGRAMID=\"X\" "
        "FIELDNAME=\"FREQ\">99.9</APP><FREQ>7.074</FREQ></RECORD>\n"
        "</RECORDS></ADX>\n";
    const FormatImport r = read(ImportFormat::Adif, adx);
    ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r);
    ASSERT_EQ(r.batch.records.size(), 2u);
    EXPECT_EQ(r.batch.records[0].hz, 21.074);
    EXPECT_EQ(r.batch.records[0].notes, "heard well");
    EXPECT_EQ(r.batch.records[1].hz, 7.074);
    EXPECT_EQ(r.batch.records[1].notes, "");
    EXPECT_TRUE(r.mapping.contains("APP_X_FREQ (2 records) -> (not imported)"))
        << r.mapping.join(u'\n').toStdString();
    EXPECT_TRUE(r.mapping.contains("USERDEF_NOTES (2 records) -> (not imported)"));
    EXPECT_TRUE(r.mapping.contains("RIG (1 records) -> (not imported)"));
}

// Lengths counted in letters (as many UTF-8 loggers write them) read whole; lengths counted in
// bytes still do; a length that fits neither refuses its record instead of storing half a letter.
TEST(FormatImportTest, AdifLengthsInLettersOrBytesNeverGiveGarbage)
{
    const struct
    {
        QByteArray field;
        const char* value; // UTF-8; nullptr: the record is refused
    } cases[] = {
        {"<NAME:11>J\xC3\xBCrg M\xC3\xBCller", "J\xC3\xBCrg M\xC3\xBCller"},   // letters
        {"<NAME:13>J\xC3\xBCrg M\xC3\xBCller", "J\xC3\xBCrg M\xC3\xBCller"},   // bytes
        {"<NAME:2>\xE5\x8C\x97\xE4\xBA\xAC", "\xE5\x8C\x97\xE4\xBA\xAC"},      // CJK, letters
        {"<NAME:6>\xE5\x8C\x97\xE4\xBA\xAC \r\n", "\xE5\x8C\x97\xE4\xBA\xAC"}, // CJK, bytes
        {"<NAME:4>Anna ignored text", "Anna"},                                 // ASCII
        {"<NAME:5>J\xC3\xBCrg M\xC3\xBCller", nullptr},                        // neither
        {"<NAME:4>\xE5\x8C\x97\xE4\xBA\xAC", nullptr},                         // mid-letter
    };
    for (const auto& c : cases) {
        const QByteArray adi = "<FREQ:5>7.074" + c.field + "<CALL:3>K1A<EOR>\n<FREQ:3>7.1<EOR>\n";
        const FormatImport r = read(ImportFormat::Adif, adi);
        if (c.value) {
            ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r) << " for " << c.field.constData();
            ASSERT_EQ(r.batch.records.size(), 2u);
            EXPECT_EQ(r.batch.records[0].user, QString::fromUtf8(c.value)) << c.field.constData();
            EXPECT_EQ(r.batch.records[0].callsign, "K1A") << c.field.constData();
        } else {
            ASSERT_EQ(r.batch.problems.size(), 1) << c.field.constData();
            EXPECT_TRUE(r.batch.problems[0].startsWith("Record 1: the field NAME does not hold"))
                << report(r);
        }
    }
    // A file that is not UTF-8 as a whole is Windows-1252, its lengths in bytes.
    const FormatImport legacy =
        read(ImportFormat::Adif, "<FREQ:5>7.074<NAME:11>J\xFCrg M\xFCller<EOR>\n");
    ASSERT_EQ(legacy.batch.records.size(), 1u) << report(legacy);
    EXPECT_EQ(legacy.batch.records[0].user, QString::fromUtf8("J\xC3\xBCrg M\xC3\xBCller"));
}

// 0 is a latitude and a longitude: a station on the equator or the prime meridian keeps its
// position.
TEST(FormatImportTest, AdifPositionsOnTheEquatorAndThePrimeMeridian)
{
    const FormatImport r =
        read(ImportFormat::Adif, "<FREQ:3>7.1<LAT:11>N000 00.000<LON:11>W000 07.668<EOR>\n"
                                 "<FREQ:3>7.2<LAT:11>S051 30.000<LON:11>E000 00.000<EOR>\n");
    ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r);
    ASSERT_EQ(r.batch.records.size(), 2u);
    ASSERT_TRUE(r.batch.records[0].lat && r.batch.records[0].lon);
    EXPECT_EQ(*r.batch.records[0].lat, 0.0);
    EXPECT_NEAR(*r.batch.records[0].lon, -0.1278, 1e-9);
    ASSERT_TRUE(r.batch.records[1].lat && r.batch.records[1].lon);
    EXPECT_EQ(*r.batch.records[1].lat, -51.5);
    EXPECT_EQ(*r.batch.records[1].lon, 0.0);
}

// Both heading sets of the directory downloads: every column used or listed as not imported,
// coordinates read (0 included) and range-checked by row.
TEST(FormatImportTest, DirectoryHeadingSetsAndCoordinates)
{
    const QByteArray longForm =
        "Frequency Output,Frequency Input,FCC Callsign,Agency/Category,Description,Alpha Tag,"
        "PL Tone,Mode,Class Station Code,Tag,County\n"
        "460.1250,465.1250,KA1,City Police,Dispatch,PD Disp,156.7 PL,FMN,FB2,Law Dispatch,Dade\n"
        "154.4300,,WQX9,Fire,Fireground,,,FM,,Fire-Tac,\n";
    const FormatImport a = read(ImportFormat::DirectoryCsv, longForm);
    ASSERT_TRUE(a.batch.problems.isEmpty()) << report(a);
    ASSERT_EQ(a.batch.records.size(), 2u);
    const ImportRecord& pd = a.batch.records[0];
    EXPECT_EQ(pd.callsign, "PD Disp");
    EXPECT_EQ(pd.user, "City Police");
    EXPECT_EQ(pd.location, "Dade");
    EXPECT_EQ(pd.special, "FMN 156.7 PL");
    EXPECT_EQ(pd.notes, "Dispatch; Law Dispatch; Class Station Code FB2; Input 465.1250; "
                        "FCC Callsign KA1");
    EXPECT_EQ(a.batch.records[1].callsign, "WQX9"); // no alpha tag: the licence
    EXPECT_EQ(a.batch.records[1].notes, "Fireground; Fire-Tac");
    for (const QString& line : a.mapping)
        EXPECT_FALSE(line.endsWith("(not imported)")) << line.toStdString();

    const QByteArray shortForm = "Frequency,License,Type,Tone,Alpha Tag,Description,Mode,Tag,"
                                 "Latitude,Longitude,Remarks\n"
                                 "162.550,WXJ41,BM,,NOAA,Weather radio,FM,Weather,0,-0.1278,r\n"
                                 "163.275,KIG78,BM,CSQ,,Weather radio,FM,Weather,51.5,0,\n"
                                 "162.400,KEC49,BM,,,x,FM,,95,10,\n"
                                 "162.475,KEC50,BM,,,x,FM,,45.1,,\n"
                                 "162.500,,,,,,,,,,\n";
    const FormatImport b = read(ImportFormat::DirectoryCsv, shortForm);
    EXPECT_EQ(b.batch.problems,
              QStringList({"Row 4: the latitude \"95\" is not a number of degrees from -90 to 90.",
                           "Row 5: the latitude \"45.1\" has no longitude beside it."}));
    ASSERT_EQ(b.batch.records.size(), 3u);
    const ImportRecord& noaa = b.batch.records[0];
    EXPECT_EQ(noaa.callsign, "NOAA");
    EXPECT_EQ(noaa.notes, "Weather radio; Weather; Type BM; License WXJ41");
    ASSERT_TRUE(noaa.lat && noaa.lon);
    EXPECT_EQ(*noaa.lat, 0.0);
    EXPECT_EQ(*noaa.lon, -0.1278);
    const ImportRecord& second = b.batch.records[1];
    EXPECT_EQ(second.callsign, "KIG78");
    EXPECT_EQ(second.special, "FM CSQ");
    ASSERT_TRUE(second.lat && second.lon);
    EXPECT_EQ(*second.lat, 51.5);
    EXPECT_EQ(*second.lon, 0.0);
    EXPECT_FALSE(b.batch.records[2].lat || b.batch.records[2].lon);
    EXPECT_TRUE(b.mapping.contains("Remarks -> (not imported)"));
    EXPECT_TRUE(b.mapping.contains("Latitude -> Position (latitude)"));
}

// The program's own CSV export, as it writes it in a point and in a comma locale: found by its
// headings, each row keeping its category, notes whole with their line breaks, positions on
// the equator and the prime meridian kept.
TEST(FormatImportTest, OwnCsvExportReadsBackInBothLocales)
{
    const QString note = QStringLiteral("first line, \"quoted\"\r\nsecond; line\r\n\r\nlast");
    const QDateTime when(QDate(2024, 3, 5), QTime(13, 30), Qt::UTC);
    for (const LocaleInfo& locale : {LocaleInfo(), LocaleInfo::fromName("de_DE")}) {
        const QString sep = locale.decimalSeparator == u',' ? ";" : ",";
        const QStringList heading = {"Category",  "Frequency(MHz)", "+-",      "Callsign",
                                     "User",      "Location",       "Special", "Position",
                                     "Date/Time", "Notes"};
        const auto line = [&](const QStringList& cells) {
            QStringList quoted;
            for (const QString& c : cells)
                quoted << u'"' + QString(c).replace("\"", "\"\"") + u'"';
            return quoted.join(sep) + "\r\n";
        };
        const QString date = locale.formatDisplayDateTime(when, 0);
        const QString text =
            line(heading) +
            line({"Short Wave", locale.formatFrequency(9.58), "", "TOK", "", "", "'=1+2",
                  "0 00N 122 41W", date, note}) +
            line({"Police", locale.formatFrequency(155.475), "+", "KOP1", "", "", "",
                  "45 38S 0 00E", date, ""}) +
            line({"Pirates", locale.formatFrequency(6.2), "", "", "", "", "", "", "", ""});
        ASSERT_TRUE(OwnCsvReader::recognises(ImportText::read(text.toUtf8()).rows.front()));
        const FormatImport r = OwnCsvReader::read(text.toUtf8(), locale, Today);
        ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r) << " in " << text.toStdString();
        ASSERT_EQ(r.batch.records.size(), 3u);
        const ImportRecord& tok = r.batch.records[0];
        EXPECT_EQ(tok.category, "Short Wave");
        EXPECT_EQ(tok.hz, 9.58);
        EXPECT_EQ(tok.modifier, " ");
        EXPECT_EQ(tok.special, "=1+2");
        EXPECT_EQ(tok.notes, note);
        EXPECT_EQ(tok.rDate, when) << date.toStdString();
        ASSERT_TRUE(tok.lat && tok.lon);
        EXPECT_EQ(*tok.lat, 0.0);
        EXPECT_EQ(*tok.lon, -(122 + 41 / 60.0));
        const ImportRecord& kop = r.batch.records[1];
        EXPECT_EQ(kop.category, "Police");
        EXPECT_EQ(kop.modifier, "+");
        EXPECT_EQ(*kop.lat, -(45 + 38 / 60.0));
        EXPECT_EQ(*kop.lon, 0.0);
        const ImportRecord& pirates = r.batch.records[2];
        EXPECT_EQ(pirates.category, "Pirates");
        EXPECT_FALSE(pirates.lat || pirates.lon);
        EXPECT_EQ(pirates.rDate, QDateTime(Today, QTime(0, 0), Qt::UTC));
    }
    const FormatImport bad = OwnCsvReader::read("Category,Frequency(MHz),Position,Date/Time\n"
                                                "A,1.5,91 00N 0 00E,\nB,x,,\n",
                                                LocaleInfo(), Today);
    EXPECT_EQ(bad.batch.problems,
              QStringList({"Row 2: the position \"91 00N 0 00E\" cannot be read (as in 45 38N "
                           "122 41W).",
                           "Row 3: the frequency \"x\" is not a number."}));
}

// A damaged file may hold a heading or field name megabytes long: the mapping and the
// messages quote its first 40 characters only.
TEST(FormatImportTest, LongNamesAreQuotedByTheirStart)
{
    const QByteArray name(100000, 'Z');
    const QString shown = QString(40, u'Z') + QChar(0x2026);
    const FormatImport csv =
        read(ImportFormat::DirectoryCsv, "Frequency," + name + "\n" + name + ",x\n");
    EXPECT_TRUE(csv.mapping.contains(shown + " -> (not imported)"));
    EXPECT_EQ(csv.batch.problems,
              QStringList{"Row 2: the frequency \"" + shown + "\" cannot be read."});
    const FormatImport adi =
        read(ImportFormat::Adif, "<FREQ:3>7.1<" + name + ":1>x<EOR>\n<" + name + ":x>1<EOR>\n");
    EXPECT_TRUE(adi.mapping.contains(shown + " (1 records) -> (not imported)"));
    ASSERT_EQ(adi.batch.problems.size(), 1);
    EXPECT_LT(adi.batch.problems[0].size(), 200);
}

TEST(FormatImportTest, HundredThousandRowsReadQuickly)
{
    QByteArray adi = "big log\n<EOH>\n";
    QByteArray csv = "Location,Name,Frequency,Mode,Comment\n";
    for (int i = 0; i < 100000; ++i) {
        const QByteArray f = QByteArray::number(100000 + i) + "." + QByteArray::number(i % 1000);
        adi += "<CALL:4>TEST<FREQ:" + QByteArray::number(f.size()) + ">" + f + "<MODE:2>FM<EOR>\n";
        csv += QByteArray::number(i) + ",\"N, " + QByteArray::number(i) + "\"," + f + ",FM,c\n";
    }
    for (auto [format, bytes] :
         {std::pair{ImportFormat::Adif, adi}, std::pair{ImportFormat::ChannelCsv, csv}}) {
        QElapsedTimer timer;
        timer.start();
        const FormatImport r = read(format, bytes);
        const qint64 ms = timer.elapsed();
        ASSERT_TRUE(r.batch.problems.isEmpty()) << report(r);
        ASSERT_EQ(r.batch.records.size(), 100000u);
        EXPECT_EQ(r.batch.records.back().hz, 199999.999);
        // Generous for a sanitizer build on a busy machine (it took 54 s at a load of 15 on two
        // cores); a scan quadratic in the rows takes far longer.
        EXPECT_LT(ms, 120000) << ImportFormats::name(format).toStdString();
        std::printf("%s: 100000 rows in %lld ms\n", qPrintable(ImportFormats::name(format)),
                    static_cast<long long>(ms));
    }
}

} // namespace
} // namespace wl
