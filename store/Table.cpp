#include "store/Table.h"

#include "store/FilterParser.h"
#include "store/TableEngine.h"
#include "store/TableRepair.h"
#include "store/TableView.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace wl::store {

namespace {
const QString NotOpen = QStringLiteral("The table is not open.");
const QString NoRecord = QStringLiteral("There is no current record.");
} // namespace

struct Table::Impl
{
    using Seek = TableView::Seek;

    QString folder;
    QString tableName;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    QString lastError;

    TableEngine engine;
    TableView view;
    QString indexName;
    bool rangeOn = false;
    double low = 0;
    double high = 0;
    QString filterText;
    CompiledFilter filter;
    bool filterOn = false;

    SqliteStatement walks[3];        // by Seek None, After, AtOrAfter; prepared when first needed
    SqliteStatement* live = nullptr; // a walk that stands just after the current record
    bool hasCurrent = false;
    bool atEof = true;
    // The current record, memos as markers. While rowLive is set its values are still in the
    // live walk and are read from there only when asked for, which keeps a long walk cheap.
    TableEngine::Row row;
    bool rowLive = false;
    QVariant curKey;
    qint64 curRecNum = 0;
    std::vector<QVariant> memos; // memo texts read so far for the current record
    std::vector<bool> memoRead;

    EditState state = EditState::Browse;
    TableEngine::Row buffer;
    std::vector<bool> changed;

    Status fail(Status st)
    {
        if (!st)
            lastError = st.error;
        return st;
    }
    Status fail(const QString& reason) { return fail(Status::failure(reason)); }

    bool isOpen() const { return engine.isOpen(); }
    const TableSchema& schema() const { return engine.schema(); }
    int recNumField() const { return schema().recNumField(); }
    qint64 currentRecNum() const { return hasCurrent ? curRecNum : 0; }

    QVariant value(int field) const
    {
        return rowLive ? engine.valueAt(*live, field) : row[size_t(field)];
    }

    void materialize()
    {
        if (rowLive && live)
            engine.rowFromStatement(*live, row);
        rowLive = false;
    }

    // Forgets prepared walks after the index, range or filter changed.
    void resetView()
    {
        stopWalk();
        for (auto& w : walks)
            w = {};
        if (!isOpen())
            return;
        view.setSchema(&engine.schema());
        view.setRange(rangeOn, low, high);
        view.setFilter(filter, filterOn);
    }

    void stopWalk()
    {
        materialize();
        if (live)
            live->reset();
        live = nullptr;
    }

    void markNewCurrent()
    {
        hasCurrent = true;
        atEof = false;
        const size_t n = schema().fields().size();
        memos.assign(n, QVariant());
        memoRead.assign(n, false);
    }

    void setCurrent(const TableEngine::Row& values)
    {
        row = values;
        rowLive = false;
        curRecNum = row[size_t(recNumField())].toLongLong();
        curKey = view.keyOf(row);
        markNewCurrent();
    }

    void setCurrentFromLive()
    {
        rowLive = true;
        curRecNum = live->columnInt(recNumField());
        const int index = view.index();
        curKey =
            schema().isSecondary(index) ? value(schema().indexField(index)) : QVariant(curRecNum);
        markNewCurrent();
    }

    Status startWalk(Seek seek, const QVariant& key = {}, qint64 recNum = 0)
    {
        stopWalk();
        SqliteStatement& w = walks[int(seek)];
        if (!w.isValid()) {
            w = engine.db().prepare(view.selectRows(seek));
            if (!w.isValid())
                return fail(w.prepareError());
        }
        view.bind(w, key, recNum);
        live = &w;
        return Status::success();
    }

