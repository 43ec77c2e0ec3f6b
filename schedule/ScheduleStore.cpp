#include "schedule/ScheduleStore.h"

#include <QDir>

#include <sqlite3.h>

namespace wl::schedule {

using store::Status;

namespace {

const char* const Schema = R"(
CREATE TABLE IF NOT EXISTS seasons(code TEXT PRIMARY KEY, source TEXT, imported TEXT);
CREATE TABLE IF NOT EXISTS entries(season TEXT NOT NULL, line INTEGER, khz REAL, start INTEGER,
  stop INTEGER, daymask INTEGER, irregular INTEGER, days TEXT, itu TEXT, station TEXT,
  language TEXT, target TEXT, remarks TEXT, site TEXT, persistence TEXT, startdate TEXT,
  stopdate TEXT);
CREATE INDEX IF NOT EXISTS entries_season ON entries(season, khz);
CREATE TABLE IF NOT EXISTS sites(code TEXT PRIMARY KEY COLLATE NOCASE, name TEXT, lat REAL,
  lon REAL);
)";

// Rolls back an open transaction unless it was committed.
class Transaction
{
public:
    explicit Transaction(store::SqliteDb& db) : db_(db)
    {
        ok_ = bool(db_.exec(QStringLiteral("BEGIN IMMEDIATE")));
    }
    ~Transaction()
    {
        if (ok_ && !committed_)
            db_.exec(QStringLiteral("ROLLBACK"));
    }
    bool started() const { return ok_; }
    Status commit()
    {
        const Status s = db_.exec(QStringLiteral("COMMIT"));
        committed_ = bool(s);
        return s;
    }

private:
    store::SqliteDb& db_;
    bool ok_ = false;
    bool committed_ = false;
};

} // namespace

Status ScheduleStore::failed(const QString& what)
{
    return Status::failure(QStringLiteral("%1: %2").arg(what, db_.errorMessage()));
}

Status ScheduleStore::open(const QString& dataFolder)
{
    const QString path = QDir(dataFolder).filePath(QLatin1String(FileName));
    if (Status s = db_.open(path, QStringLiteral("rwc")); !s)
        return Status::failure(
            QStringLiteral("cannot open %1: %2").arg(QDir::toNativeSeparators(path), s.error));
    return createSchema();
}

Status ScheduleStore::createSchema()
{
    if (Status s = db_.exec(QString::fromLatin1(Schema)); !s) {
        db_.close();
        return Status::failure(
            QStringLiteral("the schedule store cannot be used: %1").arg(s.error));
    }
    return Status::success();
}

