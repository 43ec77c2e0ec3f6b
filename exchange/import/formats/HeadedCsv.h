#pragma once

#include "exchange/import/formats/ImportFormats.h"

#include <QHash>

#include <functional>

namespace wl {

// A comma-delimited file whose first row names its columns, as the channel lists and
// frequency directories of other programs are written. Columns are found by their heading
// (case and surrounding blanks ignored), so their order and any extra columns do not matter.
class HeadedCsv
{
public:
    // Reads the text (a byte order mark, UTF-8 or Windows-1252, quoted separators) and records
    // a problem when it is not text or has no heading row.
    HeadedCsv(const QByteArray& bytes, FormatImport& out);

    bool ok() const { return ok_; }
    // The data rows after the heading; row numbers count the heading as row 1.
    qsizetype rowCount() const { return rows_.size() > 0 ? qsizetype(rows_.size()) - 1 : 0; }
    int fileRow(qsizetype i) const { return int(i) + 2; }
    bool rowIsBlank(qsizetype i) const;
    bool rowTooWide(qsizetype i) const;
    // The cell of the named column in data row i; empty when the column or cell is missing.
    QString cell(qsizetype i, const QString& heading) const;
    bool has(const QString& heading) const { return columns_.contains(heading.toLower()); }
    // Writes "heading -> field" lines for the columns used and "heading -> (not imported)"
    // for the others into the mapping.
    void describe(const QList<QPair<QString, QString>>& used, FormatImport& out) const;

    // Makes one record per data row whose frequency column (MHz) reads: the row number, the
    // exact frequency, a blank modifier and today's date are set, fill adds the rest and
    // returns why the row cannot be stored (empty when it can). Blank rows are counted; a
    // missing frequency column, a row wider than the heading, a frequency that cannot be read
    // and fill's reasons are reported by row.
    using Fill = std::function<QString(qsizetype, ImportRecord&)>;
    void readRecords(const QString& frequencyHeading, const QDate& today, FormatImport& out,
                     const Fill& fill) const;
    // The first of the headings the file has; empty when it has none of them.
    QString firstOf(const QStringList& headings) const;

private:
    std::vector<QStringList> rows_;
    QHash<QString, qsizetype> columns_;
    bool ok_ = false;
};

} // namespace wl
