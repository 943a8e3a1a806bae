// netCDF-4 output: a trace (Display, HP SDF) with its x-axis as the
// coordinate of a dimension named after the axis kind and one variable per
// /C column in the /U units; waterfall slices as two-dimensional variables
// (slice by x); the samples of a Capture/Arb. Waveform buffer in volts over
// time in seconds. Files that xarray, MATLAB and h5py open with no options.
#pragma once
#include <string>

#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CNcFile;

// What the global attributes say of the run: the title of the input kind (of
// a trace; a buffer's follows its kind) and the command line that made the
// file.
struct NcRunInfo {
    std::string title;
    std::string commandLine;
};

// The settings of the model as attributes of the file: to be filled from the
// settings model (settings/), one typed attribute per setting with its unit
// and the whole settings JSON as one; until then nothing is written. Called
// for traces; a Capture/Arb. buffer's settings are to join the same way.
void writeSettingsAttributes(CNcFile& nc, CModel& model);

class CNcTraceWriter : public CTraceFileWriter {
  public:
    CNcTraceWriter(CModel& model, NcRunInfo info, SliceFeed slices = {})
        : CTraceFileWriter(model), info_(std::move(info)), slices_(std::move(slices)) {}
    Status write(const char* name) override;

  private:
    Status writeFile(CNcFile& nc, int16_t sliceCount);
    // The values of the current trace by column (the x column left out).
    std::vector<std::vector<float>> columnValues(const ExpandedColumns& cols, int32_t n);

    NcRunInfo info_;
    SliceFeed slices_;
};

class CNcCapArbWriter : public CFileWriter {
  public:
    CNcCapArbWriter(const ConvOptions& options, CCapArbReader* reader, NcRunInfo info)
        : options_(options), reader_(reader), info_(std::move(info)) {}
    Status write(const char* name) override;

  private:
    Status writeSamples(CNcFile& nc, int timeVar, int samplesVar, int32_t total, double rate,
                        float scale);

    const ConvOptions& options_;
    CCapArbReader* reader_;
    NcRunInfo info_;
};

} // namespace vx
