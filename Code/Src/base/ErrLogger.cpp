// The message stream: each line goes to the console (or a host's sink), the
// log file, or both; each log line is written whole with one append, so the
// log is complete after every line and lines of two processes never mix.
#include "base/ErrLogger.h"

#include "base/Platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vx {

namespace {

// A log is written only where no file is, a regular file is, or the null
// device (a host's way to keep no log): opening a FIFO or another device could
// block or write where nothing is kept.
bool loggableFile(const struct stat& st) {
    struct stat null;
    if (S_ISREG(st.st_mode)) return true;
    return S_ISCHR(st.st_mode) && stat("/dev/null", &null) == 0 && st.st_rdev == null.st_rdev;
}

bool loggable(const char* name) {
    struct stat st;
    return stat(name, &st) != 0 || loggableFile(st);
}

// Writes all of it, as far as the file takes it.
void writeAll(int fd, const char* data, size_t len) {
    while (len > 0) {
        ssize_t n = ::write(fd, data, len);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        len -= static_cast<size_t>(n);
    }
}

// The collected console lines of the console program (one thread), kept where
// a signal handler can write them out. Bytes before consoleDone are written.
char consoleBuffer[1 << 15];
volatile sig_atomic_t consoleFilled = 0;
volatile sig_atomic_t consoleDone = 0;

} // namespace

CErrLogger::CErrLogger() {
    std::snprintf(name_, sizeof name_, "%s", "qrblog.txt");
}

CErrLogger::~CErrLogger() {
    closeLog();
    if (consoleBatched_) flushConsole();
}

CErrLogger& errLog() {
    thread_local CErrLogger logger;
    return logger;
}

namespace {

// The host's sink is the process's, whichever thread writes the line.
struct SharedSink {
    CErrLogger::ConsoleSink sink = nullptr;
    void* context = nullptr;
};
std::mutex sinkMutex;
SharedSink sharedSink;

SharedSink currentSink() {
    const std::lock_guard<std::mutex> lock(sinkMutex);
    return sharedSink;
}

} // namespace

bool CErrLogger::openLog() {
    if (log_ >= 0 && (logUnnamed_ || (!checkEachLine_ && !checkDue_))) return true;
    checkDue_ = false;
    struct stat st;
    if (log_ >= 0 && platform::statReused(name_, st) && st.st_dev == logDevice_ &&
        st.st_ino == logInode_)
        return true;
    return reopenLog();
}

bool CErrLogger::reopenLog() {
    // The line being ended goes to the file now found under the name.
    if (log_ >= 0) ::close(log_);
    log_ = -1;
    if (!loggable(name_)) return false;
    // Not blocking: a FIFO put in the log's place meanwhile is refused below.
    int fd = ::open(name_, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !loggableFile(st)) {
        ::close(fd);
        return false;
    }
    log_ = fd;
    logDevice_ = st.st_dev;
    logInode_ = st.st_ino;
    logUnnamed_ = st.st_nlink == 0;
    return true;
}

void CErrLogger::writeLogLine() {
    if (!checkEachLine_ && logLine_.size() == heldBlanks_ + 1) {
        heldBlanks_ = logLine_.size(); // a blank line: it waits for the next line
        return;
    }
    if (!logLine_.empty() && openLog()) writeAll(log_, logLine_.data(), logLine_.size());
    logLine_.clear();
    heldBlanks_ = 0;
}

void CErrLogger::setLogCheckedEachLine(bool each) {
    checkEachLine_ = each;
    if (!each || heldBlanks_ == 0) return;
    if (openLog()) writeAll(log_, logLine_.data(), heldBlanks_);
    logLine_.erase(0, heldBlanks_);
    heldBlanks_ = 0;
}

void CErrLogger::closeLog() {
    // A line left unfinished is kept, as far as it went.
    if (!logLine_.empty() && (log_ >= 0 || reopenLog()))
        writeAll(log_, logLine_.data(), logLine_.size());
    logLine_.clear();
    heldBlanks_ = 0;
    if (log_ >= 0) ::close(log_);
    log_ = -1;
}

void CErrLogger::writeConsole(const char* text, size_t len) {
    if (currentSink().sink) {
        sinkLine_.append(text, len);
    } else if (!consoleBatched_) {
        std::fwrite(text, 1, len, stdout);
    } else {
        if (len > sizeof consoleBuffer - consoleFilled) flushConsole();
        if (len > sizeof consoleBuffer) {
            writeAll(STDOUT_FILENO, text, len);
            return;
        }
        std::memcpy(consoleBuffer + consoleFilled, text, len);
        consoleFilled = consoleFilled + static_cast<sig_atomic_t>(len);
    }
}

