// Waterfall files built byte by byte.
#include "support/WaterfallFixture.h"

#include <cstring>

#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"

namespace vxtest {

namespace {

constexpr uint32_t kHeadersPerBlock = 204;
constexpr size_t kChannelRecord = 262;
constexpr size_t kRawBlock = 8192;

// Working-data blocks after the slice headers, by selector and input mode.
uint8_t maskFor(int16_t selector, int16_t inputMode) {
    static const uint8_t kMasks[6][2] = {{0x3F, 0x7F}, {0x3F, 0xFF}, {0x03, 0x03},
                                         {0x0F, 0x0F}, {0x0F, 0x0F}, {0x0F, 0x0F}};
    if (selector < 0 || selector > 5) return 0;
    return kMasks[selector][inputMode == 1 ? 1 : 0];
}

std::string vectorRecord(const FixtureVector& v) {
    LeBuilder b;
    for (uint32_t w : v.header)
        b.le32(w);
    for (const FixturePoint& p : v.points)
        b.f32(p.re).f32(p.im);
    return b.str();
}

std::string serialized(const int16_t (*lists)[2], size_t count, int16_t ch) {
    MemStream s;
    for (size_t i = 0; i < count; ++i)
        (void)vx::serializeList(lists[i][0], &s, 1, ch, vx::ePaoEntry, lists[i][1]);
    return s.bytes();
}

} // namespace

std::string WaterfallFixture::file(WfOffsets* offsets) const {
    WfOffsets at;
    LeBuilder header;
    header.le32(uint32_t(channel[0].rawBlocks)).le32(uint32_t(channel[1].rawBlocks));
    for (const WfFixtureChannel& c : channel)
        header.le32(c.sliceHeaders).bytes(std::string(kChannelRecord - 4, '\0'));
    header.le16(uint16_t(selector)).bytes(std::string(timeStamp.begin(), timeStamp.end()));
    for (const WfFixtureChannel& c : channel)
        header.bytes(c.lists).bytes(std::string(c.descriptor.begin(), c.descriptor.end()));
    header.bytes(sharedLists);

    LeBuilder b;
    b.bytes(multiDiskHeader(1, 0, 0, 0)).bytes(fileTag(2));
    at.headerBlock = b.size();
    b.bytes(checkedBlock(header.str()));
    at.headersLabel = b.size();
    b.bytes("WaterFall Headers:");
    auto block = [&](const std::string& data) {
        at.workingBlocks.push_back(b.size());
        b.bytes(checkedBlock(data));
    };
    for (int c = 0; c < 2; ++c) {
        if (channel[c].sliceHeaders == 0) continue;
        for (uint32_t left = channel[c].sliceHeaders & 0xFFFF; left > 0;) {
            uint32_t n = left < kHeadersPerBlock ? left : kHeadersPerBlock;
            block(std::string(n * 8, char('a' + c)));
            left -= n;
        }
    }
    block("further block");
    uint8_t mask = maskFor(selector, inputMode);
    for (int bit = 0; bit < 8; ++bit)
        if (mask & (1u << bit)) block(std::string(16, char('0' + bit)));
    for (const WfFixtureChannel& c : channel) {
        if (c.sliceHeaders == 0) continue;
        at.dataLabels.push_back(b.size());
        b.bytes("WaterFall Data:");
        for (int32_t k = 0; k < c.rawBlocks; ++k)
            b.bytes(std::string(kRawBlock, char(0x55 + k)));
    }
    for (const WfFixtureChannel& c : channel) {
        if (c.sliceHeaders == 0) continue;
        at.vectorLabels.push_back(b.size());
        b.bytes("Measurement Vectors").le16(uint16_t(c.storedSliceCount));
        at.firstSlices.push_back(b.size());
        for (const FixtureVector& v : c.slices)
            b.bytes(vectorRecord(v));
    }
    std::string bytes = b.str();
    std::string head =
        multiDiskHeader(1, uint32_t(bytes.size()), 0, int32_t(bytes.size() - kMultiDiskHeaderSize));
    bytes.replace(0, head.size(), head);
    if (offsets) *offsets = at;
    return bytes;
}

FixtureVector waterfallSlice(int c, int s, uint32_t points) {
    FixtureVector v;
    v.header[0] = points;
    v.header[12] = 5;
    for (uint32_t i = 0; i < points; ++i)
        v.points.push_back({float(1000 * c + s), float(i)});
    return v;
}

WaterfallFixture waterfallFixture(bool channelA, bool channelB, int16_t selector, int16_t slices) {
    using namespace vx;
    static const int16_t kChannelLists[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}};
    static const int16_t kSharedLists[][2] = {{5, 1}, {7, 0}, {8, 0}};
    // The lengths are computed on a scratch trace.
    TraceMgr t;
    t.computeLengths();
    uint32_t points = uint32_t(t.nPts);

    WaterfallFixture f;
    f.selector = selector;
    f.inputMode = cat::channelMode.getData(ePaoEntry);
    f.timeStamp = timeStampBytes(30, 20, 10, 4, 9, 12, 126);
    const bool present[2] = {channelA, channelB};
    for (int16_t c = 0; c < 2; ++c) {
        WfFixtureChannel& ch = f.channel[c];
        ch.lists = serialized(kChannelLists, 4, c);
        std::memcpy(ch.descriptor.data(),
                    measDescriptor(cat::measurement[c].getData(ePaoEntry)).bytes, MeasDesc::kSize);
        if (!present[c]) continue;
        ch.sliceHeaders = uint32_t(slices) + 1;
        ch.storedSliceCount = slices;
        for (int16_t s = 0; s < slices; ++s)
            ch.slices.push_back(waterfallSlice(c, s, points));
    }
    f.sharedLists = serialized(kSharedLists, 3, 0);
    return f;
}

} // namespace vxtest
