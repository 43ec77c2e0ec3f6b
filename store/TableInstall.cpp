#include "store/TableInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

namespace wl::store {

namespace {

TableInstall::StepHook& stepHook()
{
    static TableInstall::StepHook hook;
    return hook;
}

QString planPathOf(const TableFiles& files)
{
    return files.tablePath() + QStringLiteral(".install");
}

QString lockPathOf(const TableFiles& files)
{
    return files.tablePath() + QStringLiteral(".install.lock");
}

Status renameReplacing(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec)
        return Status::failure(QStringLiteral("Cannot move %1 to %2: %3")
                                   .arg(QDir::toNativeSeparators(from),
                                        QDir::toNativeSeparators(to),
                                        QString::fromStdString(ec.message())));
    return Status::success();
}

} // namespace

TableInstall::TableInstall(const TableFiles& files)
    : folder_(QFileInfo(files.tablePath()).absolutePath()), planPath_(planPathOf(files)),
      lock_(std::make_unique<QLockFile>(lockPathOf(files)))
{
    // A repair of a large table may hold the lock for long: only a dead holder makes it stale.
    lock_->setStaleLockTime(0);
}

TableInstall::~TableInstall() = default;

void TableInstall::setStepHook(StepHook hook)
{
    stepHook() = std::move(hook);
}

void TableInstall::step(const QString& path)
{
    if (stepHook())
        stepHook()(step_, path);
    ++step_;
}

bool TableInstall::pending(const TableFiles& files)
{
    return QFileInfo::exists(planPathOf(files));
}

Status TableInstall::lock(bool& busy)
{
    busy = false;
    if (lock_->isLocked() || lock_->tryLock(0))
        return Status::success();
    busy = lock_->error() == QLockFile::LockFailedError;
    if (busy)
        return Status::failure(QStringLiteral("The table is in use by another program."));
    return Status::failure(QStringLiteral("Cannot write the lock file %1 in the data folder.")
                               .arg(QDir::toNativeSeparators(lock_->fileName())));
}

Status TableInstall::finishPending(const TableFiles& files, bool& busy)
{
    busy = false;
    if (!pending(files))
        return Status::success();
    TableInstall install(files);
    if (Status st = install.lock(busy); !st)
        return st;
    return install.finishPending();
}

Status TableInstall::finishPending(QStringList* keptAside)
{
    if (!QFileInfo::exists(planPath_))
        return Status::success();
    std::vector<Move> moves;
    if (!readPlan(moves))
        return Status::failure(
            QStringLiteral("The plan %1 of an interrupted repair cannot be read; repair the "
                           "table again.")
                .arg(QDir::toNativeSeparators(planPath_)));
    return carryOut(moves, keptAside);
}

Status TableInstall::install(const std::vector<Move>& moves, QStringList& keptAside)
{
    step(planPath_);
    if (Status st = writePlan(moves); !st)
        return st;
    return carryOut(moves, &keptAside);
}

Status TableInstall::writePlan(const std::vector<Move>& moves)
{
    QSaveFile file(planPath_);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("Cannot write %1: %2")
                                   .arg(QDir::toNativeSeparators(planPath_), file.errorString()));
    const QDir dir(folder_);
    for (const Move& m : moves) {
        const QString line = dir.relativeFilePath(m.fresh) + QLatin1Char('\t') +
                             dir.relativeFilePath(m.target) + QLatin1Char('\t') +
                             (m.keepOld ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n');
        file.write(line.toUtf8());
    }
    if (!file.commit())
        return Status::failure(QStringLiteral("Cannot write %1: %2")
                                   .arg(QDir::toNativeSeparators(planPath_), file.errorString()));
    return Status::success();
}

bool TableInstall::readPlan(std::vector<Move>& moves) const
{
    QFile file(planPath_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QDir dir(folder_);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        // Only names inside the data folder: the plan is a file anyone could have written.
        if (parts.size() != 3 || parts[0].contains(QLatin1Char('/')) ||
            parts[1].contains(QLatin1Char('/')) || parts[0].isEmpty() || parts[1].isEmpty())
            return false;
        moves.push_back(
            {dir.filePath(parts[0]), dir.filePath(parts[1]), parts[2] == QStringLiteral("1")});
    }
    return true;
}

Status TableInstall::carryOut(const std::vector<Move>& moves, QStringList* keptAside)
{
    for (const Move& m : moves) {
        // Its rebuilt file gone, the move was made before an interruption.
        if (!QFileInfo::exists(m.fresh))
            continue;
        if (m.keepOld && QFileInfo::exists(m.target)) {
            const QString aside = TableFiles::freeName(m.target, QStringLiteral(".damaged"));
            step(m.target);
            if (Status st = renameReplacing(m.target, aside); !st)
                return st;
            if (keptAside)
                *keptAside << aside;
            // A journal left by the damaged file stays with it, should anyone examine it.
            const QString journal = m.target + QStringLiteral("-journal");
            if (QFileInfo::exists(journal))
                renameReplacing(journal, aside + QStringLiteral("-journal"));
        }
        // A journal of the replaced file must never be played back into the rebuilt one.
        TableFiles::removeJournals(m.target);
        step(m.target);
        if (Status st = renameReplacing(m.fresh, m.target); !st)
            return st;
    }
    if (!QFile::remove(planPath_) && QFileInfo::exists(planPath_))
        return Status::failure(
            QStringLiteral("Cannot remove %1.").arg(QDir::toNativeSeparators(planPath_)));
    return Status::success();
}

} // namespace wl::store
