#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;

namespace wl {

class TSortableGrid;

// The main window while its record list fills: the record count on the status line counts
// up, a progress bar and a Cancel button join the status bar once the fill takes a while, and
// the window takes no input but scrolling the grid and Cancel (Esc too). Anything else could
// start work on the table while the fill is still reading it; closing the window stops the
// fill and is then asked for again by the caller (see closeRequested).
class FillProgress : public QObject
{
public:
    FillProgress(QMainWindow& window, TSortableGrid& grid, QLabel& total);
    ~FillProgress() override;
    FillProgress(const FillProgress&) = delete;
    FillProgress& operator=(const FillProgress&) = delete;

    // The fill's progress report: false once the user has cancelled.
    bool update(qint64 rows, qint64 expected);
    bool closeRequested() const { return closeRequested_; }
    // Stops the fill at its next block, as Cancel does.
    void cancel() { cancelled_ = true; }

    // The count on the status line: plain when the list is complete, else what was read of
    // how many.
    static QString totalText(qint64 rows, qint64 expected, bool cancelled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showBar();
    bool allowed(const QWidget& target, const QEvent& event) const;

    QMainWindow& window_;
    TSortableGrid& grid_;
    QLabel& total_;
    QPointer<QProgressBar> bar_;
    QPointer<QPushButton> cancelButton_;
    QElapsedTimer started_;
    QElapsedTimer sinceEvents_;
    bool cancelled_ = false;
    bool closeRequested_ = false;
};

} // namespace wl
