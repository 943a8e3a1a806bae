// Converting one file of the archive in a worker.
#include "archive/Convert.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/Sha256.h"
#include "archive/WorkerFiles.h"
#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/SafeOutput.h"
#include "run/ConvRun.h"
#include "run/FileKind.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"
#include "settings/Settings.h"
#include "settings/SettingsDocument.h"
#include "timebuf/CapArb.h"

namespace vx {

namespace {

struct SourceState {
    int64_t size = 0;
    int64_t mtimeNs = 0;
};

int64_t mtimeOf(const struct stat& st) {
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::string unreadable(int error) {
    return error == 0 ? "no longer a regular file"
                      : std::string("cannot be read: ") + std::strerror(error);
}

// Reads every segment through in disk order, the first from firstFd (opened
// already, its stat in first), the others opened in turn; notes the size and
// time of each, and checksums their bytes when sha is given. The reason when
// one cannot be read.
std::string readSources(const ConvertSetup& setup, const std::vector<std::string>& paths,
                        int firstFd, const struct stat& first, std::vector<SourceState>& states,
                        CSha256* sha) {
    states.clear();
    for (size_t i = 0; i < paths.size(); ++i) {
        struct stat st = first;
        const int fd = i == 0 ? firstFd : openSource(setup.source + "/" + paths[i], st);
        if (fd < 0) return unreadable(errno);
        const bool read = readThrough(fd, int64_t(st.st_size), sha);
        const int error = errno;
        if (i > 0) ::close(fd);
        if (!read) return unreadable(error);
        states.push_back({int64_t(st.st_size), mtimeOf(st)});
    }
    return "";
}

// The row's size (of all segments) and time (the latest).
void sourceTotals(const std::vector<SourceState>& states, CatalogRow& row) {
    row.size = row.mtimeNs = 0;
    for (const SourceState& s : states) {
        row.size += s.size;
        row.mtimeNs = std::max(row.mtimeNs, s.mtimeNs);
    }
}

bool unchanged(const ConvertSetup& setup, const std::vector<std::string>& paths,
               const std::vector<SourceState>& states) {
    for (size_t i = 0; i < paths.size(); ++i) {
        struct stat st;
        const std::string full = setup.source + "/" + paths[i];
        if (::lstat(full.c_str(), &st) != 0 || st.st_size != states[i].size ||
            mtimeOf(st) != states[i].mtimeNs)
            return false;
    }
    return true;
}

// The kind of file an input type is, before its settings are read.
const char* kindOfType(int32_t type) {
    switch (type) {
    case eInDisplay:
        return "Display";
    case eInCapArb:
        return "Capture/Arb.";
    case eInWaterfall:
        return "Waterfall";
    case eInSdf:
    case eInSdfOld:
        return "HP SDF";
    default:
        return "";
    }
}

// Answers the engine's disk prompts: the disk number is the last number of
// the question, and the staged name is pointed at that disk's segment.
PromptAnswerer diskChanger(const ConvertSetup& setup, const std::vector<std::string>& paths) {
    return [&setup, &paths](const std::string& question) {
        size_t end = question.find_last_of("0123456789");
        if (end == std::string::npos) return false;
        size_t begin = question.find_last_not_of("0123456789", end);
        begin = begin == std::string::npos ? 0 : begin + 1;
        const long disk = std::strtol(question.substr(begin, end + 1 - begin).c_str(), nullptr, 10);
        if (disk < 1 || size_t(disk) > paths.size()) return false;
        return stageSegment(-1, setup.source + "/" + paths[size_t(disk) - 1], size_t(disk) - 1);
    };
}

// The worker's one model, which each job resets as the library's jobs do.
CModel& workerModel() {
    static const std::unique_ptr<CModel> model = std::make_unique<CModel>();
    return *model;
}

// The staged output of a format in the worker's folder.
std::string stagedOutput(const ArchiveFormat& format) {
    return "out." + format.extension;
}

// A name with each byte that would break a header line written as '?'.
std::string printable(std::string name) {
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    return name;
}

// A job over the staged input of the source at path under SRC, writing the
// format to its staged output when one is given. The job reports and writes
// the names of the source and its output under DEST, and its outputs record
// the vxconv command line that makes them from SRC to DEST. The log holds
// this job's lines only: emptied here rather than by the job (/J keeps it), so
// it stays open from job to job and an empty log is all the job's check of it
// has to look at.
std::unique_ptr<COptionMgr> stagedJob(CModel& model, const std::string& path,
                                      const ArchiveFormat* format, int32_t type) {
    emptyEngineLog();
    std::vector<std::string> args{"vxarchive", kStagedInput};
    std::string commandLine = "vxconv " + printable(path);
    std::string output;
    if (format) {
        args.push_back(stagedOutput(*format));
        args.push_back("/O" + format->keyword);
        output = outputPathFor(path, format->extension);
        commandLine += " " + printable(output) + " /O" + format->keyword;
    }
    args.push_back("/J");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    auto job = std::make_unique<COptionMgr>(model, int(args.size()), argv.data(), nullptr);
    job->showFilesAs(printable(path), printable(output), commandLine);
    // A type found from the file's own bytes is not looked for again.
    if (type >= 0 && type != kSegmentOfUnknownKind) job->setInputType(type);
    return job;
}

// The identity and main settings of a trace the model holds.
void traceIdentityOf(CModel& model, int32_t type, CatalogRow& row) {
    const char* kind = type == eInWaterfall                  ? "Waterfall"
                       : type == eInSdf || type == eInSdfOld ? "HP SDF"
                                                             : "";
    FileIdentity id = traceIdentity(model, kindOf(model, kind));
    row.kind = id.kind;
    row.measurement = id.measurement;
    row.measureGroup = id.measureGroup;
    row.time = id.time;
    row.points = id.points;
    // The first line keyed "span", the one the settings document names so;
    // only that line is typed.
    for (const HeaderLine& line : traceHeaderLines(model, 2, "")) {
        if (settingKey(line.label) != "span") continue;
        const SettingRecord span = typedSetting(line.label, line.text);
        if (span.kind == SettingRecord::eNumber) row.spanHz = span.number;
        break;
    }
}

// The identity and main settings of the staged input, read as the ASCII
// conversion reads it; the engine's message when it cannot be read.
std::string readIdentity(int32_t type, CatalogRow& row) {
    CModel* model = &workerModel();
    std::unique_ptr<COptionMgr> job = stagedJob(*model, row.path, nullptr, type);
    if (job->errorIndex() != eErrNone || !detectAndCheck(*job)) return engineLogLines();
    if (type == eInWaterfall) model->options.wfCount = 1;
    std::unique_ptr<CFileReader> reader = readerFor(*model, type, eFmtAsc);
    if (!reader || job->file(0).nextMatch().failed()) return msg::text(msg::eInvalidInputType);
    model->cat.reset();
    std::snprintf(model->options.inputName, sizeof model->options.inputName, "%s",
                  job->shownInputName());
    if (reader->open(kStagedInput).failed()) {
        reader->close();
        std::string why = engineLogLines();
        return why.empty() ? msg::text(msg::eInvalidFileFormat) : why;
    }
    if (const auto* capture = dynamic_cast<const CCapArbReader*>(reader.get())) {
        const CapArbHeader& h = capture->header();
        const FileIdentity id = capArbIdentity(h, capture->kind());
        row.kind = id.kind;
        row.time = id.time;
        row.points = id.points;
        row.sampleRateHz = samplesPerSecond(h);
    } else {
        traceIdentityOf(*model, type, row);
    }
    reader->close();
    return "";
}

// Whether converting to the format leaves in the model the trace that
// readIdentity would read: the ASCII conversion of a Display or HP SDF file
// reads it the same way, so a second read is saved.
bool conversionIdentifies(int32_t type, const ArchiveFormat& format) {
    return format.number == eFmtAsc &&
           (type == eInDisplay || type == eInSdf || type == eInSdfOld) && converts(type, eFmtAsc);
}

// Writes one format of the staged input of the source at path to its staged
// output, with the model given; its size, or the engine's message when it
// failed.
std::string convertTo(const ArchiveFormat& format, const std::string& path, int32_t type,
                      CModel& model, int64_t& size) {
    const std::string out = stagedOutput(format);
    std::unique_ptr<COptionMgr> job = stagedJob(model, path, &format, type);
    struct stat st;
    if (job->errorIndex() == eErrNone && job->run().ok() && ::stat(out.c_str(), &st) == 0) {
        size = int64_t(st.st_size);
        return "";
    }
    ::unlink(out.c_str());
    std::string why = engineLogLines();
    return why.empty() ? "conversion to " + format.keyword + " failed" : why;
}

// Creates the folders of a path under DEST.
bool makeParents(const std::string& dest, const std::string& path) {
    for (size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = dest + "/" + path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// Moves a staged output to its place under DEST; its folders are made only
// when the rename finds one missing (most outputs go where others went). A
// regular file there trades names with it and is kept to be written again as
// a later output, so that no inode is freed and taken again for every file;
// a folder put there meanwhile gets its name back and the move fails, as a
// rename over it would.
bool placeOutput(const std::string& dest, const std::string& from, const std::string& target) {
    const std::string to = dest + "/" + target;
    struct stat there;
    if (::lstat(to.c_str(), &there) == 0 && S_ISREG(there.st_mode) &&
        ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
        if (keepAsNextTemporary(from)) return true;
        (void)::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
        errno = EISDIR;
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    return errno == ENOENT && makeParents(dest, target) && ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

void prepareWorker(const ConvertSetup& setup) {
    errLog().setConsoleSink([](const char*, void*) {}, nullptr);
    prepareEngineLog();
    // The outputs a file replaces are written again as the next files' temporaries.
    keepReplacedFiles(true);
    // What a worker killed in this folder left, so no output is taken for new.
    for (const ArchiveFormat& format : setup.formats)
        ::unlink(stagedOutput(format).c_str());
    prepareStagedName();
}

std::string outputPathFor(const std::string& sourcePath, const std::string& extension) {
    return sourcePath + "." + extension;
}

namespace {

enum class Reading { eRead, eKept, eFailed };

// The input type of the staged source, open as fd: from its leading bytes,
// or (behind a multi-disk header) as the engine finds it.
int32_t kindOfStaged(int fd) {
    uint8_t lead[kLeadingBytesForKind];
    const ssize_t got = ::pread(fd, lead, sizeof lead, 0);
    return got > 0 ? existingFileType(lead, size_t(got), kStagedInput) : -1;
}

// Stages the unit's first segment, finds its type (-1: no instrument or HP SDF
// file) and reads the segments through for the row's size, time and
// checksum. The checksum comes first when the last run's row may be kept
// (eKept when it is); otherwise after the type, so that no file the catalog
// leaves out is checksummed, while every file is still read through to find
// the unreadable ones. eFailed with the row's message.
Reading readUnit(const ConvertSetup& setup, const ArchiveTask& task, int firstFd,
                 const struct stat& firstStat, std::vector<SourceState>& states, CatalogRow& row,
                 int32_t& type) {
    CSha256 sha;
    if (task.hasPrevious) {
        row.message = readSources(setup, task.paths, firstFd, firstStat, states, &sha);
        if (!row.message.empty()) return Reading::eFailed;
        row.sha256 = sha.hexDigest();
        sourceTotals(states, row);
        if (task.previous.sha256 == row.sha256 && task.previous.size == row.size &&
            task.previous.mtimeNs == row.mtimeNs)
            return Reading::eKept;
    }
    const bool isStaged = stageSegment(firstFd, setup.source + "/" + task.paths.front(), 0);
    const int stageError = errno;
    type = isStaged ? kindOfStaged(firstFd) : -1;
    if (!task.hasPrevious) {
        const bool catalogued = type >= 0 || task.paths.size() > 1;
        row.message =
            readSources(setup, task.paths, firstFd, firstStat, states, catalogued ? &sha : nullptr);
        if (!row.message.empty()) return Reading::eFailed;
        if (catalogued) row.sha256 = sha.hexDigest();
        sourceTotals(states, row);
    }
    if (isStaged) return Reading::eRead;
    row.message = std::string("cannot be staged: ") + std::strerror(stageError);
    return Reading::eFailed;
}

} // namespace

CatalogRow convertUnit(const ConvertSetup& setup, const ArchiveTask& task) {
    CatalogRow row;
    row.path = task.paths.front();
    row.segments.assign(task.paths.begin() + 1, task.paths.end());
    const std::string first = setup.source + "/" + task.paths.front();
    struct stat firstStat;
    const int firstFd = openSource(first, firstStat);
    if (firstFd < 0) {
        row.message = unreadable(errno);
        return row;
    }
    std::vector<SourceState> states;
    int32_t type = -1;
    const Reading reading = readUnit(setup, task, firstFd, firstStat, states, row, type);
    ::close(firstFd);
    if (reading == Reading::eKept) {
        CatalogRow kept = task.previous;
        kept.status = kSkipped;
        return kept;
    }
    if (reading == Reading::eFailed) return row;
    if (type < 0 && task.paths.size() == 1) {
        row.status = kNotInstrumentFile;
        return row;
    }
    row.kind = kindOfType(type);
    if (!task.failure.empty()) {
        row.message = task.failure;
        return row;
    }
    const PromptAnswerer previous = setPromptAnswerer(diskChanger(setup, task.paths));
    bool identified = !conversionIdentifies(type, setup.formats.front());
    if (identified) row.message = readIdentity(type, row);
    struct Made {
        const ArchiveFormat* format;
        int64_t size;
    };
    std::vector<Made> made; // the staged outputs
    std::string notes;
    for (const ArchiveFormat& format : setup.formats) {
        if (!row.message.empty()) break;
        if (!converts(type, format.number)) {
            notes += (notes.empty() ? "" : "; ") +
                     ("no " + format.keyword + " output for a " + row.kind + " file");
            continue;
        }
        if (!stagedAt(0) && !stageSegment(-1, first, 0)) {
            row.message = std::string("cannot be staged: ") + std::strerror(errno);
            break;
        }
        CModel& model = workerModel();
        int64_t size = 0;
        row.message = convertTo(format, row.path, type, model, size);
        if (!identified) {
            identified = true;
            // A failed conversion gives the message the identity's read gives,
            // as when that read comes first.
            std::string why = row.message.empty() ? "" : readIdentity(type, row);
            if (row.message.empty()) traceIdentityOf(model, type, row);
            if (!why.empty()) row.message = why;
        }
        if (row.message.empty()) made.push_back({&format, size});
    }
    setPromptAnswerer(previous);
    if (row.message.empty() && made.empty()) row.message = notes;
    // Also when the conversion failed: the engine's message then tells of
    // other bytes than those checksummed (an emptied file, under the name the
    // engine reads it by).
    if (!unchanged(setup, task.paths, states)) row.message = "changed while it was converted";
    for (const Made& output : made) {
        const std::string from = stagedOutput(*output.format);
        const std::string target = outputPathFor(row.path, output.format->extension);
        if (row.message.empty() && placeOutput(setup.dest, from, target)) {
            row.outputs.push_back({target, output.size});
            continue;
        }
        if (row.message.empty()) row.message = target + ": " + std::strerror(errno);
        ::unlink(from.c_str());
    }
    if (row.message.empty()) {
        row.status = CatalogRow::kConverted;
        row.message = notes;
    }
    return row;
}

} // namespace vx
