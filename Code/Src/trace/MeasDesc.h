// Measurement descriptors: what each of the 87 measurements is (channels,
// axis kind, window and averaging flags, and its unit as a product).
#pragma once
#include <cstdint>

namespace vx {

constexpr int kMeasurementCount = 87;

// Unit codes of the descriptor's (code, exponent) pairs.
enum EUnitCode : int8_t {
    eUnitCh1Time = 1,
    eUnitCh1Spec = 2,
    eUnitCh2Time = 3,
    eUnitCh2Spec = 4,
    eUnitSeconds = 5,
    eUnitCounts = 6,
    eUnitVolts = 7,
};

// The 47-byte packed descriptor, kept as its bytes.
struct MeasDesc {
    static constexpr int kSize = 47;
    static constexpr int kPairCount = 20;
    uint8_t bytes[kSize] = {};

    uint8_t channelMask() const { return bytes[0]; }
    void setChannelMask(uint8_t mask) { bytes[0] = mask; }
    int8_t axisKind() const { return static_cast<int8_t>(bytes[3]); }
    void setAxisKind(int8_t kind) { bytes[3] = static_cast<uint8_t>(kind); }
    bool windowed() const { return bytes[5] != 0; }
    bool averaged() const { return bytes[6] != 0; }
    int8_t unitCode(int pair) const { return static_cast<int8_t>(bytes[7 + 2 * pair]); }
    int8_t unitExponent(int pair) const { return static_cast<int8_t>(bytes[8 + 2 * pair]); }
};

// The table of the calling thread, indexed by measurement; reading a file may
// change a track's channel mask and a user function's descriptor.
MeasDesc& measDescriptor(int measurement);
// Restores the table to its built-in contents.
void resetMeasDescriptors();

// True for the five user functions of each measurement group.
bool isUserFunction(int measurement);
// The measurement group (0 FFT ... 5 Time Histogram) an index belongs to.
int groupOfMeasurement(int measurement);

} // namespace vx
