// Writing traces, waterfall slices and Capture/Arb. samples as JSON.
#include "json/JsonWriters.h"

#include <algorithm>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "params/UTIL.h"
#include "settings/Settings.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// Bytes gathered before they go to the output.
constexpr size_t kFlushBytes = 1 << 16;

const char* columnKey(int32_t code) {
    static const char* const kKeys[] = {"value",     "magnitude", "magnitude_squared", "real",
                                        "imaginary", "phase",     "unwrapped_phase"};
    return code >= 1 && code <= 6 ? kKeys[code] : kKeys[0];
}

std::string kindOf(const CModel& model, const std::string& kind) {
    if (!kind.empty()) return kind;
    return model.trace.oldFormat ? "VX550 Display" : "VX560 Display";
}

// The /C columns expanded under the saved view (which it puts back first),
// with the unwrapped phase restarted.
ExpandedColumns columnsOf(CModel& model, CSavedView& saved) {
    saved.restore();
    const ConvOptions& o = model.options;
    return setupColumns(model.cat, o.columns, o.peakUnits, o.dbMode, o.phaseUnits);
}

// The identity and settings members of a trace's document.
void writeTraceHead(CJson& json, CModel& model, const std::string& kind, xAxisT* axis,
                    const ExpandedColumns& cols) {
    FileIdentity id = traceIdentity(model, kindOf(model, kind));
    id.axis = axisIdentity(axis, id.points);
    const char* axisUnit = axis ? axis->unitText() : "";
    for (int k = 0; k < cols.count; ++k)
        if (cols.codes[k] != eColX)
            id.units.emplace_back(
                columnTitleUnit(model.cat, cols.codes[k], cols.units[k], axisUnit));
    writeIdentity(json, id);
    writeSettings(json, settingRecords(traceHeaderLines(model, 2, "")));
}

// The identity and settings members of a Capture/Arb. buffer's document.
void writeCapArbHead(CJson& json, const CapArbHeader& h, int16_t kind,
                     const enumParAction& rpmSwitch) {
    const bool arb = kind == eKindArb;
    FileIdentity id;
    id.kind = arb ? "Arb. Waveform" : "Capture";
    id.instrument = "VX560";
    id.time = isoTime(h.timeStamp);
    id.points = std::max<int32_t>(0, h.recordKpts) * (kBlockSamples / kBlockKpts);
    id.axis.kind = "time";
    id.axis.unit = "s";
    id.axis.step = 1.0 / (sampleRate(h.spanCode).count * freqResolution(h.baseFreqId));
    id.units.emplace_back(arb ? "" : "V");
    writeIdentity(json, id);
    writeSettings(json, settingRecords(capArbHeaderLines(h, kind, rpmSwitch)));
}

Status noData() {
    errLog() << msg::eNoDataToExtract << endLine;
    return kStatusFailed;
}

} // namespace

std::string traceSettingsJson(CModel& model, const std::string& kind) {
    std::unique_ptr<xAxisT> axis = model.trace.makeAxis();
    CSavedView saved(model.cat);
    CJson json;
    json.beginObject();
    writeTraceHead(json, model, kind, axis.get(), columnsOf(model, saved));
    json.endObject();
    return json.take();
}

std::string capArbSettingsJson(const CapArbHeader& header, int16_t kind,
                               const enumParAction& rpmSwitch) {
    CJson json;
    json.beginObject();
    writeCapArbHead(json, header, kind, rpmSwitch);
    json.endObject();
    return json.take();
}

// ------------------------------------------------------------ traces

Status CJsonTraceWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    axis_ = model_.trace.makeAxis();
    CJson json;
    Status st = writeDocument(json);
    axis_.reset();
    return st;
}

Status CJsonTraceWriter::flush(CJson& json) {
    const std::string piece = json.take();
    return file_->writeBytes(piece.data(), static_cast<uint32_t>(piece.size()));
}

Status CJsonTraceWriter::writeDocument(CJson& json) {
    const bool waterfall = static_cast<bool>(slices_.next);
    const int16_t count = waterfall ? slices_.count() : 1;
    if (waterfall && count <= 0) return noData();
    if (waterfall) {
        Status st = slices_.next();
        if (st.failed()) return st;
    }
    if (model_.trace.pointsToWrite() <= 0) return noData();
    CSavedView saved(model_.cat);
    json.beginObject();
    writeTraceHead(json, model_, kind_, axis_.get(), columnsOf(model_, saved));
    json.key("data").beginObject();
    if (!waterfall) {
        writeColumns(json, columnsOf(model_, saved));
    } else {
        json.key("channel").string(model_.options.wfChannel ? "B" : "A");
        json.key("slices").beginArray();
        for (int32_t i = 0; i < count; ++i) {
            if (i > 0) {
                Status st = slices_.next();
                if (st.failed()) return st;
            }
            json.beginObject();
            json.key("index").integer(model_.options.wfFirst + i);
            writeColumns(json, columnsOf(model_, saved));
            json.endObject();
            if (json.text().size() > kFlushBytes && flush(json).failed()) return kStatusFailed;
        }
        json.endArray();
    }
    json.endObject();
    json.endObject();
    return flush(json);
}

void CJsonTraceWriter::writeColumns(CJson& json, const ExpandedColumns& cols) {
    const std::vector<Point>* points = model_.trace.vector(0);
    const int32_t n = points ? model_.trace.pointsToWrite() : 0;
    json.key("x").beginArray();
    for (int32_t i = 0; i < n; ++i)
        json.number(axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0f);
    json.endArray();
    const PointX x = axisPointX(axis_.get());
    const char* axisUnit = axis_ ? axis_->unitText() : "";
    json.key("columns").beginArray();
    for (int k = 0; k < cols.count; ++k) {
        const int32_t code = cols.codes[k];
        if (code == eColX) continue;
        json.beginObject();
        json.key("name").string(columnKey(code));
        json.key("unit").stringOrNull(columnTitleUnit(model_.cat, code, cols.units[k], axisUnit));
        json.key("values").beginArray();
        for (int32_t i = 0; i < n; ++i)
            json.number(columnValue(model_.cat, code, cols.units[k], (*points)[i], i, x));
        json.endArray();
        json.endObject();
    }
    json.endArray();
}

// ------------------------------------------------------------ Capture/Arb.

Status CJsonCapArbWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    const CapArbHeader& h = reader_->header();
    const int16_t kind = reader_->kind();
    const float scale = voltsPerFraction(h, kind);
    const double rate = sampleRate(h.spanCode).count * freqResolution(h.baseFreqId);
    const int32_t total = h.recordKpts * (kBlockSamples / kBlockKpts);
    CJson json;
    json.beginObject();
    writeCapArbHead(json, h, kind, rpmSwitch_);
    json.key("data").beginObject();
    json.key("sampling_rate").number(rate);
    json.key("unit").stringOrNull(kind == eKindArb ? "" : "V");
    json.key("samples").beginArray();
    CBulkBufferClaim bulk;
    for (int32_t i = 0; i < total; ++i) {
        const int inBlock = i % kBlockSamples;
        if (inBlock == 0) {
            Status st = reader_->readBlock(bulk.data(), true);
            if (st.failed()) return st;
            const std::string piece = json.take();
            if (file_->writeBytes(piece.data(), static_cast<uint32_t>(piece.size())).failed())
                return kStatusFailed;
        }
        json.number(blockFraction(bulk.data(), inBlock) * scale);
    }
    json.endArray().endObject().endObject();
    const std::string piece = json.take();
    return file_->writeBytes(piece.data(), static_cast<uint32_t>(piece.size()));
}

} // namespace vx
