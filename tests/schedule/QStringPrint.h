#pragma once

#include <QString>

#include <ostream>

// Failure messages show the text, not the bytes of a QString.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
