#pragma once

#include "update/UpdaterMessages.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace wl {

// Asks for the user name and password of a protected download.
class TwlUpdaterPasswordForm : public QDialog
{
    Q_OBJECT
public:
    TwlUpdaterPasswordForm(const UpdaterMessages& messages, const QString& fileName,
                           const QString& user, QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
    QLineEdit* UsernameEdit = nullptr;
    QLineEdit* PasswordEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

} // namespace wl
