#include "cli/ImportCommand.h"

#include "app/CategoryAccess.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "exchange/import/ImportColumns.h"
#include "exchange/import/ImportMessages.h"
#include "exchange/import/ImportRecordBuilder.h"
#include "exchange/import/ImportText.h"
#include "exchange/import/ImportWriter.h"
#include "exchange/import/formats/ImportFormats.h"
#include "grid/LocaleInfo.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
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

} // namespace

QString ImportCommand::summary() const
{
    return QStringLiteral("Import a comma-delimited file under a category: all rows or none.");
}

void ImportCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() +
        QStringLiteral("\n\nWithout --format the file is the program's own "
                       "8-column layout. Other formats (--format NAME):\n") +
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
                                     "the category list)."),
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
    if (!parser.isSet(CategoryOption))
        return context.fail(UsageError, QStringLiteral("--category is required"));
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
                                    .arg(parser.value(FormatOption), ImportFormats::listing()));
    }

    const QString path = args.front();
    QFile file(path);
    if (!file.exists())
        return context.fail(
            MissingFile, QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly))
        return context.fail(MissingFile,
                            QStringLiteral("cannot read %1: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return context.fail(Failed, ImportMessages::ConversionError + QLatin1Char(' ') +
                                        file.errorString());
    ImportBatch batch;
    if (format) {
        const FormatImport read = ImportFormats::read(*format, bytes, QDate::currentDate());
        context.note(QStringLiteral("Column mapping:"));
        for (const QString& line : read.mapping)
            context.note(QStringLiteral("  ") + line);
        for (const QString& remark : read.remarks)
            context.note(remark);
        batch = read.batch;
    } else {
        const std::vector<QStringList> rows = ImportText::parse(bytes);
        if (rows.empty())
            return context.fail(Failed, ImportMessages::EmptyFile);
        if (const qsizetype columns = widestRow(rows); columns > ImportColumns::RecordColumns)
            return context.fail(Failed, QStringLiteral("the file has %1 columns; an import "
                                                       "takes 8 (nothing was imported)")
                                            .arg(columns));
        const ImportRecordBuilder builder(LocaleInfo::current(), *multiplier, QDate::currentDate());
        batch = builder.build(rows, 1);
    }

    store::Table table;
    if (const int opened = context.openTable(table, true); opened != Success)
        return opened;
    QString error;
    const QStringList names =
        CategoryAccess::read(context.dataFolder(), &error).value_or(QStringList());
    if (!error.isEmpty())
        return context.fail(Failed, error);
    const QString category = knownCategory(names, parser.value(CategoryOption));
    if (category.isEmpty())
        return context.fail(
            UsageError, QStringLiteral("there is no category \"%1\"; the "
                                       "categories are: %2")
                            .arg(parser.value(CategoryOption), names.join(QStringLiteral(", "))));

    if (!batch.problems.isEmpty()) {
        context.note(ImportMessages::FileRowsRefused);
        for (const QString& problem : batch.problems)
            context.note(problem);
        return Failed;
    }
    if (batch.records.empty())
        return context.fail(Failed, ImportMessages::NothingToImport);
    if (store::Status st = ImportWriter::append(table, batch.records, category); !st)
        return context.fail(Failed, ImportMessages::WriteFailed + QLatin1Char(' ') + st.error);
    QTextStream(stdout) << ImportMessages::Imported(int(batch.records.size())) << '\n';
    return Success;
}

} // namespace wl::cli
