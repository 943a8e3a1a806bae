// The capture header encoding, sample conversions and the Capture/Arb. reader.
#include "timebuf/CapArb.h"

#include <algorithm>
#include <cmath>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "base/OUTP.h"

namespace vx {

namespace {

constexpr float kSampleStep = 9.313226e-10f; // 2^-30
constexpr double kFullScaleSample = 858993458.4;
constexpr uint32_t kReadBlockCapacity = 200;

} // namespace

void encodeCapArbHeader(const CapArbHeader& h, uint8_t out[kCapArbHeaderSize]) {
    putLe16(out + 0, static_cast<uint16_t>(h.recordKpts));
    putLe16(out + 2, static_cast<uint16_t>(h.baseFreqId));
    putLe16(out + 4, static_cast<uint16_t>(h.spanCode));
    putLe16(out + 6, static_cast<uint16_t>(h.inputRange[0]));
    putLe16(out + 8, static_cast<uint16_t>(h.inputRange[1]));
    for (size_t i = 0; i < TimeStamp::kSize; ++i)
        out[10 + i] = h.timeStamp.bytes[i];
    putLe16(out + 24, static_cast<uint16_t>(h.reserved));
}

CapArbHeader decodeCapArbHeader(const uint8_t in[kCapArbHeaderSize]) {
    CapArbHeader h;
    h.recordKpts = static_cast<int16_t>(getLe16(in + 0));
    h.baseFreqId = static_cast<int16_t>(getLe16(in + 2));
    h.spanCode = static_cast<int16_t>(getLe16(in + 4));
    h.inputRange[0] = static_cast<int16_t>(getLe16(in + 6));
    h.inputRange[1] = static_cast<int16_t>(getLe16(in + 8));
    for (size_t i = 0; i < TimeStamp::kSize; ++i)
        h.timeStamp.bytes[i] = in[10 + i];
    h.reserved = static_cast<int16_t>(getLe16(in + 24));
    return h;
}

float sampleToFraction(int32_t sample) {
    return static_cast<float>(static_cast<double>(sample) * kSampleStep * 1.25);
}

int32_t fractionToSample(double e) {
    return static_cast<int32_t>(e > 0 ? e * kFullScaleSample + 0.5 : e * kFullScaleSample - 0.5);
}

int32_t blockSample(const uint8_t* block, int i) {
    return static_cast<int32_t>(getLe32(block + 4 * i));
}

float blockFraction(const uint8_t* block, int i) {
    return bitsFloat(getLe32(block + 4 * i));
}

void setBlockSample(uint8_t* block, int i, int32_t sample) {
    putLe32(block + 4 * i, static_cast<uint32_t>(sample));
}

FreqValue sampleRate(int16_t spanCode) {
    constexpr int kMaxRateShift = 30; // the count 2^30 / 2^n stays a whole number
    int n = std::clamp(19 - spanCode, 0, kMaxRateShift);
    return FreqValue{static_cast<int32_t>((int32_t(1) << 30) >> n), 0.0};
}

double samplesPerSecond(const CapArbHeader& header) {
    return sampleRate(header.spanCode).count * freqResolution(header.baseFreqId);
}

int16_t capturedInputRange(const CapArbHeader& header, int16_t kind) {
    return kind == eKindCaptureCh2 ? header.inputRange[1] : header.inputRange[0];
}

float voltsPerFraction(const CapArbHeader& header, int16_t kind) {
    if (kind == eKindArb) return 1.0f;
    return static_cast<float>(std::pow(10.0, 0.05 * capturedInputRange(header, kind)));
}

Status CCapArbReader::open(const char* name) {
    if (openInput(name).failed()) return kStatusFailed;
    if (file_->startSpanningRead().failed()) return kStatusFailed;
    memPrt block(kReadBlockCapacity);
    if (readTag(*file_) != eCapArbTag || block.readBlock(*file_).failed() ||
        block.count() < kCapArbBlockLength) {
        errLog() << msg::eErrorReadingHeader << endLine;
        return kStatusFailed;
    }
    block.rewind();
    uint8_t raw[kCapArbBlockLength];
    (void)block.readBytes(raw, sizeof raw); // the count was checked above
    header_ = decodeCapArbHeader(raw);
    kind_ = static_cast<int16_t>(getLe16(raw + kCapArbHeaderSize));
    errLog() << (kind_ == eKindArb ? msg::eArbType : msg::eCaptureType) << endLine << endLine;
    blocksLeft_ = static_cast<int16_t>(header_.recordKpts >> 1);
    return kStatusOk;
}

Status CCapArbReader::readBlock(uint8_t* block, bool convert) {
    if (blocksLeft_ < 1) return kStatusFailed;
    if (!file_ || file_->readBytes(block, kBlockBytes).failed()) {
        errLog() << msg::eFileReadError << endLine;
        return kStatusReadFailed;
    }
    if (convert) {
        for (int i = 0; i < kBlockSamples; ++i)
            putLe32(block + 4 * i, floatBits(sampleToFraction(blockSample(block, i))));
    }
    --blocksLeft_;
    return kStatusOk;
}

} // namespace vx
