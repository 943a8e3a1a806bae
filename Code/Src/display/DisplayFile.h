// The Display file: reading it into the trace and writing the trace out as
// one, and the reader and writer that the pairing table hands out.
#pragma once
#include <string>

#include "base/FileIO.h"
#include "base/Status.h"
#include "trace/Model.h"
#include "trace/TRACE.h"
#include "trace/TraceFileWriter.h"

namespace vx {

// 0, or 26 when the vectors are missing or a write fails.
Status writeDisplayFile(CModel& model, socket& out);
// 0, 1 when the settings could not be applied, 26 for a damaged file.
Status readDisplayFile(CModel& model, socket& in);
// Reads vector 1's header and data from a stream (waterfall slices).
Status readVectorFrom(TraceMgr& trace, socket& in);

// Reader of Display files: fills the model's trace and the parameters.
class CTraceReader : public CFileReader {
  public:
    explicit CTraceReader(CModel& model) : model_(model) {}
    Status open(const char* name) override;

  private:
    CModel& model_;
};

// Writer of Display files.
class CTraceWriter final : public CTraceFileWriter {
  public:
    using CTraceFileWriter::CTraceFileWriter;
    Status write(const char* name) override;
    // The /Q list; names of 255 characters or more are not taken.
    void setReplacementFile(const char* name);

  private:
    std::string replacementFile_;
};

} // namespace vx
