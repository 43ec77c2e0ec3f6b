#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Imports a comma-delimited file under one category with the import window's rules: every
// row becomes a record or, when any row cannot, nothing is stored and each faulty row is named.
class ImportCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("import"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
