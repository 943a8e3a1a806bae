// The message stream: each line goes to the console (or a host's sink), the
// log file, or both; the log file is open only while a line is written, so it
// is always complete.
#include "base/ErrLogger.h"

#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <utility>

namespace vx {

namespace {

// A log is written only where no file is, a regular file is, or the null
// device (a host's way to keep no log): opening a FIFO or another device could
// block or write where nothing is kept.
bool loggable(const char* name) {
    struct stat st, null;
    if (stat(name, &st) != 0 || S_ISREG(st.st_mode)) return true;
    return S_ISCHR(st.st_mode) && stat("/dev/null", &null) == 0 && st.st_rdev == null.st_rdev;
}

} // namespace

CErrLogger::CErrLogger() {
    std::snprintf(name_, sizeof name_, "%s", "qrblog.txt");
}

CErrLogger::~CErrLogger() {
    closeLog();
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
    if (!log_ && loggable(name_)) log_ = std::fopen(name_, "a");
    return log_ && !std::ferror(log_);
}

void CErrLogger::closeLog() {
    if (log_) std::fclose(log_);
    log_ = nullptr;
}

void CErrLogger::writeConsole(const char* text, size_t len) {
    if (currentSink().sink)
        sinkLine_.append(text, len);
    else
        std::fwrite(text, 1, len, stdout);
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
    if ((dest_ & eLogFile) && openLog()) std::fwrite(text, 1, len, log_);
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
    if ((dest_ & eLogFile) && openLog()) {
        std::fputc('\n', log_);
        std::fflush(log_);
    }
    closeLog();
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
    if (!loggable(name_)) return kStatusFailed;
    FILE* f = std::fopen(name_, "a");
    if (!f) return kStatusFailed;
    std::fclose(f);
    return kStatusOk;
}

void CErrLogger::clearLogFile() {
    closeLog();
    if (!loggable(name_)) return;
    if (FILE* f = std::fopen(name_, "w")) std::fclose(f);
}

void CErrLogger::assertionReport(const char* expr, const char* module, int line) {
    *this << expr << " FAILED: " << endLine;
    *this << module << " line " << line << endLine;
}

} // namespace vx
