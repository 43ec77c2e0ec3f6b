#include "app/FillProgress.h"

#include "grid/TSortableGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <climits>

namespace wl {

namespace {

// A fill quicker than this shows no progress bar: it would only flicker.
constexpr qint64 BarAfterMs = 300;
// A fill quicker than this runs as one step, as every fill of a small table does: handling
// events before the list is whole would only let other work in.
constexpr qint64 EventsAfterMs = 100;
// The window is drawn and scrolled this often while the rows arrive; more often would spend
// the fill's time on repainting.
constexpr qint64 EventsEveryMs = 40;

bool within(const QWidget* outer, const QWidget& widget)
{
    return outer && (outer == &widget || outer->isAncestorOf(&widget));
}

} // namespace

FillProgress::FillProgress(QMainWindow& window, TSortableGrid& grid, QLabel& total)
    : window_(window), grid_(grid), total_(total)
{
    started_.start();
    qApp->installEventFilter(this);
}

FillProgress::~FillProgress()
{
    qApp->removeEventFilter(this);
    delete bar_;
    delete cancelButton_;
}

QString FillProgress::totalText(qint64 rows, qint64 expected, bool cancelled)
{
    QString text = QStringLiteral("Records = ") + QString::number(rows);
    if (expected > rows)
        text += QStringLiteral(" of ") + QString::number(expected);
    if (cancelled)
        text += QStringLiteral(" (cancelled)");
    return text;
}

bool FillProgress::update(qint64 rows, qint64 expected)
{
    total_.setText(totalText(rows, expected, false));
    if (!bar_ && started_.elapsed() >= BarAfterMs)
        showBar();
    if (bar_ && expected > 0) {
        bar_->setRange(0, int(std::min<qint64>(expected, INT_MAX)));
        bar_->setValue(int(std::min(rows, expected)));
    }
    if (started_.elapsed() < EventsAfterMs)
        return !cancelled_;
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= EventsEveryMs) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
    return !cancelled_;
}

void FillProgress::showBar()
{
    QStatusBar* status = window_.statusBar();
    bar_ = new QProgressBar(status);
    bar_->setObjectName(QStringLiteral("FillProgressBar"));
    bar_->setMaximumWidth(200);
    bar_->setRange(0, 0);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), status);
    cancelButton_->setObjectName(QStringLiteral("BtnCancelFill"));
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel(); });
    status->addPermanentWidget(bar_);
    status->addPermanentWidget(cancelButton_);
}

bool FillProgress::allowed(const QWidget& target, const QEvent& event) const
{
    const bool onBars =
        within(grid_.verticalScrollBar(), target) || within(grid_.horizontalScrollBar(), target);
    switch (event.type()) {
    case QEvent::Wheel:
        return onBars || within(grid_.viewport(), target);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return onBars || within(cancelButton_, target);
    default:
        return false;
    }
}

bool FillProgress::eventFilter(QObject* watched, QEvent* event)
{
    // Input reaches a window first and is then handed to its widgets, which are judged here.
    if (!watched->isWidgetType())
        return false;
    const auto& target = static_cast<const QWidget&>(*watched);
    switch (event->type()) {
    case QEvent::Close:
        if (&target != &window_)
            return false;
        cancelled_ = closeRequested_ = true;
        event->ignore();
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            cancelled_ = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
        return true;
    case QEvent::Wheel:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return !allowed(target, *event);
    default:
        return false;
    }
}

} // namespace wl
