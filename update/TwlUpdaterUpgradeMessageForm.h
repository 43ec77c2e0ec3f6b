#pragma once

#include "update/UpdaterMessages.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace wl {

// The question that offers the newer version: Yes upgrades, Later declines.
class TwlUpdaterUpgradeMessageForm : public QDialog
{
    Q_OBJECT
public:
    TwlUpdaterUpgradeMessageForm(const UpdaterMessages& messages, const QString& text,
                                 QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
    QPushButton* YesBtn = nullptr;
    QPushButton* LaterBtn = nullptr;
};

} // namespace wl
