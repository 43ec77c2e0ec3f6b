#pragma once

#include "stats/LogStats.h"
#include "stats/StatsQuery.h"

#include <QDialog>

class QLabel;
class QTabWidget;
class QTableWidget;

namespace wl {

class TFormMain;

// The statistics window: charts by band, category, month, hour and distance from home, and
// tables of the farthest records and of every figure. It counts what the main window's tab
// and frequency range show, and counts again whenever it becomes active, so edits and imports
// made meanwhile appear.
class TFormStats : public QDialog
{
    Q_OBJECT
public:
    explicit TFormStats(TFormMain& main, QWidget* parent = nullptr);

    // Counts again for the main window's current tab and range.
    void refresh();
    const stats::LogStats& figures() const { return figures_; }
    // The query the main window's state gives, home town included.
    stats::StatsQuery query() const;

    QLabel* LblSummary = nullptr;
    QTabWidget* Pages = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuildPages();
    void addChartPage(const QString& title, const std::vector<stats::Count>& counts);
    void addTablePage(const QString& title, const QStringList& header,
                      const std::vector<QStringList>& lines);
    void saveChart(const QString& title, const std::vector<stats::Count>& counts, QWidget* view);
    void saveCsv(const QString& title, const QString& csv);
    bool writeFile(const QString& path, const QByteArray& bytes, QString& error);

    TFormMain& main_;
    stats::LogStats figures_;
};

} // namespace wl
