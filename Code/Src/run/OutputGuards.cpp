// Checks of outputs and of the log against the files a run reads and writes.
#include "run/OutputGuards.h"

#include <string>
#include <sys/stat.h>
#include <vector>

#include "base/ErrLogger.h"
#include "base/Platform.h"
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

} // namespace

bool samePlace(const char* a, const char* b) {
    struct stat sa, sb;
    bool hasA = platform::statOnDisk(a, sa), hasB = platform::statOnDisk(b, sb);
    if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return !hasA && !hasB && placeOf(a) == placeOf(b);
}

bool outputIsSafe(int32_t format, const char* in, const char* out, const char* list) {
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
    int32_t existing = replaces ? existingFileType(platform::resolveOutputPath(out).c_str()) : -1;
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

const char* findLogRefusal(COptionMgr& job) {
    if (errLog().logIsUnnamed()) return nullptr;
    const char* log = errLog().logFileName();
    if (logHoldsMeasurement()) return msg::text(msg::eLogIsMeasurement);
    std::vector<std::string> inputs = inputNames(job);
    for (const std::string& in : inputs)
        if (samePlace(log, in.c_str())) return msg::text(msg::eLogIsInput);
    if (!job.file(2).empty() && samePlace(log, job.file(2).name()))
        return msg::text(msg::eLogIsInput);
    for (const std::string& out : outputNames(job, inputs))
        if (samePlace(log, out.c_str())) return msg::text(msg::eLogIsOutput);
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
