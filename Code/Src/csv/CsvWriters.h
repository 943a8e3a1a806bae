// CSV output: a trace (Display, HP SDF) or a run of waterfall slices in the
// columns and units of /C and /U, and the samples of a Capture/Arb. Waveform
// buffer beside their times. One header row of names with units, then the
// values, so that CSV readers take the file with no options.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CCsvRows;

class CCsvTraceWriter : public CTraceFileWriter {
  public:
    explicit CCsvTraceWriter(CModel& model, SliceFeed slices = {})
        : CTraceFileWriter(model), slices_(std::move(slices)) {}
    Status write(const char* name) override;

  private:
    Status writeSlices(CCsvRows& rows);
    // The header row (before the first trace's values), then one row per point.
    Status writeTrace(CCsvRows& rows, bool first, int32_t slice);
    std::vector<std::string> columnNames(const ExpandedColumns& cols, bool withSlice);

    SliceFeed slices_;
};

class CCsvCapArbWriter : public CFileWriter {
  public:
    explicit CCsvCapArbWriter(CCapArbReader* reader) : reader_(reader) {}
    Status write(const char* name) override;

  private:
    CCapArbReader* reader_;
};

} // namespace vx
