// The message stream: console, error log file, and assertion reports.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

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
    void clearLogFile();
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
    void closeLog();

    char name_[kMaxNameLen + 1];
    FILE* log_ = nullptr;
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
