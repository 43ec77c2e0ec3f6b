#pragma once

#include <QFlags>
#include <QFont>
#include <QString>

#include <cstdint>

namespace wl {

// Options kept with the export component for the HTML, rich-text and spreadsheet writers, which
// read them; the plain and delimited writers do not.

enum THTML_Option : unsigned
{
    htShowGridLines = 1u << 0,
    htColHeadersBold = 1u << 1,
    htAutoLink = 1u << 2,
    htOddRowColoring = 1u << 3,
    htDisplayTitle = 1u << 4,
    htHorzRules = 1u << 5,
    htIgnoreLineBreaks = 1u << 6
};
Q_DECLARE_FLAGS(THTML_Options, THTML_Option)
Q_DECLARE_OPERATORS_FOR_FLAGS(THTML_Options)

enum class THTML_Template
{
    htClassic,
    htSimple,
    htPlain,
    htMurky,
    htMS_Money,
    htColorful,
    htGray,
    htOlive,
    htBW
};

struct TXL_Options
{
    bool PrintGridlines = false;
    bool PrintHeadings = false;
    QString PageHeader;
    QString PageFooter = QStringLiteral("Page &P of &N");
};

// Page margins in twips.
struct TRTF_Options
{
    std::int16_t LeftMargin = 1250;
    std::int16_t RightMargin = 1250;
    std::int16_t TopMargin = 1000;
    std::int16_t BottomMargin = 1000;
};

// Fonts stored with the component for printing; no export reads them.
struct TPrint_Options
{
    QFont DefaultFont = QFont(QStringLiteral("Courier New"), 8);
    QFont DetailedTitle = titleFont();
    QFont DetailedHeader = italicFont();
    QFont DetailedFooter = italicFont();
    QFont DetailedFont = QFont(QStringLiteral("Courier New"), 9);

private:
    static QFont titleFont()
    {
        QFont font(QStringLiteral("Arial"), 16, QFont::Bold);
        font.setUnderline(true);
        return font;
    }
    static QFont italicFont() { return QFont(QStringLiteral("Arial"), 12, -1, true); }
};

} // namespace wl
