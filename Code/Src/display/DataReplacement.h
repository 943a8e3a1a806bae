// Option /Q: the values of an ASCII list replace a trace's vector 1.
#pragma once
#include "base/Status.h"
#include "trace/TRACE.h"

namespace vx {

// A count line (a whole number from 1 up), then one value a line (real,
// imaginary, ...) within single-precision range; points beyond the count
// become zero. 1, with a message and the trace unchanged, for a list that
// cannot be read or says anything else.
Status replaceData(TraceMgr& trace, const char* name);

} // namespace vx
