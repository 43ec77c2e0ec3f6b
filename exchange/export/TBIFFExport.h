#pragma once

#include "exchange/export/TCustomShellViewExport.h"

#include <QByteArray>
#include <QSaveFile>

#include <cstdint>

namespace wl {

// A one-sheet spreadsheet in the binary record format of the older spreadsheet program: fonts,
// number formats, cell formats, then a text or number record per cell. The sheet holds at most
// 65,535 rows and single-byte text of at most 255 characters per cell; before the export the
// user is told how many items fit, and after it which cells lost characters, so nothing is cut
// silently.
class TBIFFExport : public TCustomShellViewExport
{
public:
    // The last row the sheet takes (its dimensions record counts rows in 16 bits).
    static constexpr int LastRow = 65534;
    static constexpr int LastColumn = 255;

    TBIFFExport(TExportComponent& component, TExportType type, const QString& fileName);

    // The record flavour of a locale: 2 for the locales the older format was made for, else 5.
    // Only the beginning-of-file and dimensions records differ.
    static int FlavourOf(const QString& localeName);

    void Finish() override;

protected:
    bool HoldsLineBreaks() const override { return false; }
    bool HoldsTabs() const override { return false; }
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;
    void Complete() override;

private:
    enum class Kind
    {
        Header,
        Cell
    };
    void record(std::uint16_t number, const QByteArray& data);
    void writeDimensions(int rowLimit, int columnLimit);
    void writeString(std::uint16_t number, const QString& text);
    void writeFont(int twips, std::uint8_t style);
    void writeXF(std::initializer_list<int> values);
    void writeCell(const QString& text, int row, int col, Kind kind);
    int formatOfRow(int row) const;
    QByteArray cellBytes(const QString& text);
    void planRows();
    void tellRowLimit();

    QSaveFile file_;
    int flavour_ = 2;
    qint64 dimensionsAt_ = 0;
    int titleRow_ = -1;
    int timeStampRow_ = -1;
    int headerRow_ = -1;
    int footerRow_ = -1;
    int captionRow_ = 0;
    int usedRows_ = 0;    // last row written + 1
    int usedColumns_ = 0; // last column written + 1
    int cutTexts_ = 0;    // texts longer than a cell holds
    int lossyTexts_ = 0;  // texts with characters the code page lacks
};

} // namespace wl
