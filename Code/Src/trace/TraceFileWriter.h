// The base of every writer of the trace model: each writes the trace record
// and the parameter objects that a trace reader filled, in its own format.
#pragma once
#include <memory>

#include "base/FileIO.h"
#include "trace/AXIS.h"

namespace vx {

class CTraceFileWriter : public CFileWriter {
  protected:
    // The trace's x-axis, held by a writer that needs it while it writes.
    std::unique_ptr<xAxisT> axis_;
};

} // namespace vx
