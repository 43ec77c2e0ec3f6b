#include "dialogs/DateBox.h"

#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace wl {

DateBox::DateBox(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("DateEdit1"));
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("DateDropButton"));
    button_->setArrowType(Qt::DownArrow);
    button_->setToolTip(QStringLiteral("Click to Change Date"));
    row->addWidget(edit_, 1);
    row->addWidget(button_);

    // A pop-up window of its own so that it can hang below the box outside the dialog.
    calendar_ = new QCalendarWidget(this);
    calendar_->setWindowFlags(Qt::Popup);
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setGridVisible(true);
    calendar_->hide();
    connect(button_, &QToolButton::clicked, this, &DateBox::showCalendar);
    connect(calendar_, &QCalendarWidget::clicked, this, &DateBox::pick);
    connect(calendar_, &QCalendarWidget::activated, this, &DateBox::pick);
}

void DateBox::setDate(const QDate& date)
{
    edit_->setText(LocaleInfo::current().formatDisplayDate(date));
}

std::optional<QDate> DateBox::date() const
{
    const LocaleInfo locale = LocaleInfo::current();
    const QString text = edit_->text().trimmed();
    // The locale's parser takes four-digit years as well as the short format's two, so it reads
    // both the box's own text and a date typed in the short format.
    if (auto parsed = locale.parseDate(text))
        return parsed;
    // The display format may differ from the short format's order; accept exactly what
    // formatDisplayDate writes for some date.
    const QString qtFormat = [&] {
        QString f = locale.DisplayDateFormat();
        f.replace(QStringLiteral("mm"), QStringLiteral("MM"));
        return f;
    }();
    for (const QString& format :
         {qtFormat, QString(qtFormat).replace(QLatin1Char('/'), locale.dateSeparator)}) {
        const QDate d = QDate::fromString(text, format);
        if (d.isValid() && locale.formatDisplayDate(d) == text)
            return d;
    }
    return std::nullopt;
}

void DateBox::showCalendar()
{
    const QDate current = date().value_or(UiServices::clock().now().date());
    calendar_->setSelectedDate(current);
    calendar_->move(mapToGlobal(QPoint(0, height())));
    calendar_->show();
    calendar_->setFocus();
}

void DateBox::pick(const QDate& date)
{
    setDate(date);
    calendar_->hide();
    edit_->setFocus();
}

} // namespace wl
