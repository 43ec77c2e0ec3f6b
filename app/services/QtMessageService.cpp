#include "app/services/QtMessageService.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace wl {

namespace {

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int QtMessageService::titleWidth(const QString& caption)
{
    // The title bar's own font is the window manager's; the application's is close to it. The
    // allowance covers the window icon and the title bar's buttons.
    constexpr int TitleBarAllowance = 140;
    return QFontMetrics(QApplication::font()).horizontalAdvance(caption) + TitleBarAllowance;
}

// A message box sizes itself to its text, so a short text under a long caption would have the
// window manager cut the caption. A spacer as wide as the caption keeps the box at least that
// wide; the box's own sizing honours its layout.
void QtMessageService::keepTitleWhole(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(
        new QSpacerItem(titleWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
        grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::StandardButton QtMessageService::show(const MessageRequest& request)
{
    QMessageBox box(iconOf(request.kind), request.caption, request.text, request.buttons,
                    QApplication::activeWindow());
    // Texts may come from files or servers: never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    if (!request.details.isEmpty())
        box.setDetailedText(request.details);
    // F1 in the box shows the topic the message belongs to.
    if (request.helpContext > 0)
        box.setProperty("helpContext", request.helpContext);
    keepTitleWhole(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace wl
