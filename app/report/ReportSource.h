#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace wl {

// What the report prints: a snapshot of the grid as displayed, in its row order.
struct ReportSource
{
    QString title;
    QStringList captions;          // the heading row, one caption per grid column
    std::vector<QStringList> rows; // one per record, one cell per grid column
    bool notesShown = false;       // the last grid column holds the notes
    QString frequencyCaption;      // the caption that marks the frequency column
    QString modifierCaption;       // the caption that marks the repeater-offset column
};

} // namespace wl
