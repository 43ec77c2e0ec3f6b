#pragma once

#include <QAbstractListModel>

namespace wl {

class GlobeLayer;

// The rows of the city list: the first cities of a layer, each row showing the title of the
// object at the same index. Rows hold no references of their own, so a row can never point at
// a freed city; after a change of the layer the owner calls refresh().
class CityListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // A list box of the platform holds at most this many items.
    static constexpr int MaxRows = 32701;

    using QAbstractListModel::QAbstractListModel;

    void setLayer(GlobeLayer* layer);
    GlobeLayer* layer() const { return m_layer; }
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    GlobeLayer* m_layer = nullptr;
};

} // namespace wl
