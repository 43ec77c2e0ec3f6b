#include "exchange/export/TProgressForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace wl {

namespace {

constexpr int ClientWidth = 263;
constexpr int ClientHeight = 32;
constexpr int PanelHeight = 57;
// The Cancel button beside the bar: the window has no close button, and a long export must be
// stoppable with the mouse as well as with Esc.
constexpr int ButtonWidth = 72;
constexpr int ButtonHeight = 24;
constexpr int ButtonRoom = ButtonWidth + 6;

} // namespace

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent)
{
    FormCreate();
}

void TProgressForm::FormCreate()
{
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(ClientWidth + ButtonRoom, ClientHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false); // drawn as a smooth bar
    layout->addWidget(ProgressBar);
    ExportPanel = new QLabel(this);
    ExportPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ExportPanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ExportPanel->setTextFormat(Qt::PlainText);
    ExportPanel->hide();
    layout->addWidget(ExportPanel);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setFixedSize(ButtonWidth, ButtonHeight);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(CancelButton, 0, Qt::AlignVCenter);
}

std::unique_ptr<TProgressForm> TProgressForm::CreateProgress(const QString& caption,
                                                             const QString& panelText,
                                                             const QString& messageFormat,
                                                             int total, QWidget* parent)
{
    auto form = std::make_unique<TProgressForm>(parent);
    form->ExportPanel->setText(panelText);
    form->setWindowTitle(caption);
    form->messageFormat_ = messageFormat;
    form->started_.start();
    form->divisor_ = total / 25 + 1;
    form->hasCount_ = total >= 0;
    if (!form->hasCount_) {
        form->divisor_ = 1;
        form->ProgressBar->hide();
        form->setFixedSize(ClientWidth + ButtonRoom, PanelHeight);
        form->ExportPanel->show();
    } else {
        form->ProgressBar->setMaximum(total / form->divisor_);
    }
    return form;
}

void TProgressForm::showProgress()
{
    // The owner window is disabled while the export runs, which would disable this window with
    // it and leave Cancel and Esc without effect: a window may be enabled on its own.
    setEnabled(true);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

void TProgressForm::hideProgress()
{
    hiddenByProgram_ = true;
    hide();
    hiddenByProgram_ = false;
}

bool TProgressForm::Step(int n)
{
    if (n % divisor_ != 0)
        return !stopRequested_;
    if (!hasCount_) {
        ExportPanel->setText(panelMessage(n));
        QApplication::processEvents();
    } else {
        QApplication::processEvents();
        ProgressBar->setValue(std::min(ProgressBar->value() + 1, ProgressBar->maximum()));
    }
    return !stopRequested_;
}

QString TProgressForm::panelMessage(int n) const
{
    const double seconds = double(started_.elapsed()) / 1000.0;
    QString text = messageFormat_;
    text.replace(QStringLiteral("%d"), QString::number(n));
    text.replace(QStringLiteral("%.2f"), QString::number(seconds, 'f', 2));
    return text;
}

void TProgressForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Closing only hides the window; the export sees the stop request at its next step.
void TProgressForm::closeEvent(QCloseEvent* event)
{
    if (!hiddenByProgram_)
        stopRequested_ = true;
    event->ignore();
    hide();
}

} // namespace wl
