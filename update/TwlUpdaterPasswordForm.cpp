#include "update/TwlUpdaterPasswordForm.h"

#include "update/UpdaterFormParts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace wl {

using M = UpdaterMessages;

TwlUpdaterPasswordForm::TwlUpdaterPasswordForm(const UpdaterMessages& messages,
                                               const QString& fileName, const QString& user,
                                               QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("wlUpdaterPasswordForm"));
    setWindowTitle(messages.text(M::EnterPassword));
    Label1 = new QLabel(messages.format(M::PasswordProtected, {fileName}), this);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setMinimumWidth(320);
    UsernameEdit = new QLineEdit(user, this);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    OKBtn = new QPushButton(messages.text(M::Ok), this);
    CancelBtn = new QPushButton(messages.text(M::Cancel), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel(this, QStyle::SP_MessageBoxInformation));
    top->addWidget(Label1, 1);
    auto* form = new QFormLayout;
    form->addRow(messages.text(M::UserName), UsernameEdit);
    form->addRow(messages.text(M::Password), PasswordEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace wl
