#pragma once

#include "grid/LocaleInfo.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace wl {

// One record made from one spreadsheet row, before it has a category.
struct ImportRecord
{
    int row = 0; // the spreadsheet row it came from; the first data row is 1
    // The record's own category, read from the file; empty takes the import's category.
    QString category;
    double hz = 0;
    QString modifier;
    QString callsign;
    QString user;
    QString location;
    QString special;
    QDateTime rDate;
    QString notes;
    // Degrees, north and east positive; both set or neither.
    std::optional<double> lat;
    std::optional<double> lon;
};

// What a spreadsheet makes: the records, or the reasons some rows cannot be stored.
struct ImportBatch
{
    std::vector<ImportRecord> records;
    QStringList problems; // one text per faulty row, in row order
    int blankRows = 0;    // rows without any text, which make no record
};

// Turns the rows of the import spreadsheet into records: the frequency times the multiplier,
// the first character of the modifier (a blank when there is none), the texts, and the date in
// the locale's short date format, optionally with a time. An empty date cell takes today.
//
// A frequency or a date that is there but cannot be read is reported with its row rather than
// stored as 0 or as today: a log of wrong frequencies is worse than a refusal the user can fix.
class ImportRecordBuilder
{
public:
    ImportRecordBuilder(LocaleInfo locale, double multiplier, QDate today);

    // The multiplier box: a finite number above 0 in the locale's format.
    static std::optional<double> readMultiplier(const QString& text, const LocaleInfo& locale);

    // rows[i] is spreadsheet row firstRow + i; it needs at least the eight record columns
    // (missing cells count as empty).
    ImportBatch build(const std::vector<QStringList>& rows, int firstRow) const;
    // One row at a time, for rows read as they are stored: the record, or nothing with the
    // reasons added to problems. Blank rows (isBlank) make no record: the caller skips them.
    std::optional<ImportRecord> record(const QStringList& cells, int row,
                                       QStringList& problems) const;
    static bool isBlank(const QStringList& cells);

private:
    std::optional<QDateTime> date(const QString& text) const;

    LocaleInfo locale_;
    double multiplier_;
    QDate today_;
};

} // namespace wl
