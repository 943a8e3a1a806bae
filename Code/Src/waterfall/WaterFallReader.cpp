// Reading Waterfall files: the header block with both channels' settings, the
// instrument's working data (checked and passed over), and the slices of the
// selected channel's vector section.
#include <algorithm>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "base/OUTP.h"
#include "base/Options.h"
#include "base/VX550.h"
#include "display/DisplayFile.h"
#include "display/DisplaySettings.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "trace/DISP_M.h"
#include "trace/MeasDesc.h"
#include "waterfall/Waterfall.h"

namespace vx {

namespace {

const char* const kHeadersLabel = "WaterFall Headers:";
const char* const kDataLabel = "WaterFall Data:";
const char* const kVectorsLabel = "Measurement Vectors";

// Raw block counts, channel records, selector and time stamp.
constexpr uint32_t kFixedHeaderBytes = 8 + 2 * kWfChannelRecordBytes + 2 + TimeStamp::kSize;
constexpr uint32_t kSelectorAt = 8 + 2 * kWfChannelRecordBytes;

// The lists of one channel, then those the channels share, with the group
// filter that a Display file's settings block uses for them.
const int16_t kChannelLists[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}};
const int16_t kSharedLists[][2] = {{5, 1}, {7, 0}, {8, 0}};
const int16_t kRefreshOrder[] = {1, 2, 3, 4, 14, 5, 7, 8};

Status fileHeaderFault() {
    errLog() << msg::eErrorReadingHeader << endLine;
    return kStatusFailed;
}

Status headerFault() {
    errLog() << msg::eErrorReadingHeaderShort << endLine;
    return kStatusFailed;
}

int16_t low16(uint32_t word) {
    return static_cast<int16_t>(word & 0xFFFF);
}

} // namespace

uint8_t wfBlockMask(int16_t selector, int16_t inputMode) {
    static const uint8_t kMasks[kWfSelectorCount][2] = {{0x3F, 0x7F}, {0x3F, 0xFF}, {0x03, 0x03},
                                                        {0x0F, 0x0F}, {0x0F, 0x0F}, {0x0F, 0x0F}};
    if (selector < 0 || selector >= kWfSelectorCount) return 0;
    return kMasks[selector][inputMode == 1 ? 1 : 0];
}

// What the header block says about the rest of the file.
struct CWaterFallReader::Layout {
    int32_t rawBlocks[2] = {0, 0};
    int32_t sliceHeaders[2] = {0, 0};
    int16_t selector = 0;

    bool present(int c) const { return sliceHeaders[c] != 0; }
    uint32_t headerBlocks(int c) const {
        uint32_t n = static_cast<uint16_t>(sliceHeaders[c]);
        return (n + kWfSliceHeadersPerBlock - 1) / kWfSliceHeadersPerBlock;
    }
};

Status CWaterFallReader::open(const char* name) {
    sliceCount_ = slicesLeft_ = 0;
    if (openInput(name).failed() || file_->startSpanningRead().failed()) return kStatusFailed;
    Layout layout;
    {
        CBulkBufferClaim bulk; // held for the whole open, released on every path out
        if (readHeaderBlock(bulk.data(), layout).failed() ||
            passOverWorkingBlocks(bulk.data(), layout).failed() ||
            passOverRawData(bulk.data(), layout).failed())
            return kStatusFailed;
        refreshUnitTexts(model_.cat, 0);
        refreshUnitTexts(model_.cat, 1);
        if (positionAtFirstSlice(bulk.data(), layout).failed()) return kStatusFailed;
    }
    rebuildFromSettings(model_, timeStamp_);
    return kStatusOk;
}

// Steps through the header block in a memPrt laid over the bulk buffer.
Status CWaterFallReader::readHeaderBlock(uint8_t* bulk, Layout& layout) {
    memPrt block(kWfHeaderCapacity, bulk);
    if (readTag(*file_) != eWaterfallTag || block.readBlock(*file_).failed() ||
        block.count() < kFixedHeaderBytes)
        return fileHeaderFault();
    block.rewind();
    uint8_t fixed[kFixedHeaderBytes];
    (void)block.readBytes(fixed, kFixedHeaderBytes); // the count was checked above
    for (int c = 0; c < 2; ++c) {
        layout.rawBlocks[c] = static_cast<int32_t>(getLe32(fixed + 4 * c));
        layout.sliceHeaders[c] =
            static_cast<int32_t>(getLe32(fixed + 8 + c * kWfChannelRecordBytes));
    }
    layout.selector = static_cast<int16_t>(getLe16(fixed + kSelectorAt));
    std::memcpy(timeStamp_.bytes.data(), fixed + kSelectorAt + 2, TimeStamp::kSize);
    // Without a known selector or with negative counts the rest cannot be found.
    if (layout.selector < 0 || layout.selector >= kWfSelectorCount || layout.rawBlocks[0] < 0 ||
        layout.rawBlocks[1] < 0)
        return fileHeaderFault();
    errLog() << msg::eWaterfallType << endLine << endLine;

    bool swapped = model_.options.wfChannel == 1;
    for (int16_t pass = 0; pass < 2; ++pass)
        if (readChannelSettings(block, swapped ? 1 - pass : pass).failed()) return kStatusFailed;
    for (const auto& l : kSharedLists)
        if (model_.cat.lists.serializeList(l[0], &block, 0, 0, ePaoEntry, l[1]).failed())
            return kStatusFailed;
    for (int16_t list : kRefreshOrder)
        model_.cat.lists.applyList(list, 2);

    if (readLabel(*file_, kHeadersLabel).failed()) return headerFault();
    return kStatusOk;
}

