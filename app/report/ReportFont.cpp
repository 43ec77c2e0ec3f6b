#include "app/report/ReportFont.h"

#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

const QString ReportsKey = app::SettingsKey + QStringLiteral("\\Reports");
const QString FontName = QStringLiteral("Font Name");
const QString FontSize = QStringLiteral("Font Size");
const QString FontStyle = QStringLiteral("Font Style");
const QString FontColor = QStringLiteral("Font Color");

} // namespace

ReportFont ReportFont::read(Registry& registry)
{
    ReportFont font;
    if (!registry.openKey(ReportsKey, false))
        return font;
    const QString name = registry.readString(FontName, font.name).trimmed();
    if (!name.isEmpty())
        font.name = name;
    const int size = registry.readInteger(FontSize, font.size);
    if (size >= 1 && size <= MaxSize)
        font.size = size;
    font.style = registry.readInteger(FontStyle, font.style);
    font.color = registry.readInteger(FontColor, font.color);
    registry.closeKey();
    return font;
}

bool ReportFont::write(Registry& registry) const
{
    if (!registry.openKey(ReportsKey, true))
        return false;
    bool ok = registry.writeString(FontName, name);
    ok = registry.writeInteger(FontSize, size) && ok;
    ok = registry.writeInteger(FontStyle, style) && ok;
    ok = registry.writeInteger(FontColor, color) && ok;
    registry.closeKey();
    return registry.flush() && ok;
}

int ReportFont::styleCode(const QFont& font)
{
    if (font.bold() && font.italic())
        return BoldItalic;
    if (font.bold())
        return Bold;
    if (font.italic())
        return Italic;
    return Regular;
}

bool ReportFont::bold() const
{
    // An unknown code leaves the bold of the heading line that is drawn before the body.
    return style != Regular && style != Italic;
}

bool ReportFont::italic() const
{
    return style == Italic || style == BoldItalic;
}

QColor ReportFont::qColor() const
{
    // Values outside plain RGB (system colour codes) print black.
    if (color < 0 || color > 0xFFFFFF)
        return Qt::black;
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int ReportFont::colorValue(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QFont ReportFont::dialogFont() const
{
    QFont font(name);
    font.setPointSize(size);
    font.setBold(style == Bold || style == BoldItalic);
    font.setItalic(style == Italic || style == BoldItalic);
    return font;
}

std::optional<ReportFont> ReportFont::choose(QWidget* parent) const
{
    const std::optional<QFont> chosen =
        UiServices::dialogs().font(parent, dialogFont(), QStringLiteral("Font"));
    if (!chosen)
        return std::nullopt;
    ReportFont result = *this;
    result.name = chosen->family();
    if (chosen->pointSizeF() > 0)
        result.size = std::clamp(int(std::lround(chosen->pointSizeF())), 1, MaxSize);
    result.style = styleCode(*chosen);
    if (const std::optional<QColor> c =
            UiServices::dialogs().color(parent, qColor(), QStringLiteral("Font Color")))
        result.color = colorValue(*c);
    return result;
}

} // namespace wl
