// The base of every writer of the trace model: each writes the trace record
// and the parameter objects that a trace reader filled, in its own format,
// under the model's options.
#pragma once
#include <functional>
#include <memory>

#include "base/FileIO.h"
#include "trace/AXIS.h"
#include "trace/Model.h"

namespace vx {

// The waterfall slices that a trace writer writes one after another: how many
// there are (asked once the reader is open), and the read of the next one
// into the trace (its status).
struct SliceFeed {
    std::function<int16_t()> count;
    std::function<Status()> next;
    bool empty() const { return !next; }
};

class CTraceFileWriter : public CFileWriter {
  public:
    explicit CTraceFileWriter(CModel& model) : model_(model) {}

  protected:
    CModel& model_;
    // The trace's x-axis, held by a writer that needs it while it writes.
    std::unique_ptr<xAxisT> axis_;
};

} // namespace vx
