// The trace record: Display file reading and writing, vectors, lengths.
#include "trace/TRACE.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "base/ErrLogger.h"
#include "params/Catalog.h"
#include "base/LeBytes.h"

namespace vx {

namespace {

constexpr uint32_t kHeaderCheckSeed = 0xB1B1B1B1u;
const char* const kSettingsLabel = "Settings Header:";
const char* const kVectorHeaderLabel = "Vector Header:";
const char* const kVectorDataLabel = "Vector Data:";

uint32_t headerCheck(const uint32_t words[kVectorHeaderWords]) {
    uint32_t check = kHeaderCheckSeed;
    for (int i = 0; i < kVectorHeaderWords; ++i) check ^= words[i];
    return check;
}

Status badFormat() {
    errLog() << "Invalid file format: process aborted" << endLine;
    return kStatusBadFile;
}

int16_t low16(uint32_t word) { return static_cast<int16_t>(word & 0xFFFF); }

} // namespace

TraceMgr& traceMgr() {
    static TraceMgr trace;
    return trace;
}

TraceMgr::TraceMgr()
    : timeStamp(currentTimeStamp()), settings_(std::make_unique<memPrt>(kSettingsCapacity)) {}

const std::vector<Point>* TraceMgr::vector(int which) const {
    int i = which ? 1 : 0;
    return present_[i] ? &data_[i] : nullptr;
}

std::vector<Point>* TraceMgr::vector(int which) {
    int i = which ? 1 : 0;
    return present_[i] ? &data_[i] : nullptr;
}

void TraceMgr::reset() {
    freeVectors();
    settings_->rewind();
    std::fill(&header_[0][0], &header_[0][0] + 2 * kVectorHeaderWords, 0u);
    vectorCode = measGroup = xDispLen = oldFormat = oldTraceKind = 0;
    nPts = 0;
    measDesc = MeasDesc();
    timeStamp = currentTimeStamp();
}

void TraceMgr::freeVectors() {
    for (int i = 0; i < 2; ++i) {
        data_[i].clear();
        data_[i].shrink_to_fit();
        present_[i] = false;
    }
}

int16_t TraceMgr::extractedPoints() const {
    switch (measDesc.axisKind()) {
    case 1:
    case 2: return static_cast<int16_t>(xDispLen + 1);
    case 5:
    case 7:
    case 8:
    case 11: return low16(header_[0][0]);
    default: return static_cast<int16_t>(nPts);
    }
}

int32_t TraceMgr::pointsToWrite() const {
    const std::vector<Point>* points = vector(0);
    if (!points) return 0;
    const int32_t held = static_cast<int32_t>(points->size());
    return std::max<int32_t>(0, std::min<int32_t>(extractedPoints(), held));
}

void TraceMgr::setVectorHeader(const uint8_t header[kVectorHeaderBytes], int which) {
    for (int w = 0; w < kVectorHeaderWords; ++w) header_[which ? 1 : 0][w] = getLe32(header + 4 * w);
}

void TraceMgr::loadVector(const float* data, int16_t inputLen, int which) {
    int i = which ? 1 : 0;
    int32_t len = std::max<int32_t>(inputLen, 0);
    int32_t n = std::max<int32_t>(nPts, 0);
    data_[i].assign(static_cast<size_t>(n), Point());
    present_[i] = true;
    if (len - n > 1)
        errLog() << bothDest << "ignoring data: input len " << len << "  saved Len " << n << endLine;
    if (n - len > 1)
        errLog() << bothDest << "zero padding data: input len " << len << "  saved Len " << n
                 << endLine;
    int32_t copied = std::min(len, n);
    for (int32_t p = 0; p < copied; ++p) data_[i][p] = {data[2 * p], data[2 * p + 1]};
    // One point short: the last point repeats the one before it.
    if (n - len == 1 && copied > 0) data_[i][n - 1] = data_[i][copied - 1];
}

Status TraceMgr::readPoints(socket& in, std::vector<Point>& points, size_t count) {
    std::vector<uint8_t> bytes(count * 8);
    if (count > 0) {
        Status st = in.readBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
        if (st.failed()) return st;
    }
    points.resize(std::max(points.size(), count));
    for (size_t p = 0; p < count; ++p) {
        points[p].re = bitsFloat(getLe32(&bytes[8 * p]));
        points[p].im = bitsFloat(getLe32(&bytes[8 * p + 4]));
    }
    return 0;
}

Status TraceMgr::writeVector(socket& out, int which) {
    if (writeLabel(out, kVectorHeaderLabel).failed()) {
        errLog() << "Problem writing data field id" << endLine;
        return kStatusBadFile;
    }
    uint8_t header[kVectorHeaderBytes + 4];
    for (int w = 0; w < kVectorHeaderWords; ++w) putLe32(header + 4 * w, header_[which][w]);
    putLe32(header + kVectorHeaderBytes, headerCheck(header_[which]));
    if (out.writeBytes(header, sizeof header).failed()) return kStatusBadFile;
    if (writeLabel(out, kVectorDataLabel).failed()) {
        errLog() << "Problem writing data header" << endLine;
        return kStatusBadFile;
    }
    int16_t n = std::max<int16_t>(low16(header_[which][0]), 0);
    const std::vector<Point>& pts = data_[which];
    std::vector<uint8_t> bytes(static_cast<size_t>(n) * 8, 0);
    for (size_t p = 0; p < static_cast<size_t>(n) && p < pts.size(); ++p) {
        putLe32(&bytes[8 * p], floatBits(pts[p].re));
        putLe32(&bytes[8 * p + 4], floatBits(pts[p].im));
    }
    if (n > 0 && out.writeBytes(bytes.data(), static_cast<uint32_t>(bytes.size())).failed())
        return kStatusBadFile;
    return 0;
}

Status TraceMgr::writeDisplayFile(socket& out) {
    if (!present_[0] || (vectorCode != 0 && !present_[1])) return kStatusBadFile;
    buildSettingsBlock();
    // The rebuild may call for a second vector that this trace does not have.
    if (vectorCode != 0 && !present_[1]) return kStatusBadFile;
    if (writeTag(out, eDisplayTag).failed() || writeLabel(out, kSettingsLabel).failed() ||
        settings_->writeBlock(out).failed()) {
        errLog() << "Error writing to file" << endLine;
        return kStatusBadFile;
    }
    uint8_t code[2];
    putLe16(code, static_cast<uint16_t>(vectorCode));
    if (out.writeBytes(code, 2).failed()) return kStatusBadFile;
    header_[0][0] = header_[1][0] = static_cast<uint32_t>(nPts);
    Status st = writeVector(out, 0);
    if (st.ok() && vectorCode != 0) st = writeVector(out, 1);
    return st;
}

Status TraceMgr::readVector(socket& in, int which) {
    if (readLabel(in, kVectorHeaderLabel).failed()) {
        errLog() << "Data Field Id invalid" << endLine;
        return 1;
    }
    uint8_t header[kVectorHeaderBytes + 4];
    if (in.readBytes(header, sizeof header).failed()) return 1;
    setVectorHeader(header, which);
    if (getLe32(header + kVectorHeaderBytes) != headerCheck(header_[which])) {
        errLog() << "Invalid checksum: process aborted" << endLine;
        return 1;
    }
    if (readLabel(in, kVectorDataLabel).failed()) {
        errLog() << "Invalid file format: process aborted" << endLine;
        return 1;
    }
    int16_t n = std::max<int16_t>(low16(header_[which][0]), 0);
    data_[which].clear();
    present_[which] = true;
    return readPoints(in, data_[which], static_cast<size_t>(n)).failed() ? Status(1) : Status(0);
}

Status TraceMgr::readDisplayFile(socket& in) {
    settings_->rewind();
    freeVectors();
    vectorCode = 0;
    if (readTag(in) != eDisplayTag || readLabel(in, kSettingsLabel).failed() ||
        settings_->readBlock(in).failed())
        return badFormat();
    if (!settingsVersionAcceptable()) {
        errLog() << "Invalid file version: process aborted" << endLine;
        return kStatusBadFile;
    }
    if (applySettingsBlock().failed()) return 1;
    errLog() << (oldFormat ? "Input File Type: VX550 Display file" : "Input File Type: VX560 Display file")
             << endLine << endLine;
    uint8_t code[2];
    if (in.readBytes(code, 2).failed()) return badFormat();
    vectorCode = static_cast<int16_t>(getLe16(code) - (oldFormat ? 1 : 0));
    if (readVector(in, 0).failed()) {
        freeVectors();
        return badFormat();
    }
    if (vectorCode != 0 && readVector(in, 1).failed()) {
        freeVectors();
        vectorCode = 0;
        return badFormat();
    }
    postReadAdjustments();
    return 0;
}

Status TraceMgr::readVectorFrom(socket& in) {
    uint8_t header[kVectorHeaderBytes];
    Status st = in.readBytes(header, sizeof header);
    if (st.failed()) return st;
    setVectorHeader(header, 0);
    int16_t n = low16(header_[0][0]);
    VX_ASSERT(n == low16(static_cast<uint32_t>(nPts)), "nPts == (int)tArryLen");
    // Never more points than the trace holds, nor fewer than the header names.
    size_t count = static_cast<size_t>(std::max<int16_t>(n, 0));
    if (!present_[0]) {
        data_[0].assign(std::max<size_t>(count, static_cast<size_t>(std::max(nPts, 0))), Point());
        present_[0] = true;
    }
    std::vector<Point> read;
    st = readPoints(in, read, count);
    if (st.failed()) return st;
    std::copy_n(read.begin(), std::min(read.size(), data_[0].size()), data_[0].begin());
    postReadAdjustments();
    return 0;
}

} // namespace vx

