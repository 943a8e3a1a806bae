// The run of vxarchive: checks the folders, plans, converts in workers and
// keeps the catalog.
#include "archive/ArchiveMain.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/ArchiveOptions.h"
#include "archive/ArchivePlan.h"
#include "archive/CatalogFiles.h"
#include "archive/JsonText.h"
#include "archive/Progress.h"
#include "archive/TreeWalk.h"
#include "archive/Workers.h"
#include "base/SafeOutput.h"

#ifndef VX_VERSION
#error "VX_VERSION names the project version"
#endif

namespace vx {

namespace {

volatile sig_atomic_t stopSignal = 0;

void onStop(int signal) {
    stopSignal = signal;
}

void installStopHandlers() {
    struct sigaction action = {};
    action.sa_handler = onStop; // no SA_RESTART: the wait for results wakes up
    sigfillset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Sent when a lease on a replaced output being written again is broken:
    // the opener waits for the output, the run goes on.
    std::signal(SIGIO, SIG_IGN);
}

void complain(const std::string& text) {
    std::fprintf(stderr, "vxarchive: %s\n", text.c_str());
}

std::string realPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? buf : "";
}

// The absolute path a folder has or would have: its nearest existing
// ancestor resolved, the rest as given.
std::string resolvedPath(const std::string& path) {
    std::string head = path.empty() ? "." : path, tail;
    while (true) {
        const std::string real = realPath(head);
        if (!real.empty()) return tail.empty() ? real : real + "/" + tail;
        const size_t slash = head.find_last_of('/');
        const std::string last = slash == std::string::npos ? head : head.substr(slash + 1);
        tail = tail.empty() ? last : last + "/" + tail;
        head = slash == std::string::npos ? "." : slash == 0 ? "/" : head.substr(0, slash);
    }
}

bool within(const std::string& path, const std::string& folder) {
    return path == folder || (path.compare(0, folder.size(), folder) == 0 &&
                              (folder == "/" || path[folder.size()] == '/'));
}

bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// What the run found: the rows of the tasks, and how they went.
struct RunState {
    std::vector<CatalogRow> rows;
    std::vector<bool> done;
    size_t converted = 0, failed = 0, skipped = 0, finished = 0;
};

// The catalog's rows in path order: this run's, and the last run's for the
// files not reached yet.
std::vector<const CatalogRow*> catalogRows(const ArchivePlan& plan, const RunState& state) {
    std::vector<const CatalogRow*> rows;
    for (size_t i = 0; i < plan.tasks.size(); ++i) {
        if (state.done[i]) {
            if (state.rows[i].status != kNotInstrumentFile) rows.push_back(&state.rows[i]);
        } else if (plan.tasks[i].hasPrevious) {
            rows.push_back(&plan.tasks[i].previous);
        }
    }
    return rows;
}

int runArchive(const ArchiveOptions& options, const ConvertSetup& setup,
               const ArchivePlaces& places) {
    const auto previous =
        options.force ? std::map<std::string, CatalogRow>() : previousRows(places);
    ArchivePlan plan = planArchive(setup, previous);
    if (!options.quiet)
        for (const std::string& warning : plan.warnings)
            complain(warning);
    RunState state;
    state.rows.resize(plan.tasks.size());
    state.done.resize(plan.tasks.size(), false);
    CJournal journal(places.journal);
    CProgress progress(!options.quiet && (options.progress || ::isatty(STDERR_FILENO)),
                       plan.tasks.size());
    std::string why;
    auto lastWrite = std::chrono::steady_clock::now();
    auto onResult = [&](size_t task, CatalogRow& row) {
        if (row.status == kSkipped) {
            row.status = CatalogRow::kConverted;
            ++state.skipped;
        } else if (row.converted()) {
            ++state.converted;
        } else if (row.status != kNotInstrumentFile) {
            ++state.failed;
        }
        state.rows[task] = std::move(row);
        state.done[task] = true;
        ++state.finished;
        // The catalog leaves out what is no instrument file, and so does the journal.
        if (state.rows[task].status != kNotInstrumentFile) journal.append(state.rows[task]);
        progress.update(state.finished, state.failed);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastWrite > std::chrono::seconds(2)) {
            lastWrite = now;
            (void)writeCatalog(places, catalogRows(plan, state), why);
        }
    };
    CWorkerPool pool(setup, options.jobs, places.workDir);
    const bool ran = pool.run(plan.tasks, onResult, [] { return stopSignal != 0; });
    progress.finish();
    if (writeCatalog(places, catalogRows(plan, state), why).failed()) {
        complain("the catalog cannot be written: " + why);
        return eArchiveCannotRun;
    }
    if (stopSignal) return 128 + stopSignal;
    if (!ran) {
        complain("no worker process could be started: " + systemReason(errno));
        return eArchiveCannotRun;
    }
    ::unlink(places.journal.c_str());
    for (const CatalogRow* row : catalogRows(plan, state))
        if (!row->converted())
            std::fprintf(stderr, "vxarchive: failed: %s: %s\n", shownPath(row->path).c_str(),
                         utf8OrEscaped(row->message).c_str());
    if (!options.quiet)
        std::printf("%zu converted, %zu failed, %zu skipped\n", state.converted, state.failed,
                    state.skipped);
    return state.failed > 0 || plan.incomplete ? eArchiveFailures : eArchiveOk;
}

} // namespace

