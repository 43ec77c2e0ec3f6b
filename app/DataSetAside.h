#pragma once

#include "store/Status.h"

#include <QStringList>

namespace wl {

// Moves the files of a data set out of the way under one common suffix (".old", ".old2", ...),
// so a new set can take their names while the old one can still be brought back by hand.
// Either every present file is moved or none is.
class DataSetAside
{
public:
    struct Outcome
    {
        store::Status status;
        QStringList keptAs; // full paths the files were moved to
    };

    static Outcome keep(const QString& folder, const QStringList& names);
    // The suffix no file of the set carries yet.
    static QString freeSuffix(const QString& folder, const QStringList& names);
};

} // namespace wl