    // Steps the live walk. At its end the current record stays and eof is set; when
    // keepCurrent is false there is then no current record at all.
    Status fetch(bool keepCurrent)
    {
        const bool wasLive = rowLive;
        const int rc = live->step();
        if (rc == SQLITE_ROW) {
            setCurrentFromLive();
            return Status::success();
        }
        // The reason is taken now: reading the current record again below replaces it.
        const Status result = rc == SQLITE_DONE
                                  ? Status::success()
                                  : engine.failure(QStringLiteral("Cannot read the table"));
        // The walk has left the current record behind; read it again where it is kept.
        rowLive = false;
        live->reset();
        live = nullptr;
        atEof = true;
        if (!keepCurrent)
            hasCurrent = false;
        else if (wasLive && hasCurrent) {
            Status st;
            if (!engine.readRow(curRecNum, row, st))
                hasCurrent = false;
        }
        return fail(result);
    }

    // Every use of the table but a bulk append sees the index entries of appended records.
    Status checkOpen()
    {
        if (!isOpen())
            return fail(NotOpen);
        return fail(engine.settleIndexes());
    }

    // Runs a query of the view and hands each of its rows to row, which returns false to stop.
    Status eachRow(const QString& sql, const std::function<bool(const SqliteStatement&)>& row)
    {
        SqliteStatement st = engine.db().prepare(sql);
        if (!st.isValid())
            return fail(st.prepareError());
        view.bind(st);
        int rc = SQLITE_ROW;
        while ((rc = st.step()) == SQLITE_ROW) {
            if (!row(st))
                return Status::success();
        }
        if (rc != SQLITE_DONE)
            return fail(engine.failure(QStringLiteral("Cannot read the table")));
        return Status::success();
    }

    // Posts a pending edit before the cursor moves, as a table handle does.
    Status checkBrowse()
    {
        if (Status st = checkOpen(); !st)
            return st;
        return state == EditState::Browse ? Status::success() : post();
    }

    Status first()
    {
        if (Status st = checkBrowse(); !st)
            return st;
        if (Status st = startWalk(Seek::None); !st)
            return st;
        return fetch(false);
    }

    Status next()
    {
        if (Status st = checkBrowse(); !st)
            return st;
        if (!hasCurrent) {
            atEof = true;
            return Status::success();
        }
        if (!live) {
            if (Status st = startWalk(Seek::After, curKey, currentRecNum()); !st)
                return st;
        }
        return fetch(true);
    }

    // Finds the record `distance` places before the position (key, recNum), or the first
    // visible one when fewer records lie before it.
    Status seekBackward(const QVariant& fromKey, qint64 fromRecNum, qint64 distance, qint64& moved)
    {
        moved = 0;
        SqliteStatement before = engine.db().prepare(view.selectKeysBefore());
        if (!before.isValid())
            return fail(before.prepareError());
        view.bind(before, fromKey, fromRecNum);
        QVariant key;
        qint64 recNum = 0;
        int rc = SQLITE_DONE;
        while (moved < distance && (rc = before.step()) == SQLITE_ROW) {
            key = before.column(0);
            recNum = before.columnInt(1);
            ++moved;
        }
        if (moved < distance && rc != SQLITE_DONE)
            return fail(engine.failure(QStringLiteral("Cannot read the table")));
        if (moved == 0)
            return Status::success();
        if (Status st = startWalk(Seek::AtOrAfter, key, recNum); !st)
            return st;
        return fetch(true);
    }

    qint64 moveBy(qint64 distance)
    {
        if (!checkBrowse() || distance == 0)
            return 0;
        qint64 moved = 0;
        if (distance > 0) {
            while (moved < distance && next() && !atEof)
                ++moved;
            return moved;
        }
        if (!hasCurrent)
            return 0;
        seekBackward(curKey, currentRecNum(), -distance, moved);
        return -moved;
    }

    // Moves to a neighbour of a record that is gone: the next visible one, else the one before.
    Status restOnNeighbour(const QVariant& key, qint64 recNum)
    {
        if (Status st = startWalk(Seek::After, key, recNum); !st)
            return st;
        if (Status st = fetch(false); !st || hasCurrent)
            return st;
        qint64 moved = 0;
        Status st = seekBackward(key, recNum, 1, moved);
        if (moved == 0) {
            hasCurrent = false;
            atEof = true;
        }
        return st;
    }

