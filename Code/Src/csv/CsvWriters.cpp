// Writing traces, waterfall slices and Capture/Arb. samples as CSV.
#include "csv/CsvWriters.h"

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "csv/CsvRows.h"
#include "params/UTIL.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// The name of the x column by the kind of the trace's axis.
const char* axisName(const xAxisT* axis) {
    switch (axis ? axis->kind() : eNoAxis) {
    case eFreqAxis:
    case eSweepAxis:
    case eOctAxis:
        return "Frequency";
    case eOrdTrkFreqAxis:
        return "Order";
    case eOrderTimeAxis:
        return "Revolutions";
    case eTimeAxis:
        return "Time";
    case eCorrAxis:
        return "Lag";
    case eHistAxis:
        return "Level";
    case eRpmAxis:
    case eTrackAxis:
        return "RPM";
    case eWFTimeSliceAxis:
        return "Index";
    default:
        return "X";
    }
}

// The name of a value column by its code (1 to 6).
const char* valueName(int32_t code) {
    static const char* const kNames[] = {"Value",     "Magnitude", "Magnitude squared", "Real",
                                         "Imaginary", "Phase",     "Unwrapped phase"};
    return code >= 1 && code <= 6 ? kNames[code] : kNames[0];
}

Status noData() {
    errLog() << msg::eNoDataToExtract << endLine;
    return kStatusFailed;
}

} // namespace

// ------------------------------------------------------------ traces

Status CCsvTraceWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    axis_ = model_.trace.makeAxis();
    CCsvRows rows(*file_);
    Status st = slices_.empty() ? writeTrace(rows, true, -1) : writeSlices(rows);
    Status flushed = rows.flush();
    axis_.reset();
    return st.failed() ? st : flushed;
}

// Long form: the slice index, then the slice's columns. A slice carries no
// time or rpm of its own that the reader knows how to decode (its headers are
// the instrument's working data), so there is no column for one.
Status CCsvTraceWriter::writeSlices(CCsvRows& rows) {
    const int16_t count = slices_.count();
    if (count <= 0) return noData();
    // Every slice expands "v" under the view the file was saved with: the
    // columns of the slice before leave their own on the display.
    CSavedView saved(model_.cat);
    for (int32_t i = 0; i < count; ++i) {
        saved.restore();
        Status st = slices_.next();
        if (st.ok()) st = writeTrace(rows, i == 0, model_.options.wfFirst + i);
        if (st.failed()) return st;
    }
    return kStatusOk;
}

std::vector<std::string> CCsvTraceWriter::columnNames(const ExpandedColumns& cols, bool withSlice) {
    std::vector<std::string> names;
    if (withSlice) names.emplace_back("Slice");
    const char* axisUnit = axis_ ? axis_->unitText() : "";
    for (int k = 0; k < cols.count; ++k) {
        const int32_t code = cols.codes[k];
        const char* unit = columnTitleUnit(model_.cat, code, cols.units[k], axisUnit);
        names.push_back(columnName(code == eColX ? axisName(axis_.get()) : valueName(code), unit));
    }
    return names;
}

Status CCsvTraceWriter::writeTrace(CCsvRows& rows, bool first, int32_t slice) {
    TraceMgr& t = model_.trace;
    const std::vector<Point>* points = t.vector(0);
    const int32_t n = t.pointsToWrite();
    if (n <= 0) return noData();
    const ConvOptions& o = model_.options;
    // Set up afresh for every slice, as the ASCII output does: it restarts
    // the unwrapped phase.
    ExpandedColumns cols = setupColumns(model_.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
    if (first) rows.header(columnNames(cols, slice >= 0));
    const PointX x = axisPointX(axis_.get());
    for (int32_t i = 0; i < n; ++i) {
        if (slice >= 0) rows.field(slice);
        for (int k = 0; k < cols.count; ++k) {
            const int32_t code = cols.codes[k];
            if (code == eColX)
                rows.field(axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0f);
            else
                rows.field(columnValue(model_.cat, code, cols.units[k], (*points)[i], i, x));
        }
        rows.endRow();
    }
    return kStatusOk;
}

// ------------------------------------------------------------ Capture/Arb.

Status CCsvCapArbWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    const CapArbHeader& h = reader_->header();
    const int16_t kind = reader_->kind();
    const float scale = voltsPerFraction(h, kind);
    CSampleTimes times(sampleRate(h.spanCode).count, h.baseFreqId);
    const char* samples = kind == eKindArb          ? "Source (fraction of full scale)"
                          : kind == eKindCaptureCh2 ? "Channel 2 (V)"
                                                    : "Channel 1 (V)";
    CCsvRows rows(*file_);
    rows.header({columnName("Time", "s"), samples});
    CBulkBufferClaim bulk;
    const int32_t total = h.recordKpts * (kBlockSamples / kBlockKpts);
    for (int32_t i = 0; i < total; ++i) {
        const int inBlock = i % kBlockSamples;
        if (inBlock == 0) {
            Status st = reader_->readBlock(bulk.data(), true);
            if (st.failed()) return st;
        }
        rows.sample(times, i, blockFraction(bulk.data(), inBlock) * scale);
    }
    return rows.flush();
}

} // namespace vx
