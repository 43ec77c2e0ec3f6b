#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Puts a backup's data files back into the data folder, or lists what can be put back. The
// files replaced are moved aside in the data folder, never deleted, so a restore is undone by
// restoring them with --aside.
class RestoreCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("restore"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;

private:
    static int list(const CliContext& context, const QString& backupFolder);
};

} // namespace wl::cli