    Status locate(qint64 recNum)
    {
        if (Status st = checkBrowse(); !st)
            return st;
        TableEngine::Row values;
        Status st;
        if (!engine.readRow(recNum, values, st))
            return fail(st ? Status::failure(QStringLiteral("Record %1 not found.").arg(recNum))
                           : st);
        stopWalk();
        setCurrent(values);
        return Status::success();
    }

    QVariant memoValue(int field)
    {
        if (value(field).isNull())
            return {};
        if (!memoRead[size_t(field)]) {
            Status st;
            memos[size_t(field)] = engine.readMemo(field, currentRecNum(), st);
            if (!st) {
                fail(st);
                return {};
            }
            memoRead[size_t(field)] = true;
        }
        return memos[size_t(field)];
    }

    QVariant fieldValue(int f)
    {
        if (!isOpen() || f < 0 || f >= int(schema().fields().size()))
            return {};
        if (state != EditState::Browse)
            return buffer[size_t(f)];
        if (!hasCurrent)
            return {};
        if (schema().fields()[size_t(f)].type == FieldType::Memo)
            return memoValue(f);
        return value(f);
    }

    // The current record with its memo texts, as an edit buffer.
    TableEngine::Row currentWithMemos()
    {
        materialize();
        TableEngine::Row values = row;
        const auto& defs = schema().fields();
        for (int f = 0; f < int(defs.size()); ++f) {
            if (defs[size_t(f)].type == FieldType::Memo)
                values[size_t(f)] = memoValue(f);
        }
        return values;
    }

    Status post()
    {
        if (Status st = checkOpen(); !st)
            return st;
        if (state == EditState::Browse)
            return Status::success();
        if (Status st = engine.checkRequired(buffer); !st)
            return fail(st);
        stopWalk();
        qint64 recNum = state == EditState::Edit ? currentRecNum() : 0;
        Status st;
        if (state == EditState::Insert) {
            st = engine.write([&](qint64& delta) {
                delta = 1;
                return engine.insertRow(buffer, recNum);
            });
        } else {
            std::vector<int> fieldsChanged;
            for (int f = 0; f < int(changed.size()); ++f) {
                if (changed[size_t(f)])
                    fieldsChanged.push_back(f);
            }
            if (!fieldsChanged.empty())
                st = engine.write(
                    [&](qint64&) { return engine.updateRow(recNum, fieldsChanged, buffer); });
        }
        if (!st)
            return fail(st);
        state = EditState::Browse;
        TableEngine::Row values;
        if (engine.readRow(recNum, values, st))
            setCurrent(values);
        return fail(st);
    }

    Status setFieldValue(const QString& name, const QVariant& value)
    {
        if (Status st = checkOpen(); !st)
            return st;
        if (state == EditState::Browse)
            return fail(QStringLiteral("The table is not in edit or insert mode."));
        const int f = schema().fieldIndex(name);
        if (f < 0)
            return fail(QStringLiteral("Field '%1' not found.").arg(name));
        QVariant normalized;
        if (Status st = engine.normalize(f, value, normalized); !st)
            return fail(st);
        buffer[size_t(f)] = normalized;
        changed[size_t(f)] = true;
        return Status::success();
    }

    Status removeRecord(qint64 recNum)
    {
        const bool isCurrent = hasCurrent && recNum == currentRecNum();
        const QVariant key = isCurrent ? curKey : QVariant();
        stopWalk();
        Status st = engine.write([&](qint64& delta) {
            delta = -1;
            return engine.deleteRow(recNum);
        });
        if (!st)
            return fail(st);
        if (isCurrent) {
            state = EditState::Browse;
            return restOnNeighbour(key, recNum);
        }
        return st;
    }

    // After a rollback the current record may be gone: keep it when it still exists.
    void refreshCurrent()
    {
        stopWalk();
        if (!hasCurrent)
            return;
        TableEngine::Row values;
        Status st;
        if (engine.readRow(currentRecNum(), values, st))
            setCurrent(values);
        else
            restOnNeighbour(curKey, currentRecNum());
    }

    std::optional<ResolvedField> resolve(const TableSchema& s, const QString& name) const
    {
        const int f = s.fieldIndex(name);
        if (f < 0)
            return std::nullopt;
        return ResolvedField{QStringLiteral("r.") + s.column(f), s.fields()[size_t(f)].type};
    }

