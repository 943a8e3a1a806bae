// The base of every writer of the trace model: each writes the trace record
// and the parameter objects that a trace reader filled, in its own format,
// under the model's options.
#pragma once
#include <memory>

#include "base/FileIO.h"
#include "trace/AXIS.h"
#include "trace/Model.h"

namespace vx {

class CTraceFileWriter : public CFileWriter {
  public:
    explicit CTraceFileWriter(CModel& model) : model_(model) {}

  protected:
    CModel& model_;
    // The trace's x-axis, held by a writer that needs it while it writes.
    std::unique_ptr<xAxisT> axis_;
};

} // namespace vx
