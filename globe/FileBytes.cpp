#include "globe/FileBytes.h"

#include "globe/GlobeException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wl {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err)
{
    throw GlobeException(what + " " + path + ": " + std::strerror(err));
}

// Writes everything, retrying short writes and interruptions.
bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::optional<std::vector<std::uint8_t>> FileBytes::read(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    const bool bad = std::ferror(f);
    std::fclose(f);
    if (bad)
        return std::nullopt;
    return bytes;
}

void FileBytes::writeAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        fail("Cannot create a temporary file for", path, errno);
    // mkstemp makes the file private; a data file should read like any other the user saves.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int err = errno;
    if (::close(fd) != 0 || !ok) {
        ::unlink(tmp.c_str());
        fail("Cannot write", path, ok ? errno : err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        fail("Cannot replace", path, e);
    }
}

} // namespace wl