    Status compileFilter(const QString& expression, CompiledFilter& out)
    {
        out = {};
        if (expression.trimmed().isEmpty())
            return Status::success();
        QString error;
        auto tree = FilterParser::parse(expression, error);
        if (!tree)
            return Status::failure(QStringLiteral("Invalid filter: %1").arg(error));
        const TableSchema defined(fields, indexes);
        const TableSchema& s = isOpen() ? schema() : defined;
        const auto resolver = [&](const QString& name) { return resolve(s, name); };
        if (!FilterCompiler::compile(*tree, resolver, TableView::FirstFilterParam, out, error))
            return Status::failure(QStringLiteral("Invalid filter: %1").arg(error));
        return Status::success();
    }

    // The SQL engine has limits of its own beyond those the parser knows of: a filter is taken
    // only when the queries that walk and count through it can be prepared.
    Status checkUsable(const CompiledFilter& candidate)
    {
        if (!isOpen() || candidate.sql.isEmpty())
            return Status::success();
        TableView probe = view;
        probe.setSchema(&schema());
        probe.setFilter(candidate, true);
        for (const QString& sql : {probe.selectRows(Seek::After), probe.count()}) {
            if (SqliteStatement st = engine.db().prepare(sql); !st.isValid())
                return Status::failure(QStringLiteral("Invalid filter: %1").arg(st.prepareError()));
        }
        return Status::success();
    }

    Status applyIndexName()
    {
        if (indexName.isEmpty()) {
            view.setIndex(-1);
            return Status::success();
        }
        const int i = schema().indexByName(indexName);
        if (i < 0)
            return Status::failure(QStringLiteral("Index '%1' not found.").arg(indexName));
        view.setIndex(i);
        return Status::success();
    }

    // Applies a changed index, range or filter to an open table and moves to the first record.
    Status viewChanged()
    {
        resetView();
        return isOpen() ? first() : Status::success();
    }

    Status open(bool readOnly)
    {
        if (isOpen())
            return Status::success();
        if (Status st = engine.open(TableFiles(folder, tableName), readOnly); !st)
            return fail(st);
        fields = schema().fields();
        indexes = schema().indexes();
        if (Status st = applyIndexName(); !st) {
            engine.close();
            return fail(st);
        }
        // A filter set before opening is checked again against the table's own fields.
        if (!compileFilter(filterText, filter) || !checkUsable(filter)) {
            filterText.clear();
            filter = {};
        }
        state = EditState::Browse;
        // A table whose records cannot be read is not open: no write may reach it.
        if (Status st = viewChanged(); !st) {
            close();
            return fail(QStringLiteral("The table is damaged: %1").arg(st.error));
        }
        return Status::success();
    }

    void close()
    {
        stopWalk();
        for (auto& w : walks)
            w = {};
        engine.close();
        hasCurrent = false;
        atEof = true;
        state = EditState::Browse;
    }
};

Table::Table() : d(std::make_unique<Impl>()) {}

Table::~Table()
{
    close();
}

void Table::setDatabaseName(const QString& folder)
{
    d->folder = folder;
}

void Table::setTableName(const QString& fileName)
{
    d->tableName = fileName;
}

QString Table::databaseName() const
{
    return d->folder;
}

QString Table::tableName() const
{
    return d->tableName;
}

void Table::clearDefinitions()
{
    d->fields.clear();
    d->indexes.clear();
}

void Table::addFieldDef(const FieldDef& field)
{
    d->fields.push_back(field);
}

void Table::addIndexDef(const IndexDef& index)
{
    d->indexes.push_back(index);
}

const std::vector<FieldDef>& Table::fieldDefs() const
{
    return d->fields;
}

const std::vector<IndexDef>& Table::indexDefs() const
{
    return d->indexes;
}

void Table::copyDefinitionsFrom(const Table& other)
{
    d->fields = other.d->fields;
    d->indexes = other.d->indexes;
}

