#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Writes the selected records to stdout: aligned text for people, or CSV for programs.
class ListCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("list"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;

    // One CSV line: fields holding a comma, a quote, a line break or edge blanks are quoted.
    static QString csvLine(const QStringList& cells);
    // One text line: every column but the last padded to its width, two blanks between.
    static QString textLine(const QStringList& cells);
};

} // namespace wl::cli
