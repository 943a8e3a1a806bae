// Numbers of the CSV output: the shortest text that reads back to the same
// value, independent of the locale. Floats in the range of samples and the
// times of a buffer's samples are formatted with integer arithmetic, to the
// same bytes as the general conversion at a fraction of its cost.
#pragma once
#include <cstdint>

namespace vx {

// Room for the longest number text (a double or an int32_t).
constexpr int kMaxNumberText = 48;

// The shortest text of v that reads back to v, in fixed or scientific
// notation, whichever is shorter; scientific also where fixed would hold more
// than 17 digits. Writes at most kMaxNumberText characters; returns the end.
char* shortestText(char* out, double v);
char* shortestText(char* out, float v);

// The times of the samples of a buffer, i / rate. The rates are a power of
// two times the base frequency's count resolution, so every time is a
// decimal fraction i * m / 10^k with whole m and k: its digits come from
// integer arithmetic, and write() gives the same text as shortestText(at(i)),
// fastest when each sample follows the one written before it.
class CSampleTimes {
  public:
    // rateCount: the sample rate as a frequency count; baseFreqId as in the
    // capture header (0 the 100 kHz base).
    CSampleTimes(int32_t rateCount, int16_t baseFreqId);
    double at(int32_t i) const { return i / rate_; }
    // Returns the end; out must have room for kMaxNumberText characters (the
    // bytes past the end may be overwritten).
    char* write(char* out, int32_t i);

  private:
    void moveTo(int32_t i);
    char* writeShortened(char* out, int32_t i);

    double rate_;
    bool decimal_ = false; // false: every time goes through shortestText
    bool exact_ = false;   // the double at(i) is the decimal itself (no rounding)
    int shift_ = 0;        // m = 2^shift_ ...
    uint64_t power5_ = 1;  // ... or m = 5^j
    int fraction_ = 0;     // k
    // The exact decimal of the sample index_ (0: none yet) as quotient_ and
    // remainder_ by unit_ = 10^place_, the step from one sample to the next
    // likewise, and the distance limit_ within which a decimal reads back.
    int32_t index_ = 0;
    uint64_t maxIndex_ = 0; // the last i for which i * 5^j fits in 64 bits
    int place_ = 0;
    uint64_t unit_ = 1, quotient_ = 0, remainder_ = 0;
    uint64_t stepQuotient_ = 0, stepRemainder_ = 0, limit_ = 0;
};

} // namespace vx
