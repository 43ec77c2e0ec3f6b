#pragma once

#include <QString>

namespace wl {

class GlobeLayer;

// Where the two city files are read and written. They come with the program in its
// "Globe Data" folder; an installed program's folder is often read-only, so a saved list then
// goes to the same folder name in the user's data folder, and from then on that copy is the
// one read.
class CityFiles
{
public:
    static inline const QString AllCities = QStringLiteral("Cities.dat");
    static inline const QString CustomCities = QStringLiteral("CustomCities.dat");

    // Both folders end with "/"; an empty user folder means the platform's data folder.
    explicit CityFiles(const QString& programFolder, const QString& userFolder = {});

    QString programCopy(const QString& name) const;
    QString userCopy(const QString& name) const;
    QString readPath(const QString& name) const;

    // Empties the layer and loads the file into it at once, whatever its load-on-demand
    // setting, which is then switched off: the editor keeps references into the layer, and a
    // render out of the zoom range must not free the cities or drop unsaved changes. Returns
    // the error text, empty on success.
    QString load(GlobeLayer& layer, const QString& name) const;
    // The same for a layer loaded by someone else: reloads it only when it came from another
    // file than readPath (a user copy made in an earlier session) and loads it when it waits
    // for a render to load it.
    QString adopt(GlobeLayer& layer, const QString& name) const;
    // Writes the layer atomically to the copy that is read, falling back to the user copy
    // when the program folder cannot be written; a layer whose cities are not in memory is
    // not written. Returns the error text, empty on success.
    QString save(GlobeLayer& layer, const QString& name) const;

private:
    QString m_programFolder;
    QString m_userFolder;
};

} // namespace wl
