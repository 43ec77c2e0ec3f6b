#pragma once

struct sqlite3_vfs;

namespace wl::store::test {

// Makes every database opened while it lives go through a file layer whose files cannot grow
// while the disk is marked full: a write past a file's end fails with SQLITE_FULL, as on a full
// disk, while writes inside a file (a rollback putting pages back) still succeed.
class FullDiskVfs
{
public:
    FullDiskVfs();
    ~FullDiskVfs();
    FullDiskVfs(const FullDiskVfs&) = delete;
    FullDiskVfs& operator=(const FullDiskVfs&) = delete;

    void setFull(bool full);
    int refusedWrites() const; // writes refused since the disk was last marked full
};

} // namespace wl::store::test
