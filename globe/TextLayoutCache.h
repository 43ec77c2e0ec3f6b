#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

#include <utility>

namespace wl {

// Laid-out label texts kept from one render to the next: a globe full of labels redraws
// without shaping each text again. A layout is kept per text and font.
class TextLayoutCache
{
public:
    // Beyond this many layouts the cache starts afresh rather than grow without bound.
    static constexpr qsizetype MaxEntries = 250000;

    // fontKey is font.key(), passed in so that a run of texts in one font computes it once.
    const QStaticText& layout(const QString& text, const QFont& font, const QString& fontKey);
    qsizetype size() const { return m_layouts.size(); }
    void clear() { m_layouts.clear(); }

private:
    QHash<std::pair<QString, QString>, QStaticText> m_layouts;
};

} // namespace wl
