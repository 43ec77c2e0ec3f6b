#include "app/services/QtMessageService.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace wl {
namespace {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "services_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// The width of the box the service shows for a request, measured while it is open.
int shownWidth(const MessageRequest& request)
{
    int width = -1;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            width = box->width();
            box->done(QMessageBox::Ok);
        }
    });
    QtMessageService().show(request);
    return width;
}

// A short text under a long caption: the box is as wide as the caption needs, so the window
// manager has no reason to cut it. A long text keeps its own, wider box.
TEST(QtMessageService, TheBoxIsAtLeastAsWideAsItsCaption)
{
    ensureApplication();
    const QString longText(200, u'w');
    const struct
    {
        QString caption;
        QString text;
    } cases[] = {
        {QStringLiteral("Frequency Entry Error"), QStringLiteral("Please re-enter a frequency.")},
        {QStringLiteral("Wavelark"), QStringLiteral("OK")},
        {QStringLiteral("Ошибка ввода позиции — широта"), QStringLiteral("Нет.")},
        {QStringLiteral("X"), longText},
    };
    for (const auto& c : cases) {
        MessageRequest request;
        request.caption = c.caption;
        request.text = c.text;
        const int width = shownWidth(request);
        EXPECT_GE(width, QtMessageService::titleWidth(c.caption)) << c.caption.toStdString();
        EXPECT_GT(QtMessageService::titleWidth(c.caption),
                  QFontMetrics(QApplication::font()).horizontalAdvance(c.caption));
    }
}

} // namespace
} // namespace wl
