#include "statsview/TFormStats.h"

#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/DialogService.h"
#include "app/services/Registry.h"
#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"
#include "map/MapSettings.h"
#include "stats/BarChartSvg.h"
#include "stats/StatsEngine.h"
#include "stats/StatsRows.h"
#include "statsview/StatsChart.h"

#include <QApplication>
#include <QBuffer>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace wl {

namespace {

std::vector<stats::Count> hourCounts(const stats::LogStats& s)
{
    std::vector<stats::Count> list;
    for (int h = 0; h < 24; ++h)
        list.push_back(
            {QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')), s.perHour[size_t(h)]});
    return list;
}

std::vector<stats::Count> distanceCounts(const stats::LogStats& s)
{
    std::vector<stats::Count> list;
    for (const stats::DistanceBin& bin : s.distances)
        list.push_back({stats::StatsRows::binLabel(bin), bin.count});
    return list;
}

QString fileStem(const QString& title)
{
    return title.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

} // namespace

TFormStats::TFormStats(TFormMain& main, QWidget* parent)
    : QDialog(parent ? parent : &main), main_(main)
{
    setObjectName(QStringLiteral("FormStats"));
    setWindowTitle(QStringLiteral("Statistics"));
    setModal(false);
    resize(820, 560);
    auto* column = new QVBoxLayout(this);
    LblSummary = new QLabel(this);
    LblSummary->setObjectName(QStringLiteral("LblSummary"));
    LblSummary->setTextFormat(Qt::PlainText);
    LblSummary->setWordWrap(true);
    column->addWidget(LblSummary);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    column->addWidget(Pages, 1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(close);
    column->addLayout(row);
    // A new tab on the main window is a new selection of records.
    if (main_.Tab1)
        connect(main_.Tab1, &QTabBar::currentChanged, this, [this] {
            if (isVisible())
                refresh();
        });
}

stats::StatsQuery TFormStats::query() const
{
    stats::StatsQuery q;
    if (!main_.onAllRecords() && main_.Tab1)
        q.category = main_.Tab1->tabText(main_.Tab1->currentIndex());
    q.lowMHz = main_.settings().lowFrequency;
    q.highMHz = main_.settings().hiFrequency;
    Registry registry(main_.settingsFile().isEmpty() ? Registry::defaultFileName()
                                                     : main_.settingsFile());
    const MapSettings map = MapSettings::read(registry);
    const LocaleInfo locale = LocaleInfo::current();
    const std::optional<double> lat = locale.parseNumber(map.homeLat);
    const std::optional<double> lon = locale.parseNumber(map.homeLon);
    if (lat && lon && std::abs(*lat) <= 90 && std::abs(*lon) <= 180) {
        q.homeKnown = true;
        q.homeLat = *lat;
        q.homeLon = *lon;
    }
    return q;
}

void TFormStats::refresh()
{
    store::Status st;
    {
        WaitCursor wait;
        st = stats::StatsEngine::compute(main_.table(), query(), figures_);
    }
    if (!st) {
        figures_ = stats::LogStats{};
        LblSummary->setText(QStringLiteral("The records could not be counted: ") + st.error);
        Pages->clear();
        return;
    }
    rebuildPages();
}

void TFormStats::rebuildPages()
{
    const int page = Pages->currentIndex();
    while (Pages->count() > 0) {
        QWidget* w = Pages->widget(0);
        Pages->removeTab(0);
        delete w;
    }
    const stats::LogStats& s = figures_;
    if (s.empty()) {
        LblSummary->setText(
            QStringLiteral("There are no records on this tab and in this frequency range."));
        Pages->hide();
        return;
    }
    QStringList summary{s.total == 1 ? QStringLiteral("1 record")
                                     : QStringLiteral("%1 records").arg(s.total)};
    for (const QString& apart :
         {stats::StatsRows::withoutPositionText(s), stats::StatsRows::withoutDateText(s)}) {
        if (!apart.isEmpty())
            summary << apart;
    }
    if (!s.homeKnown)
        summary << QStringLiteral("no home town for distances");
    LblSummary->setText(summary.join(QStringLiteral("; ")));
    Pages->show();
    addChartPage(QStringLiteral("Bands"), s.perBand);
    addChartPage(QStringLiteral("Categories"), s.perCategory);
    addChartPage(QStringLiteral("Months"), s.perMonth);
    addChartPage(QStringLiteral("Hours (UTC)"), hourCounts(s));
    if (s.homeKnown)
        addChartPage(QStringLiteral("Distance"), distanceCounts(s));
    const LocaleInfo locale = LocaleInfo::current();
    std::vector<QStringList> far;
    for (size_t i = 0; i < s.farthest.size(); ++i) {
        const stats::RecordSummary& r = s.farthest[i];
        far.push_back({QString::number(i + 1), locale.formatFixed(r.km, 0),
                       locale.formatFrequency(r.mhz), r.callsign, r.location, r.category});
    }
    if (s.homeKnown)
        addTablePage(QStringLiteral("Farthest"),
                     {QStringLiteral("#"), QStringLiteral("km"), QStringLiteral("MHz"),
                      QStringLiteral("Callsign"), QStringLiteral("Location"),
                      QStringLiteral("Category")},
                     far);
    std::vector<QStringList> all;
    for (const stats::StatsRow& row : stats::StatsRows::rows(s, locale))
        all.push_back({row.section, row.item, row.value});
    addTablePage(QStringLiteral("Figures"),
                 {QStringLiteral("Section"), QStringLiteral("Item"), QStringLiteral("Value")}, all);
    Pages->setCurrentIndex(std::clamp(page, 0, Pages->count() - 1));
}

void TFormStats::addChartPage(const QString& title, const std::vector<stats::Count>& counts)
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* view = new QChartView(StatsChart::bars(title, counts), page);
    view->setObjectName(QStringLiteral("Chart") + fileStem(title));
    column->addWidget(view, 1);
    auto* save = new QPushButton(QStringLiteral("Save Picture..."), page);
    connect(save, &QPushButton::clicked, this,
            [this, title, counts, view] { saveChart(title, counts, view); });
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    column->addLayout(row);
    Pages->addTab(page, title);
}

void TFormStats::addTablePage(const QString& title, const QStringList& header,
                              const std::vector<QStringList>& lines)
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* table = new QTableWidget(int(lines.size()), int(header.size()), page);
    table->setObjectName(QStringLiteral("Table") + fileStem(title));
    table->setHorizontalHeaderLabels(header);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int r = 0; r < int(lines.size()); ++r)
        for (int c = 0; c < int(header.size()); ++c)
            table->setItem(r, c, new QTableWidgetItem(lines[size_t(r)].value(c)));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(table, 1);
    const QString csv = stats::StatsRows::csv(header, lines);
    auto* copy = new QPushButton(QStringLiteral("Copy"), page);
    connect(copy, &QPushButton::clicked, this, [csv] { QApplication::clipboard()->setText(csv); });
    auto* save = new QPushButton(QStringLiteral("Save CSV..."), page);
    connect(save, &QPushButton::clicked, this, [this, title, csv] { saveCsv(title, csv); });
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(copy);
    row->addWidget(save);
    column->addLayout(row);
    Pages->addTab(page, title);
}

bool TFormStats::writeFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void TFormStats::saveChart(const QString& title, const std::vector<stats::Count>& counts,
                           QWidget* view)
{
    QString filter;
    QString path = UiServices::dialogs().saveFileNameAndFilter(
        this, QStringLiteral("Save Chart"),
        QDir(main_.settings().dataBasePath).filePath(fileStem(title)),
        QStringLiteral("PNG Picture (*.png);;SVG Drawing (*.svg)"), filter);
    if (path.isEmpty())
        return;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        suffix =
            filter.contains(QLatin1String("svg")) ? QStringLiteral("svg") : QStringLiteral("png");
        path += QLatin1Char('.') + suffix;
    }
    QByteArray bytes;
    if (suffix == QLatin1String("svg")) {
        bytes = stats::BarChartSvg::write(title, counts);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        view->grab().toImage().save(&buffer, "PNG");
    }
    QString error;
    if (bytes.isEmpty() || !writeFile(path, bytes, error))
        ShowMessage(QStringLiteral("The chart could not be saved as \"%1\".")
                        .arg(QDir::toNativeSeparators(path)),
                    error);
}

void TFormStats::saveCsv(const QString& title, const QString& csv)
{
    QString path = UiServices::dialogs().saveFileName(
        this, QStringLiteral("Save Table"),
        QDir(main_.settings().dataBasePath).filePath(fileStem(title) + QStringLiteral(".csv")),
        QStringLiteral("CSV File (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    QString error;
    if (!writeFile(path, csv.toUtf8(), error))
        ShowMessage(QStringLiteral("The table could not be saved as \"%1\".")
                        .arg(QDir::toNativeSeparators(path)),
                    error);
}

void TFormStats::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Records may have been edited or imported while another window had the focus.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        refresh();
}

} // namespace wl
