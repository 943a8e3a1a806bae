// The staged input name and the engine's log of a worker.
#include "archive/WorkerFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/mman.h>
#include <unistd.h>

#include "base/ErrLogger.h"

namespace vx {

namespace {

// How the staged name reaches a source. Normally the name is a link made
// once, to /proc/self/fd/<slot>, and each source the worker opens is copied
// into that descriptor slot: no link is made per file (on ext4 every new
// inode costs more as deleted ones pile up), odd names never reach the
// engine's name handling, and the engine reads exactly the file the worker
// opened and checksummed. Without /proc the name is made a link to each
// source in turn.
struct StagedName {
    int slot = -1;         // the descriptor the link leads to; -1: a link per source
    size_t disk = 0;       // the segment the name leads to
    bool anything = false; // it leads to a segment at all
};
StagedName staged; // one per worker process

// The engine's log: a file in memory, which the worker empties before each
// job at no cost to the disk; without one, a file in the worker's folder.
std::string logName = "log.txt"; // one per worker process

} // namespace

void prepareStagedName() {
    ::unlink(kStagedInput);
    const int any = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int slot = any < 0 ? -1 : ::fcntl(any, F_DUPFD_CLOEXEC, 64);
    if (any >= 0) ::close(any);
    if (slot < 0) return;
    const std::string target = "/proc/self/fd/" + std::to_string(slot);
    struct stat viaLink, direct;
    if (::symlink(target.c_str(), kStagedInput) == 0 && ::stat(kStagedInput, &viaLink) == 0 &&
        ::fstat(slot, &direct) == 0 && viaLink.st_dev == direct.st_dev &&
        viaLink.st_ino == direct.st_ino) {
        staged.slot = slot;
        return;
    }
    ::unlink(kStagedInput);
    ::close(slot);
}

int openSource(const std::string& path, struct stat& st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
    ::close(fd);
    errno = 0;
    return -1;
}

bool stageSegment(int fd, const std::string& path, size_t disk) {
    bool ok;
    if (staged.slot < 0) {
        ::unlink(kStagedInput);
        ok = ::symlink(path.c_str(), kStagedInput) == 0;
    } else if (fd >= 0) {
        ok = ::dup3(fd, staged.slot, O_CLOEXEC) >= 0;
    } else {
        struct stat st;
        const int opened = openSource(path, st);
        ok = opened >= 0 && ::dup3(opened, staged.slot, O_CLOEXEC) >= 0;
        if (opened >= 0) ::close(opened);
    }
    staged.disk = disk;
    staged.anything = ok;
    return ok;
}

bool stagedAt(size_t disk) {
    return staged.anything && staged.disk == disk;
}

void prepareEngineLog() {
    const int fd = ::memfd_create("vxarchive-log", MFD_CLOEXEC);
    if (fd >= 0) {
        const std::string name = "/proc/self/fd/" + std::to_string(fd);
        if (errLog().setLogFileName(name.c_str()).ok()) {
            logName = name;
            return;
        }
        ::close(fd);
    }
    (void)errLog().setLogFileName(logName.c_str());
}

void emptyEngineLog() {
    (void)::truncate(logName.c_str(), 0);
}

std::string engineLogLines() {
    std::ifstream in(logName, std::ios::binary);
    std::string line, all;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        all += (all.empty() ? "" : "; ") + line;
    }
    return all;
}

} // namespace vx
