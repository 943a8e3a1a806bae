// Temporary-and-rename for outputs, the lock of in-place writes, and the
// cut-back of failed or interrupted appends.
#include "base/SafeOutput.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ErrLogger.h"
#include "base/Platform.h"

namespace vx {

namespace {

constexpr size_t kMaxNameBytes = NAME_MAX;
constexpr int kMaxLinks = 40;
constexpr int kTemporaryAttempts = 16;

// What a signal handler undoes for one pending output: remove the path (a
// temporary, or a file the append created), or cut the file back to length.
struct PendingUndo {
    volatile sig_atomic_t active = 0;
    int fd = -1;
    off_t length = 0;
    bool removePath = false;
    char path[PATH_MAX] = {};
};
PendingUndo pendingUndos[4];
std::mutex pendingUndoSlots; // claimed and released by outputs on any thread

// The process id, asked once per process (a forked child asks again).
pid_t processId() {
    static pid_t pid = 0;
    static const bool resetInChild = pthread_atfork(nullptr, nullptr, [] { pid = 0; }) == 0;
    if (pid == 0 || !resetInChild) pid = getpid();
    return pid;
}

// The inode of an output that a temporary replaced by exchange, now under the
// temporary's name: written again as the next temporary in its folder instead
// of a new file being made (and the old one freed) for every output.
struct Spare {
    int fd = -1;
    std::string path;
    std::string folder;
    struct stat st {};
    int slot = -1; // its entry of undoInterruptedOutputs
};

// A regular file an output is about to replace, opened for its kind check
// and kept open to become the spare once the output has taken its name.
struct Held {
    int fd = -1;
    std::string path;
    struct stat st {};
};

struct SpareState {
    bool keep = false;
    Spare spare;
    Held held;
};

SpareState& spareState() {
    thread_local SpareState state; // per thread, as the job
    return state;
}

// Set once the file system refuses to exchange names: every later output is renamed.
std::atomic<bool> exchangeRefused{false};

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void markUndo(int slot, bool active) {
    if (slot < 0) return;
    const std::lock_guard<std::mutex> lock(pendingUndoSlots);
    pendingUndos[slot].active = active ? 1 : 0;
}

// The user and group this process creates files as.
uid_t processUser() {
    static const uid_t user = geteuid();
    return user;
}
gid_t processGroup() {
    static const gid_t group = getegid();
    return group;
}

void dropSpare() {
    Spare& spare = spareState().spare;
    if (spare.fd < 0) return;
    ::close(spare.fd);
    ::unlink(spare.path.c_str());
    markUndo(spare.slot, false);
    spare = Spare();
}

void dropHeld() {
    Held& held = spareState().held;
    if (held.fd >= 0) ::close(held.fd);
    held = Held();
}

// A lease is taken on a replaced file only where the signal of its break
// (SIGIO) cannot end the process: the console programs ignore it; a host of
// the library keeps its own say over its signals (replaced files are then
// removed, not kept).
bool leaseBreakIsHarmless() {
    struct sigaction action {};
    return ::sigaction(SIGIO, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// Distinct for every temporary of every run: the process id, a counter and the clock.
std::string uniqueTag() {
    static std::atomic<unsigned> counter{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const unsigned mixed =
        (static_cast<unsigned>(now.tv_nsec) ^ (++counter * 2654435761u)) & 0xFFFFFF;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%ld-%06x", static_cast<long>(processId()), mixed);
    return buf;
}

constexpr mode_t kUnknownMask = ~mode_t(0);

// The process's umask, read once without changing it (umask(2) would, for a
// moment, for every thread); kUnknownMask when the system does not tell.
mode_t creationMask() {
    static const mode_t mask = [] {
        FILE* status = std::fopen("/proc/self/status", "re");
        if (!status) return kUnknownMask;
        mode_t found = kUnknownMask;
        char line[256];
        unsigned value = 0;
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                found = static_cast<mode_t>(value & 0777);
                break;
            }
        std::fclose(status);
        return found;
    }();
    return mask;
}

// The path through which the stream opens the file this run holds open: the
// descriptor itself where the system offers it, so a name swapped meanwhile
// is never opened.
std::string pathOfDescriptor(int fd, const std::string& path) {
    static const bool offered = ::access("/proc/self/fd", F_OK) == 0;
    return offered ? "/proc/self/fd/" + std::to_string(fd) : path;
}

} // namespace

std::string temporaryPathFor(const std::string& target, const std::string& tag) {
    size_t slash = target.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = target.substr(nameStart);
    const std::string ending = "." + tag + CSafeOutput::kTemporarySuffix;
    if (name.size() + ending.size() > kMaxNameBytes) name.resize(kMaxNameBytes - ending.size());
    return target.substr(0, nameStart) + name + ending;
}

namespace {

// Follows the chain of links; when its end is no link, st holds what lstat
// said of it (what stat would say), and known is set.
std::string followLinks(const std::string& path, struct stat& st, bool& found, bool& known) {
    std::string current = path;
    known = false;
    for (int i = 0; i < kMaxLinks; ++i) {
        if (!platform::lstatReused(current, st)) {
            found = false;
            known = true;
            return current;
        }
        if (!S_ISLNK(st.st_mode)) {
            found = known = true;
            return current;
        }
        char buf[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n <= 0) return current;
        std::string link(buf, static_cast<size_t>(n));
        size_t slash = current.rfind('/');
        current = link[0] == '/' || slash == std::string::npos
                      ? link
                      : current.substr(0, slash + 1) + link;
    }
    return current;
}

} // namespace

std::string followLinks(const std::string& path) {
    struct stat st;
    bool found = false, known = false;
    return followLinks(path, st, found, known);
}

void undoInterruptedOutputs() {
    for (PendingUndo& undo : pendingUndos) {
        if (!undo.active) continue;
        if (undo.fd >= 0) (void)::ftruncate(undo.fd, undo.length);
        if (undo.removePath) ::unlink(undo.path);
    }
}

void keepReplacedFiles(bool on) {
    spareState().keep = on && leaseBreakIsHarmless();
    if (spareState().keep) return;
    dropSpare();
    dropHeld();
}

bool keepingReplacedFiles() {
    return spareState().keep;
}

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string CSafeOutput::begin(const std::string& target, bool append) {
    abandon();
    systemError_ = 0;
    struct stat st;
    bool existed = false, known = false;
    target_ = followLinks(target, st, existed, known);
    if (!known) existed = ::stat(target_.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode)) {
        how_ = eDirect; // a FIFO, /dev/stdout, /dev/null: written as named
        errLog().flushConsole();
        return target;
    }
    replacesFile_ = existed && !append;
    std::string path = append ? lockTarget(true) : createTemporary(existed ? &st : nullptr);
    if (path.empty()) return path;
    how_ = append ? eAppendRollback : eTemporary;

    // Noted for the signal handler; an entry is filled before it is marked active.
    const std::lock_guard<std::mutex> lock(pendingUndoSlots);
    for (int i = 0; slot_ < 0 && i < int(std::size(pendingUndos)); ++i) {
        PendingUndo& undo = pendingUndos[i];
        const std::string& undoPath = append ? target_ : temporary_;
        if (undo.active || undoPath.size() >= sizeof undo.path) continue;
        std::memcpy(undo.path, undoPath.c_str(), undoPath.size() + 1);
        undo.fd = append ? fd_ : -1;
        undo.length = oldLength_;
        undo.removePath = !append || created_;
        undo.active = 1;
        slot_ = i;
        break;
    }
    return pathOfDescriptor(fd_, path);
}

bool CSafeOutput::takeSpare(const struct stat* old) {
    Spare& spare = spareState().spare;
    if (spare.fd < 0 || spare.folder != folderOf(target_)) return false;
    // A new file is this user's with the mode the umask leaves; a spare of
    // another group, or with the umask unknown, is not made one.
    const mode_t mask = creationMask();
    if (!old && (spare.st.st_gid != processGroup() || mask == kUnknownMask)) return false;
    const uid_t owner = old ? old->st_uid : processUser();
    const gid_t ownerGroup = old ? old->st_gid : processGroup();
    Spare taken = spare;
    spare = Spare();
    // Given the owner and mode of the file it will replace; written over from
    // its start and cut to length at the end (emptying it first would free and
    // take again the blocks of every output).
    const bool otherOwner = taken.st.st_uid != owner || taken.st.st_gid != ownerGroup;
    const bool chowned = otherOwner && ::fchown(taken.fd, owner, ownerGroup) == 0;
    const mode_t mode = old ? old->st_mode & 07777 : 0666 & ~mask;
    const bool modeSet = !chowned && (taken.st.st_mode & 07777) == mode;
    if (!modeSet && ::fchmod(taken.fd, mode) != 0) {
        spare = taken;
        dropSpare();
        return false;
    }
    fd_ = taken.fd;
    temporary_ = taken.path;
    slot_ = taken.slot;
    staleLength_ = taken.st.st_size;
    return true;
}

void CSafeOutput::emptyTemporary() {
    if (how_ != eTemporary || staleLength_ == 0) return;
    if (::ftruncate(fd_, 0) == 0) staleLength_ = 0;
}

namespace {

// True for a regular file of this user with no other link.
bool ownFileWithOneName(const struct stat& st) {
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == processUser();
}

// A write lease, refused while any other descriptor or mapping of the file
// exists, is held until the descriptor is closed: whoever opens the file
// meanwhile waits until this process has written it and let it go.
bool leased(int fd) {
    return ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
}

// Opens the file at path for writing it again when nothing else can see it:
// a regular file of this user with no other link, and no other descriptor or
// mapping. -1 otherwise, errno EISDIR for a folder.
int openUnseenFile(const std::string& path, struct stat& st) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) == 0 && ownFileWithOneName(st) && leased(fd)) return fd;
    ::close(fd);
    return -1;
}

