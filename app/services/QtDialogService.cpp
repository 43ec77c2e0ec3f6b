#include "app/services/QtDialogService.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>

namespace wl {

QString QtDialogService::openFileName(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QString QtDialogService::saveFileNameAndFilter(QWidget* parent, const QString& caption,
                                               const QString& folder, const QString& filter,
                                               QString& selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter, &selectedFilter);
}

QString QtDialogService::folder(QWidget* parent, const QString& caption, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

std::optional<QFont> QtDialogService::font(QWidget* parent, const QFont& initial,
                                           const QString& caption)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent, caption);
    if (!ok)
        return std::nullopt;
    return chosen;
}

std::optional<QColor> QtDialogService::color(QWidget* parent, const QColor& initial,
                                             const QString& caption)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, caption);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogService::print(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace wl