bool Table::exists() const
{
    return !d->tableName.isEmpty() && TableFiles(d->folder, d->tableName).exists();
}

Status Table::createTable()
{
    if (d->tableName.isEmpty())
        return d->fail(QStringLiteral("The table has no file name."));
    return d->fail(TableFiles(d->folder, d->tableName).create(TableSchema(d->fields, d->indexes)));
}

Status Table::open()
{
    return d->open(false);
}

Status Table::openForReading()
{
    return d->open(true);
}

void Table::close()
{
    d->close();
}

bool Table::isOpen() const
{
    return d->isOpen();
}

QString Table::lastError() const
{
    return d->lastError;
}

Status Table::setIndexName(const QString& name)
{
    if (d->isOpen()) {
        if (Status st = d->checkBrowse(); !st)
            return st;
    }
    const QString previous = d->indexName;
    d->indexName = name;
    if (d->isOpen()) {
        if (Status st = d->applyIndexName(); !st) {
            d->indexName = previous;
            return d->fail(st);
        }
    } else if (!name.isEmpty() && TableSchema(d->fields, d->indexes).indexByName(name) < 0 &&
               !d->indexes.empty()) {
        d->indexName = previous;
        return d->fail(QStringLiteral("Index '%1' not found.").arg(name));
    }
    d->rangeOn = false;
    return d->viewChanged();
}

Status Table::setRange(double low, double high)
{
    if (d->isOpen()) {
        if (Status st = d->checkBrowse(); !st)
            return st;
    }
    d->rangeOn = true;
    d->low = low;
    d->high = high;
    return d->viewChanged();
}

void Table::cancelRange()
{
    if (d->isOpen() && !d->checkBrowse())
        return;
    d->rangeOn = false;
    d->viewChanged();
}

Status Table::setFilter(const QString& expression)
{
    if (d->isOpen()) {
        if (Status st = d->checkBrowse(); !st)
            return st;
    }
    CompiledFilter compiled;
    if (Status st = d->compileFilter(expression, compiled); !st)
        return d->fail(st);
    if (Status st = d->checkUsable(compiled); !st)
        return d->fail(st);
    d->filterText = expression;
    d->filter = compiled;
    if (!d->filterOn) {
        d->resetView();
        return Status::success();
    }
    return d->viewChanged();
}

QString Table::filter() const
{
    return d->filterText;
}

Status Table::setFiltered(bool on)
{
    if (d->isOpen()) {
        if (Status st = d->checkBrowse(); !st)
            return st;
    }
    d->filterOn = on;
    return d->viewChanged();
}

bool Table::filtered() const
{
    return d->filterOn;
}

Status Table::first()
{
    return d->first();
}

Status Table::next()
{
    return d->next();
}

bool Table::eof() const
{
    return !d->isOpen() || d->atEof;
}

qint64 Table::moveBy(qint64 distance)
{
    return d->moveBy(distance);
}

qint64 Table::recordCount()
{
    if (!d->checkOpen())
        return -1;
    SqliteStatement st = d->engine.db().prepare(d->view.count());
    if (!st.isValid()) {
        d->fail(st.prepareError());
        return -1;
    }
    d->view.bind(st);
    if (st.step() != SQLITE_ROW) {
        d->fail(d->engine.failure(QStringLiteral("Cannot count the records")));
        return -1;
    }
    return st.columnInt(0);
}

QVariant Table::fieldValue(const QString& name) const
{
    return d->fieldValue(fieldNumber(name));
}

int Table::fieldNumber(const QString& name) const
{
    return d->isOpen() ? d->schema().fieldIndex(name) : -1;
}

QVariant Table::fieldValueAt(int field) const
{
    return d->fieldValue(field);
}

qint64 Table::recNum() const
{
    return d->isOpen() && d->state != EditState::Insert ? d->currentRecNum() : 0;
}

Table::EditState Table::state() const
{
    return d->state;
}

Status Table::append()
{
    if (Status st = d->checkBrowse(); !st)
        return st;
    d->stopWalk();
    d->buffer.assign(d->schema().fields().size(), QVariant());
    d->changed.assign(d->buffer.size(), false);
    d->state = EditState::Insert;
    return Status::success();
}