namespace vx {

namespace {

const int16_t kFftPoints[] = {128, 256, 512, 1024};
const int16_t kFftLines[] = {100, 200, 400, 800};

int16_t entry(const enumParAction& p) { return p.getData(ePaoEntry); }

// The number of octave bands of the display-A octave settings.
int16_t octaveBandCount() {
    static const int16_t kPerOctave[] = {1, 3, 12};
    int16_t r = std::clamp<int16_t>(entry(cat::octaveResolution[0]), 0, 2);
    int16_t first = entry(cat::octaveSpan[0]);
    int16_t second = cat::octaveSpan[0].lowestBand(ePaoEntry);
    return static_cast<int16_t>((std::abs(second - first) + 1) * kPerOctave[r]);
}

} // namespace

void TraceMgr::computeLengths() {
    measGroup = entry(cat::measureGroup[0]);
    int16_t m = entry(cat::measurement[0]);
    measDesc = measDescriptor(m);
    int8_t k = measDesc.axisKind();
    switch (measGroup) {
    case 0:
    case 1:
    case 5: {
        int16_t c = std::clamp<int16_t>(entry(cat::fftLines[0]), 0, 3);
        int32_t points = kFftPoints[c];
        int16_t lines = kFftLines[c];
        switch (k) {
        case -1:
            if (cat::startFreq[0].value(startFreqAction::eStart, ePaoEntry).count == 0) points *= 2;
            lines = static_cast<int16_t>(points - 1);
            break;
        case 3:
            if (entry(cat::window[0]) == 7) points *= 2;
            lines = static_cast<int16_t>(points - 1);
            break;
        case 6:
            points = 4 << std::clamp<int16_t>(entry(cat::histogramBins[0]), 0, 12);
            lines = static_cast<int16_t>(points - 1);
            break;
        case 11: return;
        case 1: break;
        case 4:
            points = lines = 512;
            VX_ASSERT(false, "\"Help this is impossible!\" == 0");
            break;
        default: VX_ASSERT(k == 1, "xtp == eFreqAxis"); break;
        }
        nPts = points;
        xDispLen = lines;
        break;
    }
    case 2:
        VX_ASSERT(k == 9 || k == 4 || k == 11,
                  "(xtp == eOctAxis) || (xtp == eCaptureAxis) || (xtp == eWFTimeSliceAxis)");
        if (k == 11) return;
        if (k == 4) {
            nPts = xDispLen = 512;
            VX_ASSERT(false, "\"Help this is impossible!\" == 0");
            return;
        }
        xDispLen = static_cast<int16_t>(octaveBandCount() + 1);
        nPts = xDispLen;
        break;
    case 3:
        VX_ASSERT(k == 5, "xtp == eSweepAxis");
        xDispLen = cat::sweptPoints[0].getData(ePaoEntry);
        nPts = xDispLen;
        break;
    case 4: computeOrderLengths(k); break;
    default: break;
    }
}

std::unique_ptr<xAxisT> TraceMgr::makeAxis() {
    if (measDesc.axisKind() == eNoAxis) computeLengths();
    std::unique_ptr<xAxisT> axis = createAxis(measDesc.axisKind(), xDispLen);
    VX_ASSERT(axis != nullptr, "\"Bad X axis\" == 0");
    return axis;
}

namespace {

// The number of orders that the order settings resolve.
int32_t orderCount() {
    float ratio = cat::maxOrder[0].getData(ePaoEntry) / cat::deltaOrder[0].getData(ePaoEntry);
    float scaled = ratio * 1.000002f;
    return std::isfinite(scaled) ? static_cast<int32_t>(std::clamp(scaled, -32768.0f, 32767.0f))
                                 : 0;
}

int timeRecordCodeOf(int32_t n) { return n < 51 ? 3 : n < 101 ? 2 : n < 201 ? 1 : 0; }

} // namespace

int orderTimeRecordCode() { return timeRecordCodeOf(orderCount()); }

void TraceMgr::computeOrderLengths(int8_t k) {
    const int32_t n = orderCount();
    const int s = timeRecordCodeOf(n);
    switch (k) {
    case -2:
        nPts = (1024 >> s) * 2;
        xDispLen = static_cast<int16_t>(nPts - 1);
        break;
    case 4:
        nPts = xDispLen = 512;
        VX_ASSERT(false, "\"Help this is impossible!\" == 0");
        break;
    case 7:
    case 8: xDispLen = static_cast<int16_t>(nPts - 1); break;
    case 11: break;
    default:
        VX_ASSERT(k == 2, "xtp == eOrdTrkFreqAxis");
        xDispLen = static_cast<int16_t>(n);
        nPts = 1024 >> s;
        break;
    }
}

} // namespace vx