void CErrLogger::setConsoleBatched(bool batched) {
    if (consoleBatched_ == batched) return;
    if (batched)
        std::fflush(stdout);
    else
        flushConsole();
    consoleBatched_ = batched;
}

void CErrLogger::flushConsoleSometimes() {
    if (!consoleBatched_ || consoleFilled == 0) return;
    // Shown at least every fifth of a second, and before the collection fills.
    constexpr long kMaxWaitNs = 200000000;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long waited =
        (now.tv_sec - consoleSince_.tv_sec) * 1000000000L + (now.tv_nsec - consoleSince_.tv_nsec);
    if (waited >= kMaxWaitNs || consoleFilled > sig_atomic_t(sizeof consoleBuffer / 2))
        flushConsole();
}

void CErrLogger::flushConsole() {
    if (!consoleBatched_) return;
    clock_gettime(CLOCK_MONOTONIC, &consoleSince_);
    while (consoleDone < consoleFilled) {
        ssize_t n = ::write(STDOUT_FILENO, consoleBuffer + consoleDone,
                            static_cast<size_t>(consoleFilled - consoleDone));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        consoleDone = consoleDone + static_cast<sig_atomic_t>(n);
    }
    consoleFilled = 0;
    consoleDone = 0;
}

void CErrLogger::flushConsoleForSignal() {
    sig_atomic_t done = consoleDone;
    const sig_atomic_t filled = consoleFilled;
    while (done < filled) {
        ssize_t n =
            ::write(STDOUT_FILENO, consoleBuffer + done, static_cast<size_t>(filled - done));
        if (n <= 0) return;
        done += static_cast<sig_atomic_t>(n);
    }
}

void CErrLogger::endConsoleLine() {
    const SharedSink host = currentSink();
    if (host.sink) {
        // Cleared before the call: a sink that writes messages itself starts a new line.
        const std::string line = std::move(sinkLine_);
        sinkLine_.clear();
        host.sink(line.c_str(), host.context);
        return;
    }
    if (consoleBatched_) {
        writeConsole("\n", 1);
        return;
    }
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CErrLogger::setConsoleSink(ConsoleSink sink, void* context) {
    if (!sinkLine_.empty()) endConsoleLine();
    const std::lock_guard<std::mutex> lock(sinkMutex);
    sharedSink = SharedSink{sink, context};
}

void CErrLogger::write(const char* text, size_t len) {
    if (dest_ & eConsole) writeConsole(text, len);
    if (dest_ & eLogFile) logLine_.append(text, len);
}

CErrLogger& CErrLogger::operator<<(const char* text) {
    if (text) write(text, std::strlen(text));
    return *this;
}

CErrLogger& CErrLogger::operator<<(char c) {
    write(&c, 1);
    return *this;
}

CErrLogger& CErrLogger::writeSigned(long v) {
    char buf[24];
    int n = std::snprintf(buf, sizeof buf, "%ld", v);
    write(buf, static_cast<size_t>(n));
    return *this;
}

CErrLogger& CErrLogger::writeUnsigned(unsigned long v) {
    char buf[24];
    int n = std::snprintf(buf, sizeof buf, "%lu", v);
    write(buf, static_cast<size_t>(n));
    return *this;
}

CErrLogger& CErrLogger::operator<<(double v) {
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%g", v);
    write(buf, static_cast<size_t>(n));
    return *this;
}

CErrLogger& CErrLogger::operator<<(LineEnd) {
    if (dest_ & eConsole) endConsoleLine();
    if (dest_ & eLogFile) {
        logLine_ += '\n';
        writeLogLine();
    }
    dest_ = eBoth;
    return *this;
}

CErrLogger& CErrLogger::operator<<(ConsoleOnly) {
    dest_ = eConsole;
    return *this;
}

CErrLogger& CErrLogger::operator<<(BothDestinations) {
    dest_ = eBoth;
    return *this;
}

Status CErrLogger::setLogFileName(const char* name) {
    closeLog();
    if (!name || std::strlen(name) > kMaxNameLen) return kStatusFailed;
    std::snprintf(name_, sizeof name_, "%s", name);
    checkDue_ = true;
    return reopenLog() ? kStatusOk : kStatusFailed;
}

void CErrLogger::clearLogFile() {
    closeLog();
    if (!loggable(name_)) return;
    if (FILE* f = std::fopen(name_, "w")) std::fclose(f);
    checkDue_ = true;
}

void CErrLogger::assertionReport(const char* expr, const char* module, int line) {
    *this << expr << " FAILED: " << endLine;
    *this << module << " line " << line << endLine;
}

} // namespace vx