// One channel's lists into a display, then its measurement descriptor, which
// a user function takes into the measurement table.
Status CWaterFallReader::readChannelSettings(memPrt& block, int16_t display) {
    for (const auto& l : kChannelLists)
        if (model_.cat.lists.serializeList(l[0], &block, 0, display, ePaoEntry, l[1]).failed())
            return kStatusFailed;
    MeasDesc desc;
    if (block.readBytes(desc.bytes, MeasDesc::kSize).failed()) return fileHeaderFault();
    int16_t m = model_.cat.measurement[display].getData(ePaoEntry);
    if (m >= 0 && m < kMeasurementCount && isUserFunction(m)) measDescriptor(m) = desc;
    return kStatusOk;
}

// The slice-header blocks of each present channel, one more block, and one
// block per bit of the selector's mask; each is read and checked only.
Status CWaterFallReader::passOverWorkingBlocks(uint8_t* bulk, const Layout& layout) {
    memPrt block(kWfHeaderCapacity, bulk);
    uint32_t blocks = 1;
    for (int c = 0; c < 2; ++c)
        if (layout.present(c)) blocks += layout.headerBlocks(c);
    uint8_t mask = wfBlockMask(layout.selector, model_.cat.channelMode.getData(ePaoEntry));
    for (uint8_t bits = mask; bits != 0; bits >>= 1)
        blocks += bits & 1;
    for (uint32_t b = 0; b < blocks; ++b)
        if (block.readBlock(*file_).failed()) return kStatusFailed;
    return kStatusOk;
}

Status CWaterFallReader::passOverRawData(uint8_t* bulk, const Layout& layout) {
    for (int c = 0; c < 2; ++c) {
        if (!layout.present(c)) continue;
        if (readLabel(*file_, kDataLabel).failed()) return headerFault();
        for (int32_t b = 0; b < layout.rawBlocks[c]; ++b)
            if (file_->readBytes(bulk, kWfRawBlockBytes).failed()) return kStatusFailed;
    }
    return kStatusOk;
}

Status CWaterFallReader::positionAtFirstSlice(uint8_t* bulk, const Layout& layout) {
    int16_t channel = model_.options.wfChannel == 1 ? 1 : 0;
    if (!layout.present(channel)) {
        errLog() << msg::eNoChannel << (channel ? "B" : "A") << msg::eNoSlices << endLine;
        return kStatusFailed;
    }
    int16_t slices = 0;
    if (channel == 1 && layout.present(0)) {
        if (readSectionStart(slices).failed() || passOverSlices(bulk, slices).failed())
            return kStatusFailed;
    }
    if (readSectionStart(sliceCount_).failed()) return kStatusFailed;
    int32_t first = model_.options.wfFirst;
    if (sliceCount_ < first) return kStatusFailed;
    if (passOverSlices(bulk, first).failed()) return kStatusFailed;
    int32_t rest = sliceCount_ - first;
    int32_t wanted = model_.options.wfCount;
    slicesLeft_ = static_cast<int16_t>(wanted < 0 || rest < wanted ? rest : wanted);
    return kStatusOk;
}

// The marker of a vector section and its slice count.
Status CWaterFallReader::readSectionStart(int16_t& slices) {
    if (readLabel(*file_, kVectorsLabel).failed()) return headerFault();
    uint8_t raw[2];
    if (file_->readBytes(raw, 2).failed()) return headerFault();
    slices = static_cast<int16_t>(getLe16(raw));
    return kStatusOk;
}

// Vector records: a 128-byte header whose word 0 counts the points that follow.
Status CWaterFallReader::passOverSlices(uint8_t* bulk, int32_t slices) {
    for (int32_t s = 0; s < slices; ++s) {
        if (file_->readBytes(bulk, kVectorHeaderBytes).failed()) return kStatusFailed;
        int16_t points = std::max<int16_t>(low16(getLe32(bulk)), 0);
        if (passOver(bulk, uint64_t(points) * sizeof(float) * 2).failed()) return kStatusFailed;
    }
    return kStatusOk;
}

Status CWaterFallReader::passOver(uint8_t* bulk, uint64_t bytes) {
    while (bytes > 0) {
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(bytes, kBulkBufferBytes));
        if (file_->readBytes(bulk, n).failed()) return kStatusFailed;
        bytes -= n;
    }
    return kStatusOk;
}

Status CWaterFallReader::nextSlice() {
    if (slicesLeft_ < 1 || !file_) return kStatusFailed;
    TraceMgr& t = model_.trace;
    if (readVectorFrom(t, *file_).failed()) {
        errLog() << msg::eFileReadError << endLine;
        return kStatusReadFailed;
    }
    // A slice of another length keeps the trace length that the settings give
    // (a time slice has none of its own), and a short one must not show the
    // points of the slice before it.
    std::vector<Point>* points = t.vector(0);
    if (points && t.measDesc.axisKind() != eWFTimeSliceAxis && t.nPts > 0 &&
        points->size() > static_cast<size_t>(t.nPts))
        points->resize(static_cast<size_t>(t.nPts));
    size_t stored = static_cast<size_t>(std::max<int16_t>(low16(t.headerWord(0, 0)), 0));
    if (points && stored < points->size())
        std::fill(points->begin() + static_cast<std::ptrdiff_t>(stored), points->end(), Point());
    --slicesLeft_;
    return kStatusOk;
}

} // namespace vx
