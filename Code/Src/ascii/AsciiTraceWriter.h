// The ASCII output of a trace: the standard or exhaustive header and the
// table of values in the chosen columns and units.
#pragma once
#include <string>

#include "trace/TraceFileWriter.h"

namespace vx {

class CAsciiTraceWriter : public CTraceFileWriter {
  public:
    using CTraceFileWriter::CTraceFileWriter;
    Status write(const char* name) override;

  protected:
    virtual void writeHeader();
    virtual Status writeData();
    // The text of the "A waterfall slice at: " line of a waterfall slice.
    virtual std::string sliceText() { return ""; }
};

} // namespace vx
