#pragma once

#include "exchange/export/ExportHost.h"

#include <QDialog>
#include <QElapsedTimer>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace wl {

// The progress window of an export: a bar that moves in at most about 25 steps when the item
// count is known, else a panel counting the items and seconds, and a Cancel button. Cancel, Esc
// or closing the window hides it and stops the export at the next step.
class TProgressForm : public QDialog, public ExportProgress
{
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);

    // A progress window, not yet shown; a negative total means the count is unknown.
    static std::unique_ptr<TProgressForm> CreateProgress(const QString& caption,
                                                         const QString& panelText,
                                                         const QString& messageFormat, int total,
                                                         QWidget* parent = nullptr);
    // Item n is done; false when the user asked to stop.
    bool Step(int n);
    int Divisor() const { return divisor_; }
    bool stopRequested() const { return stopRequested_; }

    QProgressBar* ProgressBar = nullptr;
    QLabel* ExportPanel = nullptr;
    QPushButton* CancelButton = nullptr;

    // ExportProgress
    void showProgress() override;
    void hideProgress() override;
    bool step(int n) override { return Step(n); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    QString panelMessage(int n) const;

    QElapsedTimer started_;
    bool hasCount_ = true;
    QString messageFormat_;
    int divisor_ = 1;
    bool stopRequested_ = false;
    bool hiddenByProgram_ = false;
};

} // namespace wl
