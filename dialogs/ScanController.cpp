#include "dialogs/ScanController.h"

#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "rig/RigControl.h"
#include "rig/RigFrequency.h"

#include <QEvent>

namespace wl {

ScanController::ScanController(TSortableGrid& grid, rig::RigControl& control,
                               TargetOfRow targetOfRow, QObject* parent)
    : QObject(parent), grid_(&grid), control_(control), targetOfRow_(std::move(targetOfRow)),
      dwell_(this)
{
    dwell_.setSingleShot(true);
    connect(&dwell_, &QTimer::timeout, this, &ScanController::next);
    connect(&control_, &rig::RigControl::tuneFinished, this, &ScanController::tuned);
    connect(&control_, &rig::RigControl::stateChanged, this, &ScanController::heard);
}

void ScanController::start(const rig::RigSettings& settings)
{
    stop(QString());
    settings_ = settings;
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    next();
}

int ScanController::lastRow() const
{
    return grid_->RowCount() - 1;
}

int ScanController::nextRow(int after) const
{
    for (int row = std::max(after + 1, grid_->FixedRows()); row <= lastRow(); ++row) {
        if (targetOfRow_(row).hz > 0)
            return row;
    }
    return 0;
}

void ScanController::next()
{
    dwell_.stop();
    listening_ = false;
    paused_ = false;
    const int row = nextRow(row_);
    if (row == 0) {
        stop(row_ == 0 ? QStringLiteral("There is nothing to scan on this tab.")
                       : QStringLiteral("The scan reached the end of the list."));
        return;
    }
    row_ = row;
    target_ = targetOfRow_(row);
    grid_->GoToCell(grid_->Col(), row); // selects the row and scrolls it into view
    emit progress(
        QStringLiteral("Scanning %1 MHz (row %2 of %3)")
            .arg(LocaleInfo::current().formatFrequency(rig::megahertzFromHertz(target_.hz)))
            .arg(row)
            .arg(lastRow()));
    ticket_ = control_.tune(target_.hz, target_.mode);
}

void ScanController::tuned(quint64 ticket, const QString& error)
{
    if (!running() || ticket != ticket_)
        return;
    if (!error.isEmpty()) {
        stop(error);
        return;
    }
    listening_ = true;
    if (paused_)
        remainingMs_ = settings_.dwellSeconds * 1000;
    else
        dwell_.start(settings_.dwellSeconds * 1000);
}

void ScanController::heard(const rig::RigState& state)
{
    if (!running() || !listening_ || !settings_.stopOnSignal || !state.connected)
        return;
    const auto& reading = state.reading;
    if (reading.hz == target_.hz && reading.strength && *reading.strength > settings_.signalLevel)
        stop(QStringLiteral("The scan stopped on a signal at %1 MHz.")
                 .arg(LocaleInfo::current().formatFrequency(rig::megahertzFromHertz(target_.hz))));
}

void ScanController::pause()
{
    if (!running() || paused_)
        return;
    paused_ = true;
    remainingMs_ = dwell_.isActive() ? dwell_.remainingTime() : settings_.dwellSeconds * 1000;
    dwell_.stop();
    emit progress(QStringLiteral("Scan paused"));
}

void ScanController::resume()
{
    if (!running() || !paused_)
        return;
    paused_ = false;
    if (listening_)
        dwell_.start(std::max(0, remainingMs_));
    emit progress(QStringLiteral("Scanning (row %1 of %2)").arg(row_).arg(lastRow()));
}

void ScanController::skip()
{
    if (running())
        next();
}

void ScanController::stop(const QString& why)
{
    const bool was = running();
    dwell_.stop();
    row_ = 0;
    listening_ = false;
    paused_ = false;
    if (grid_) {
        grid_->removeEventFilter(this);
        grid_->viewport()->removeEventFilter(this);
    }
    if (was || !why.isEmpty())
        emit finished(why);
}

bool ScanController::eventFilter(QObject* watched, QEvent* event)
{
    // Any key in the grid ends the scan, and the key still does its own work.
    if (event->type() == QEvent::KeyPress && running())
        stop(QStringLiteral("The scan was stopped by a key press."));
    return QObject::eventFilter(watched, event);
}

} // namespace wl
