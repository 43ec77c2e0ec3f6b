#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QUrl;

namespace wl {

struct HelpTopic;

// The help viewer: contents and index on the left, the topic on the right.
class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void showTopic(const HelpTopic& topic);
    void showIndex(const QString& keyword);
    QUrl currentUrl() const;

private:
    void buildContents();
    void buildIndex();
    void filterIndex(const QString& text);
    void openItem(QListWidgetItem* item);
    void followLink(const QUrl& url);

    QTabWidget* tabs_ = nullptr;
    QListWidget* contents_ = nullptr;
    QLineEdit* indexSearch_ = nullptr;
    QListWidget* index_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

} // namespace wl
