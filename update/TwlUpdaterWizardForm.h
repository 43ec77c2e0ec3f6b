#pragma once

#include "update/UpdaterMessages.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace wl {

// The progress of the downloads; modeless. Finish hands over to the replacer; closing asks
// first and then aborts the upgrade.
class TwlUpdaterWizardForm : public QDialog
{
    Q_OBJECT
public:
    TwlUpdaterWizardForm(const UpdaterMessages& messages, const QString& programTitle,
                         bool stayOnTop, QWidget* parent = nullptr);

    void setFile(const QString& url, const QString& allDownloading);
    void setFileSize(const QString& text);
    void setProgress(int filePercent, int totalPercent, const QString& rate,
                     const QString& timeLeft);
    void showFinalPage(const QString& title, const QString& note);
    // Closes without asking: the upgrade itself is done with the wizard.
    void closeQuietly();

    QLabel* WizardTitle = nullptr;
    QLabel* AfterNote = nullptr;
    QGroupBox* LCurrentFile = nullptr;
    QLabel* LDownloadingFileFrom = nullptr;
    QLineEdit* FileURL = nullptr;
    QLabel* FileSizeLab = nullptr;
    QLabel* TransferRateLab = nullptr;
    QLabel* EstimatedTimeLeftLab = nullptr;
    QProgressBar* ProgressCurrentFile = nullptr;
    QGroupBox* LAllFiles = nullptr;
    QLabel* AllDownloading = nullptr;
    QProgressBar* ProgressAllFiles = nullptr;
    QLabel* AboutLabel = nullptr;
    QPushButton* FinishBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

signals:
    void finishPressed();
    void abortConfirmed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const UpdaterMessages& messages_;
    QString programTitle_;
    bool quiet_ = false;
};

} // namespace wl
