#pragma once

#include <QByteArray>
#include <QString>

namespace wl::schedule {

// The text of a schedule or site file. These files are single-byte (Windows-1252 or Latin-1,
// which agree on every letter); a file that is valid UTF-8 with letters beyond ASCII was saved
// by a newer editor and is read as UTF-8.
class ScheduleText
{
public:
    static QString decode(const QByteArray& bytes);
};

} // namespace wl::schedule
