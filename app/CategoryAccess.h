#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace wl {

// The main window's use of the category file "larkbase.cat" in a data folder.
class CategoryAccess
{
public:
    // The names in the file, sorted without regard to case; nullopt when the file does not
    // exist (error stays empty) or cannot be read (error says why).
    static std::optional<QStringList> read(const QString& folder, QString* error);
    // Creates the file with the three default categories when it does not exist yet; false
    // with the reason when it could not be written.
    static bool createDefaultIfMissing(const QString& folder, QString* error);
};

} // namespace wl