// The file held for target, now named path, for writing it again when nothing
// else can see it (as openUnseenFile); -1, the held file closed, when it is
// not what path now holds.
int takeHeldFile(const std::string& target, const std::string& path, struct stat& st) {
    Held held = spareState().held;
    spareState().held = Held();
    if (held.fd < 0) return -1;
    const bool same = held.path == target &&
                      ::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                      st.st_dev == held.st.st_dev && st.st_ino == held.st.st_ino;
    if (same && ownFileWithOneName(st) && leased(held.fd)) return held.fd;
    ::close(held.fd);
    return -1;
}

void keepSpare(int fd, const std::string& path, const struct stat& st, int slot) {
    dropSpare();
    spareState().spare = Spare{fd, path, folderOf(path), st, slot};
}

} // namespace

bool CSafeOutput::keepReplacedFile() {
    // The temporary's name now holds the replaced file.
    struct stat st;
    int fd = takeHeldFile(target_, temporary_, st);
    if (fd < 0) fd = openUnseenFile(temporary_, st);
    if (fd < 0 && errno == EISDIR) {
        // A folder put in the output's place meanwhile: it gets its name back,
        // and the output fails as a rename over it would.
        (void)::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE);
        return false;
    }
    if (fd < 0) {
        ::unlink(temporary_.c_str());
        return true;
    }
    keepSpare(fd, temporary_, st, slot_);
    slot_ = -1; // the entry now undoes the spare
    return true;
}

