#pragma once

#include <QFont>
#include <QFontMetrics>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace wl {

// Pixel widths of cell texts in one font, as QFontMetrics::horizontalAdvance gives them, for
// fitting columns of a million texts without shaping each one.
//
// Texts of printable ASCII are measured once per layout signature: each character is replaced
// by the first character that lays out exactly like it (the same advance, and the same width
// beside every other printable ASCII character, both before and after it). Digits usually form
// one such class, so a column of a million distinct frequencies is measured a handful of
// times. Any other text (other letters, tabs, controls) is measured as it stands. The classes
// are worked out only once enough texts have been measured to make them pay.
class TextMeasure
{
public:
    // measuredBeforeClasses: how many printable ASCII texts are measured as they stand before
    // the classes are worked out.
    explicit TextMeasure(const QFont& font, int measuredBeforeClasses = 20000);
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    // The width of the text whose UTF-8 is given.
    int width(std::string_view utf8);
    // Lets go of the widths kept by signature (the classes stay): called after each column, so
    // a column of free text leaves nothing behind.
    void forgetTexts();
    const QFontMetrics& metrics() const { return metrics_; }

private:
    void findClasses();

    QFont font_;
    QFontMetrics metrics_;
    // For each printable ASCII byte, the byte of its class; 0 while the classes are unknown.
    std::array<char, 128> classOf_{};
    bool classesKnown_ = false;
    int asciiMeasured_ = 0;
    int measuredBeforeClasses_;
    std::string signature_;
    std::unordered_map<std::string, int> bySignature_;
};

} // namespace wl
