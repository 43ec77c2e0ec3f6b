#include "exchange/import/formats/HeadedCsv.h"

#include "exchange/import/ImportMessages.h"
#include "exchange/import/ImportText.h"
#include "exchange/import/formats/ExactFrequency.h"

namespace wl {

HeadedCsv::HeadedCsv(const QByteArray& bytes, FormatImport& out)
{
    ImportRead read = ImportText::read(bytes);
    if (read.badRow > 0) {
        out.batch.problems << QStringLiteral("Row %1: the file holds the control character %2 "
                                             "and is not a text file.")
                                  .arg(read.badRow)
                                  .arg(int(read.badCode));
        return;
    }
    rows_ = std::move(read.rows);
    if (rows_.empty() || rows_.front().join(QString()).trimmed().isEmpty()) {
        out.batch.problems << QStringLiteral("The file has no heading row.");
        return;
    }
    const QStringList& heading = rows_.front();
    for (qsizetype c = 0; c < heading.size(); ++c) {
        const QString key = heading[c].trimmed().toLower();
        if (!key.isEmpty() && !columns_.contains(key))
            columns_.insert(key, c);
    }
    ok_ = true;
}

bool HeadedCsv::rowIsBlank(qsizetype i) const
{
    for (const QString& c : rows_[size_t(i) + 1]) {
        if (!c.trimmed().isEmpty())
            return false;
    }
    return true;
}

bool HeadedCsv::rowTooWide(qsizetype i) const
{
    const QStringList& row = rows_[size_t(i) + 1];
    for (qsizetype c = rows_.front().size(); c < row.size(); ++c) {
        if (!row[c].isEmpty())
            return true;
    }
    return false;
}

QString HeadedCsv::cell(qsizetype i, const QString& heading) const
{
    const qsizetype c = columns_.value(heading.toLower(), -1);
    const QStringList& row = rows_[size_t(i) + 1];
    return c >= 0 && c < row.size() ? row[c] : QString();
}

QString HeadedCsv::firstOf(const QStringList& headings) const
{
    for (const QString& heading : headings) {
        if (has(heading))
            return heading;
    }
    return {};
}

void HeadedCsv::describe(const QList<QPair<QString, QString>>& used, FormatImport& out) const
{
    QStringList usedHeadings;
    for (const auto& [heading, field] : used) {
        if (has(heading)) {
            out.mapping << QStringLiteral("%1 -> %2").arg(heading, field);
            usedHeadings << heading.toLower();
        }
    }
    for (const QString& heading : rows_.front()) {
        if (!heading.trimmed().isEmpty() && !usedHeadings.contains(heading.trimmed().toLower()))
            out.mapping << QStringLiteral("%1 -> (not imported)")
                               .arg(ImportMessages::Quoted(heading.trimmed()));
    }
}

void HeadedCsv::readRecords(const QString& frequencyHeading, const QDate& today, FormatImport& out,
                            const Fill& fill) const
{
    if (!has(frequencyHeading)) {
        out.batch.problems
            << QStringLiteral("The file has no \"%1\" column.").arg(frequencyHeading);
        return;
    }
    for (qsizetype i = 0; i < rowCount(); ++i) {
        const int row = fileRow(i);
        if (rowIsBlank(i)) {
            ++out.batch.blankRows;
            continue;
        }
        if (rowTooWide(i)) {
            out.batch.problems
                << QStringLiteral("Row %1: more cells than the heading names.").arg(row);
            continue;
        }
        const std::optional<double> mhz = ExactFrequency::toMHz(cell(i, frequencyHeading));
        if (!mhz) {
            out.batch.problems << QStringLiteral("Row %1: the frequency \"%2\" cannot be read.")
                                      .arg(row)
                                      .arg(ImportMessages::Quoted(cell(i, frequencyHeading)));
            continue;
        }
        ImportRecord r;
        r.row = row;
        r.hz = *mhz;
        r.modifier = QStringLiteral(" ");
        r.rDate = QDateTime(today, QTime(0, 0), Qt::UTC);
        if (const QString why = fill(i, r); !why.isEmpty()) {
            out.batch.problems << QStringLiteral("Row %1: %2.").arg(row).arg(why);
            continue;
        }
        out.batch.records.push_back(std::move(r));
    }
}

} // namespace wl
