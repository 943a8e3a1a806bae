// Checks of outputs and of the log against the files a run reads and writes.
#include "run/OutputGuards.h"

#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

#include "base/ErrLogger.h"
#include "base/Platform.h"
#include "base/SafeOutput.h"
#include "base/Status.h"
#include "run/FileKind.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"

namespace vx {

namespace {

// The input type whose files an output format writes; -1 for formats that
// write no instrument or HP SDF file.
bool sameKind(int32_t existingType, int32_t format) {
    int32_t written = typeWrittenBy(format);
    if (existingType == eInSdfOld) existingType = eInSdf;
    return written >= 0 && written == existingType;
}

// An absolute form of a name for comparing names of files not yet created:
// the folder as it is on disk, then the final name.
std::string placeOf(const char* name) {
    platform::PathParts parts = platform::splitPath(platform::resolvePath(name));
    return platform::realFolder(parts.dir.empty() ? "." : parts.dir) + "/" + parts.base + parts.ext;
}

// The names the job may write: the output as given or mapped onto each
// input, or the input's name with the default extension (both defaults when
// the format is decided by the input).
std::vector<std::string> outputNames(COptionMgr& job, const std::vector<std::string>& inputs) {
    std::vector<std::string> names;
    for (const std::string& in : inputs) {
        if (job.fileCount() == 2) {
            CDosFile out = job.file(1);
            out.mapOnto(in.c_str());
            names.emplace_back(out.name());
            continue;
        }
        int32_t format = job.outputFormat();
        for (int32_t f : {eFmtAsc, eFmt56d}) {
            if (format != eFmtNone) f = format;
            CDosFile out(in.c_str());
            out.replaceExtension(defaultExtension(f));
            names.emplace_back(out.name());
            if (format != eFmtNone) break;
        }
    }
    return names;
}

// True when the named input (found as inputs are) is the file st describes.
bool isFile(const struct stat& st, const char* name) {
    struct stat s;
    return name && *name && platform::statOnDisk(name, s) && s.st_dev == st.st_dev &&
           s.st_ino == st.st_ino;
}

std::vector<std::string> inputNames(COptionMgr& job) {
    std::vector<std::string> names;
    if (job.fileCount() == 0) return names;
    CDosFile& input = job.file(0);
    for (const platform::FoundFile& f : input.matches())
        names.push_back(input.hasWildcards() ? input.parts().dir + f.name : input.name());
    if (names.empty()) names.emplace_back(input.name());
    return names;
}

// The input type of the file an output replaces (existingFileType), from the
// file held open for it where there is one.
int32_t replacedFileType(const std::string& path) {
    uint8_t leading[kLeadingBytesForKind];
    const ssize_t got = readHeldFile(path, leading, sizeof leading);
    return got < 0 ? existingFileType(path.c_str())
                   : existingFileType(leading, size_t(got), path.c_str());
}

} // namespace

bool samePlace(const char* a, const char* b) {
    struct stat sa, sb;
    bool hasA = platform::statOnDisk(a, sa), hasB = platform::statOnDisk(b, sb);
    if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return !hasA && !hasB && placeOf(a) == placeOf(b);
}

bool outputIsSafe(int32_t format, const char* in, const char* out, const char* list) {
    const std::string outPath = platform::resolveOutputPath(out);
    // In a run over many files the file replaced is opened once, here.
    (void)holdReplacedFile(outPath);
    struct stat target;
    const bool replaces = platform::statOutput(out, target);
    if (replaces && (isFile(target, in) || isFile(target, list))) {
        errLog() << msg::eOutputIsInput << out << endLine;
        return false;
    }
    if (!errLog().logIsUnnamed() && samePlace(out, errLog().logFileName())) {
        // Not a line for the log: the log is the output.
        errLog() << consoleOnly << msg::eOutputIsLog << out << endLine;
        return false;
    }
    int32_t existing = replaces ? replacedFileType(outPath) : -1;
    if (existing >= 0 && !sameKind(existing, format)) {
        errLog() << msg::eOutputOfOtherKind << out << endLine;
        errLog() << msg::eQuoteWildcards << endLine;
        return false;
    }
    return true;
}

bool logHoldsMeasurement() {
    return existingFileType(errLog().logFileName()) >= 0;
}

Status chooseLogFile(const char* name) {
    const std::string previous = errLog().logFileName();
    if (errLog().setLogFileName(name).failed()) return kStatusFailed;
    if (!logHoldsMeasurement()) return kStatusOk;
    (void)errLog().setLogFileName(previous.c_str());
    errLog() << msg::eLogIsMeasurementError << name << endLine;
    return kStatusFailed;
}

namespace {

// The log, as a run's many files are set against it. A log with one name
// (one link, itself no link and nothing mounted on it) is a file that its
// folder's listing calls regular only under its own name in its own folder:
// every other such file is told apart by the listings alone, without a stat.
class LogPlace {
  public:
    explicit LogPlace(const char* log) : log_(log) {
        struct stat st;
        const platform::PathParts parts = platform::splitPath(log);
        oneName_ = platform::lstatReused(log, st) && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
                   platform::listedKind(log) == platform::Listed::eRegular &&
                   folderOf(parts, folder_);
        name_ = parts.base + parts.ext;
    }

    // True when the file at name is the log.
    bool holds(const std::string& name) const {
        if (oneName_) {
            const platform::Listed listed = platform::listedKind(name);
            if (listed == platform::Listed::eAbsent) return false;
            if (listed == platform::Listed::eRegular && !mayBeLogName(name)) return false;
        }
        return samePlace(log_, name.c_str());
    }

  private:
    static bool folderOf(const platform::PathParts& parts, struct stat& st) {
        return platform::statReused(parts.dir.empty() ? "." : parts.dir, st);
    }

    // The log's own name in the log's folder, but for case.
    bool mayBeLogName(const std::string& name) const {
        const platform::PathParts parts = platform::splitPath(name);
        struct stat folder;
        return folderOf(parts, folder) && folder.st_dev == folder_.st_dev &&
               folder.st_ino == folder_.st_ino &&
               strcasecmp((parts.base + parts.ext).c_str(), name_.c_str()) == 0;
    }

    const char* log_;
    bool oneName_ = false;
    struct stat folder_ {};
    std::string name_;
};

const char* findLogRefusal(COptionMgr& job) {
    if (errLog().logIsUnnamed()) return nullptr;
    if (logHoldsMeasurement()) return msg::text(msg::eLogIsMeasurement);
    const LogPlace log(errLog().logFileName());
    std::vector<std::string> inputs = inputNames(job);
    for (const std::string& in : inputs)
        if (log.holds(in)) return msg::text(msg::eLogIsInput);
    if (!job.file(2).empty() && log.holds(job.file(2).name())) return msg::text(msg::eLogIsInput);
    for (const std::string& out : outputNames(job, inputs))
        if (log.holds(out)) return msg::text(msg::eLogIsOutput);
    return nullptr;
}

} // namespace

const char* logRefusal(COptionMgr& job) {
    // Every input and output is set against the log: each name is asked once.
    platform::reuseStats(true);
    const char* why = findLogRefusal(job);
    platform::reuseStats(false);
    return why;
}

} // namespace vx
