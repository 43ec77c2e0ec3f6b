#include "update/TwlUpdaterUpgradeMessageForm.h"

#include "update/UpdaterFormParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace wl {

using M = UpdaterMessages;

TwlUpdaterUpgradeMessageForm::TwlUpdaterUpgradeMessageForm(const UpdaterMessages& messages,
                                                           const QString& text, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("wlUpdaterUpgradeMessageForm"));
    setWindowTitle(messages.text(M::WizardCaption));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(withLineFeeds(text));
    Label1->setMinimumWidth(320);
    YesBtn = new QPushButton(messages.text(M::Yes), this);
    LaterBtn = new QPushButton(messages.text(M::Later), this);
    YesBtn->setDefault(true);
    connect(YesBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(LaterBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel(this, QStyle::SP_MessageBoxQuestion));
    top->addWidget(Label1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(YesBtn);
    buttons->addWidget(LaterBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace wl
