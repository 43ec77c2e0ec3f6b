#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace wl {

// The checks a file passes before an import reads it, and the reading itself. Only regular
// files are read: a pipe would block the import until something writes to it, and a device
// such as /dev/zero never ends. A file larger than the limit is refused before any of it is
// read, so a wrong choice of file cannot fill the memory.
class ImportFile
{
public:
    // The largest file an import reads: far more than any log, far less than the memory an
    // import of it would need as records.
    static constexpr qint64 MaxBytes = qint64(1) << 30;
    static QString limitText() { return QStringLiteral("1 GiB"); }

    // Why the file cannot be imported; empty when it is a regular file within the limit.
    // The reason names the file as given.
    static QString refusal(const QString& path);
    // The whole file once it passed the checks; nothing, with *error set, otherwise or when it
    // cannot be read.
    static std::optional<QByteArray> read(const QString& path, QString* error);
};

} // namespace wl
