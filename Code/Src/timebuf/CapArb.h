// Capture and Arb. Waveform files: the 26-byte capture header, the kind word,
// the sample conversions, and the reader CCapArbReader.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/FileIO.h"
#include "base/Options.h"
#include "params/UTIL.h"

namespace vx {

// Kind word that follows the header: anything but eKindArb is a capture.
enum ECapArbKind : int16_t { eKindCaptureCh1 = 0, eKindCaptureCh2 = 1, eKindArb = 2 };

constexpr size_t kCapArbHeaderSize = 26;
constexpr uint32_t kCapArbBlockLength = kCapArbHeaderSize + 2; // header and kind word
// Samples move in blocks of 2048 four-byte little-endian entries.
constexpr int kBlockSamples = 2048;
constexpr uint32_t kBlockBytes = kBlockSamples * 4;
constexpr int kBlockKpts = 2;           // 2048 samples = 2 kpts
constexpr uint32_t kBytesPerKpt = 4096; // 1024 samples
// The size announced besides the samples: the checked block (L + 5), the tag
// and its index (23), the multi-disk header and the final 0x0A (21).
constexpr uint32_t kCapArbOverhead = (kCapArbBlockLength + 5) + 23 + 21;

void encodeCapArbHeader(const CapArbHeader& header, uint8_t out[kCapArbHeaderSize]);
CapArbHeader decodeCapArbHeader(const uint8_t in[kCapArbHeaderSize]);

// Sample to a fraction of full scale: sample x 2^-30 x 1.25 in double
// precision, stored as float.
float sampleToFraction(int32_t sample);
// Fraction of full scale to a sample: e x 858993458.4 +/- 0.5, truncated.
// The caller keeps |e| <= 1.25.
int32_t fractionToSample(double e);

// The entries of a block buffer (kBlockBytes bytes): raw samples or, after a
// converting read, float fractions of full scale.
int32_t blockSample(const uint8_t* block, int i);
float blockFraction(const uint8_t* block, int i);
void setBlockSample(uint8_t* block, int i, int32_t sample);

// The sample rate of a span code as a frequency count, 2^30 / 2^n with
// n = 19 - span code; a span code from a damaged file is held to the shifts
// that exist.
FreqValue sampleRate(int16_t spanCode);
// The sampling rate of a buffer in Hz: its span code's count times its base
// frequency's resolution.
double samplesPerSecond(const CapArbHeader& header);
// The input range in dBV of the captured channel of a buffer of this kind
// (channel 2 for a channel-2 capture, else channel 1), from the header.
int16_t capturedInputRange(const CapArbHeader& header, int16_t kind);
// Volts per fraction of full scale: 1 for an Arb. source buffer, else the
// peak volts of the input range, so a full-scale sample reads as those volts.
float voltsPerFraction(const CapArbHeader& header, int16_t kind);

class CCapArbReader : public CFileReader {
  public:
    // Loads the file's capture header and kind.
    Status open(const char* name) override;
    // 0 a block was read, 1 no block left (nothing read), 2 read error. With
    // convert set the entries become float fractions of full scale.
    Status readBlock(uint8_t* block, bool convert);
    int16_t kind() const { return kind_; }
    const CapArbHeader& header() const { return header_; }
    int16_t recordKpts() const override { return header_.recordKpts; }

  private:
    CapArbHeader header_;
    int16_t kind_ = eKindArb;
    int16_t blocksLeft_ = 0;
};

} // namespace vx
