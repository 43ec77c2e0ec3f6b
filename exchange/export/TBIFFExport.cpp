#include "exchange/export/TBIFFExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportLocaleFormats.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"
#include "grid/CodePage1252.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace wl {

namespace {

constexpr std::uint16_t BofFlavour2 = 0x0009;
constexpr std::uint16_t BofFlavour5 = 0x0809;
constexpr std::uint16_t DimensionsFlavour2 = 0x0000;
constexpr std::uint16_t DimensionsFlavour5 = 0x0200;
constexpr std::uint16_t PageHeader = 0x0014;
constexpr std::uint16_t PageFooter = 0x0015;
constexpr std::uint16_t PrintHeadings = 0x002A;
constexpr std::uint16_t PrintGridlines = 0x002B;
constexpr std::uint16_t Font = 0x0031;
constexpr std::uint16_t NumberFormat = 0x001E;
constexpr std::uint16_t CellFormat = 0x0043;
constexpr std::uint16_t ColumnWidthRecord = 0x0024;
constexpr std::uint16_t Label = 0x0004;
constexpr std::uint16_t Number = 0x0003;
constexpr std::uint16_t EndOfFile = 0x000A;

constexpr int MaxText = 255;

// Cell formats by role (the record's font index is the font choice + 5).
constexpr int PlainFormat = 1;
constexpr int TitleFormat = 6;
constexpr int FooterFormat = 7;
constexpr int CaptionFormat = 8;

void put16(QByteArray& bytes, int value)
{
    char b[2];
    qToLittleEndian<std::uint16_t>(std::uint16_t(value), b);
    bytes.append(b, 2);
}

// The locales for which the older spreadsheet program wrote the first record flavour.
constexpr std::array<const char*, 11> Flavour2Locales = {"zh_TW", "en_US", "en_GB", "en_AU",
                                                         "de_LU", "en_CA", "en_NZ", "fr_LU",
                                                         "en_IE", "en_ZA", "en_JM"};

} // namespace

TBIFFExport::TBIFFExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomShellViewExport(component, type, fileName), file_(TargetFile()),
      flavour_(FlavourOf(component.Locale().name))
{
    if (!file_.open(QIODevice::WriteOnly))
        throw ExportError(file_.errorString());
}

int TBIFFExport::FlavourOf(const QString& localeName)
{
    for (const char* name : Flavour2Locales) {
        if (localeName == QLatin1String(name))
            return 2;
    }
    return 5;
}

void TBIFFExport::record(std::uint16_t number, const QByteArray& data)
{
    QByteArray bytes;
    bytes.reserve(4 + data.size());
    put16(bytes, number);
    put16(bytes, int(data.size()));
    bytes += data;
    if (file_.write(bytes) != bytes.size())
        throw ExportError(file_.errorString());
}

void TBIFFExport::writeDimensions(int rowLimit, int columnLimit)
{
    QByteArray data;
    put16(data, 0);
    put16(data, rowLimit);
    put16(data, 0);
    put16(data, columnLimit);
    if (flavour_ == 5)
        put16(data, 0);
    record(flavour_ == 5 ? DimensionsFlavour5 : DimensionsFlavour2, data);
}

// Header, footer and number-format strings: a length byte and at most 255 characters.
void TBIFFExport::writeString(std::uint16_t number, const QString& text)
{
    const QByteArray bytes = CodePage1252::encode(text).left(MaxText);
    QByteArray data;
    data += char(bytes.size());
    data += bytes;
    record(number, data);
}

void TBIFFExport::writeFont(int twips, std::uint8_t style)
{
    const QByteArray face("Arial");
    QByteArray data;
    put16(data, twips);
    data += char(style);
    data += char(0);
    data += char(face.size());
    data += face;
    record(Font, data);
}

// Number format, font choice and alignment byte.
void TBIFFExport::writeXF(std::initializer_list<int> values)
{
    if (values.size() != 3)
        throw ExportError(QStringLiteral("TBIFFExport.WriteXF: Invalid Number of Parameters"));
    const int* v = values.begin();
    QByteArray data;
    data += char(v[1] + 5);
    data += char(0);
    data += char(v[0] + 0x40);
    data += char(v[2]);
    record(CellFormat, data);
}

// Title, time stamp and header lines take rows above the captions, each part separated from
// the next by an empty row.
void TBIFFExport::planRows()
{
    const TExportComponent& c = Component();
    captionRow_ = 0;
    titleRow_ = timeStampRow_ = headerRow_ = -1;
    if (!c.Title().trimmed().isEmpty()) {
        titleRow_ = 0;
        captionRow_ = 1;
    }
    if (HasOption(TimeStamp))
        timeStampRow_ = captionRow_++;
    const bool header = !HeaderText().trimmed().isEmpty();
    if (header) {
        headerRow_ = captionRow_ + ((titleRow_ >= 0 || timeStampRow_ >= 0) ? 1 : 0);
        captionRow_ = headerRow_;
    }
    if (titleRow_ >= 0 || timeStampRow_ >= 0 || header)
        ++captionRow_;
}

// Told before a single row is written, so the user can stop and pick the workbook type.
void TBIFFExport::tellRowLimit()
{
    const int fit = std::max(0, LastRow - captionRow_);
    const int total = Component().TotalItems();
    if (total > fit &&
        !Host().confirm(ExportMessageKind::Warning, ExportMessages::RowLimit(Type(), fit, total)))
        throw ExportCancelled();
}

