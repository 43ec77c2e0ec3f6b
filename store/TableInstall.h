#pragma once

#include "store/Status.h"
#include "store/TableFiles.h"

#include <QLockFile>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace wl::store {

// Puts a rebuilt set of files in place of a table's files so that a kill at any moment leaves
// either the old set untouched or a plan that the next open carries out before anything else.
// The plan, written once every rebuilt file is complete, lists each rebuilt file, the file it
// replaces and whether the replaced one is kept aside. Carrying it out again is harmless: a
// move whose rebuilt file is gone has already been made.
//
// The install lock is held by a repair from its first read to its last rename; an open that
// finds a plan whose lock is held waits like for a table in use, and one whose holder died
// finishes the plan itself.
class TableInstall
{
public:
    struct Move
    {
        QString fresh;  // the rebuilt file
        QString target; // the file of the table it becomes
        bool keepOld = false;
    };

    explicit TableInstall(const TableFiles& files);
    ~TableInstall();
    TableInstall(const TableInstall&) = delete;
    TableInstall& operator=(const TableInstall&) = delete;

    // Takes the install lock. busy is set when another live process holds it.
    Status lock(bool& busy);
    // With the lock held: writes the plan, makes the moves, removes the plan. keptAside gets
    // the names the kept files were moved to.
    Status install(const std::vector<Move>& moves, QStringList& keptAside);
    // With the lock held: carries out a plan an interrupted install left.
    Status finishPending(QStringList* keptAside = nullptr);

    // Whether an interrupted install waits to be finished.
    static bool pending(const TableFiles& files);
    // Finishes an interrupted install, if any, taking the lock for it. busy is set when a live
    // process holds the lock (its install is still running).
    static Status finishPending(const TableFiles& files, bool& busy);

    // For tests: called before each step that changes the folder, with the step's number
    // (0 for writing the plan, then one for each rename) and the file it changes.
    using StepHook = std::function<void(int step, const QString& path)>;
    static void setStepHook(StepHook hook);

private:
    Status writePlan(const std::vector<Move>& moves);
    bool readPlan(std::vector<Move>& moves) const;
    Status carryOut(const std::vector<Move>& moves, QStringList* keptAside);
    void step(const QString& path);

    QString folder_;
    QString planPath_;
    std::unique_ptr<QLockFile> lock_;
    int step_ = 0;
};

} // namespace wl::store
