// JSON output: one document per input with the file's identity, its settings
// (every line of the exhaustive header, typed) and its data: a trace's x
// values and /C columns in the /U units, the chosen waterfall slices, or the
// samples of a Capture/Arb. Waveform buffer in volts with their rate.
#pragma once
#include <string>

#include "base/FileIO.h"
#include "settings/Json.h"
#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CJsonTraceWriter : public CTraceFileWriter {
  public:
    // kind: the file kind the identity names ("HP SDF", "Waterfall"); a
    // Display file's is told from the trace.
    CJsonTraceWriter(CModel& model, std::string kind, SliceFeed slices = {})
        : CTraceFileWriter(model), kind_(std::move(kind)), slices_(std::move(slices)) {}
    Status write(const char* name) override;

  private:
    Status writeDocument(CJson& json);
    // The x values and the value columns of the trace's points.
    void writeColumns(CJson& json, const ExpandedColumns& cols);
    Status flush(CJson& json);

    std::string kind_;
    SliceFeed slices_;
};

class CJsonCapArbWriter : public CFileWriter {
  public:
    CJsonCapArbWriter(const enumParAction& rpmSwitch, CCapArbReader* reader)
        : rpmSwitch_(rpmSwitch), reader_(reader) {}
    Status write(const char* name) override;

  private:
    const enumParAction& rpmSwitch_;
    CCapArbReader* reader_;
};

} // namespace vx
