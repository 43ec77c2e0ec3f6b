#pragma once

#include "exchange/export/TCustomTextExport.h"

namespace wl {

// A rich-text document with one bordered table: the captions in bold between heavy rules, one
// row per item. It serves both the rich-text and the word-processor types, which differ only
// in their extension.
class TRichTextExport : public TCustomTextExport
{
public:
    TRichTextExport(TExportComponent& component, TExportType type, const QString& fileName);

protected:
    void BeginExport(const QStringList& columns) override;
    void WriteItem(const QStringList& cells, int itemNumber) override;
    void EndExport() override;

private:
    enum class RowKind
    {
        Caption,
        First,
        Last
    };
    void writeRowDefinition(RowKind kind);
    void writeCells(const QStringList& cells);
};

} // namespace wl
