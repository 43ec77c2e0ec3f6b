#include "app/THelpWindow.h"

#include "app/HelpTopics.h"
#include "app/services/UiServices.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <map>

namespace wl {

namespace {

constexpr int UrlRole = Qt::UserRole;

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Wavelark Help"));
    resize(780, 540);
    auto* splitter = new QSplitter(this);
    tabs_ = new QTabWidget(splitter);
    browser_ = new QTextBrowser(splitter);
    // Links to the web or to mail go to the desktop, links between topics stay here.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &THelpWindow::followLink);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    buildContents();
    buildIndex();
}

void THelpWindow::buildContents()
{
    contents_ = new QListWidget;
    for (const HelpTopic& topic : HelpTopics::all()) {
        auto* item = new QListWidgetItem(topic.title, contents_);
        item->setData(UrlRole, HelpTopics::url(topic));
    }
    connect(contents_, &QListWidget::itemActivated, this, &THelpWindow::openItem);
    connect(contents_, &QListWidget::itemClicked, this, &THelpWindow::openItem);
    tabs_->addTab(contents_, QStringLiteral("Contents"));
}

void THelpWindow::buildIndex()
{
    auto* page = new QWidget;
    indexSearch_ = new QLineEdit(page);
    indexSearch_->setPlaceholderText(QStringLiteral("Type a keyword"));
    index_ = new QListWidget(page);
    std::multimap<QString, const HelpTopic*> entries;
    for (const HelpTopic& topic : HelpTopics::all()) {
        for (const QString& keyword : topic.keywords)
            entries.emplace(keyword.toLower(), &topic);
    }
    for (const auto& [keyword, topic] : entries) {
        auto* item = new QListWidgetItem(keyword, index_);
        item->setData(UrlRole, HelpTopics::url(*topic));
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(indexSearch_);
    layout->addWidget(index_);
    connect(indexSearch_, &QLineEdit::textChanged, this, &THelpWindow::filterIndex);
    connect(index_, &QListWidget::itemActivated, this, &THelpWindow::openItem);
    connect(index_, &QListWidget::itemClicked, this, &THelpWindow::openItem);
    tabs_->addTab(page, QStringLiteral("Index"));
}

void THelpWindow::filterIndex(const QString& text)
{
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < index_->count(); ++i) {
        QListWidgetItem* item = index_->item(i);
        const bool match = item->text().contains(text.trimmed(), Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && !first)
            first = item;
    }
    if (first)
        index_->setCurrentItem(first);
}

void THelpWindow::openItem(QListWidgetItem* item)
{
    if (item)
        browser_->setSource(item->data(UrlRole).toUrl());
}

void THelpWindow::followLink(const QUrl& url)
{
    if (url.isRelative() || url.scheme() == QLatin1String("qrc"))
        browser_->setSource(browser_->source().resolved(url));
    else
        UiServices::desktop().openUrl(url);
}

void THelpWindow::showTopic(const HelpTopic& topic)
{
    tabs_->setCurrentWidget(contents_);
    browser_->setSource(HelpTopics::url(topic));
}

void THelpWindow::showIndex(const QString& keyword)
{
    tabs_->setCurrentIndex(1);
    indexSearch_->setText(keyword);
    filterIndex(keyword);
    if (browser_->source().isEmpty())
        browser_->setSource(HelpTopics::url(HelpTopics::defaultTopic()));
}

QUrl THelpWindow::currentUrl() const
{
    return browser_->source();
}

} // namespace wl
