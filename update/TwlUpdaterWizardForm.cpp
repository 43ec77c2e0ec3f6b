#include "update/TwlUpdaterWizardForm.h"

#include "app/Glyphs.h"
#include "app/services/UiServices.h"
#include "update/UpdaterFormParts.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace wl {

namespace {

using M = UpdaterMessages;

// The side picture of the wizard: the program's icon on a deep blue band.
QPixmap sidePicture()
{
    QPixmap picture(118, 218);
    QPainter p(&picture);
    QLinearGradient band(0, 0, 0, 218);
    band.setColorAt(0, QColor(0x10, 0x30, 0x70));
    band.setColorAt(1, QColor(0x30, 0x70, 0xb0));
    p.fillRect(picture.rect(), band);
    p.drawPixmap(27, 30, Glyphs::programIcon().pixmap(64, 64));
    return picture;
}

// A text that can be selected but not typed into.
class ReadOnlyLine : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll))
            QLineEdit::keyPressEvent(event);
    }
};

} // namespace

TwlUpdaterWizardForm::TwlUpdaterWizardForm(const UpdaterMessages& messages,
                                           const QString& programTitle, bool stayOnTop,
                                           QWidget* parent)
    : QDialog(parent), messages_(messages), programTitle_(programTitle)
{
    setObjectName(QStringLiteral("wlUpdaterWizardForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(messages.text(M::WizardCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                   (stayOnTop ? Qt::WindowStaysOnTopHint : Qt::Widget));
    setFixedSize(570, 346);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(sidePicture());
    image->setFrameShape(QFrame::Panel);
    image->setFrameShadow(QFrame::Sunken);
    image->setFixedSize(image->sizeHint());

    WizardTitle = new QLabel(messages.text(M::DownloadingFiles), this);
    QFont titleFont(QStringLiteral("Times New Roman"), 16);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    WizardTitle->setFont(titleFont);
    AfterNote = new QLabel(this);
    AfterNote->setWordWrap(true);
    AfterNote->setTextFormat(Qt::PlainText);

    LCurrentFile = new QGroupBox(QLatin1Char(' ') + messages.text(M::CurrentFile) + ' ', this);
    LDownloadingFileFrom = new QLabel(messages.text(M::DownloadingFrom), LCurrentFile);
    FileURL = new ReadOnlyLine(LCurrentFile);
    FileURL->setFrame(false);
    FileURL->setReadOnly(true);
    FileSizeLab = new QLabel(LCurrentFile);
    TransferRateLab = new QLabel(LCurrentFile);
    EstimatedTimeLeftLab = new QLabel(messages.text(M::Preparing), LCurrentFile);
    ProgressCurrentFile = new QProgressBar(LCurrentFile);
    ProgressCurrentFile->setRange(0, 100);
    auto* current = new QVBoxLayout(LCurrentFile);
    current->addWidget(LDownloadingFileFrom);
    current->addWidget(FileURL);
    auto* figures = new QHBoxLayout;
    figures->addWidget(FileSizeLab);
    figures->addWidget(TransferRateLab);
    current->addLayout(figures);
    current->addWidget(EstimatedTimeLeftLab);
    current->addWidget(ProgressCurrentFile);

    LAllFiles = new QGroupBox(QLatin1Char(' ') + messages.text(M::AllFiles) + ' ', this);
    AllDownloading = new QLabel(LAllFiles);
    ProgressAllFiles = new QProgressBar(LAllFiles);
    ProgressAllFiles->setRange(0, 100);
    auto* all = new QVBoxLayout(LAllFiles);
    all->addWidget(AllDownloading);
    all->addWidget(ProgressAllFiles);

    AboutLabel = new QLabel(QLatin1Char(' ') + M::UpdaterName + ' ', this);
    AboutLabel->setEnabled(false); // the engraved look of a disabled caption
    FinishBtn = new QPushButton(messages.text(M::Next), this);
    FinishBtn->setEnabled(false);
    CancelBtn = new QPushButton(messages.text(M::Cancel), this);
    connect(FinishBtn, &QPushButton::clicked, this, [this] { emit finishPressed(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QWidget::close);

    auto* right = new QVBoxLayout;
    right->addWidget(WizardTitle);
    right->addWidget(AfterNote);
    right->addWidget(LCurrentFile);
    right->addWidget(LAllFiles);
    right->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(image);
    body->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AboutLabel);
    buttons->addStretch();
    buttons->addWidget(FinishBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void TwlUpdaterWizardForm::setFile(const QString& url, const QString& allDownloading)
{
    FileURL->setText(url);
    FileURL->setCursorPosition(0);
    AllDownloading->setText(allDownloading);
    ProgressCurrentFile->setValue(0);
}

void TwlUpdaterWizardForm::setFileSize(const QString& text)
{
    FileSizeLab->setText(text);
}

void TwlUpdaterWizardForm::setProgress(int filePercent, int totalPercent, const QString& rate,
                                       const QString& timeLeft)
{
    ProgressCurrentFile->setValue(filePercent);
    ProgressAllFiles->setValue(totalPercent);
    TransferRateLab->setText(rate);
    EstimatedTimeLeftLab->setText(timeLeft);
}

void TwlUpdaterWizardForm::showFinalPage(const QString& title, const QString& note)
{
    WizardTitle->setText(title);
    AfterNote->setText(withLineFeeds(note));
    LCurrentFile->hide();
    LAllFiles->hide();
    CancelBtn->setEnabled(false);
    FinishBtn->setText(messages_.text(M::Ok));
    FinishBtn->setEnabled(true);
    FinishBtn->setDefault(true);
    FinishBtn->setFocus();
}

void TwlUpdaterWizardForm::closeQuietly()
{
    quiet_ = true;
    close();
}

void TwlUpdaterWizardForm::closeEvent(QCloseEvent* event)
{
    if (quiet_) {
        event->accept();
        return;
    }
    MessageRequest question;
    question.caption = programTitle_;
    question.text = withLineFeeds(messages_.text(M::AbortQuestion));
    question.kind = MessageKind::Confirmation;
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    if (UiServices::ask(question) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    emit abortConfirmed();
}

} // namespace wl
