#include "globe/TextLayoutCache.h"

#include <QTransform>

namespace wl {

const QStaticText& TextLayoutCache::layout(const QString& text, const QFont& font,
                                           const QString& fontKey)
{
    std::pair<QString, QString> key(fontKey, text);
    if (auto it = m_layouts.constFind(key); it != m_layouts.constEnd())
        return *it;
    if (m_layouts.size() >= MaxEntries)
        m_layouts.clear();
    QStaticText layout(text);
    // Titles come from files: never read them as markup.
    layout.setTextFormat(Qt::PlainText);
    layout.prepare(QTransform(), font);
    return *m_layouts.insert(std::move(key), std::move(layout));
}

} // namespace wl
