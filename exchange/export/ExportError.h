#pragma once

#include <QString>

#include <stdexcept>

namespace wl {

// A failure inside an export: the writer run catches it and reports it with the writer's own
// failure message; the text here says what went wrong underneath.
class ExportError : public std::runtime_error
{
public:
    explicit ExportError(const QString& text) : std::runtime_error(text.toStdString()), text_(text)
    {
    }
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Thrown by a writer that has found text its current encoding cannot hold and has started its
// file again in one that can: the run then walks the items once more from the beginning.
class ExportRestart
{
};

// Thrown when the user stops an export before it is done: the run ends quietly and, as with a
// failure, nothing is made permanent, so no file is left and an old file stays as it was.
class ExportCancelled
{
};

} // namespace wl
