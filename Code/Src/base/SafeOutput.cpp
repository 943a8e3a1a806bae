// Temporary-and-rename for outputs, and the cut-back of failed appends.
#include "base/SafeOutput.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr size_t kMaxNameBytes = NAME_MAX;

// The final target of a path that names a symbolic link, so a link keeps
// pointing at the replaced file. Only the last component matters to rename,
// and most outputs are plain files: one lstat, no resolution for them.
std::string followLinks(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

} // namespace

std::string temporaryPathFor(const std::string& target) {
    size_t slash = target.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = target.substr(nameStart);
    const size_t suffix = std::strlen(CSafeOutput::kTemporarySuffix);
    if (name.size() + suffix > kMaxNameBytes) name.resize(kMaxNameBytes - suffix);
    return target.substr(0, nameStart) + name + CSafeOutput::kTemporarySuffix;
}

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string CSafeOutput::begin(const std::string& target, bool append) {
    abandon();
    systemError_ = 0;
    target_ = target;
    struct stat st;
    existed_ = ::stat(target.c_str(), &st) == 0;
    if (existed_ && !S_ISREG(st.st_mode)) {
        how_ = eDirect; // a FIFO, /dev/stdout, /dev/null: written as named
        return target;
    }
    if (append) {
        how_ = eAppendRollback;
        oldLength_ = existed_ ? st.st_size : 0;
        return target;
    }
    if (existed_) {
        target_ = followLinks(target);
        oldMode_ = st.st_mode & 07777;
    }
    temporary_ = temporaryPathFor(target_);
    how_ = eTemporary;
    return temporary_;
}

void CSafeOutput::writeInPlace() {
    if (how_ != eTemporary) return;
    ::unlink(temporary_.c_str());
    how_ = eDirect;
}

Status CSafeOutput::commit() {
    How how = how_;
    how_ = eNone;
    if (how != eTemporary) return kStatusOk;
    if (existed_) (void)::chmod(temporary_.c_str(), oldMode_);
    // Not synced: a batch of many small outputs would wait on the disk for
    // each; the rename alone already keeps a killed or failed run harmless.
    if (::rename(temporary_.c_str(), target_.c_str()) == 0) return kStatusOk;
    systemError_ = errno;
    ::unlink(temporary_.c_str());
    return kStatusFailed;
}

void CSafeOutput::abandon() {
    How how = how_;
    how_ = eNone;
    if (how == eTemporary) {
        ::unlink(temporary_.c_str());
    } else if (how == eAppendRollback) {
        if (existed_)
            (void)::truncate(target_.c_str(), oldLength_);
        else
            ::unlink(target_.c_str());
    }
}

} // namespace vx
