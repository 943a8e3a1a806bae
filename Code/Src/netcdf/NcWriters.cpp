// Writing traces, waterfall slices and Capture/Arb. samples as netCDF-4.
#include "netcdf/NcWriters.h"

#include <algorithm>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "netcdf/NcFile.h"
#include "settings/SettingsDocument.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// The dimension (and coordinate) name and long name of an axis kind.
struct AxisNames {
    const char* name;
    const char* longName;
};

AxisNames axisNames(const xAxisT* axis) {
    switch (axis ? axis->kind() : eNoAxis) {
    case eFreqAxis:
    case eSweepAxis:
    case eOctAxis:
        return {"frequency", "Frequency"};
    case eOrdTrkFreqAxis:
        return {"order", "Order"};
    case eOrderTimeAxis:
        return {"revolutions", "Revolutions"};
    case eTimeAxis:
        return {"time", "Time"};
    case eCorrAxis:
        return {"lag", "Lag"};
    case eHistAxis:
        return {"level", "Level"};
    case eRpmAxis:
    case eTrackAxis:
        return {"rpm", "RPM"};
    case eWFTimeSliceAxis:
        return {"index", "Index"};
    default:
        return {"x", "X"};
    }
}

// The variable name and long name of a value column by its code (1 to 6).
AxisNames valueNames(int32_t code) {
    static const AxisNames kNames[] = {{"value", "Value"},
                                       {"magnitude", "Magnitude"},
                                       {"magnitude_squared", "Magnitude squared"},
                                       {"real", "Real"},
                                       {"imaginary", "Imaginary"},
                                       {"phase", "Phase"},
                                       {"unwrapped_phase", "Unwrapped phase"}};
    return code >= 1 && code <= 6 ? kNames[code] : kNames[0];
}

// A name not yet taken: the name, else the name with "_2", "_3" ...
std::string uniqueName(std::vector<std::string>& taken, const std::string& name) {
    std::string unique = name;
    for (int k = 2; std::find(taken.begin(), taken.end(), unique) != taken.end(); ++k)
        unique = name + "_" + std::to_string(k);
    taken.push_back(unique);
    return unique;
}

void writeGlobals(CNcFile& nc, const std::string& title, const ConvOptions& options,
                  const NcRunInfo& info) {
    nc.text(CNcFile::kGlobal, "Conventions", "CF-1.8");
    nc.text(CNcFile::kGlobal, "title", title);
    nc.text(CNcFile::kGlobal, "source", options.inputName);
    nc.text(CNcFile::kGlobal, "history", "vxconv " VX_VERSION ": " + info.commandLine);
}

// The unit of a value without one (a ratio), as CF writes it.
const char* const kDimensionless = "1";

Status noData() {
    errLog() << msg::eNoDataToExtract << endLine;
    return kStatusFailed;
}

} // namespace

void writeSettingsAttributes(CNcFile& nc, const std::vector<SettingRecord>& records,
                             const std::string& json) {
    static const char* const kOwn[] = {"Conventions", "title",         "source",
                                       "history",     "channel",       "first_slice",
                                       "slice_count", "sampling_rate", "sampling_rate_units",
                                       "settings"};
    for (const SettingRecord& r : records) {
        std::string key = r.key;
        for (const char* own : kOwn)
            if (key == own || key == std::string(own) + "_units") key = "setting_" + key;
        switch (r.kind) {
        case SettingRecord::eNumber:
            nc.number(CNcFile::kGlobal, key.c_str(), r.number);
            if (!r.unit.empty()) nc.text(CNcFile::kGlobal, (key + "_units").c_str(), r.unit);
            break;
        case SettingRecord::eSwitch:
            nc.integer(CNcFile::kGlobal, key.c_str(), r.on ? 1 : 0);
            break;
        default:
            nc.text(CNcFile::kGlobal, key.c_str(), choiceValue(r));
        }
    }
    nc.text(CNcFile::kGlobal, "settings", json);
}

