#pragma once

#include <QFont>
#include <QString>

class QPrinter;

namespace wl {

// Prints plain text on a printer, wrapped to the page, with margins of 0.75 inch left and
// right and 1 inch at the top and bottom, taken from the printer's resolution.
class NotesPrinter
{
public:
    // Splits the text at CR LF pairs only: the text after the last pair is the last line.
    static QStringList splitLines(const QString& text);
    // False when the printer could not be started.
    static bool print(QPrinter& printer, const QString& text, const QFont& font);
};

} // namespace wl
