#include "grid/TextMeasure.h"

#include <QFontMetricsF>
#include <QString>

#include <vector>

namespace wl {

namespace {

constexpr char First = 0x20;
constexpr char Last = 0x7E;
constexpr int Printable = Last - First + 1;
// Free text gives nearly one signature per text: past this many the widths are no longer kept,
// so such a column costs no more memory than its plain measurement would.
constexpr std::size_t SignaturesKept = std::size_t(1) << 16;

bool printableAscii(std::string_view text)
{
    for (const char c : text) {
        if (c < First || c > Last)
            return false;
    }
    return true;
}

} // namespace

// Working out the classes takes about ten thousand measurements: worth it only for columns that
// would otherwise take many more.
TextMeasure::TextMeasure(const QFont& font, int measuredBeforeClasses)
    : font_(font), metrics_(font), measuredBeforeClasses_(measuredBeforeClasses)
{
}

TextMeasure::~TextMeasure() = default;

void TextMeasure::findClasses()
{
    classesKnown_ = true;
    const QFontMetricsF exact(font_);
    std::vector<qreal> single(Printable);
    std::vector<qreal> pair(std::size_t(Printable) * Printable);
    for (int a = 0; a < Printable; ++a) {
        single[std::size_t(a)] = exact.horizontalAdvance(QString(QChar(First + a)));
        for (int b = 0; b < Printable; ++b) {
            const QChar both[2] = {QChar(First + a), QChar(First + b)};
            pair[std::size_t(a * Printable + b)] = exact.horizontalAdvance(QString(both, 2));
        }
    }
    const auto alike = [&](int a, int b) {
        if (single[std::size_t(a)] != single[std::size_t(b)])
            return false;
        for (int c = 0; c < Printable; ++c) {
            if (pair[std::size_t(a * Printable + c)] != pair[std::size_t(b * Printable + c)] ||
                pair[std::size_t(c * Printable + a)] != pair[std::size_t(c * Printable + b)])
                return false;
        }
        return true;
    };
    for (int a = 0; a < Printable; ++a) {
        int representative = a;
        for (int b = 0; b < a; ++b) {
            if (classOf_[std::size_t(First + b)] == First + b && alike(a, b)) {
                representative = b;
                break;
            }
        }
        classOf_[std::size_t(First + a)] = char(First + representative);
    }
}

int TextMeasure::width(std::string_view utf8)
{
    const auto measure = [this](std::string_view text) {
        return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    };
    if (!printableAscii(utf8))
        return measure(utf8);
    if (!classesKnown_) {
        if (asciiMeasured_++ < measuredBeforeClasses_)
            return measure(utf8);
        findClasses();
    }
    signature_.assign(utf8);
    for (char& c : signature_)
        c = classOf_[std::size_t(c)];
    const auto found = bySignature_.find(signature_);
    if (found != bySignature_.end())
        return found->second;
    const int width = measure(utf8);
    if (bySignature_.size() < SignaturesKept)
        bySignature_.emplace(signature_, width);
    return width;
}

void TextMeasure::forgetTexts()
{
    std::unordered_map<std::string, int>().swap(bySignature_);
}

} // namespace wl
