#pragma once

#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace wl {

class TSortableGrid;

namespace rig {
class RigControl;
}

// What one grid row asks the radio for: a frequency, and a mode when the record names one.
struct ScanTarget
{
    qint64 hz = 0; // 0: the row holds no record
    QString mode;
};

// Tunes the radio to each row of a grid in the grid's order and listens there for the dwell
// time, selecting the row and keeping it in view. It can be paused, resumed, skipped ahead and
// stopped; it stops by itself at the end of the list, on a key press in the grid, when the
// radio refuses a frequency, and (when asked) on a signal stronger than the set level.
class ScanController : public QObject
{
    Q_OBJECT
public:
    using TargetOfRow = std::function<ScanTarget(int row)>;

    ScanController(TSortableGrid& grid, rig::RigControl& control, TargetOfRow targetOfRow,
                   QObject* parent = nullptr);

    void start(const rig::RigSettings& settings);
    void pause();
    void resume();
    void skip();
    void stop(const QString& why);
    bool running() const { return row_ > 0; }
    bool paused() const { return paused_; }
    int row() const { return row_; }

signals:
    void progress(const QString& text);
    void finished(const QString& why);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void next();
    void tuned(quint64 ticket, const QString& error);
    void heard(const rig::RigState& state);
    int nextRow(int after) const;
    int lastRow() const;

    QPointer<TSortableGrid> grid_;
    rig::RigControl& control_;
    TargetOfRow targetOfRow_;
    rig::RigSettings settings_;
    QTimer dwell_;
    ScanTarget target_;
    int row_ = 0; // the row being listened to, 0 when not scanning
    quint64 ticket_ = 0;
    bool listening_ = false; // tuned, the dwell running or paused
    bool paused_ = false;
    int remainingMs_ = 0;
};

} // namespace wl
