#include "dialogs/GridRecord.h"

#include "app/TFormMain.h"
#include "grid/TSortableGrid.h"

namespace wl {

qint64 GridRecord::recNumOfRow(const TFormMain& main, int row)
{
    return main.RecNumOfRow(row);
}

int GridRecord::selectedRow(const TFormMain& main)
{
    return main.SortableGrid1->Row();
}

} // namespace wl
