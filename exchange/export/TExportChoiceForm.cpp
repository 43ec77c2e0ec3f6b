#include "exchange/export/TExportChoiceForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace wl {

TExportChoiceForm::TExportChoiceForm(ViewCheck canView, IconSource iconOf, QWidget* parent)
    : QDialog(parent), canView_(std::move(canView)), iconOf_(std::move(iconOf))
{
    FormCreate();
}

void TExportChoiceForm::FormCreate()
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(400, 125);

    GroupBox1 = new QGroupBox(QStringLiteral("Please choose an Export Format "), this);
    ExportTypeComboBox = new QComboBox(GroupBox1);
    ExportTypeComboBox->setMaxVisibleItems(10);
    ExportTypeComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ViewRadioButton = new QRadioButton(QStringLiteral("&View on Screen"), GroupBox1);
    FileRadioButton = new QRadioButton(QStringLiteral("Export to &File"), GroupBox1);
    ViewRadioButton->setChecked(true);
    Image1 = new QLabel(GroupBox1);
    Image1->setFixedSize(32, 32);

    auto* radios = new QVBoxLayout;
    radios->addWidget(ViewRadioButton);
    radios->addWidget(FileRadioButton);
    auto* group = new QHBoxLayout(GroupBox1);
    group->addWidget(ExportTypeComboBox, 1);
    group->addLayout(radios);
    group->addWidget(Image1);

    OKBtn = new QPushButton(QStringLiteral("&Ok"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);

    connect(ViewRadioButton, &QRadioButton::clicked, this,
            [this] { ViewRadioButtonClick(ViewRadioButton); });
    connect(FileRadioButton, &QRadioButton::clicked, this,
            [this] { ViewRadioButtonClick(FileRadioButton); });
    connect(ExportTypeComboBox, &QComboBox::currentIndexChanged, this,
            [this] { ExportTypeComboBoxChange(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TExportChoiceForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TExportChoiceForm::FormShow()
{
    setWindowTitle(ItemCount <= 0 ? QStringLiteral("Export Items")
                                  : QStringLiteral("Export %1 Items").arg(ItemCount));
    const int index = ExportTypeComboBox->findText(ExportTypeName(ChosenType));
    {
        const QSignalBlocker quiet(ExportTypeComboBox);
        ExportTypeComboBox->setCurrentIndex(index >= 0 ? index : 0);
    }
    ExportTypeComboBoxChange();
}

void TExportChoiceForm::ViewRadioButtonClick(QRadioButton* clicked)
{
    view_ = clicked == ViewRadioButton;
}

void TExportChoiceForm::OKBtnClick()
{
    ChosenName = ExportTypeComboBox->currentText();
    ChosenType = selectedType().value_or(ChosenType);
}

std::optional<TExportType> TExportChoiceForm::selectedType() const
{
    return ExportTypeOfName(ExportTypeComboBox->currentText());
}

void TExportChoiceForm::ExportTypeComboBoxChange()
{
    const std::optional<TExportType> type = selectedType();
    const bool clipboard = type == TExportType::xClipboard;
    FileRadioButton->setEnabled(!clipboard);
    // The caller's own formats (the log for other programs) are saved to a file only.
    ViewRadioButton->setEnabled(FileRadioButton->isEnabled() && type && canView_ &&
                                canView_(*type));
    if (ViewRadioButton->isEnabled() || clipboard) {
        ViewRadioButton->setChecked(true);
        view_ = true;
        showIcon(*type);
    } else {
        FileRadioButton->setChecked(true);
        view_ = false;
        Image1->clear();
    }
}

void TExportChoiceForm::showIcon(TExportType type)
{
    const QIcon icon = iconOf_ ? iconOf_(type) : QIcon();
    if (icon.isNull())
        Image1->clear();
    else
        Image1->setPixmap(icon.pixmap(32, 32));
}

} // namespace wl
