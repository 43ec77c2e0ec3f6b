#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Renders the map window's globe with the plotted records into a PNG, JPEG or bitmap file,
// without a window: the same globe data, settings, labels, night shadow and scale bar.
class MapCommand : public CliCommand
{
public:
    static constexpr int DefaultWidth = 1024;
    static constexpr int DefaultHeight = 768;

    QString name() const override { return QStringLiteral("map"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
