// The Display file: reading it into the trace and writing the trace out as
// one, and the reader and writer that the pairing table hands out.
#pragma once
#include <string>

#include "base/FileIO.h"
#include "base/Status.h"
#include "trace/TRACE.h"
#include "trace/TraceFileWriter.h"

namespace vx {

// 0, or 26 when the vectors are missing or a write fails.
Status writeDisplayFile(TraceMgr& trace, socket& out);
// 0, 1 when the settings could not be applied, 26 for a damaged file.
Status readDisplayFile(TraceMgr& trace, socket& in);
// Reads vector 1's header and data from a stream (waterfall slices).
Status readVectorFrom(TraceMgr& trace, socket& in);

// Reader of Display files.
class CTraceReader : public CFileReader {
  public:
    Status open(const char* name) override;
};

// Writer of Display files.
class CTraceWriter final : public CTraceFileWriter {
  public:
    Status write(const char* name) override;
    // The /Q list; names of 255 characters or more are not taken.
    void setReplacementFile(const char* name);

  private:
    std::string replacementFile_;
};

} // namespace vx