bool keepAsNextTemporary(const std::string& path) {
    const std::string temporary = temporaryPathFor(path, uniqueTag());
    if (!spareState().keep || ::rename(path.c_str(), temporary.c_str()) != 0)
        return ::unlink(path.c_str()) == 0 || errno != EISDIR;
    struct stat st;
    const int fd = openUnseenFile(temporary, st);
    if (fd < 0 && errno == EISDIR) {
        (void)::rename(temporary.c_str(), path.c_str());
        return false;
    }
    if (fd < 0)
        ::unlink(temporary.c_str());
    else
        keepSpare(fd, temporary, st, -1);
    return true;
}

bool holdReplacedFile(const std::string& path) {
    dropHeld();
    // Only a name the listing of its folder, read for the run, calls a
    // regular file is opened: never a device, at no cost of a listing.
    if (!spareState().keep ||
        platform::listedKind(path, platform::ListingUse::eKeptOnly) != platform::Listed::eRegular)
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) platform::rememberStat(path, nullptr);
        return false;
    }
    struct stat st;
    const bool known = ::fstat(fd, &st) == 0;
    // Opened without following a link: what lstat would say of the name.
    if (known && S_ISREG(st.st_mode)) platform::rememberStat(path, &st);
    if (!known || !ownFileWithOneName(st)) {
        ::close(fd);
        return false;
    }
    spareState().held = Held{fd, path, st};
    return true;
}

ssize_t readHeldFile(const std::string& path, void* buf, size_t size) {
    const Held& held = spareState().held;
    if (held.fd < 0 || held.path != path) return -1;
    return ::pread(held.fd, buf, size, 0);
}

