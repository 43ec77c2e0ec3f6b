#pragma once

#include "app/MovablePanel.h"

#include <functional>

class QLineEdit;
class QRadioButton;

namespace wl {

// The position pick panel of edit mode: degrees and minutes of latitude and longitude with
// their hemispheres. The boxes take digits only (typed or pasted) and empty themselves on a
// value past the limits; at 90 or 180 degrees the minutes are fixed at zero.
class PositionPanel : public MovablePanel
{
    Q_OBJECT
public:
    explicit PositionPanel(QWidget* parent);

    // Fills the boxes from a position cell ("DD MMH DDD MMH") and shows the panel.
    void pick(const QString& cell);
    // The position text of the boxes: 20 blanks when either degrees box is empty.
    QString positionText() const;

    QLineEdit* latDegrees = nullptr;
    QLineEdit* latMinutes = nullptr;
    QLineEdit* lonDegrees = nullptr;
    QLineEdit* lonMinutes = nullptr;
    QRadioButton* north = nullptr;
    QRadioButton* south = nullptr;
    QRadioButton* west = nullptr;
    QRadioButton* east = nullptr;

    std::function<void(const QString& position)> OnAccepted;
    std::function<void()> OnCancelled;

private:
    QWidget* makeGroup(const QString& title, int degreeLength, QLineEdit*& degrees,
                       QLineEdit*& minutes, QRadioButton*& first, QRadioButton*& second,
                       const QString& firstText, const QString& secondText);
    void limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit);
};

} // namespace wl
