// Writing traces, waterfall slices and Capture/Arb. samples as JSON.
#include "json/JsonWriters.h"

#include <algorithm>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "params/UTIL.h"
#include "settings/SettingsDocument.h"
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

Status noData() {
    errLog() << msg::eNoDataToExtract << endLine;
    return kStatusFailed;
}

} // namespace

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
    const bool waterfall = !slices_.empty();
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
    const char* axisUnit = axis_ ? axis_->unitText() : "";
    const std::vector<std::vector<float>> values = columnValues(cols, n);
    json.key("columns").beginArray();
    size_t v = 0;
    for (int k = 0; k < cols.count; ++k) {
        const int32_t code = cols.codes[k];
        if (code == eColX) continue;
        json.beginObject();
        json.key("name").string(columnKey(code));
        json.key("unit").stringOrNull(columnTitleUnit(model_.cat, code, cols.units[k], axisUnit));
        json.key("values").beginArray();
        for (float value : values[v++])
            json.number(value);
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
    const double rate = samplesPerSecond(h);
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
