#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace wl {

// What the report prints: the grid as displayed, in its row order. The rows are either held
// here or read one at a time through fetch, so a long list is not copied to be printed.
struct ReportSource
{
    QString title;
    QStringList captions;          // the heading row, one caption per grid column
    std::vector<QStringList> rows; // one per record, one cell per grid column
    // When set, record i (from 0) of fetchCount, one cell per grid column; rows is then unused.
    std::function<QStringList(int)> fetch;
    int fetchCount = 0;
    bool notesShown = false;  // the last grid column holds the notes
    QString frequencyCaption; // the caption that marks the frequency column
    QString modifierCaption;  // the caption that marks the repeater-offset column

    int rowCount() const { return fetch ? fetchCount : int(rows.size()); }
    QStringList row(int i) const { return fetch ? fetch(i) : rows[size_t(i)]; }
};

} // namespace wl
