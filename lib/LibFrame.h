// The frame that the library's entry points share: the guard of each call,
// the engine prepared once, the argument vectors of their jobs, the flag that
// a trace is loaded, and opening the first input file with the reader of its
// type.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/CLocaleScope.h"
#include "base/DISK_M.h"
#include "base/FileIO.h"
#include "base/Status.h"
#include "run/ConvRun.h"
#include "run/OptionMgr.h"
#include "vxcore.h"
#include "waterfall/Waterfall.h"

namespace vx::lib {

// The library's state between calls: its one model, which each call's job
// fills and which keeps the trace a load leaves for the reads that follow,
// and whether it holds such a trace.
struct LibState {
    CModel model;
    // 1 while a trace loaded by VX560_LOADDISPLAY or VX560_LOADWATERFALL is
    // held in the model.
    int16_t displayLoaded = 0;
};

// The library's one state, built at its first use.
LibState& libState();

// The host's answer to disk prompts (VX560_SETPROMPTHOOK); none at first.
extern VX560_PROMPTHOOK promptHook;
extern void* promptContext;

// One entry point's call. Refused while another call runs: a call from
// inside a host's hook would change the model, the options and the outputs
// of the conversion it interrupts. Otherwise, until it returns, numbers are
// in the C locale and disk prompts go to the host's hook, never to standard
// input.
class EntryCall {
  public:
    EntryCall();
    ~EntryCall();
    EntryCall(const EntryCall&) = delete;
    EntryCall& operator=(const EntryCall&) = delete;
    bool refused() const { return !claimed_; }

  private:
    bool claimed_;
    std::optional<CLocaleScope> numbersInC_;
    PromptAnswerer consoleAnswerer_;
};

// An argument vector: "zevazo" and then the given texts, as writable copies
// (the job lower-cases its parameters and file names in place).
class ArgVector {
  public:
    static constexpr const char* kProgramName = "zevazo";

    explicit ArgVector(const std::vector<std::string>& args = {});
    int count() const { return static_cast<int>(pointers_.size()) - 1; }
    char** argv() { return pointers_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_; // null-terminated
};

// The job of a file-based entry point, on the library's model: "zevazo" and
// the file name, or "zevazo" alone when no name is given.
std::unique_ptr<COptionMgr> fileJob(const char* fileName);

// The reader an entry point uses for an input type; null when it takes no
// file of that type. Each returns the reader's own type.
std::unique_ptr<CFileReader> infoReader(CModel& model, int32_t inputType);
std::unique_ptr<CFileReader> displayReader(CModel& model, int32_t inputType);
std::unique_ptr<CWaterFallReader> waterfallReader(CModel& model, int32_t inputType);

// A reader with its file open, of the type its opener made; closed when it goes.
template <class Reader = CFileReader> struct OpenedInput {
    std::unique_ptr<Reader> reader;
    Status status = kStatusFailed;

    OpenedInput() = default;
    OpenedInput(OpenedInput&&) = default;
    ~OpenedInput() {
        if (reader) reader->close();
    }
};

// Opens the job's first matching file with the reader: resets the model,
// names the input in the option block and reads the file. 1 when no file matches.
Status openFirstMatch(COptionMgr& job, CFileReader& reader);
// "Invalid input file type": the entry point takes no file of the input's type.
void reportNoReader();

template <class Reader>
OpenedInput<Reader> openWith(COptionMgr& job, std::unique_ptr<Reader> reader) {
    OpenedInput<Reader> in;
    in.reader = std::move(reader);
    in.status = openFirstMatch(job, *in.reader);
    return in;
}

// Detection and the conversion check, then openWith the reader of the type.
template <class Reader>
OpenedInput<Reader> openFirstInput(COptionMgr& job,
                                   std::unique_ptr<Reader> (*choose)(CModel& model,
                                                                     int32_t inputType)) {
    if (!detectAndCheck(job)) return {};
    std::unique_ptr<Reader> reader = choose(job.model(), job.inputType());
    if (!reader) {
        reportNoReader();
        return {};
    }
    return openWith(job, std::move(reader));
}

} // namespace vx::lib
