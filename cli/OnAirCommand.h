#pragma once

#include "cli/CliCommand.h"

#include <QDateTime>

#include <optional>

namespace wl::cli {

// Lists what the kept schedules have on the air on a frequency at a moment, best first, as the
// "On Air" window does.
class OnAirCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("onair"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;

    // "2024-12-11T21:30Z" (seconds and the Z optional; always UTC).
    static std::optional<QDateTime> parseMoment(const QString& text);
};

} // namespace wl::cli
