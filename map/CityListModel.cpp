#include "map/CityListModel.h"

#include "globe/GlobeLayer.h"
#include "globe/GlobeObject.h"
#include "map/CityText.h"

#include <algorithm>

namespace wl {

void CityListModel::setLayer(GlobeLayer* layer)
{
    beginResetModel();
    m_layer = layer;
    endResetModel();
}

void CityListModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int CityListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_layer)
        return 0;
    return std::min(m_layer->objectCount(), MaxRows);
}

QVariant CityListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !m_layer || index.row() >= rowCount())
        return {};
    const GlobeObject* city = m_layer->object(index.row());
    return city ? QVariant(CityText::titleText(city->title())) : QVariant();
}

} // namespace wl
