#include "GridFixtures.h"

#include "grid/TextMeasure.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <random>

using namespace wl;

namespace {

// Printable ASCII texts, many of them kerning pairs' neighbours by chance.
QStringList randomAscii(int count, int maxLength)
{
    std::mt19937 rng(20261211);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        const int length = 1 + int(rng() % unsigned(maxLength));
        for (int c = 0; c < length; ++c)
            text += QChar(char16_t(0x20 + rng() % 95));
        texts << text;
    }
    return texts;
}

// Widths by layout class must be the plain measurement of every text, for kerning pairs,
// ligatures, digits of one width, other scripts and tabs, in fonts with and without kerning.
TEST(TextMeasureTest, WidthsAreThoseOfThePlainMeasurement)
{
    test::application();
    QStringList texts = {
        "AVATAR", "To Wa", "LTAV", "Yo.", "office ffi fl", "146.52000", "888.88888", "1111",
        "  lead", "trail  ", "a\tb", "\t", "P.O. Box 12", "11:30 PM", "W1AW", "",
        QStringLiteral("Łódź"), QStringLiteral("Ελληνικά"), QStringLiteral("日本語"),
        QStringLiteral("مرحبا"), QStringLiteral("e\u0301t\u00E9"), QStringLiteral("AV\u00C5")};
    texts += randomAscii(3000, 12);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(11);
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPointSize(13);
    serif.setItalic(true);
    QFont noKerning = arial;
    noKerning.setKerning(false);
    noKerning.setBold(true);
    for (const QFont& font : {arial, serif, noKerning, QApplication::font()}) {
        TextMeasure measure(font, 0);
        const QFontMetrics plain(font);
        for (const QString& text : texts) {
            const QByteArray utf8 = text.toUtf8();
            EXPECT_EQ(measure.width(std::string_view(utf8.constData(), std::size_t(utf8.size()))),
                      plain.horizontalAdvance(text))
                << font.key().toStdString() << " \"" << text.toStdString() << '"';
        }
    }
}

// A column of more distinct texts than are measured one by one is fitted to the same width.
TEST(TextMeasureTest, LargeColumnFitsAsWhenEveryTextIsMeasured)
{
    QStringList texts = randomAscii(30000, 10);
    texts << QStringLiteral("WAVAWAVAWAVA") << QStringLiteral("1296.5000");
    auto grid = test::makeColumn(texts);
    grid->FitColumnWidth(0);
    const QFontMetrics plain(grid->font());
    int widest = plain.horizontalAdvance(QStringLiteral("H"));
    for (const QString& text : texts)
        widest = std::max(widest, plain.horizontalAdvance(text));
    EXPECT_EQ(grid->ColWidths(0), widest + plain.horizontalAdvance(QStringLiteral("x")));
}

} // namespace
