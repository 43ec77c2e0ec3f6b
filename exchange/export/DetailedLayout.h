#pragma once

#include <QString>
#include <QStringList>

namespace wl {

class TCustomExport;

// The detailed text of an export: every cell on a line of its own behind its caption, an
// empty line after each item. The text file and the clipboard share it.
class DetailedLayout
{
public:
    explicit DetailedLayout(const TCustomExport& writer) : writer_(writer) {}

    QString heading() const;
    QString item(const QStringList& cells) const;

private:
    const TCustomExport& writer_;
};

} // namespace wl
