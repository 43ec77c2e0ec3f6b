#include "cli/ImportCommand.h"

#include "app/CategoryAccess.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "exchange/import/ImportCategories.h"
#include "exchange/import/ImportColumns.h"
#include "exchange/import/ImportFile.h"
#include "exchange/import/ImportMessages.h"
#include "exchange/import/ImportRecordBuilder.h"
#include "exchange/import/ImportText.h"
#include "exchange/import/ImportWriter.h"
#include "exchange/import/formats/ImportFormats.h"
#include "exchange/import/formats/OwnCsvReader.h"
#include "grid/LocaleInfo.h"
#include "store/CategoryFile.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace wl::cli {

namespace {

const QString CategoryOption = QStringLiteral("category");
const QString MultiplierOption = QStringLiteral("multiplier");
const QString FormatOption = QStringLiteral("format");

// The columns a row really uses: empty cells at its end do not count.
qsizetype usedColumns(const QStringList& cells)
{
    qsizetype n = cells.size();
    while (n > 0 && cells[n - 1].isEmpty())
        --n;
    return n;
}

qsizetype widestRow(const std::vector<QStringList>& rows)
{
    qsizetype widest = 0;
    for (const QStringList& row : rows)
        widest = std::max(widest, usedColumns(row));
    return widest;
}

// The category as the category file spells it; empty when the file has no such name.
QString knownCategory(const QStringList& names, const QString& wanted)
{
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

bool everyRowHasCategory(const std::vector<ImportRecord>& records)
{
    return std::all_of(records.begin(), records.end(),
                       [](const ImportRecord& r) { return !r.category.trimmed().isEmpty(); });
}

// The categories the records brought that the category list lacks join it, so the records
// show under their own tabs. The records are stored by then: a failure here is told, not fatal.
void addNewCategories(const CliContext& context, const QStringList& names,
                      const std::vector<ImportRecord>& records)
{
    const store::CategoryFile file = store::CategoryFile::inFolder(context.dataFolder());
    for (const QString& name : ImportCategories::missing(names, records)) {
        if (store::Status st = file.append(name); !st) {
            context.note(QStringLiteral("the category \"%1\" could not be added to the category "
                                        "list: %2")
                             .arg(ImportMessages::Quoted(name), st.error));
            return;
        }
        context.note(
            QStringLiteral("The category \"%1\" was added to the category list.").arg(name));
    }
}

} // namespace

QString ImportCommand::summary() const
{
    return QStringLiteral("Import a comma-delimited file under a category: all rows or none.");
}

void ImportCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() +
        QStringLiteral("\n\nWithout --format the file is the import window's "
                       "8-column layout, or Wavelark's own CSV export, which is known by its "
                       "heading row; its records keep the categories of its Category column "
                       "(categories new to the list are added to it). Formats (--format "
                       "NAME):\n") +
        ImportFormats::listing());
    parser.addOption({FormatOption,
                      QStringLiteral("Read the file in another program's format (names "
                                     "below); the column mapping is shown first."),
                      QStringLiteral("NAME")});
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Comma-delimited text, one record a line in 8 columns: frequency, +-, "
                       "callsign, user, location, special, date/time, notes. Frequencies and "
                       "dates are written as in the import window (your locale's)."));
    parser.addOption({CategoryOption,
                      QStringLiteral("The category of the new records (one of "
                                     "the category list); for a file with a Category "
                                     "column, only of its rows without one."),
                      QStringLiteral("C")});
    parser.addOption({MultiplierOption,
                      QStringLiteral("Multiplies each frequency into MHz, e.g. 0.001 for kHz "
                                     "(default 1)."),
                      QStringLiteral("M"), QStringLiteral("1")});
}

int ImportCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return context.fail(UsageError, QStringLiteral("name one file to import"));
    const std::optional<double> multiplier = parseCliNumber(parser.value(MultiplierOption));
    if (!multiplier || !(*multiplier > 0) || !std::isfinite(*multiplier))
        return context.fail(UsageError, ImportMessages::BadMultiplier);

    std::optional<ImportFormat> format;
    if (parser.isSet(FormatOption)) {
        format = ImportFormats::find(parser.value(FormatOption));
        if (!format)
            return context.fail(UsageError,
                                QStringLiteral("there is no import format \"%1\"; "
                                               "the formats are:\n%2")
                                    .arg(ImportMessages::Quoted(parser.value(FormatOption)),
                                         ImportFormats::listing()));
    }

    const QString path = args.front();
    if (!QFileInfo::exists(path))
        return context.fail(
            MissingFile, QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    QString readError;
    const std::optional<QByteArray> bytes = ImportFile::read(path, &readError);
    if (!bytes)
        return context.fail(Failed, readError);

    std::optional<ImportBatch> batch = readBatch(context, *bytes, format, *multiplier);
    if (!batch)
        return Failed;
    const bool ownCategories = format == ImportFormat::OwnCsv;
    if (!ownCategories && !parser.isSet(CategoryOption))
        return context.fail(UsageError, QStringLiteral("--category is required"));

    store::Table table;
    if (const int opened = context.openTable(table, true); opened != Success)
        return opened;
    QString error;
    const QStringList names =
        CategoryAccess::read(context.dataFolder(), &error).value_or(QStringList());
    if (!error.isEmpty())
        return context.fail(Failed, error);
    QString category;
    if (parser.isSet(CategoryOption)) {
        category = knownCategory(names, parser.value(CategoryOption));
        if (category.isEmpty())
            return context.fail(UsageError,
                                QStringLiteral("there is no category \"%1\"; the "
                                               "categories are: %2")
                                    .arg(ImportMessages::Quoted(parser.value(CategoryOption)),
                                         names.join(QStringLiteral(", "))));
    }
    if (!batch->problems.isEmpty()) {
        context.note(ImportMessages::FileRowsRefused);
        for (const QString& problem : batch->problems)
            context.note(problem);
        return Failed;
    }
    if (batch->records.empty())
        return context.fail(Failed, ImportMessages::NothingToImport);
    if (ownCategories && category.isEmpty() && !everyRowHasCategory(batch->records))
        return context.fail(UsageError, QStringLiteral("some rows have no category; name one "
                                                       "for them with --category"));
    const QStringList cuts = ImportWriter::cuts(table, batch->records, category);
    if (store::Status st = ImportWriter::append(table, batch->records, category); !st)
        return context.fail(Failed, ImportMessages::WriteFailed + QLatin1Char(' ') + st.error);
    if (!cuts.isEmpty()) {
        context.note(ImportMessages::TextsCut);
        for (const QString& cut : cuts)
            context.note(cut);
    }
    addNewCategories(context, names, batch->records);
    QTextStream(stdout) << ImportMessages::Imported(int(batch->records.size())) << '\n';
    return Success;
}

std::optional<ImportBatch> ImportCommand::readBatch(const CliContext& context,
                                                    const QByteArray& bytes,
                                                    std::optional<ImportFormat>& format,
                                                    double multiplier) const
{
    if (!format) {
        const ImportRead read = ImportText::read(bytes);
        if (read.badRow != 0) {
            context.note(ImportMessages::ControlCharacter(read.badRow, read.badCode));
            return std::nullopt;
        }
        if (read.rows.empty()) {
            context.note(ImportMessages::EmptyFile);
            return std::nullopt;
        }
        // The program's own export is known by its heading row and read by its headings.
        if (OwnCsvReader::recognises(read.rows.front())) {
            format = ImportFormat::OwnCsv;
            context.note(QStringLiteral("The file is Wavelark's own CSV export; its columns are "
                                        "read by their headings."));
        } else {
            if (const qsizetype columns = widestRow(read.rows);
                columns > ImportColumns::RecordColumns) {
                context.note(QStringLiteral("the file has %1 columns; an import takes 8 "
                                            "(nothing was imported)")
                                 .arg(columns));
                return std::nullopt;
            }
            const ImportRecordBuilder builder(LocaleInfo::current(), multiplier,
                                              QDate::currentDate());
            return builder.build(read.rows, 1);
        }
    }
    const FormatImport read = ImportFormats::read(*format, bytes, QDate::currentDate());
    context.note(QStringLiteral("Column mapping:"));
    for (const QString& line : read.mapping)
        context.note(QStringLiteral("  ") + line);
    for (const QString& remark : read.remarks)
        context.note(remark);
    return read.batch;
}

} // namespace wl::cli
