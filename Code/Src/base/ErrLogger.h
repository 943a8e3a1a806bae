// The message stream: console, error log file, and assertion reports.
#pragma once
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/types.h>

#include "base/Messages.h"
#include "base/Status.h"

namespace vx {

// Manipulators for the message stream.
struct LineEnd {};
struct ConsoleOnly {};
struct BothDestinations {};
inline constexpr LineEnd endLine{};
inline constexpr ConsoleOnly consoleOnly{};
inline constexpr BothDestinations bothDest{};

class CErrLogger {
  public:
    enum : uint16_t { eConsole = 1, eLogFile = 2, eBoth = 3 };
    // Receives each console line, without its line end, instead of standard
    // output (a library host's message hook).
    using ConsoleSink = void (*)(const char* line, void* context);
    static constexpr size_t kMaxNameLen = 255;

    CErrLogger();
    ~CErrLogger();
    CErrLogger(const CErrLogger&) = delete;
    CErrLogger& operator=(const CErrLogger&) = delete;

    CErrLogger& operator<<(const char* text);
    CErrLogger& operator<<(const std::string& text) { return *this << text.c_str(); }
    CErrLogger& operator<<(char c);
    CErrLogger& operator<<(msg::Id id) { return *this << msg::text(id); }
    CErrLogger& operator<<(int16_t v) { return writeSigned(v); }
    CErrLogger& operator<<(int v) { return writeSigned(v); }
    CErrLogger& operator<<(long v) { return writeSigned(v); }
    CErrLogger& operator<<(unsigned v) { return writeUnsigned(v); }
    CErrLogger& operator<<(unsigned long v) { return writeUnsigned(v); }
    CErrLogger& operator<<(double v);
    CErrLogger& operator<<(LineEnd);
    CErrLogger& operator<<(ConsoleOnly);
    CErrLogger& operator<<(BothDestinations);

    // Returns 0 when the new log file can be opened for appending, 1 otherwise;
    // the name is taken either way, except a name longer than 255 characters.
    // A log is only ever a regular file (or /dev/null, no log): a FIFO or
    // another device is refused (1) and never opened.
    Status setLogFileName(const char* name);
    const char* logFileName() const { return name_; }
    // True while the log is a file no name leads to (one made in memory, or
    // given as /proc/self/fd/N of a removed file): no file of a run can be
    // it, and its name needs no check before a line.
    bool logIsUnnamed() const { return log_ >= 0 && logUnnamed_; }
    void clearLogFile();
    // The log stays open between lines; before a line it is checked that its
    // name still leads to it (a deleted or replaced log is opened anew). A run
    // over many files checks once per file instead: off, the name is checked
    // only on the line after recheckLogFile. In such a run a blank line goes
    // out with the line after it (or when the run ends), not with a write of
    // its own.
    void setLogCheckedEachLine(bool each);
    void recheckLogFile() { checkDue_ = true; }
    // Console lines on standard output are collected and written together at
    // flushConsole (or when the collection is full) instead of one write per
    // line: for the console program when its output is no terminal.
    void setConsoleBatched(bool batched);
    void flushConsole();
    // flushConsole when the lines have waited long enough to be shown, or the
    // collection is half full: for a run at the end of each file.
    void flushConsoleSometimes();
    // Writes what the console collection holds; only async-signal-safe calls.
    static void flushConsoleForSignal();
    // A failed internal consistency check: reported, and the program carries on.
    void assertionReport(const char* expr, const char* module, int line);
    uint16_t destinations() const { return dest_; }
    // Console lines of every thread go to the sink from the next line on; none
    // puts them back on standard output. A line already begun is passed on first.
    void setConsoleSink(ConsoleSink sink, void* context);

  private:
    CErrLogger& writeSigned(long v);
    CErrLogger& writeUnsigned(unsigned long v);
    void write(const char* text, size_t len);
    void writeConsole(const char* text, size_t len);
    void endConsoleLine();
    bool openLog();
    bool reopenLog();
    void writeLogLine();
    void closeLog();

    char name_[kMaxNameLen + 1];
    int log_ = -1;        // the log file, open for appending
    dev_t logDevice_ = 0; // and what it is, to tell when its name leads elsewhere
    ino_t logInode_ = 0;
    bool logUnnamed_ = false; // no link to it when it was opened
    bool checkEachLine_ = true;
    bool checkDue_ = true;
    bool consoleBatched_ = false;
    timespec consoleSince_{}; // when the console collection was last written
    std::string logLine_;     // the log line being collected, written whole at its end
    size_t heldBlanks_ = 0;   // leading bytes of logLine_: blank lines not yet written
    uint16_t dest_ = eBoth;
    std::string sinkLine_; // the console line being collected for the sink
};

// The message stream of the calling thread: the console program and the
// library convert on one thread and so have one; a second thread converting at
// once writes its own lines. The host's console sink is shared by all.
CErrLogger& errLog();

} // namespace vx

// Internal consistency check: on failure reports the text, this module and line.
#define VX_ASSERT(cond, text)                                                                      \
    do {                                                                                           \
        if (!(cond)) ::vx::errLog().assertionReport((text), __FILE__, __LINE__);                   \
    } while (0)
