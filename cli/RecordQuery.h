#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace wl {

namespace store {
class Table;
}

namespace cli {

class CliContext;

// The records a listing or an export covers: one category or all, a frequency range in MHz
// (inclusive, as the main window's range) and a filter in the store's filter language. The
// rows hold the main window's ten columns as it shows them, in frequency order.
class RecordQuery
{
public:
    static void define(QCommandLineParser& parser);
    // Reads the options, opens the data folder's table and selects the records on it;
    // Success, or the exit code after reporting what stopped it.
    int open(const CliContext& context, const QCommandLineParser& parser, store::Table& table);

    static QStringList captions();
    // Calls take with the cells of every selected record; false after reporting a read error.
    bool forEachRow(const CliContext& context, store::Table& table,
                    const std::function<void(const QStringList&)>& take) const;

private:
    // Reads the options; false after reporting a wrong one.
    bool read(const CliContext& context, const QCommandLineParser& parser);
    int apply(const CliContext& context, store::Table& table) const;

    std::optional<QString> category_;
    double low_ = 0;
    double high_ = 0;
    bool ranged_ = false;
    QString filter_;
};

} // namespace cli
} // namespace wl