Status Table::edit()
{
    if (Status st = d->checkOpen(); !st)
        return st;
    if (d->state != EditState::Browse)
        return Status::success();
    if (!d->hasCurrent)
        return d->fail(NoRecord);
    d->buffer = d->currentWithMemos();
    d->changed.assign(d->buffer.size(), false);
    d->state = EditState::Edit;
    return Status::success();
}

Status Table::setFieldValue(const QString& name, const QVariant& value)
{
    return d->setFieldValue(name, value);
}

Status Table::post()
{
    return d->post();
}

void Table::cancel()
{
    d->state = EditState::Browse;
    d->buffer.clear();
    d->changed.clear();
}

Status Table::deleteRecord()
{
    if (Status st = d->checkOpen(); !st)
        return st;
    if (d->state == EditState::Insert) {
        cancel();
        return Status::success();
    }
    if (!d->hasCurrent)
        return d->fail(NoRecord);
    return d->removeRecord(d->currentRecNum());
}

qint64 ScannedRecord::recNum() const
{
    return st_.columnInt(0);
}

bool ScannedRecord::isNull(int i) const
{
    return st_.isNull(i + 1);
}

std::string_view ScannedRecord::utf8(int i) const
{
    return st_.columnUtf8(i + 1);
}

double ScannedRecord::number(int i) const
{
    return st_.columnDouble(i + 1);
}

qint64 ScannedRecord::integer(int i) const
{
    return st_.columnInt(i + 1);
}

Status Table::visibleOrder(std::vector<qint64>& recNums)
{
    recNums.clear();
    if (Status st = d->checkOpen(); !st)
        return st;
    const TableSchema& schema = d->schema();
    // The filter needs the records' fields: one pass through the records in stored order marks
    // the ones passing it, which the index walk then keeps.
    const bool filtering = d->filterOn && !d->filter.sql.isEmpty();
    std::vector<bool> passing;
    if (filtering) {
        const QString recNum = QStringLiteral("r.") + schema.column(schema.recNumField());
        const auto mark = [&](const SqliteStatement& row) {
            const qint64 number = row.columnInt(0);
            if (number >= 0) {
                if (size_t(number) >= passing.size())
                    passing.resize(size_t(number) + 1);
                passing[size_t(number)] = true;
            }
            return true;
        };
        const Status st = d->eachRow(d->view.selectRecords(recNum), mark);
        if (!st)
            return st;
    }
    const Status st = d->eachRow(d->view.selectOrder(), [&](const SqliteStatement& row) {
        const qint64 number = row.columnInt(0);
        if (!filtering ||
            (number >= 0 && size_t(number) < passing.size() && passing[size_t(number)]))
            recNums.push_back(number);
        return true;
    });
    if (!st)
        recNums.clear();
    return st;
}

Status Table::scanRecords(const std::vector<int>& fields,
                         const std::function<bool(const ScannedRecord&)>& visit)
{
    if (Status st = d->checkOpen(); !st)
        return st;
    const TableSchema& schema = d->schema();
    const QString recNum = QStringLiteral("r.") + schema.column(schema.recNumField());
    QStringList columns{recNum};
    for (int f : fields) {
        if (f < 0 || f >= int(schema.fields().size()))
            return d->fail(QStringLiteral("Unknown field."));
        const QString column = QStringLiteral("r.") + schema.column(f);
        if (schema.fields()[size_t(f)].type != FieldType::Memo) {
            columns << column;
            continue;
        }
        // The note is looked up only for records that have one, in record-number order, so
        // the notes' file is read in order too.
        columns << QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE (SELECT content FROM %2 "
                                  "WHERE RecNum = %3) END")
                       .arg(column, schema.memoTable(f), recNum);
    }
    return d->eachRow(d->view.selectRecords(columns.join(u", ")),
                      [&](const SqliteStatement& row) { return visit(ScannedRecord(row)); });
}

Status Table::locate(qint64 recNum)
{
    return d->locate(recNum);
}