std::string CSafeOutput::createTemporary(const struct stat* old) {
    if (takeSpare(old)) return temporary_;
    const mode_t mode = old ? old->st_mode & 07777 : 0666;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::string path = temporaryPathFor(target_, uniqueTag());
        // Never an existing path, never through a link; the umask narrows a new file.
        int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            systemError_ = errno;
            return {};
        }
        if (old) {
            // The owner and group stay where the process may change them (root,
            // or its own group); the mode is set after, as a change of owner clears set-id bits.
            const bool otherOwner = old->st_uid != processUser() || old->st_gid != processGroup();
            const bool chowned = otherOwner && ::fchown(fd, old->st_uid, old->st_gid) == 0;
            // Not permitted: the file becomes this user's, with the old mode.
            const mode_t mask = creationMask();
            if (chowned || mask == kUnknownMask || ((mode & 0777) & ~mask) != mode)
                (void)::fchmod(fd, mode);
        }
        fd_ = fd;
        temporary_ = path;
        return path;
    }
    systemError_ = EEXIST;
    return {};
}

std::string CSafeOutput::lockTarget(bool append) {
    bool told = false;
    for (;;) {
        created_ = false;
        int fd = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            created_ = true;
        else if (errno == EEXIST)
            fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            systemError_ = errno;
            return {};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            if (!told) errLog() << consoleOnly << msg::eWaitingForRun << target_ << endLine;
            errLog().flushConsole(); // shown before the wait
            told = true;
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
        // The length is read under the lock; a file removed or replaced while
        // this run waited is opened again.
        struct stat held, now;
        if (::fstat(fd, &held) == 0 && ::stat(target_.c_str(), &now) == 0 &&
            held.st_dev == now.st_dev && held.st_ino == now.st_ino) {
            // The stream writes through this descriptor: an append from the
            // end, any other write over an emptied file.
            if (append ? ::lseek(fd, 0, SEEK_END) < 0 : ::ftruncate(fd, 0) != 0) {
                systemError_ = errno;
                ::close(fd);
                return {};
            }
            fd_ = fd;
            oldLength_ = append ? held.st_size : 0;
            created_ = created_ && held.st_size == 0;
            return target_;
        }
        ::close(fd);
    }
}

std::string CSafeOutput::writeInPlace() {
    if (how_ != eTemporary) return {};
    abandon();
    return beginInPlace(target_);
}

std::string CSafeOutput::beginInPlace(const std::string& target) {
    abandon();
    systemError_ = 0;
    target_ = followLinks(target);
    std::string path = lockTarget(false);
    if (path.empty()) return path;
    how_ = eInPlace;
    return pathOfDescriptor(fd_, path);
}

void CSafeOutput::release() {
    staleLength_ = 0;
    if (slot_ >= 0) {
        const std::lock_guard<std::mutex> lock(pendingUndoSlots);
        pendingUndos[slot_].active = 0;
    }
    slot_ = -1;
    if (fd_ >= 0) ::close(fd_); // drops the lock
    fd_ = -1;
    how_ = eNone;
}

Status CSafeOutput::commit(off_t written) {
    if (how_ != eTemporary) {
        release();
        return kStatusOk;
    }
    if (staleLength_ > written && written >= 0 && ::ftruncate(fd_, written) != 0) {
        systemError_ = errno;
        abandon();
        return kStatusFailed;
    }
    // Not synced: a batch of many small outputs would wait on the disk for
    // each; the rename alone already keeps a killed or failed run harmless.
    if (replacesFile_ && spareState().keep && !exchangeRefused) {
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) ==
                0 &&
            keepReplacedFile()) {
            release();
            return kStatusOk;
        }
        if (errno == EINVAL || errno == ENOTSUP || errno == ENOSYS) exchangeRefused = true;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        systemError_ = errno;
        abandon();
        return kStatusFailed;
    }
    release();
    return kStatusOk;
}

void CSafeOutput::abandon() {
    if (how_ == eTemporary) {
        ::unlink(temporary_.c_str());
    } else if (how_ == eAppendRollback) {
        // Under the lock: only this run's bytes are cut.
        if (created_)
            ::unlink(target_.c_str());
        else
            (void)::ftruncate(fd_, oldLength_);
    }
    release();
}

} // namespace vx
