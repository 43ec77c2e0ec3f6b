#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

namespace wl {

class Registry;

// The body font of the report as the settings keep it under "\Reports": face, size in points,
// a style code and the colour of the notes lines as a 0x00BBGGRR value.
class ReportFont
{
public:
    // Style codes.
    static constexpr int Regular = 1;
    static constexpr int Italic = 2;
    static constexpr int Bold = 3;
    static constexpr int BoldItalic = 4;

    // Larger sizes cannot be right for a report line; they read as the default.
    static constexpr int MaxSize = 1000;

    QString name = QStringLiteral("Arial");
    int size = 10;
    int style = Regular;
    int color = 0;

    // The stored font; missing values, an empty face and sizes outside 1 to MaxSize points
    // read as the defaults. Reading creates nothing.
    static ReportFont read(Registry& registry);
    // Writes all four values, creating the key when missing; false when that failed.
    bool write(Registry& registry) const;

    // The code of a chosen font. Underline and strike-out cannot be stored and do not count.
    static int styleCode(const QFont& font);
    bool bold() const;
    bool italic() const;
    QColor qColor() const;
    static int colorValue(const QColor& color);

    // The font the font dialog starts from, in points.
    QFont dialogFont() const;
    // Lets the user choose a face, size and style, then the colour of the notes lines; empty
    // when the font choice is cancelled. A cancelled colour choice keeps the colour.
    std::optional<ReportFont> choose(QWidget* parent) const;
};

} // namespace wl
