// The settings lines of a file's text header, as label and text: the trace
// header in its standard or exhaustive form, and the Capture/Arb. header.
// The ASCII output prints them; the settings model types them.
#pragma once
#include <string>
#include <vector>

#include "base/Options.h"
#include "trace/Model.h"

namespace vx {

class enumParAction;

struct HeaderLine {
    std::string label; // byte for byte, its separator included
    std::string text;
    bool echo = true; // also shown on the console
};

// The trace's header lines for header mode 1 (standard) or 2 (exhaustive),
// without the input file's name: the group block or the list dumps, then the
// file list when it is on. sliceText: the value of a waterfall slice's line.
std::vector<HeaderLine> traceHeaderLines(CModel& model, int16_t headerMode,
                                         const std::string& sliceText);

// The Capture/Arb. header lines after the input file's name; kind is the
// reader's kind word, the sampling frequency follows the RPM switch.
std::vector<HeaderLine> capArbHeaderLines(const CapArbHeader& header, int16_t kind,
                                          const enumParAction& rpmSwitch);

} // namespace vx
