#pragma once

#include <QString>
#include <QStringView>

namespace wl {

// Cell and caption texts as HTML. Every "&", "<", ">" and double quote of the data is written
// as its entity, so a cell shows exactly the characters it holds and cannot add markup; links
// are made only to http, https and mailto targets.
class HTMLText
{
public:
    // The text escaped, TAB as three non-breaking blanks and LF as a line break ("<br>" and
    // CR LF); with ignoreBreaks, TAB is dropped and LF is a plain CR LF. Other control characters
    // are dropped.
    static QString text(QStringView raw, bool ignoreBreaks);
    // text() with links made from the web and mail addresses in it.
    static QString linked(QStringView raw, bool ignoreBreaks);
    // The content of a table cell: the converted text trimmed, or "&nbsp;" when that is empty.
    static QString cell(const QString& converted);
    // Escapes a text for an attribute value or element content.
    static QString escape(QStringView raw);
};

} // namespace wl
