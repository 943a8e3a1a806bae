// The HP SDF writer: translation of the settings, the headers in big-endian
// order, then the X data of RPM-based traces and the Y data.
#include "sdf/SdfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/BeBytes.h"
#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/VX550.h"
#include "params/Catalog.h"
#include "sdf/SdfLayout.h"
#include "sdf/SdfOutGroups.h"
#include "sdf/SdfOutTables.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

using H = CSdfHdrs;

constexpr size_t kHeaderBytes = 2 + H::kFileHdrSize + H::kMeasHdrSize + H::kDataHdrSize +
                                H::kVectorHdrSize + 2 * H::kChannelHdrSize + H::kScanSize;

Status writeFailed() {
    errLog() << msg::eErrorWritingToFile << endLine;
    return kStatusBadFile;
}

// Bytes of the scan variable of a type (1 int16, 2 int32, 3 float, 4 double).
size_t scanVariableBytes(int16_t type) {
    switch (type) {
    case 1:
        return 2;
    case 4:
        return 8;
    default:
        return 4;
    }
}

void putScanVariable(uint8_t* p, int16_t type, double v) {
    switch (type) {
    case 1:
        putBe16(p, uint16_t(int16_t(std::clamp(v, -32768.0, 32767.0))));
        break;
    case 2:
        putBe32(p, uint32_t(int32_t(std::clamp(v, -2147483648.0, 2147483647.0))));
        break;
    case 4: {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        putBe64(p, bits);
        break;
    }
    default:
        putBeFloat(p, float(v));
        break;
    }
}

// A record's bytes from the store, its fields turned big-endian.
uint8_t* putRecord(uint8_t* out, const H& h, size_t at, size_t size, SdfLayout layout) {
    std::memcpy(out, h.data() + at, size);
    sdfFieldsToBig(out, size, layout);
    return out + size;
}

float axisX(const void* axis, int32_t i) {
    return static_cast<xAxisT*>(const_cast<void*>(axis))->x(int16_t(i));
}

// Floats written through the bulk buffer, in pieces of its size.
class CFloatSink {
  public:
    CFloatSink(socket& out, uint8_t* buffer) : out_(out), buf_(buffer) {}
    void head(int16_t type, int32_t size) {
        putBe16(buf_ + used_, uint16_t(type));
        putBe32(buf_ + used_ + 2, uint32_t(size));
        used_ += H::kRecordHeadSize;
    }
    void put(float v) {
        if (used_ + 4 > kBulkBufferBytes) flush();
        putBeFloat(buf_ + used_, v);
        used_ += 4;
    }
    void flush() {
        if (used_ > 0 && ok_) ok_ = out_.writeBytes(buf_, uint32_t(used_)).ok();
        used_ = 0;
    }
    bool ok() const { return ok_; }

  private:
    socket& out_;
    uint8_t* buf_;
    size_t used_ = 0;
    bool ok_ = true;
};

} // namespace

Status CSdfWriter::write(const char* name) {
    Status st = prepare();
    if (st.ok()) st = openOutput(name).ok() ? writeFile(*file_) : Status(kStatusFailed);
    axis_.reset();
    return st;
}

Status CSdfWriter::writeTo(socket& out) {
    Status st = prepare();
    if (st.ok()) st = writeFile(out);
    axis_.reset();
    return st;
}

Status CSdfWriter::prepare() {
    axis_ = model_.trace.makeAxis();
    if (!axis_) return kStatusFailed;
    return translate();
}

Status CSdfWriter::translate() {
    TraceMgr& t = model_.trace;
    if (t.measDesc.axisKind() == eWFTimeSliceAxis) {
        errLog() << msg::eSliceTranslationUnsupported << endLine;
        return kStatusFailed;
    }
    const int group = t.measGroup;
    measurement_ = model_.cat.measurement[0].getData(ePaoEntry);
    SdfOutTrace trace;
    trace.measurement = measurement_;
    trace.nPts = t.nPts;
    trace.desc = t.measDesc;
    trace.axis = axis_.get();
    const std::vector<Point>* v1 = t.vector(0);
    points_ = v1 ? std::min<int32_t>(t.extractedPoints(), int32_t(v1->size())) : 0;
    trace.points = points_;
    std::unique_ptr<CSdfOutTrans> translator =
        makeSdfOutTranslator(model_.cat, group, hdrs_, trace);
    if (!translator) {
        errLog() << msg::eInvalidMeasurementType << endLine;
        return kStatusFailed;
    }
    if (!sdfDataTypeOf(group, measurement_, model_.cat.octaveResolution[0].getData(ePaoEntry),
                       trace.dataType)) {
        if (!isUserFunction(measurement_)) {
            errLog() << msg::eMeasurmentTranslationUnsupported << endLine;
            return kStatusFailed;
        }
        errLog() << msg::eUserMathLimited << endLine;
    }
    if (points_ <= 0) {
        errLog() << msg::eNoDataToExtract << endLine;
        return kStatusFailed;
    }
    refreshUnitTexts(model_.cat, 0);

    loadSdfDefaultHeaders(hdrs_);
    const TimeStamp& s = t.timeStamp;
    hdrs_.setI16(H::kFileHdr + 10, int16_t(s.year() + 1900));
    hdrs_.setI16(H::kFileHdr + 12, int16_t(s.month() * 100 + s.day()));
    hdrs_.setI16(H::kFileHdr + 14, int16_t(s.hours() * 100 + s.minutes()));

    translator->measurementHeader();
    translator->dataHeader();
    translator->vectorHeader();
    translator->channelHeaders();
    sdfEngineeringUnitsOut(model_.cat, hdrs_);
    translator->scanStructure();

    // The default layout leaves 4 bytes for the scan variable.
    int32_t yAt = H::kScan + H::kScanSize + int32_t(scanVariableBytes(hdrs_.scanVarType()));
    if (hdrs_.xResolutionType() == 2 && hdrs_.i16(H::kDataHdr + 46) == 1) {
        // Checked before anything is written: the file would stop after its headers.
        const std::vector<Point>* rpm = t.vector(1);
        if (!rpm || int32_t(rpm->size()) < points_) {
            errLog() << msg::eMissingRpm << endLine;
            return kStatusFailed;
        }
        hdrs_.setI16(H::kFileHdr + 34, 1);
        hdrs_.setI32(H::kFileHdr + 56, yAt);
        yAt += 4 * points_ + int32_t(H::kRecordHeadSize);
    }
    hdrs_.setI32(H::kFileHdr + 60, yAt);
    hdrs_.setText(H::kDataHdr + 10, 16, sdfDataTitle(trace.dataType, measurement_));
    return kStatusOk;
}