// ------------------------------------------------------------ traces

Status CNcTraceWriter::write(const char* name) {
    if (!CNcFile::builtIn()) {
        errLog() << msg::eNetcdfNotBuilt << endLine;
        return kStatusFailed;
    }
    int16_t sliceCount = 0;
    if (!slices_.empty()) {
        sliceCount = slices_.count();
        if (sliceCount <= 0) return noData();
        Status st = slices_.next();
        if (st.failed()) return st;
    }
    if (openOutput(name).failed()) return kStatusFailed;
    axis_ = model_.trace.makeAxis();
    CNcFile nc;
    Status st = writeFile(nc, sliceCount);
    Status closed = nc.close();
    axis_.reset();
    return st.failed() ? st : closed;
}

Status CNcTraceWriter::writeFile(CNcFile& nc, int16_t sliceCount) {
    const int32_t n = model_.trace.pointsToWrite();
    if (n <= 0) return noData();
    const ConvOptions& o = model_.options;
    ExpandedColumns cols = setupColumns(model_.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
    nc.create(file_->outputPath());
    writeGlobals(nc, info_.title, o, info_);
    writeSettingsAttributes(nc, settingRecords(traceHeaderLines(model_, 2, "")),
                            traceSettingsJson(model_, info_.kind));

    const AxisNames axis = axisNames(axis_.get());
    const int xDim = nc.dimension(axis.name, size_t(n));
    const int xVar = nc.variable(axis.name, CNcFile::eFloat, {xDim});
    const std::string xUnit = axis_ ? axis_->unitText() : "";
    nc.text(xVar, "units", xUnit.empty() ? kDimensionless : xUnit);
    nc.text(xVar, "long_name", axis.longName);

    int sliceDim = -1, sliceVar = -1;
    if (sliceCount > 0) {
        sliceDim = nc.dimension("slice", size_t(sliceCount));
        sliceVar = nc.variable("slice", CNcFile::eInt, {sliceDim});
        nc.text(sliceVar, "units", kDimensionless);
        nc.text(sliceVar, "long_name", "Slice index");
        nc.integer(CNcFile::kGlobal, "first_slice", o.wfFirst);
        nc.integer(CNcFile::kGlobal, "slice_count", sliceCount);
        nc.text(CNcFile::kGlobal, "channel", o.wfChannel ? "B" : "A");
    }
    std::vector<std::string> taken{axis.name, "slice"};
    std::vector<int> vars;
    for (int k = 0; k < cols.count; ++k) {
        const int32_t code = cols.codes[k];
        if (code == eColX) continue;
        const AxisNames value = valueNames(code);
        const std::string unit = columnTitleUnit(model_.cat, code, cols.units[k], "");
        const int var = sliceCount > 0 ? nc.variable(uniqueName(taken, value.name).c_str(),
                                                     CNcFile::eFloat, {sliceDim, xDim})
                                       : nc.variable(uniqueName(taken, value.name).c_str(),
                                                     CNcFile::eFloat, {xDim});
        nc.text(var, "units", unit.empty() ? kDimensionless : unit);
        nc.text(var, "long_name", value.longName);
        vars.push_back(var);
    }
    nc.endDefinitions();

    std::vector<float> x(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        x[i] = axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0f;
    nc.put(xVar, 0, x);
    if (sliceCount == 0) {
        std::vector<std::vector<float>> values = columnValues(cols, n);
        for (size_t k = 0; k < vars.size(); ++k)
            nc.put(vars[k], 0, values[k]);
        return kStatusOk;
    }
    std::vector<int32_t> indices(static_cast<size_t>(sliceCount));
    for (int32_t i = 0; i < sliceCount; ++i)
        indices[i] = o.wfFirst + i;
    nc.put(sliceVar, 0, indices);
    for (int32_t s = 0; s < sliceCount; ++s) {
        if (s > 0) {
            Status st = slices_.next();
            if (st.failed()) return st;
            if (model_.trace.pointsToWrite() != n) {
                errLog() << msg::eInvalidFileFormat << endLine;
                return kStatusBadFile;
            }
        }
        // Set up afresh for every slice, as the ASCII output does: it
        // restarts the unwrapped phase.
        cols = setupColumns(model_.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
        std::vector<std::vector<float>> values = columnValues(cols, n);
        for (size_t k = 0; k < vars.size(); ++k)
            nc.putRow(vars[k], size_t(s), values[k]);
    }
    return kStatusOk;
}

// ------------------------------------------------------------ Capture/Arb.

Status CNcCapArbWriter::write(const char* name) {
    if (!CNcFile::builtIn()) {
        errLog() << msg::eNetcdfNotBuilt << endLine;
        return kStatusFailed;
    }
    if (openOutput(name).failed()) return kStatusFailed;
    const CapArbHeader& h = reader_->header();
    const int16_t kind = reader_->kind();
    const double rate = samplesPerSecond(h);
    const int32_t total = h.recordKpts * (kBlockSamples / kBlockKpts);

    CNcFile nc;
    nc.create(file_->outputPath());
    writeGlobals(nc, kind == eKindArb ? "VX560 Arb. Waveform buffer" : "VX560 Capture buffer",
                 options_, info_);
    writeSettingsAttributes(nc, settingRecords(capArbHeaderLines(h, kind, rpmSwitch_)),
                            capArbSettingsJson(h, kind, rpmSwitch_));
    nc.number(CNcFile::kGlobal, "sampling_rate", rate);
    nc.text(CNcFile::kGlobal, "sampling_rate_units", "Hz");
    const int dim = nc.dimension("time", size_t(std::max(total, 0)));
    // The times are left uncompressed: deflating their doubles would take
    // twice the time of the samples themselves.
    const int timeVar = nc.variable("time", CNcFile::eDouble, {dim}, false);
    nc.text(timeVar, "units", "s");
    nc.text(timeVar, "long_name", "Time");
    const bool arb = kind == eKindArb;
    const int samples = nc.variable(arb                       ? "source"
                                    : kind == eKindCaptureCh2 ? "channel_2"
                                                              : "channel_1",
                                    CNcFile::eFloat, {dim});
    nc.text(samples, "units", arb ? kDimensionless : "V");
    nc.text(samples, "long_name",
            arb                       ? "Source (fraction of full scale)"
            : kind == eKindCaptureCh2 ? "Channel 2"
                                      : "Channel 1");
    nc.endDefinitions();
    Status st = writeSamples(nc, timeVar, samples, total, rate, voltsPerFraction(h, kind));
    Status closed = nc.close();
    return st.failed() ? st : closed;
}

// The samples and their times, put a chunk at a time.
Status CNcCapArbWriter::writeSamples(CNcFile& nc, int timeVar, int samplesVar, int32_t total,
                                     double rate, float scale) {
    CBulkBufferClaim bulk;
    std::vector<double> times;
    std::vector<float> values;
    times.reserve(CNcFile::kChunkValues);
    values.reserve(CNcFile::kChunkValues);
    size_t start = 0;
    for (int32_t i = 0; i < total; ++i) {
        const int inBlock = i % kBlockSamples;
        if (inBlock == 0) {
            Status st = reader_->readBlock(bulk.data(), true);
            if (st.failed()) return st;
        }
        times.push_back(i / rate);
        values.push_back(blockFraction(bulk.data(), inBlock) * scale);
        if (values.size() == CNcFile::kChunkValues || i + 1 == total) {
            nc.put(timeVar, start, times);
            nc.put(samplesVar, start, values);
            start += values.size();
            times.clear();
            values.clear();
        }
    }
    return kStatusOk;
}

} // namespace vx
