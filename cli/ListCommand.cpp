#include "cli/ListCommand.h"

#include "cli/CliContext.h"
#include "cli/RecordQuery.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QFile>

#include <array>

namespace wl::cli {

namespace {

const QString CsvOption = QStringLiteral("csv");

// Widths of the text columns, in the main window's column order; longer texts push the rest
// of their line to the right rather than being cut.
constexpr std::array<int, 10> TextWidths = {12, 14, 2, 10, 12, 16, 10, 41, 19, 0};

QString csvField(const QString& text)
{
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                             text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return text;
    QString inner = text;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Line breaks inside a note would split a text record over several lines.
QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

} // namespace

QString ListCommand::summary() const
{
    return QStringLiteral("List records as text or CSV, by category, frequency range or filter.");
}

void ListCommand::define(QCommandLineParser& parser) const
{
    RecordQuery::define(parser);
    parser.addOption({CsvOption, QStringLiteral("Write comma-separated values with a heading "
                                                "line instead of aligned text.")});
}

QString ListCommand::csvLine(const QStringList& cells)
{
    QStringList fields;
    for (const QString& cell : cells)
        fields << csvField(cell.trimmed());
    return fields.join(QLatin1Char(','));
}

QString ListCommand::textLine(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString cell = oneLine(cells[i]).trimmed();
        const bool last = i + 1 == cells.size();
        line += last ? cell : cell.leftJustified(TextWidths[size_t(i) % TextWidths.size()]);
        if (!last)
            line += QStringLiteral("  ");
    }
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    return line;
}

int ListCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    RecordQuery query;
    store::Table table;
    if (const int opened = query.open(context, parser, table); opened != Success)
        return opened;
    const bool csv = parser.isSet(CsvOption);
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return context.fail(Failed, QStringLiteral("cannot write to the standard output"));
    const auto write = [&](const QStringList& cells) {
        const QString line = csv ? csvLine(cells) : textLine(cells);
        out.write((line + (csv ? QStringLiteral("\r\n") : QStringLiteral("\n"))).toUtf8());
    };
    write(RecordQuery::captions());
    if (!query.forEachRow(context, table, write))
        return Failed;
    if (!out.flush())
        return context.fail(Failed, QStringLiteral("cannot write to the standard output"));
    return Success;
}

} // namespace wl::cli