Status CSdfWriter::writeFile(socket& out) {
    Status st = writeHeaders(out);
    if (st.ok() && hdrs_.xDataCount() > 0) st = writeXData(out, points_);
    if (st.ok()) st = writeYData(out, points_);
    return st;
}

Status CSdfWriter::writeHeaders(socket& out) {
    uint8_t bytes[kHeaderBytes + 8];
    uint8_t* p = bytes;
    *p++ = 'B';
    *p++ = 0;
    p = putRecord(p, hdrs_, H::kFileHdr, H::kFileHdrSize, sdfLayoutOf(kSdfFileFields));
    p = putRecord(p, hdrs_, H::kMeasHdr, H::kMeasHdrSize, sdfLayoutOf(kSdfMeasFields));
    p = putRecord(p, hdrs_, H::kDataHdr, H::kDataHdrSize, sdfLayoutOf(kSdfDataFields));
    p = putRecord(p, hdrs_, H::kVectorHdr, H::kVectorHdrSize, sdfLayoutOf(kSdfVectorFields));
    for (int slot = 0; slot < 2; ++slot)
        p = putRecord(p, hdrs_, H::channelAt(slot), H::kChannelHdrSize,
                      sdfLayoutOf(kSdfChannelFields));
    p = putRecord(p, hdrs_, H::kScan, H::kScanSize, sdfLayoutOf(kSdfScanFields));
    const int16_t type = hdrs_.scanVarType();
    putScanVariable(p, type, hdrs_.scanVariable());
    p += scanVariableBytes(type);
    if (out.writeBytes(bytes, uint32_t(p - bytes)).failed()) return writeFailed();
    return kStatusOk;
}

Status CSdfWriter::writeXData(socket& out, int32_t points) {
    const std::vector<Point>& rpm = *model_.trace.vector(1);
    CBulkBufferClaim buffer;
    CFloatSink sink(out, buffer.data());
    sink.head(eXDataRec, 4 * points + int32_t(H::kRecordHeadSize));
    for (int32_t i = 0; i < points; ++i)
        sink.put(rpm[size_t(i)].re);
    sink.flush();
    return sink.ok() ? Status(kStatusOk) : writeFailed();
}

Status CSdfWriter::writeYData(socket& out, int32_t points) {
    const std::vector<Point>& data = *model_.trace.vector(0);
    const bool two = hdrs_.yIsComplex() != 0 || hdrs_.yPerPoint() == 2;
    const bool octave = model_.trace.measGroup == 2;
    const int32_t values = points * (two ? 2 : 1) + (octave ? 1 : 0);
    const float scale = transducerScale(model_.cat);
    const int16_t exponent = transducerExponent(model_.cat);
    const PointX x{axisX, axis_.get()};
    float factor = sdfCorrectionFactor(hdrs_);
    if (factor == 0.0f || !std::isfinite(factor)) factor = 1.0f;

    CBulkBufferClaim buffer;
    CFloatSink sink(out, buffer.data());
    sink.head(eYDataRec, 4 * values + int32_t(H::kRecordHeadSize));
    float last = 0.0f;
    for (int32_t i = 0; i < points; ++i) {
        float re = data[size_t(i)].re;
        float im = data[size_t(i)].im;
        if (scale != 1.0f) {
            re *= scale;
            im *= scale;
        }
        applyTransducerExponent(re, im, exponent, i, x);
        sink.put(last = re / factor);
        if (two) sink.put(last = im / factor);
    }
    // The octave record holds the last band once more.
    if (octave) sink.put(last);
    sink.flush();
    return sink.ok() ? Status(kStatusOk) : writeFailed();
}

} // namespace vx
