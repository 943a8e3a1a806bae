// The trace record: vectors, their headers, lengths.
#include "trace/TRACE.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "params/Catalog.h"

namespace vx {

namespace {

int16_t low16(uint32_t word) {
    return static_cast<int16_t>(word & 0xFFFF);
}

} // namespace

TraceMgr::TraceMgr(Catalogue& settings)
    : cat(settings), timeStamp(currentTimeStamp()),
      settings_(std::make_unique<memPrt>(kSettingsCapacity)) {}

const std::vector<Point>* TraceMgr::vector(int which) const {
    int i = which ? 1 : 0;
    return present_[i] ? &data_[i] : nullptr;
}

std::vector<Point>* TraceMgr::vector(int which) {
    int i = which ? 1 : 0;
    return present_[i] ? &data_[i] : nullptr;
}

void TraceMgr::reset() {
    dropVectors();
    settings_->rewind();
    std::fill(&header_[0][0], &header_[0][0] + 2 * kVectorHeaderWords, 0u);
    vectorCode = measGroup = xDispLen = oldFormat = oldTraceKind = 0;
    nPts = 0;
    measDesc = MeasDesc();
    timeStamp = currentTimeStamp();
}

std::vector<Point>& TraceMgr::freshVector(int which) {
    int i = which ? 1 : 0;
    data_[i].clear();
    present_[i] = true;
    return data_[i];
}

void TraceMgr::dropVector(int which) {
    int i = which ? 1 : 0;
    data_[i].clear();
    data_[i].shrink_to_fit();
    present_[i] = false;
}

void TraceMgr::dropVectors() {
    dropVector(0);
    dropVector(1);
}

int16_t TraceMgr::extractedPoints() const {
    switch (measDesc.axisKind()) {
    case 1:
    case 2:
        return static_cast<int16_t>(xDispLen + 1);
    case 5:
    case 7:
    case 8:
    case 11:
        return low16(header_[0][0]);
    default:
        return static_cast<int16_t>(nPts);
    }
}

int32_t TraceMgr::pointsToWrite() const {
    const std::vector<Point>* points = vector(0);
    if (!points) return 0;
    const int32_t held = static_cast<int32_t>(points->size());
    return std::max<int32_t>(0, std::min<int32_t>(extractedPoints(), held));
}

void TraceMgr::setVectorHeader(const uint8_t header[kVectorHeaderBytes], int which) {
    for (int w = 0; w < kVectorHeaderWords; ++w)
        header_[which ? 1 : 0][w] = getLe32(header + 4 * w);
}

void TraceMgr::loadVector(const float* data, int16_t inputLen, int which) {
    int i = which ? 1 : 0;
    int32_t len = std::max<int32_t>(inputLen, 0);
    int32_t n = std::max<int32_t>(nPts, 0);
    data_[i].assign(static_cast<size_t>(n), Point());
    present_[i] = true;
    if (len - n > 1)
        errLog() << bothDest << msg::eIgnoringData << len << msg::eSavedLen << n << endLine;
    if (n - len > 1)
        errLog() << bothDest << msg::eZeroPadding << len << msg::eSavedLen << n << endLine;
    int32_t copied = std::min(len, n);
    for (int32_t p = 0; p < copied; ++p)
        data_[i][p] = {data[2 * p], data[2 * p + 1]};
    // One point short: the last point repeats the one before it.
    if (n - len == 1 && copied > 0) data_[i][n - 1] = data_[i][copied - 1];
}

} // namespace vx

namespace vx {

namespace {

const int16_t kFftPoints[] = {128, 256, 512, 1024};
const int16_t kFftLines[] = {100, 200, 400, 800};

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

} // namespace

int16_t octaveBandCount(Catalogue& cat) {
    static const int16_t kPerOctave[] = {1, 3, 12};
    int16_t r = std::clamp<int16_t>(entry(cat.octaveResolution[0]), 0, 2);
    int16_t first = entry(cat.octaveSpan[0]);
    int16_t second = cat.octaveSpan[0].lowestBand(ePaoEntry);
    return static_cast<int16_t>((std::abs(second - first) + 1) * kPerOctave[r]);
}

void TraceMgr::computeLengths() {
    measGroup = entry(cat.measureGroup[0]);
    int16_t m = entry(cat.measurement[0]);
    measDesc = measDescriptor(m);
    int8_t k = measDesc.axisKind();
    switch (measGroup) {
    case 0:
    case 1:
    case 5: {
        int16_t c = std::clamp<int16_t>(entry(cat.fftLines[0]), 0, 3);
        int32_t points = kFftPoints[c];
        int16_t lines = kFftLines[c];
        switch (k) {
        case -1:
            if (cat.startFreq[0].value(startFreqAction::eStart, ePaoEntry).count == 0) points *= 2;
            lines = static_cast<int16_t>(points - 1);
            break;
        case 3:
            if (entry(cat.window[0]) == 7) points *= 2;
            lines = static_cast<int16_t>(points - 1);
            break;
        case 6:
            points = 4 << std::clamp<int16_t>(entry(cat.histogramBins[0]), 0, 12);
            lines = static_cast<int16_t>(points - 1);
            break;
        case 11:
            return;
        case 1:
            break;
        case 4:
            points = lines = 512;
            VX_ASSERT(false, "\"Help this is impossible!\" == 0");
            break;
        default:
            VX_ASSERT(k == 1, "xtp == eFreqAxis");
            break;
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
        xDispLen = static_cast<int16_t>(octaveBandCount(cat) + 1);
        nPts = xDispLen;
        break;
    case 3:
        VX_ASSERT(k == 5, "xtp == eSweepAxis");
        xDispLen = cat.sweptPoints[0].getData(ePaoEntry);
        nPts = xDispLen;
        break;
    case 4:
        computeOrderLengths(k);
        break;
    default:
        break;
    }
}

std::unique_ptr<xAxisT> TraceMgr::makeAxis() {
    if (measDesc.axisKind() == eNoAxis) computeLengths();
    std::unique_ptr<xAxisT> axis = createAxis(*this, measDesc.axisKind(), xDispLen);
    VX_ASSERT(axis != nullptr, "\"Bad X axis\" == 0");
    return axis;
}

namespace {

// The number of orders that the order settings resolve.
int32_t orderCount(Catalogue& cat) {
    float ratio = cat.maxOrder[0].getData(ePaoEntry) / cat.deltaOrder[0].getData(ePaoEntry);
    float scaled = ratio * 1.000002f;
    return std::isfinite(scaled) ? static_cast<int32_t>(std::clamp(scaled, -32768.0f, 32767.0f))
                                 : 0;
}

int timeRecordCodeOf(int32_t n) {
    return n < 51 ? 3 : n < 101 ? 2 : n < 201 ? 1 : 0;
}

} // namespace

int orderTimeRecordCode(Catalogue& cat) {
    return timeRecordCodeOf(orderCount(cat));
}

void TraceMgr::computeOrderLengths(int8_t k) {
    const int32_t n = orderCount(cat);
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
    case 8:
        xDispLen = static_cast<int16_t>(nPts - 1);
        break;
    case 11:
        break;
    default:
        VX_ASSERT(k == 2, "xtp == eOrdTrkFreqAxis");
        xDispLen = static_cast<int16_t>(n);
        nPts = 1024 >> s;
        break;
    }
}

} // namespace vx
