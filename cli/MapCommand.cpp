#include "cli/MapCommand.h"

#include "app/ProgramFolders.h"
#include "app/services/Registry.h"
#include "cli/CliContext.h"
#include "cli/CliNumbers.h"
#include "globe/AngleText.h"
#include "map/MapImageFile.h"
#include "map/MapRenderer.h"
#include "store/Table.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cmath>

namespace wl::cli {

namespace {

const QString OutOption = QStringLiteral("out");
const QString CenterOption = QStringLiteral("center");
const QString WidthOption = QStringLiteral("width");
const QString HeightOption = QStringLiteral("height");

// A side of the picture in whole pixels within the renderer's bounds, or none.
std::optional<int> side(const QString& text)
{
    const std::optional<double> value = parseCliNumber(text);
    if (!value || *value != std::floor(*value) || *value < MapRenderer::MinSide ||
        *value > MapRenderer::MaxSide)
        return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace

QString MapCommand::summary() const
{
    return QStringLiteral("Render the globe with the plotted records into a picture file.");
}

void MapCommand::define(QCommandLineParser& parser) const
{
    parser.setApplicationDescription(
        summary() +
        QStringLiteral("\n\nThe whole globe as the map window draws it: the globe data, the "
                       "map settings\n(label field and font, home town, night shadow, distance "
                       "unit) and the records\nof the main window's frequency range that have a "
                       "position. The picture is\nreplaced in one step; a failure leaves an "
                       "earlier file as it was."));
    parser.addOption({OutOption,
                      QStringLiteral("The picture to write; its ending names the format: .png, "
                                     ".jpg (or .jpeg) or .bmp."),
                      QStringLiteral("FILE")});
    parser.addOption({CenterOption,
                      QStringLiteral("The point at the centre, in decimal degrees with north and "
                                     "east positive, e.g. 48.2,16.37; by default the centre of "
                                     "the map window's last view."),
                      QStringLiteral("LAT,LON")});
    parser.addOption({WidthOption,
                      QStringLiteral("Width in pixels, %1 to %2; %3 by default.")
                          .arg(MapRenderer::MinSide)
                          .arg(MapRenderer::MaxSide)
                          .arg(DefaultWidth),
                      QStringLiteral("W")});
    parser.addOption({HeightOption,
                      QStringLiteral("Height in pixels, %1 to %2; %3 by default.")
                          .arg(MapRenderer::MinSide)
                          .arg(MapRenderer::MaxSide)
                          .arg(DefaultHeight),
                      QStringLiteral("H")});
}

int MapCommand::run(const CliContext& context, const QCommandLineParser& parser) const
{
    if (!parser.positionalArguments().isEmpty())
        return context.fail(UsageError, QStringLiteral("unexpected argument \"%1\"; the picture "
                                                       "is named with --out")
                                            .arg(parser.positionalArguments().front()));
    if (!parser.isSet(OutOption) || parser.value(OutOption).isEmpty())
        return context.fail(UsageError, QStringLiteral("--out FILE is required"));
    const QString target = QFileInfo(parser.value(OutOption)).absoluteFilePath();
    const std::optional<MapImageFile::Format> format = MapImageFile::formatOfName(target);
    if (!format)
        return context.fail(UsageError,
                            QStringLiteral("cannot tell the picture's format from the name %1; "
                                           "end it in .png, .jpg, .jpeg or .bmp")
                                .arg(QDir::toNativeSeparators(target)));
    QSize size(DefaultWidth, DefaultHeight);
    for (const auto& [option, length] :
         {std::pair{WidthOption, &size.rwidth()}, std::pair{HeightOption, &size.rheight()}}) {
        if (!parser.isSet(option))
            continue;
        const std::optional<int> value = side(parser.value(option));
        if (!value)
            return context.fail(UsageError,
                                QStringLiteral("--%1 needs a whole number of pixels from %2 to "
                                               "%3, not \"%4\"")
                                    .arg(option)
                                    .arg(MapRenderer::MinSide)
                                    .arg(MapRenderer::MaxSide)
                                    .arg(parser.value(option)));
        *length = *value;
    }
    std::optional<LLPoint> centre;
    if (parser.isSet(CenterOption)) {
        const auto latLon = parseCliLatLon(parser.value(CenterOption));
        if (!latLon)
            return context.fail(UsageError,
                                QStringLiteral("--center needs LAT,LON in decimal degrees with a "
                                               "point, north and east positive, such as "
                                               "48.2,16.37, not \"%1\"")
                                    .arg(parser.value(CenterOption)));
        centre = llPoint(degToGU(latLon->second), degToGU(latLon->first));
    }
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
        return context.fail(MissingFile, QStringLiteral("the folder of %1 does not exist")
                                             .arg(QDir::toNativeSeparators(target)));

    // Plotting only reads the records, so a table in a read-only folder is mapped too.
    store::Table table;
    if (const int opened = context.openTableForReading(table); opened != Success)
        return opened;
    // The renderer plots the records of the main window's frequency range, as the window does.
    Registry settings;
    MapRenderer renderer;
    renderer.load(programFolder(), context.dataFolder(), settings, table);
    table.close();
    for (const QString& warning : renderer.takeWarnings())
        context.note(warning);

    const QImage picture = renderer.render(size, centre);
    if (picture.isNull())
        return context.fail(Failed, QStringLiteral("there is not enough memory for a picture of "
                                                   "%1 x %2 pixels")
                                        .arg(size.width())
                                        .arg(size.height()));
    QString error;
    if (!MapImageFile::save(picture, *format, target, error))
        return context.fail(
            Failed,
            QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(target), error));
    QTextStream(stdout) << QStringLiteral("%1 records plotted on a map of %2 x %3 pixels in %4\n")
                               .arg(renderer.plotted())
                               .arg(size.width())
                               .arg(size.height())
                               .arg(QDir::toNativeSeparators(target));
    return Success;
}

} // namespace wl::cli
