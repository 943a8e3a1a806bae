// Option /Q: the values of an ASCII list replace a trace's vector 1.
#pragma once
#include "base/Status.h"
#include "trace/TRACE.h"

namespace vx {

// A count line, then one value a line (real, imaginary, ...); points beyond
// the count become zero. 1, with a message, for a list that cannot be read.
Status replaceData(TraceMgr& trace, const char* name);

} // namespace vx
