// Refusals that keep a run from destroying a file it was not asked to
// replace: an output that is the input, its /Q list or the log, an output
// over an instrument or HP SDF file of another kind (a shell-expanded
// wildcard), and a log that is a file the run reads or writes or that holds
// measurements.
#pragma once
#include <cstdint>

#include "base/Status.h"

namespace vx {

class COptionMgr;

// True when the output may be written for this input (and /Q list, empty
// when none) in the given output format; otherwise the refusal has been
// written (console and log).
bool outputIsSafe(int32_t format, const char* in, const char* out, const char* list);

// True when the log file holds an instrument or HP SDF file. Quiet.
bool logHoldsMeasurement();

// Names the log file (CErrLogger::setLogFileName): 0, or 1 when it cannot be
// opened, is no regular file, or holds a measurement ("Log file is an
// instrument or HP SDF file: " is written, and the previous log is kept).
Status chooseLogFile(const char* name);

// Why the job's log must not be cleared or written ("Log file is the input
// file: "), or nullptr when it may: it is none of the job's inputs, its /Q
// file or its outputs, and holds no measurement.
const char* logRefusal(COptionMgr& job);

// True when the two names are one file, or would be when created.
bool samePlace(const char* a, const char* b);

} // namespace vx
