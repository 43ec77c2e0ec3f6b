#pragma once

#include <QString>
#include <QStringList>

namespace wl {

// Files that exports to be viewed are written to: new names beginning "exp" in the system's
// temporary folder, created empty and readable by the user alone so no other program can
// claim the name first. Every file made is removed when the object goes, which is when the
// window owning the export closes: viewers may keep reading them until then.
class ExportTempFiles
{
public:
    ExportTempFiles() = default;
    ~ExportTempFiles();
    ExportTempFiles(const ExportTempFiles&) = delete;
    ExportTempFiles& operator=(const ExportTempFiles&) = delete;

    // A new empty file with the given extension (without the dot); empty when none could be
    // made.
    QString make(const QString& extension);
    const QStringList& made() const { return made_; }

private:
    QStringList made_;
};

} // namespace wl