Status ScheduleStore::replaceSeason(const StoredSeason& season,
                                    const std::vector<ScheduleEntry>& entries)
{
    Transaction tx(db_);
    if (!tx.started())
        return failed(QStringLiteral("cannot write the schedule store"));
    store::SqliteStatement drop =
        db_.prepare(QStringLiteral("DELETE FROM entries WHERE season = ?"));
    drop.bindText(1, season.season.code);
    if (drop.step() != SQLITE_DONE)
        return failed(QStringLiteral("cannot remove the older schedule"));
    store::SqliteStatement head = db_.prepare(
        QStringLiteral("INSERT OR REPLACE INTO seasons(code, source, imported) VALUES(?, ?, ?)"));
    head.bindText(1, season.season.code);
    head.bindText(2, season.source);
    head.bindText(3, season.imported.toUTC().toString(Qt::ISODate));
    if (head.step() != SQLITE_DONE)
        return failed(QStringLiteral("cannot store the season"));
    store::SqliteStatement insert = db_.prepare(QStringLiteral(
        "INSERT INTO entries VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const ScheduleEntry& e : entries) {
        insert.bindText(1, season.season.code);
        insert.bindInt(2, e.line);
        insert.bindDouble(3, e.khz);
        insert.bindInt(4, e.startMinute);
        insert.bindInt(5, e.stopMinute);
        insert.bindInt(6, e.dayMask);
        insert.bindInt(7, e.irregular ? 1 : 0);
        int column = 8;
        for (const QString* text : {&e.days, &e.itu, &e.station, &e.language, &e.target, &e.remarks,
                                    &e.siteCode, &e.persistence, &e.startDate, &e.stopDate})
            insert.bindText(column++, *text);
        if (insert.step() != SQLITE_DONE)
            return failed(QStringLiteral("cannot store the schedule"));
        insert.reset();
    }
    return tx.commit();
}

Status ScheduleStore::replaceSites(const std::vector<Site>& sites)
{
    Transaction tx(db_);
    if (!tx.started() || !db_.exec(QStringLiteral("DELETE FROM sites")))
        return failed(QStringLiteral("cannot write the schedule store"));
    store::SqliteStatement insert =
        db_.prepare(QStringLiteral("INSERT INTO sites VALUES(?, ?, ?, ?)"));
    for (const Site& s : sites) {
        insert.bindText(1, s.code);
        insert.bindText(2, s.name);
        insert.bindDouble(3, s.lat);
        insert.bindDouble(4, s.lon);
        if (insert.step() != SQLITE_DONE)
            return failed(QStringLiteral("cannot store the sites"));
        insert.reset();
    }
    return tx.commit();
}

std::vector<StoredSeason> ScheduleStore::seasons() const
{
    std::vector<StoredSeason> result;
    store::SqliteStatement q = db_.prepare(QStringLiteral(
        "SELECT code, source, imported, (SELECT count(*) FROM entries WHERE season = code) "
        "FROM seasons"));
    while (q.step() == SQLITE_ROW) {
        const std::optional<Season> season = Season::fromCode(q.columnText(0));
        if (!season)
            continue;
        StoredSeason s{*season, q.columnText(1),
                       QDateTime::fromString(q.columnText(2), Qt::ISODate), int(q.columnInt(3))};
        result.push_back(std::move(s));
    }
    std::sort(result.begin(), result.end(), [](const StoredSeason& a, const StoredSeason& b) {
        return a.season.first < b.season.first;
    });
    return result;
}

std::optional<StoredSeason> ScheduleStore::seasonFor(const QDate& date) const
{
    const std::vector<StoredSeason> kept = seasons();
    if (kept.empty())
        return std::nullopt;
    std::optional<StoredSeason> best;
    for (const StoredSeason& s : kept) {
        if (s.season.contains(date))
            return s;
        if (s.season.first <= date)
            best = s;
    }
    return best ? best : kept.front();
}

std::vector<ScheduleEntry> ScheduleStore::entries(const QString& seasonCode) const
{
    std::vector<ScheduleEntry> result;
    store::SqliteStatement q = db_.prepare(QStringLiteral(
        "SELECT line, khz, start, stop, daymask, irregular, days, itu, station, language, "
        "target, remarks, site, persistence, startdate, stopdate FROM entries WHERE season = ? "
        "ORDER BY khz, start"));
    q.bindText(1, seasonCode);
    while (q.step() == SQLITE_ROW) {
        ScheduleEntry e;
        e.line = int(q.columnInt(0));
        e.khz = q.columnDouble(1);
        e.startMinute = int(q.columnInt(2));
        e.stopMinute = int(q.columnInt(3));
        e.dayMask = std::uint8_t(q.columnInt(4));
        e.irregular = q.columnInt(5) != 0;
        int column = 6;
        for (QString* text : {&e.days, &e.itu, &e.station, &e.language, &e.target, &e.remarks,
                              &e.siteCode, &e.persistence, &e.startDate, &e.stopDate})
            *text = q.columnText(column++);
        result.push_back(std::move(e));
    }
    return result;
}

std::vector<Site> ScheduleStore::sites() const
{
    std::vector<Site> result;
    store::SqliteStatement q =
        db_.prepare(QStringLiteral("SELECT code, name, lat, lon FROM sites ORDER BY code"));
    while (q.step() == SQLITE_ROW)
        result.push_back({q.columnText(0), q.columnText(1), q.columnDouble(2), q.columnDouble(3)});
    return result;
}

std::optional<OnAirLookup> ScheduleStore::lookupFor(const QDate& date, std::optional<LLPoint> home,
                                                    QString* season) const
{
    const std::optional<StoredSeason> used = seasonFor(date);
    if (!used)
        return std::nullopt;
    if (season)
        *season = used->season.code;
    return OnAirLookup(entries(used->season.code), sites(), home);
}

} // namespace wl::schedule
