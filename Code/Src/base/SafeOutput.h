// Outputs that replace their file only when complete: a regular (or new) file
// is written to a temporary beside it and renamed over it on commit; an append
// is cut back to its old length when it fails; other files (FIFOs, devices)
// are written directly.
#pragma once
#include <string>
#include <sys/types.h>

#include "base/Status.h"

namespace vx {

class CSafeOutput {
  public:
    // The suffix of the temporary, "out.asc" being written as "out.asc.vxconv-part".
    static constexpr const char* kTemporarySuffix = ".vxconv-part";

    CSafeOutput() = default;
    CSafeOutput(const CSafeOutput&) = delete;
    CSafeOutput& operator=(const CSafeOutput&) = delete;
    // A pending output that was neither committed nor abandoned is abandoned.
    ~CSafeOutput() { abandon(); }

    // Chooses how the target (a path as it is on disk) is written and returns
    // the path to open: the temporary, or the target itself.
    std::string begin(const std::string& target, bool append);
    // True while the output goes to a temporary.
    bool usingTemporary() const { return how_ == eTemporary; }
    // Gives up the temporary (removed): the target is written in place from now on.
    void writeInPlace();
    // Makes the written output the target's content: the temporary takes the
    // old file's permissions and is renamed over the target.
    // 1 on failure (the temporary is then removed), with the system's error kept.
    Status commit();
    // Leaves the target as it was: the temporary is removed, an append is cut
    // back to its old length (a file the append created is removed).
    void abandon();
    // errno of the last failure, 0 when none.
    int systemError() const { return systemError_; }

  private:
    enum How { eNone, eDirect, eTemporary, eAppendRollback };

    How how_ = eNone;
    std::string target_;
    std::string temporary_;
    bool existed_ = false;
    off_t oldLength_ = 0;
    mode_t oldMode_ = 0;
    int systemError_ = 0;
};

// The temporary's path for a target: beside it, the name with the suffix,
// shortened where the file system's limit on a name would refuse it.
std::string temporaryPathFor(const std::string& target);

// The system's reason for an error number, as one line's text ("No space left on device").
std::string systemReason(int error);

} // namespace vx
