// The manual page against the program's own help: every command, option and export format that
// `--help` names must be in the page, so the two cannot drift apart.
#include "cli/CliTestSupport.h"

#include <QRegularExpression>

namespace wl::cli::test {
namespace {

// The page's text as a reader sees it: roff's escaped minus is a plain "-".
QString manualPage()
{
    QFile file(QStringLiteral(WAVELARK_MANUAL_PAGE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << WAVELARK_MANUAL_PAGE;
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

// The long options of a help text ("--data", "--format").
QStringList optionsOf(const QString& help)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("(?:^|[\\s,])(--[a-z][a-z-]*)"));
    for (auto it = option.globalMatch(help); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!options.contains(name))
            options << name;
    }
    return options;
}

// The lines of a help text between a heading and the next empty line, first word each.
QStringList firstWordsUnder(const QString& help, const QString& heading)
{
    QStringList words;
    const QStringList lines = help.split(u'\n');
    const qsizetype start = lines.indexOf(heading);
    if (start < 0)
        return words;
    for (qsizetype i = start + 1; i < lines.size() && !lines[i].trimmed().isEmpty(); ++i)
        words << lines[i].trimmed().section(u' ', 0, 0);
    return words;
}

TEST_F(CliTest, ManualPageNamesEveryCommandOptionAndFormat)
{
    const QString page = manualPage();
    const CliRun overview = cli({QStringLiteral("--help")}, false);
    ASSERT_EQ(overview.code, 0);
    const QStringList commands = firstWordsUnder(overview.out, QStringLiteral("Commands:"));
    ASSERT_GE(commands.size(), 7) << overview.out.toStdString();
    for (const QString& option : optionsOf(overview.out))
        EXPECT_TRUE(page.contains(option)) << option.toStdString();

    for (const QString& command : commands) {
        EXPECT_TRUE(page.contains(QStringLiteral(".B ") + command)) << command.toStdString();
        const CliRun help = cli({command, QStringLiteral("--help")}, false);
        ASSERT_EQ(help.code, 0) << command.toStdString();
        for (const QString& option : optionsOf(help.out))
            EXPECT_TRUE(page.contains(option))
                << command.toStdString() << " " << option.toStdString();
    }

    // Every export format by its name, those for other programs too.
    const CliRun exportHelp = cli({QStringLiteral("export"), QStringLiteral("--help")}, false);
    QStringList formats = firstWordsUnder(exportHelp.out, QStringLiteral("Formats:"));
    formats << firstWordsUnder(exportHelp.out, QStringLiteral("For other programs and maps:"));
    ASSERT_GE(formats.size(), 12) << exportHelp.out.toStdString();
    for (const QString& format : formats)
        EXPECT_TRUE(page.contains(
            QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(format)))))
            << format.toStdString();
}

} // namespace
} // namespace wl::cli::test
