// Outputs that replace their file only when complete: a regular (or new) file
// is written to a temporary of this run beside it and renamed over it on
// commit; an append or another in-place write holds an exclusive lock on the
// file while it writes, and a failed append is cut back to its old length;
// other files (FIFOs, devices) are written directly.
#pragma once
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include "base/Status.h"

namespace vx {

class CSafeOutput {
  public:
    // The suffix of the temporaries: "out.asc" is written as
    // "out.asc.<pid>-<random>.vxconv-part".
    static constexpr const char* kTemporarySuffix = ".vxconv-part";

    CSafeOutput() = default;
    CSafeOutput(const CSafeOutput&) = delete;
    CSafeOutput& operator=(const CSafeOutput&) = delete;
    // A pending output that was neither committed nor abandoned is abandoned.
    ~CSafeOutput() { abandon(); }

    // Chooses how the target (a path as it is on disk) is written and returns
    // the path to open: the temporary, or the locked target. Empty when the
    // temporary or the lock could not be had (systemError says why).
    std::string begin(const std::string& target, bool append);
    // The descriptor to write the output through (the temporary, or the
    // locked target at its write position); -1 when it is written as named.
    int descriptor() const { return how_ == eDirect ? -1 : fd_; }
    // True while the output goes to a temporary.
    bool usingTemporary() const { return how_ == eTemporary; }
    // Gives up the temporary (removed): the target is written in place from
    // now on, locked. Returns the path to open, empty on failure.
    std::string writeInPlace();
    // Locks the target for a write in place that nothing undoes (a later
    // segment of an output spread over disks). Returns the path to open.
    std::string beginInPlace(const std::string& target);
    // Makes the written output the target's content: the temporary, which has
    // the old file's permissions (and owner where the process may), is renamed
    // over the target; a lock is released.
    // 1 on failure (the temporary is then removed), with the system's error kept.
    // written: the end of what was written through descriptor(), where the
    // caller knows it; a reused temporary is cut there.
    Status commit(off_t written = -1);
    // For a writer that opens the path itself: a reused temporary is emptied.
    void emptyTemporary();
    // Leaves the target as it was: the temporary is removed, an append is cut
    // back to its old length (a file the append created is removed).
    void abandon();
    // errno of the last failure, 0 when none.
    int systemError() const { return systemError_; }

  private:
    enum How { eNone, eDirect, eTemporary, eAppendRollback, eInPlace };

    std::string createTemporary(const struct stat* old);
    // Uses the kept inode of a replaced output as the temporary; false when there is none here.
    bool takeSpare(const struct stat* old);
    // After an exchange: keeps the replaced file as the next temporary, or
    // removes it; false (exchanged back) when it is a folder.
    bool keepReplacedFile();
    std::string lockTarget(bool append);
    void release();

    How how_ = eNone;
    std::string target_;
    std::string temporary_;
    int fd_ = -1; // the temporary, or the locked target
    bool created_ = false;
    bool replacesFile_ = false; // the temporary replaces an existing regular file
    off_t staleLength_ = 0;     // bytes of a reused temporary not yet written over
    off_t oldLength_ = 0;
    int slot_ = -1; // the entry of undoInterruptedOutputs
    int systemError_ = 0;
};

// A temporary's path for a target: beside it, the name, the tag that makes it
// this run's own, and the suffix, the name shortened where the file system's
// limit on a name would refuse it.
std::string temporaryPathFor(const std::string& target, const std::string& tag);

// The final path that a chain of symbolic links leads to (the path itself
// when it is no link); the last one may be dangling.
std::string followLinks(const std::string& path);

// Undoes what every pending output has done so far: removes temporaries and
// cuts appends back. Only async-signal-safe calls: for signal handlers.
void undoInterruptedOutputs();

// While on (a run over many files), an output that replaces a regular file
// trades names with its temporary, and the replaced file, when no one else
// can see it, is written again as the next temporary in its folder instead
// of being removed; off removes a file so kept. Kept files are named as
// temporaries and are removed by undoInterruptedOutputs too. Stays off in a
// process that does not ignore SIGIO (the signal of a broken lease).
void keepReplacedFiles(bool on);
bool keepingReplacedFiles();

// In a run that keeps replaced files: opens the regular file of this user
// with one link at path (as it is on disk, and as the folder's listing read
// for the run has it) that an output is about to replace, and makes what fstat says of it the
// run's answer for path (platform::rememberStat; an absent file is remembered
// too). Its leading bytes are read through readHeldFile, and once the output
// has taken its name it becomes the next temporary without being opened
// again. False when nothing is held; a file held before is let go.
bool holdReplacedFile(const std::string& path);
// Reads up to size leading bytes of the file held for path; -1 when none is.
ssize_t readHeldFile(const std::string& path, void* buf, size_t size);

// Hands over a replaced file this process holds at path (one that a caller
// moved out of an output's place itself) to be written again as the next
// temporary in its folder, under a temporary's name, when no one else can see
// it and replaced files are kept; otherwise it is removed. False, and nothing
// done, when path is a folder.
bool keepAsNextTemporary(const std::string& path);

// The system's reason for an error number, as one line's text ("No space left on device").
std::string systemReason(int error);

} // namespace vx
