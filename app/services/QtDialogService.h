#pragma once

#include "app/services/DialogService.h"

namespace wl {

// The common dialogs of Qt.
class QtDialogService : public DialogService
{
public:
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileNameAndFilter(QWidget* parent, const QString& caption, const QString& folder,
                                  const QString& filter, QString& selectedFilter) override;
    QString folder(QWidget* parent, const QString& caption, const QString& start) override;
    std::optional<QFont> font(QWidget* parent, const QFont& initial,
                              const QString& caption) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial,
                                const QString& caption) override;
    bool print(QWidget* parent, QPrinter& printer) override;
};

} // namespace wl
