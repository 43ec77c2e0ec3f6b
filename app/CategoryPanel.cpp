#include "app/CategoryPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace wl {

CategoryPanel::CategoryPanel(QWidget* parent) : MovablePanel(parent)
{
    setObjectName(QStringLiteral("Panel3"));
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(QStringLiteral("silver")));
    setPalette(silver);

    auto* heading = new QLabel(QStringLiteral("Categories"), this);
    QPalette blue = heading->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    heading->setPalette(blue);
    dragBy(heading);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("BtnCnx"));
    close->setText(QStringLiteral("X"));
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        if (OnClosed)
            OnClosed();
    });

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListCategory"));
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        hide();
        if (OnPicked)
            OnPicked(item->text());
    });

    auto* top = new QHBoxLayout;
    top->addWidget(heading, 1);
    top->addWidget(close);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addLayout(top);
    column->addWidget(list_);
    resize(160, 200);
}

void CategoryPanel::pick(const QStringList& categories, const QString& current)
{
    list_->clear();
    list_->addItems(categories);
    list_->clearSelection();
    list_->setCurrentRow(-1);
    const QList<QListWidgetItem*> found = list_->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty())
        list_->setCurrentItem(found.front());
    show();
    raise();
}

} // namespace wl
