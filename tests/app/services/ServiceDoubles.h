#pragma once

// Test doubles for the window services: install a ServiceDoubles object at the start of a test
// and every message box, dialog, address, help request, screen query and clock reading of the
// code under test goes to it; the platform defaults come back when it goes out of scope.

#include "app/services/UiServices.h"

#include <deque>
#include <optional>
#include <vector>

namespace wl::test {

// Records every message box and answers from a script. With the script used up it answers
// with the first of OK, Yes, No, Cancel that the box offers.
class FakeMessages : public MessageService
{
public:
    std::vector<MessageRequest> shown;
    std::deque<QMessageBox::StandardButton> answers;

    QMessageBox::StandardButton show(const MessageRequest& request) override
    {
        shown.push_back(request);
        if (!answers.empty()) {
            const QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        for (QMessageBox::StandardButton b :
             {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
            if (request.buttons.testFlag(b))
                return b;
        }
        return QMessageBox::NoButton;
    }

    // The texts shown, in order: the usual thing to compare.
    QStringList texts() const
    {
        QStringList result;
        for (const MessageRequest& r : shown)
            result << r.text;
        return result;
    }
};

// Answers the common dialogs from queues; an empty queue answers "cancelled".
class FakeDialogs : public DialogService
{
public:
    std::deque<QString> openFiles, saveFiles, folders;
    std::deque<QString> saveFilters; // the type chosen in a save dialog that offers several
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<QColor>> colors;
    std::deque<bool> prints;
    QStringList captions; // caption of every dialog asked for, in order

    QString openFileName(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        return take(openFiles, caption);
    }
    QString saveFileName(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        return take(saveFiles, caption);
    }
    QString saveFileNameAndFilter(QWidget* parent, const QString& caption, const QString& folder,
                                  const QString& filter, QString& selectedFilter) override
    {
        if (!saveFilters.empty()) {
            selectedFilter = saveFilters.front();
            saveFilters.pop_front();
        }
        return saveFileName(parent, caption, folder, filter);
    }
    QString folder(QWidget*, const QString& caption, const QString&) override
    {
        return take(folders, caption);
    }
    std::optional<QFont> font(QWidget*, const QFont&, const QString& caption) override
    {
        captions << caption;
        if (fonts.empty())
            return std::nullopt;
        auto chosen = fonts.front();
        fonts.pop_front();
        return chosen;
    }
    std::optional<QColor> color(QWidget*, const QColor&, const QString& caption) override
    {
        captions << caption;
        if (colors.empty())
            return std::nullopt;
        auto chosen = colors.front();
        colors.pop_front();
        return chosen;
    }
    bool print(QWidget*, QPrinter&) override
    {
        captions << QStringLiteral("Print");
        if (prints.empty())
            return false;
        const bool ok = prints.front();
        prints.pop_front();
        return ok;
    }

private:
    QString take(std::deque<QString>& queue, const QString& caption)
    {
        captions << caption;
        if (queue.empty())
            return {};
        QString answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

class FakeDesktop : public DesktopService
{
public:
    std::vector<QUrl> opened;
    bool succeeds = true;
    bool openUrl(const QUrl& url) override
    {
        opened.push_back(url);
        return succeeds;
    }
};

class FakeHelp : public HelpService
{
public:
    std::vector<int> contexts;
    QStringList keywords;
    int contentsShown = 0;
    int quits = 0;
    void showContext(int context) override { contexts.push_back(context); }
    void showKeyword(const QString& keyword) override { keywords << keyword; }
    void showContents() override { ++contentsShown; }
    void quit() override { ++quits; }
};

// A screen of a chosen size; by default a roomy 1280 x 1024 with a 40-pixel task bar.
class FakeScreen : public ScreenService
{
public:
    QSize size{1280, 1024};
    int taskBar = 40;
    QSize screenSize() const override { return size; }
    QRect workArea() const override { return QRect(0, 0, size.width(), size.height() - taskBar); }
};

class FakeClock : public ClockService
{
public:
    QDateTime time{QDate(2004, 11, 22), QTime(15, 7)};
    QDateTime now() const override { return time; }
};

// All doubles at once, installed for the lifetime of the object.
class ServiceDoubles
{
public:
    FakeMessages messages;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FakeHelp help;
    FakeScreen screen;
    FakeClock clock;

    ServiceDoubles()
    {
        UiServices::setMessages(&messages);
        UiServices::setDialogs(&dialogs);
        UiServices::setDesktop(&desktop);
        UiServices::setHelp(&help);
        UiServices::setScreen(&screen);
        UiServices::setClock(&clock);
    }
    ~ServiceDoubles()
    {
        UiServices::setMessages(nullptr);
        UiServices::setDialogs(nullptr);
        UiServices::setDesktop(nullptr);
        UiServices::setHelp(nullptr);
        UiServices::setScreen(nullptr);
        UiServices::setClock(nullptr);
    }
    ServiceDoubles(const ServiceDoubles&) = delete;
    ServiceDoubles& operator=(const ServiceDoubles&) = delete;
};

} // namespace wl::test
