#include "FullDiskVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace wl::store::test {

namespace {

std::atomic<bool> diskFull{false};
std::atomic<int> refused{0};
sqlite3_vfs* baseVfs = nullptr;
sqlite3_vfs wrapperVfs;

// Our file record, followed in the same allocation by the base layer's own record.
struct WrappedFile
{
    sqlite3_file base;
    sqlite3_file* inner;
};

sqlite3_file* inner(sqlite3_file* f)
{
    return reinterpret_cast<WrappedFile*>(f)->inner;
}

const sqlite3_io_methods* methods(sqlite3_file* f)
{
    return inner(f)->pMethods;
}

int refuseGrowth(sqlite3_file* f, sqlite3_int64 end)
{
    if (!diskFull)
        return SQLITE_OK;
    sqlite3_int64 size = 0;
    if (methods(f)->xFileSize(inner(f), &size) != SQLITE_OK || end > size) {
        ++refused;
        return SQLITE_FULL;
    }
    return SQLITE_OK;
}

int fileClose(sqlite3_file* f)
{
    return methods(f)->xClose(inner(f));
}

int fileRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset)
{
    return methods(f)->xRead(inner(f), buffer, amount, offset);
}

int fileWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset)
{
    if (int rc = refuseGrowth(f, offset + amount); rc != SQLITE_OK)
        return rc;
    return methods(f)->xWrite(inner(f), buffer, amount, offset);
}

int fileTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (int rc = refuseGrowth(f, size); rc != SQLITE_OK)
        return rc;
    return methods(f)->xTruncate(inner(f), size);
}

int fileSync(sqlite3_file* f, int flags)
{
    return methods(f)->xSync(inner(f), flags);
}

int fileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return methods(f)->xFileSize(inner(f), size);
}

int fileLock(sqlite3_file* f, int level)
{
    return methods(f)->xLock(inner(f), level);
}

int fileUnlock(sqlite3_file* f, int level)
{
    return methods(f)->xUnlock(inner(f), level);
}

int fileCheckReservedLock(sqlite3_file* f, int* out)
{
    return methods(f)->xCheckReservedLock(inner(f), out);
}

int fileControl(sqlite3_file* f, int op, void* arg)
{
    // A size hint makes the base layer extend the file ahead of the writes.
    if (op == SQLITE_FCNTL_SIZE_HINT) {
        if (int rc = refuseGrowth(f, *static_cast<sqlite3_int64*>(arg)); rc != SQLITE_OK)
            return rc;
    }
    return methods(f)->xFileControl(inner(f), op, arg);
}

int fileSectorSize(sqlite3_file* f)
{
    return methods(f)->xSectorSize(inner(f));
}

int fileDeviceCharacteristics(sqlite3_file* f)
{
    return methods(f)->xDeviceCharacteristics(inner(f));
}

int fileShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out)
{
    return methods(f)->xShmMap(inner(f), region, size, extend, out);
}

int fileShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return methods(f)->xShmLock(inner(f), offset, n, flags);
}

void fileShmBarrier(sqlite3_file* f)
{
    methods(f)->xShmBarrier(inner(f));
}

int fileShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return methods(f)->xShmUnmap(inner(f), deleteFlag);
}

int fileFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    return methods(f)->xFetch(inner(f), offset, amount, out);
}

int fileUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page)
{
    return methods(f)->xUnfetch(inner(f), offset, page);
}

const sqlite3_io_methods wrappedMethods = {
    3,
    fileClose,
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    fileShmMap,
    fileShmLock,
    fileShmBarrier,
    fileShmUnmap,
    fileFetch,
    fileUnfetch,
};

int vfsOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* wrapped = reinterpret_cast<WrappedFile*>(f);
    wrapped->inner = reinterpret_cast<sqlite3_file*>(wrapped + 1);
    wrapped->base.pMethods = nullptr;
    const int rc = baseVfs->xOpen(baseVfs, name, wrapped->inner, flags, outFlags);
    if (wrapped->inner->pMethods)
        wrapped->base.pMethods = &wrappedMethods;
    return rc;
}

} // namespace

FullDiskVfs::FullDiskVfs()
{
    baseVfs = sqlite3_vfs_find(nullptr);
    wrapperVfs = *baseVfs;
    wrapperVfs.zName = "wl-full-disk";
    wrapperVfs.szOsFile = int(sizeof(WrappedFile)) + baseVfs->szOsFile;
    wrapperVfs.pNext = nullptr;
    wrapperVfs.xOpen = vfsOpen;
    sqlite3_vfs_register(&wrapperVfs, 1);
    diskFull = false;
}

FullDiskVfs::~FullDiskVfs()
{
    sqlite3_vfs_unregister(&wrapperVfs);
    sqlite3_vfs_register(baseVfs, 1);
    diskFull = false;
}

void FullDiskVfs::setFull(bool full)
{
    diskFull = full;
    refused = 0;
}

int FullDiskVfs::refusedWrites() const
{
    return refused;
}

} // namespace wl::store::test
