#pragma once

#include <QDate>
#include <QWidget>

#include <optional>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

namespace wl {

// A text box for a date with a button that drops down a calendar (weeks starting on Sunday).
// The box shows dates in the display date format, with four-digit years.
class DateBox : public QWidget
{
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    void setDate(const QDate& date);
    // The box read in the format that filled it or in the locale's short date format;
    // nothing when it is neither.
    std::optional<QDate> date() const;

    QLineEdit* edit() const { return edit_; }
    QToolButton* dropButton() const { return button_; }
    // Opens the calendar under the box on the box's date (today when it cannot be read).
    void showCalendar();

private:
    void pick(const QDate& date);

    QLineEdit* edit_ = nullptr;
    QToolButton* button_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
};

} // namespace wl
