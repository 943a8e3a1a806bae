// MAT version 4 output: the header of five 32-bit integers and the name, then
// the real part and, for complex data, the imaginary part, column by column.
#include "mat/MatWriter.h"

#include <cctype>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

// Little-endian IEEE, single-precision data, full numeric matrix.
constexpr int32_t kMatType = 10;
constexpr size_t kFlushBytes = 16384;

void appendLe32(std::string& out, uint32_t v) {
    uint8_t b[4];
    putLe32(b, v);
    out.append(reinterpret_cast<const char*>(b), sizeof b);
}

float axisX(const void* axis, int32_t i) {
    return static_cast<xAxisT*>(const_cast<void*>(axis))->x(static_cast<int16_t>(i));
}

} // namespace

std::string matArrayName(const char* given, const char* inputName) {
    std::string name =
        given && *given ? given : platform::splitPath(inputName ? inputName : "").base;
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.empty() || name[0] < 'a' || name[0] > 'z') {
        errLog() << msg::eMatArrayName << endLine;
        name = "qrb" + name;
    }
    return name;
}

Status CMatLabWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    buffer_.clear();
    status_ = 0;
    axis_ = model_.trace.makeAxis();
    writeHeader();
    Status st = writeData();
    Status written = flush();
    axis_.reset();
    return st.failed() ? st : written;
}

void CMatLabWriter::writeHeader() {
    cols_ = setupColumns(model_.cat, model_.options.columns, model_.options.peakUnits,
                         model_.options.dbMode, model_.options.phaseUnits);
    matColumns_.clear();
    imaginary_ = false;
    for (int k = 0; k < cols_.count; ++k) {
        MatColumn c;
        c.first = k;
        const int32_t code = cols_.codes[k];
        c.paired = code == eColReal && cols_.codes[k + 1] == eColImag;
        c.complex = c.paired || code == eColImag;
        if (c.paired) ++k;
        imaginary_ |= c.complex;
        matColumns_.push_back(c);
    }
    const std::string arrayName = matArrayName(model_.options.arrayName, model_.options.inputName);
    appendLe32(buffer_, kMatType);
    appendLe32(buffer_, static_cast<uint32_t>(model_.trace.pointsToWrite()));
    appendLe32(buffer_, static_cast<uint32_t>(matColumns_.size()));
    appendLe32(buffer_, imaginary_ ? 1 : 0);
    appendLe32(buffer_, static_cast<uint32_t>(arrayName.size() + 1));
    buffer_.append(arrayName.c_str(), arrayName.size() + 1);
}

Status CMatLabWriter::writeData() {
    const TraceMgr& t = model_.trace;
    if (t.pointsToWrite() <= 0) {
        errLog() << msg::eNoDataToExtract << endLine;
        return kStatusFailed;
    }
    const std::vector<Point>& points = *t.vector(0);
    for (const MatColumn& c : matColumns_)
        writeRealPart(c, points);
    if (!imaginary_) return kStatusOk;
    for (const MatColumn& c : matColumns_)
        writeImaginaryPart(c, points);
    return kStatusOk;
}

void CMatLabWriter::writeRealPart(const MatColumn& c, const std::vector<Point>& points) {
    const int32_t n = model_.trace.pointsToWrite();
    const int32_t code = cols_.codes[c.first];
    const int16_t units = cols_.units[c.first];
    PointX x;
    if (axis_) x = PointX{axisX, axis_.get()};
    for (int32_t i = 0; i < n; ++i) {
        if (code == eColX)
            putFloat(axis_ ? axis_->x(static_cast<int16_t>(i)) : 0.0f);
        else if (code == eColImag)
            putFloat(0.0f);
        else
            putFloat(columnValue(model_.cat, code, units, points[i], i, x));
    }
}

void CMatLabWriter::writeImaginaryPart(const MatColumn& c, const std::vector<Point>& points) {
    const int32_t n = model_.trace.pointsToWrite();
    const int16_t units = cols_.units[c.paired ? c.first + 1 : c.first];
    PointX x;
    if (axis_) x = PointX{axisX, axis_.get()};
    for (int32_t i = 0; i < n; ++i)
        putFloat(c.complex ? columnValue(model_.cat, eColImag, units, points[i], i, x) : 0.0f);
}

void CMatLabWriter::putFloat(float v) {
    appendLe32(buffer_, floatBits(v));
    if (buffer_.size() >= kFlushBytes) (void)flush();
}

Status CMatLabWriter::flush() {
    if (!buffer_.empty()) {
        Status st = file_->writeBytes(buffer_.data(), static_cast<uint32_t>(buffer_.size()));
        if (status_.ok()) status_ = st;
        buffer_.clear();
    }
    return status_;
}

} // namespace vx
