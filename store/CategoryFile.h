#pragma once

#include "store/Status.h"

#include <QStringList>

namespace wl::store {

// The category list "larkbase.cat": one name per line. Lines end in CR LF when written; a file
// with bare LF line ends reads the same. An empty line is an empty name; a final line break
// adds none. Files are written as UTF-8; a file that is not valid UTF-8 is read as the legacy
// single-byte Windows-1252 text older versions wrote.
class CategoryFile
{
public:
    explicit CategoryFile(QString path) : path_(std::move(path)) {}
    // The category file of a data folder.
    static CategoryFile inFolder(const QString& folder);
    static QStringList defaults(); // "Police", "Short Wave", "Weather"
    // Sorted without regard to case, as the category list keeps its items.
    static QStringList sorted(QStringList names);

    QString path() const { return path_; }
    bool exists() const;

    Status read(QStringList& names) const;
    // Replaces the file as a whole; a name holding a line break is refused, since it would
    // come back as two names.
    Status write(const QStringList& names) const;
    // Writes the default categories when the file does not exist yet.
    Status createIfMissing() const;
    // Adds a name as a new last line.
    Status append(const QString& name) const;

    // Splits file contents into names; exposed for the decoding rules alone.
    static QStringList parse(const QByteArray& bytes);

private:
    QString path_;
};

} // namespace wl::store