int archiveMain(int argc, char** argv) {
    ArchiveOptions options;
    std::string why;
    if (!parseArchiveOptions(argc, argv, options, why)) {
        complain(why);
        std::fprintf(stderr, "Try 'vxarchive --help'.\n");
        return eArchiveUsage;
    }
    if (options.version) {
        std::printf("vxarchive %s\n", VX_VERSION);
        return eArchiveOk;
    }
    if (options.help) {
        std::fputs(archiveHelp(0).c_str(), stdout);
        return eArchiveOk;
    }
    ConvertSetup setup;
    setup.source = realPath(options.source);
    struct stat st;
    if (setup.source.empty() || ::stat(setup.source.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        complain(shownPath(options.source) + ": not a folder that can be read");
        return eArchiveUsage;
    }
    setup.dest = resolvedPath(options.dest);
    if (within(setup.dest, setup.source)) {
        complain("DEST " + shownPath(options.dest) + " is inside SRC: refused, SRC is only read");
        return eArchiveUsage;
    }
    // Outputs mirror SRC's tree under DEST: with SRC inside DEST, a folder of
    // SRC named like SRC itself would have them written under SRC.
    if (within(setup.source, setup.dest)) {
        complain("SRC " + shownPath(options.source) + " is inside DEST: refused, SRC is only read");
        return eArchiveUsage;
    }
    setup.formats = options.formats;
    const ArchivePlaces places(setup.dest);
    if (!makeFolders(setup.dest) || !makeFolders(places.privateDir)) {
        complain(shownPath(options.dest) + ": cannot be made: " + systemReason(errno));
        return eArchiveCannotRun;
    }
    // A record lock, which the workers do not inherit: it ends with this
    // process, so a rerun right after a kill -9 is not refused.
    const int lock = ::open(places.lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (lock < 0 || ::fcntl(lock, F_SETLK, &whole) != 0) {
        complain(shownPath(options.dest) + ": another vxarchive run writes there");
        return eArchiveCannotRun;
    }
    installStopHandlers();
    removeLeftovers(places);
    if (::mkdir(places.workDir.c_str(), 0700) != 0) {
        complain(shownPath(places.workDir) + ": cannot be made: " + systemReason(errno));
        return eArchiveCannotRun;
    }
    const int status = runArchive(options, setup, places);
    removeLeftovers(places);
    ::close(lock);
    return status;
}

} // namespace vx
