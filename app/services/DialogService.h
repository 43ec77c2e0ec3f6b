#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace wl {

// The platform's common dialogs. An empty text or an empty optional means the user cancelled.
class DialogService
{
public:
    virtual ~DialogService() = default;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // The same, where filter holds several types: selectedFilter receives the type the user
    // chose (left as it was by a service that cannot tell).
    virtual QString saveFileNameAndFilter(QWidget* parent, const QString& caption,
                                          const QString& folder, const QString& filter,
                                          QString& selectedFilter)
    {
        (void)selectedFilter;
        return saveFileName(parent, caption, folder, filter);
    }
    virtual QString folder(QWidget* parent, const QString& caption, const QString& start) = 0;
    virtual std::optional<QFont> font(QWidget* parent, const QFont& initial,
                                      const QString& caption) = 0;
    // Lets the user choose a colour. A service without a colour chooser answers "cancelled".
    virtual std::optional<QColor> color(QWidget*, const QColor&, const QString&)
    {
        return std::nullopt;
    }
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool print(QWidget* parent, QPrinter& printer) = 0;
};

} // namespace wl
