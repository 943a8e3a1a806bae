// Waterfall files built byte by byte for reader tests: the header block with
// both channels' settings, the working-data blocks, the raw data and the
// vector sections, with the offsets of every piece for damage tests.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/DisplayFixture.h"

namespace vxtest {

struct WfFixtureChannel {
    uint32_t sliceHeaders = 0; // 0: the channel is absent
    int32_t rawBlocks = 1;
    int16_t storedSliceCount = 0; // N as written in the vector section
    std::vector<FixtureVector> slices;
    std::string lists; // lists 1 to 4 of the channel as serialized
    std::array<uint8_t, 47> descriptor{};
};

// Where the pieces of a built file lie, counted from the file's first byte
// (the multi-disk header included).
struct WfOffsets {
    size_t headerBlock = 0;  // the length field of the header block
    size_t headersLabel = 0; // "WaterFall Headers:"
    std::vector<size_t> workingBlocks;
    std::vector<size_t> dataLabels;   // "WaterFall Data:" of each present channel
    std::vector<size_t> vectorLabels; // "Measurement Vectors" of each present channel
    std::vector<size_t> firstSlices;  // the first vector record of each section
};

struct WaterfallFixture {
    WfFixtureChannel channel[2];
    int16_t selector = 0;
    int16_t inputMode = 0; // the channel mode the lists carry: picks the mask
    std::array<uint8_t, 14> timeStamp{};
    std::string sharedLists; // lists 5, 7 and 8

    // The whole file behind a single-segment multi-disk header.
    std::string file(WfOffsets* offsets = nullptr) const;
};

// Slice s of channel c: point i holds (1000 c + s, i).
FixtureVector waterfallSlice(int c, int s, uint32_t points);

// A file of the current catalogue settings (display A for channel A, display
// B for channel B), with the given channels present, selector and number of
// slices each; every slice has the trace length that display A's settings
// give. The catalogue is left as it was.
WaterfallFixture waterfallFixture(bool channelA, bool channelB, int16_t selector, int16_t slices);

} // namespace vxtest
