// Converting one file of the archive in a worker.
#include "archive/Convert.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/Sha256.h"
#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "run/ConvRun.h"
#include "run/FileKind.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"
#include "settings/Settings.h"
#include "settings/SettingsDocument.h"
#include "timebuf/CapArb.h"

namespace vx {

namespace {

// The staged name of the input and the log, in the worker's folder.
constexpr const char* kStagedInput = "in";
constexpr const char* kWorkerLog = "log.txt";

struct SourceState {
    int64_t size = 0;
    int64_t mtimeNs = 0;
};

int64_t mtimeOf(const struct stat& st) {
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Size and time of every segment, and the checksum of their bytes in disk
// order; the reason when one cannot be read.
std::string readSources(const ConvertSetup& setup, const std::vector<std::string>& paths,
                        std::vector<SourceState>& states, std::string& digest) {
    CSha256 sha;
    for (const std::string& path : paths) {
        const std::string full = setup.source + "/" + path;
        // Non-blocking: a FIFO put in a file's place must not hang the worker.
        int fd = ::open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return std::string("cannot be read: ") + std::strerror(errno);
        struct stat st;
        bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        bool read = regular && sha256OfFile(fd, sha);
        ::close(fd);
        if (!regular) return "no longer a regular file";
        if (!read) return std::string("cannot be read: ") + std::strerror(errno);
        states.push_back({int64_t(st.st_size), mtimeOf(st)});
    }
    digest = sha.hexDigest();
    return "";
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

// Points the staged name at a segment.
bool stage(const std::string& target) {
    ::unlink(kStagedInput);
    return ::symlink(target.c_str(), kStagedInput) == 0;
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
        return stage(setup.source + "/" + paths[size_t(disk) - 1]);
    };
}

// What the engine logged for the last job, its lines joined by "; ".
std::string loggedMessages() {
    std::ifstream in(kWorkerLog, std::ios::binary);
    std::string line, all;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        all += (all.empty() ? "" : "; ") + line;
    }
    return all;
}

// A job over the staged input; args after the program name.
std::unique_ptr<COptionMgr> stagedJob(CModel& model, std::vector<std::string> args) {
    args.insert(args.begin(), "vxarchive");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return std::make_unique<COptionMgr>(model, int(args.size()), argv.data(), nullptr);
}

// The identity and main settings of the staged input, read as the ASCII
// conversion reads it; the engine's message when it cannot be read.
std::string readIdentity(int32_t type, CatalogRow& row) {
    auto model = std::make_unique<CModel>();
    std::unique_ptr<COptionMgr> job = stagedJob(*model, {kStagedInput});
    if (job->errorIndex() != eErrNone || !detectAndCheck(*job)) return loggedMessages();
    if (type == eInWaterfall) model->options.wfCount = 1;
    std::unique_ptr<CFileReader> reader = readerFor(*model, type, eFmtAsc);
    if (!reader || job->file(0).nextMatch().failed()) return msg::text(msg::eInvalidInputType);
    model->cat.reset();
    std::snprintf(model->options.inputName, sizeof model->options.inputName, "%s", kStagedInput);
    if (reader->open(kStagedInput).failed()) {
        reader->close();
        std::string why = loggedMessages();
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
        const char* kind = type == eInWaterfall                  ? "Waterfall"
                           : type == eInSdf || type == eInSdfOld ? "HP SDF"
                                                                 : "";
        FileIdentity id = traceIdentity(*model, kindOf(*model, kind));
        row.kind = id.kind;
        row.measurement = id.measurement;
        row.measureGroup = id.measureGroup;
        row.time = id.time;
        row.points = id.points;
        for (const SettingRecord& s : settingRecords(traceHeaderLines(*model, 2, "")))
            if (s.key == "span" && s.kind == SettingRecord::eNumber) row.spanHz = s.number;
    }
    reader->close();
    return "";
}

// Writes one format of the staged input to "out.<ext>"; the engine's message
// when it failed.
std::string convertTo(const ArchiveFormat& format) {
    const std::string out = "out." + format.extension;
    ::unlink(out.c_str());
    auto model = std::make_unique<CModel>();
    std::unique_ptr<COptionMgr> job = stagedJob(*model, {kStagedInput, out, "/O" + format.keyword});
    if (job->errorIndex() == eErrNone && job->run().ok() && ::access(out.c_str(), F_OK) == 0)
        return "";
    ::unlink(out.c_str());
    std::string why = loggedMessages();
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

} // namespace

void prepareWorkerMessages() {
    errLog().setConsoleSink([](const char*, void*) {}, nullptr);
    (void)errLog().setLogFileName(kWorkerLog);
}

std::string outputPathFor(const std::string& sourcePath, const std::string& extension) {
    return sourcePath + "." + extension;
}

CatalogRow convertUnit(const ConvertSetup& setup, const ArchiveTask& task) {
    CatalogRow row;
    row.path = task.paths.front();
    row.segments.assign(task.paths.begin() + 1, task.paths.end());
    std::vector<SourceState> states;
    row.message = readSources(setup, task.paths, states, row.sha256);
    if (!row.message.empty()) return row;
    row.size = row.mtimeNs = 0;
    for (const SourceState& s : states) {
        row.size += s.size;
        row.mtimeNs = std::max(row.mtimeNs, s.mtimeNs);
    }
    if (task.hasPrevious && task.previous.size == row.size &&
        task.previous.mtimeNs == row.mtimeNs && task.previous.sha256 == row.sha256) {
        CatalogRow kept = task.previous;
        kept.status = kSkipped;
        return kept;
    }
    if (!stage(setup.source + "/" + task.paths.front())) {
        row.message = std::string("cannot be staged: ") + std::strerror(errno);
        return row;
    }
    const int32_t type = existingFileType(kStagedInput);
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
    row.message = readIdentity(type, row);
    std::vector<std::string> made; // extensions written
    std::string notes;
    for (const ArchiveFormat& format : setup.formats) {
        if (!row.message.empty()) break;
        if (!converts(type, format.number)) {
            notes += (notes.empty() ? "" : "; ") +
                     ("no " + format.keyword + " output for a " + row.kind + " file");
            continue;
        }
        stage(setup.source + "/" + task.paths.front());
        row.message = convertTo(format);
        if (row.message.empty()) made.push_back(format.extension);
    }
    setPromptAnswerer(previous);
    if (row.message.empty() && made.empty()) row.message = notes;
    if (row.message.empty() && !unchanged(setup, task.paths, states))
        row.message = "changed while it was converted";
    for (const std::string& ext : made) {
        const std::string staged = "out." + ext;
        const std::string target = outputPathFor(row.path, ext);
        struct stat st;
        if (row.message.empty() && ::stat(staged.c_str(), &st) == 0 &&
            makeParents(setup.dest, target) &&
            ::rename(staged.c_str(), (setup.dest + "/" + target).c_str()) == 0) {
            row.outputs.push_back({target, int64_t(st.st_size)});
            continue;
        }
        if (row.message.empty()) row.message = target + ": " + std::strerror(errno);
        ::unlink(staged.c_str());
    }
    if (row.message.empty()) {
        row.status = CatalogRow::kConverted;
        row.message = notes;
    }
    return row;
}

} // namespace vx
