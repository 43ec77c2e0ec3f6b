#pragma once

#include "app/MovablePanel.h"

#include <functional>

class QListWidget;

namespace wl {

// The category pick panel of edit mode: a list of the categories under a "Categories" heading.
class CategoryPanel : public MovablePanel
{
    Q_OBJECT
public:
    explicit CategoryPanel(QWidget* parent);

    // Shows the list with the current category selected (nothing when it is not listed).
    void pick(const QStringList& categories, const QString& current);
    QListWidget* list() const { return list_; }

    std::function<void(const QString& category)> OnPicked;
    std::function<void()> OnClosed;

private:
    QListWidget* list_ = nullptr;
};

} // namespace wl
