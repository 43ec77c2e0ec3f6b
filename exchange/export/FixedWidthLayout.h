#pragma once

#include <QString>
#include <QStringList>

namespace wl {

class TCustomExport;

// The fixed-width text of an export, block by block: one line per item with every cell cut or
// padded to its column width, numbers right-aligned, under a heading of title, time stamp,
// header and caption line. The text file and the clipboard share it.
class FixedWidthLayout
{
public:
    explicit FixedWidthLayout(const TCustomExport& writer) : writer_(writer) {}

    QString heading(const QStringList& captions);
    QString item(const QStringList& cells) const;
    // Empty when the footer is blank.
    QString footer() const;
    int headerLineLength() const { return headerLineLength_; }

private:
    QString fittedLine(const QStringList& cells) const;

    const TCustomExport& writer_;
    int headerLineLength_ = 0;
};

} // namespace wl
