// The console program's entry.
#include "run/ConsoleMain.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ErrLogger.h"
#include "base/SafeOutput.h"

#include "run/Help.h"
#include "run/OptionMgr.h"

#ifndef VX_VERSION
#error "VX_VERSION names the project version"
#endif

namespace vx {

namespace {

// "--help" and "--version" as the only argument, the habit of Linux programs;
// the instrument's own options stay slash (or single dash) options.
bool longOption(int argc, char** argv, const char* name) {
    return argc == 2 && std::strcmp(argv[1], name) == 0;
}

// The log's name, taken when the handlers are installed; /E changes the text
// in place.
const char* logName = nullptr;

// Appends the line to the log when it is a regular file; signal-safe.
void logInterruption(const char* line, size_t len) {
    int fd = ::open(logName, O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) (void)!::write(fd, line, len);
    ::close(fd);
}

// SIGINT, SIGTERM, SIGHUP: the output being written is left as it was, one
// line says why the run ended, and the status is the shell's 128 + n.
void onInterrupt(int signal) {
    static const char kInt[] = "Interrupted (SIGINT): Process aborted\n";
    static const char kTerm[] = "Interrupted (SIGTERM): Process aborted\n";
    static const char kHup[] = "Interrupted (SIGHUP): Process aborted\n";
    undoInterruptedOutputs();
    CErrLogger::flushConsoleForSignal();
    const char* line = signal == SIGINT ? kInt : signal == SIGTERM ? kTerm : kHup;
    const size_t len = signal == SIGINT    ? sizeof kInt - 1
                       : signal == SIGTERM ? sizeof kTerm - 1
                                           : sizeof kHup - 1;
    (void)!::write(STDOUT_FILENO, line, len);
    logInterruption(line, len);
    ::_exit(128 + signal);
}

void installInterruptHandlers() {
    logName = errLog().logFileName();
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigfillset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // Sent when a lease on a replaced output being written again is broken:
    // the opener waits for the output, the run goes on.
    std::signal(SIGIO, SIG_IGN);
}

} // namespace

namespace {

int runProgram(int argc, char** argv) {
    if (longOption(argc, argv, "--version")) {
        std::printf("vxconv %s\n", VX_VERSION);
        return kStatusOk;
    }
    installInterruptHandlers();
    if (longOption(argc, argv, "--help")) {
        printHelpText(ConvOptions(), 0, eFmtNone);
        return kStatusOk;
    }
    // The program's one model, for its one job.
    auto model = std::make_unique<CModel>();
    auto job = std::make_unique<COptionMgr>(*model, argc, argv, COptionMgr::kSettingsFile);
    if (job->errorIndex() != eErrNone) return kStatusFailed;
    if (job->fileCount() != 1 && job->fileCount() != 2) {
        job->printHelp();
        return kStatusOk;
    }
    return job->run().code();
}

} // namespace

int consoleMain(int argc, char** argv) {
    // Lines for a terminal are shown as they come; for a file or a pipe they
    // are written together, at the end of each converted file.
    errLog().setConsoleBatched(!::isatty(STDOUT_FILENO));
    const int status = runProgram(argc, argv);
    errLog().flushConsole();
    return status;
}

} // namespace vx
