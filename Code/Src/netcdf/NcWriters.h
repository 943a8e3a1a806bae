// netCDF-4 output: a trace (Display, HP SDF) with its x-axis as the
// coordinate of a dimension named after the axis kind and one variable per
// /C column in the /U units; waterfall slices as two-dimensional variables
// (slice by x); the samples of a Capture/Arb. Waveform buffer in volts over
// time in seconds. Files that xarray, MATLAB and h5py open with no options.
#pragma once
#include <string>

#include "settings/Settings.h"
#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"
#include "trace/TraceFileWriter.h"

namespace vx {

class CNcFile;

// What the global attributes say of the run: the title of the input kind (of
// a trace; a buffer's follows its kind), the command line that made the
// file, and the kind its settings' identity names (empty: a Display file's).
struct NcRunInfo {
    std::string title;
    std::string commandLine;
    std::string kind;
};

// The settings model as global attributes: one typed attribute per setting
// (a number in its SI unit with the unit beside it as "<key>_units", a switch
// as 1 or 0, a choice as its text), and the whole settings JSON as
// "settings". A key that names one of the file's own attributes is written
// with "setting_" before it.
void writeSettingsAttributes(CNcFile& nc, const std::vector<SettingRecord>& records,
                             const std::string& json);

class CNcTraceWriter : public CTraceFileWriter {
  public:
    CNcTraceWriter(CModel& model, NcRunInfo info, SliceFeed slices = {})
        : CTraceFileWriter(model), info_(std::move(info)), slices_(std::move(slices)) {}
    Status write(const char* name) override;

  private:
    Status writeFile(CNcFile& nc, int16_t sliceCount);

    NcRunInfo info_;
    SliceFeed slices_;
};

class CNcCapArbWriter : public CFileWriter {
  public:
    CNcCapArbWriter(const ConvOptions& options, const enumParAction& rpmSwitch,
                    CCapArbReader* reader, NcRunInfo info)
        : options_(options), rpmSwitch_(rpmSwitch), reader_(reader), info_(std::move(info)) {}
    Status write(const char* name) override;

  private:
    Status writeSamples(CNcFile& nc, int timeVar, int samplesVar, int32_t total, double rate,
                        float scale);

    const ConvOptions& options_;
    const enumParAction& rpmSwitch_;
    CCapArbReader* reader_;
    NcRunInfo info_;
};

} // namespace vx