Status Table::deleteByRecNum(qint64 recNum)
{
    if (Status st = d->checkOpen(); !st)
        return st;
    if (d->state == EditState::Edit && recNum == d->currentRecNum())
        cancel();
    return d->removeRecord(recNum);
}

Status Table::readField(qint64 recNum, const QString& name, QVariant& value)
{
    value = QVariant();
    if (Status st = d->checkOpen(); !st)
        return st;
    const int f = d->schema().fieldIndex(name);
    if (f < 0)
        return d->fail(QStringLiteral("Field '%1' not found.").arg(name));
    TableEngine::Row values;
    Status st;
    if (!d->engine.readRow(recNum, values, st))
        return d->fail(st ? Status::failure(QStringLiteral("Record %1 not found.").arg(recNum))
                          : st);
    if (d->schema().fields()[size_t(f)].type == FieldType::Memo && !values[size_t(f)].isNull()) {
        value = d->engine.readMemo(f, recNum, st);
        return d->fail(st);
    }
    value = values[size_t(f)];
    return Status::success();
}

Status Table::updateByRecNum(qint64 recNum, const std::vector<std::pair<QString, QVariant>>& values)
{
    if (Status st = d->checkOpen(); !st)
        return st;
    TableEngine::Row row(d->schema().fields().size());
    std::vector<int> fields;
    for (const auto& [name, value] : values) {
        const int f = d->schema().fieldIndex(name);
        if (f < 0)
            return d->fail(QStringLiteral("Field '%1' not found.").arg(name));
        if (Status st = d->engine.normalize(f, value, row[size_t(f)]); !st)
            return d->fail(st);
        const FieldDef& def = d->schema().fields()[size_t(f)];
        if (def.required && row[size_t(f)].isNull())
            return d->fail(QStringLiteral("Field '%1' must have a value.").arg(def.name));
        fields.push_back(f);
    }
    if (fields.empty())
        return Status::success();
    d->stopWalk();
    Status st = d->engine.write([&](qint64&) { return d->engine.updateRow(recNum, fields, row); });
    if (!st)
        return d->fail(st);
    if (d->state == EditState::Browse && d->hasCurrent && recNum == d->currentRecNum())
        d->refreshCurrent();
    return st;
}

Status Table::beginTransaction()
{
    if (Status st = d->checkBrowse(); !st)
        return st;
    d->stopWalk();
    return d->fail(d->engine.beginTransaction());
}

Status Table::commit()
{
    if (Status st = d->checkBrowse(); !st)
        return st;
    d->stopWalk();
    Status st = d->engine.commit();
    if (!st)
        d->refreshCurrent();
    return d->fail(st);
}

Status Table::rollback()
{
    if (Status st = d->checkOpen(); !st)
        return st;
    d->stopWalk();
    Status st = d->engine.rollback();
    d->refreshCurrent();
    return d->fail(st);
}

bool Table::inTransaction() const
{
    return d->engine.inTransaction();
}

Status Table::bulkAppend(const std::vector<std::vector<QVariant>>& rows)
{
    if (!d->isOpen())
        return d->fail(NotOpen);
    BulkRows bulk(d->schema().fields());
    for (const std::vector<QVariant>& row : rows)
        bulk.addRow(row);
    return bulkAppendTyped(bulk);
}

Status Table::bulkAppendTyped(const BulkRows& rows)
{
    if (!d->isOpen())
        return d->fail(NotOpen);
    if (d->state != EditState::Browse) {
        if (Status st = d->post(); !st)
            return st;
    }
    d->stopWalk();
    return d->fail(d->engine.write([&](qint64& delta) {
        delta = qint64(rows.rowCount());
        return d->engine.appendRows(rows);
    }));
}

Status Table::setMapped(bool mapped)
{
    if (!d->isOpen())
        return d->fail(NotOpen);
    d->stopWalk();
    return d->fail(TableFiles::setMapped(d->engine.db(), mapped));
}

RepairResult Table::repair(const QString& folder, const QString& tableName)
{
    return TableRepair(TableFiles(folder, tableName)).run();
}

} // namespace wl::store