void TBIFFExport::BeginExport(const QStringList& columns)
{
    TCustomShellViewExport::BeginExport(columns);
    planRows();
    tellRowLimit();

    record(flavour_ == 5 ? BofFlavour5 : BofFlavour2,
           flavour_ == 5 ? QByteArray("\0\0\x10\0\0\0", 6) : QByteArray("\0\0\x10\0", 4));
    dimensionsAt_ = file_.pos();
    writeDimensions(0, 0);
    const TXL_Options& xl = Component().XL_Options;
    writeString(PageHeader, xl.PageHeader);
    writeString(PageFooter, xl.PageFooter);
    record(PrintHeadings, QByteArray(1, xl.PrintHeadings ? 1 : 0));
    record(PrintGridlines, QByteArray(1, xl.PrintGridlines ? 1 : 0));
    for (int i = 0; i < 5; ++i)
        writeFont(200, 0);
    writeFont(200, 2);
    writeFont(240, 1 | 4);
    writeFont(200, 1);
    const TExportOptions options = Component().Options();
    writeString(NumberFormat, QStringLiteral("General"));
    writeString(NumberFormat, ExportLocaleFormats::DateFormatText(Locale()));
    writeString(NumberFormat, ExportLocaleFormats::TimeFormatText(options, Locale()));
    writeString(NumberFormat, ExportLocaleFormats::DateTimeFormatText(options, Locale()));
    writeString(NumberFormat, ExportLocaleFormats::CurrencyFormatText(Locale()));
    writeXF({0, 0, 0});
    writeXF({0, 0, 0});
    writeXF({1, 0, 0});
    writeXF({2, 0, 0});
    writeXF({3, 0, 0});
    writeXF({4, 0, 0});
    writeXF({0, 2, 0});
    writeXF({0, 1, 0});
    writeXF({0, 3, 0x60});

    if (titleRow_ >= 0)
        writeCell(Component().Title(), titleRow_, 0, Kind::Header);
    if (timeStampRow_ >= 0)
        writeCell(TimeStampText(), timeStampRow_, 0, Kind::Header);
    if (headerRow_ >= 0) {
        int row = headerRow_;
        for (const QString& line : Component().Header()) {
            writeCell(line, row++, 0, Kind::Header);
            ++captionRow_;
        }
    }
    if (HasOption(ShowColHeaders)) {
        for (int i = 0; i < columns.size(); ++i)
            writeCell(columns[i], captionRow_, i, Kind::Header);
    } else {
        --captionRow_;
    }
}

void TBIFFExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomShellViewExport::WriteItem(cells, itemNumber);
    for (int i = 0; i < cells.size(); ++i)
        writeCell(cells[i], captionRow_ + itemNumber, i, Kind::Cell);
}

void TBIFFExport::EndExport()
{
    TCustomShellViewExport::EndExport();
    const int items = Component().ExportedCount();
    footerRow_ = items + captionRow_ + 2;
    const QStringList footer = Component().FormattedFooter();
    if (!footer.join(QString()).trimmed().isEmpty()) {
        int row = footerRow_;
        for (const QString& line : footer)
            writeCell(line, row++, 0, Kind::Header);
    }
    const std::vector<int>& widths = MaxWidths();
    for (std::size_t i = 0; i < widths.size() && int(i) <= LastColumn; ++i) {
        QByteArray data;
        data += char(i);
        data += char(i);
        put16(data, std::min(widths[i] + 2, MaxText) * 256);
        record(ColumnWidthRecord, data);
    }
    record(EndOfFile, {});
    if (!file_.seek(dimensionsAt_))
        throw ExportError(file_.errorString());
    writeDimensions(usedRows_, usedColumns_);
}

void TBIFFExport::Complete()
{
    if (!file_.commit())
        throw ExportError(file_.errorString());
}

int TBIFFExport::formatOfRow(int row) const
{
    if (row == titleRow_)
        return TitleFormat;
    if (row == footerRow_)
        return FooterFormat;
    if (row == captionRow_ && HasOption(ShowColHeaders))
        return CaptionFormat;
    return PlainFormat;
}

// Single-byte text of at most 255 characters on one line (a line break or TAB becomes a blank,
// so words never run together); cells that lose characters are counted.
QByteArray TBIFFExport::cellBytes(const QString& text)
{
    const QString stripped = ExportText::FlattenBreaks(text);
    bool lossless = true;
    QByteArray bytes = CodePage1252::encode(QStringView(stripped).left(MaxText), &lossless);
    if (!lossless)
        ++lossyTexts_;
    if (stripped.size() > MaxText)
        ++cutTexts_;
    return bytes;
}

void TBIFFExport::writeCell(const QString& text, int row, int col, Kind kind)
{
    if (row < 0 || row > LastRow || col > LastColumn)
        return;
    QByteArray data;
    put16(data, row);
    put16(data, col);
    data += char(0x40 + formatOfRow(row));
    data += char(0);
    data += char(0);
    if (kind == Kind::Cell && CellKind(col, text) == TCellKind::Number) {
        if (text.trimmed().isEmpty())
            return;
        const std::optional<double> value = Locale().parseNumber(text);
        if (!value)
            throw ExportError(QStringLiteral("\"%1\" is not a number.").arg(text));
        char b[8];
        qToLittleEndian<double>(*value, b);
        data.append(b, 8);
        record(Number, data);
    } else {
        const QByteArray bytes = cellBytes(text);
        data += char(bytes.size());
        data += bytes;
        record(Label, data);
    }
    usedRows_ = std::max(usedRows_, row + 1);
    usedColumns_ = std::max(usedColumns_, col + 1);
}

void TBIFFExport::Finish()
{
    if (Succeeded() && (cutTexts_ > 0 || lossyTexts_ > 0)) {
        Host().message(ExportMessageKind::Warning,
                       ExportMessages::CellsChanged(cutTexts_, lossyTexts_));
    }
    TCustomShellViewExport::Finish();
}

} // namespace wl
