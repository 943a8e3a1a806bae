// The reader of plain ASCII number lists (CAsciiReader): values in volts,
// scaled to capture samples against the full scale of channel 1's input range.
#pragma once
#include <cstdint>

#include "timebuf/CapArb.h"

namespace vx {

class CAsciiReader : public CFileReader {
  public:
    static constexpr size_t kMaxTokenLen = 48;
    static constexpr double kLimit = 1.25; // largest |value| / full scale accepted

    // The header of the buffer the list makes comes from the options.
    explicit CAsciiReader(const ConvOptions& options) : options_(options) {}
    Status open(const char* name) override;
    // Fills all 2048 entries; after the end of the data every entry is 0.
    // 0 success; 2 or 3 for a token read failure, 1 for a bad value.
    Status readBlock(uint8_t* block);
    double fullScale() const { return fullScale_; }
    const CapArbHeader& header() const { return options_.listCapture; }

  private:
    // One entry from the next token; the end of the data stores 0.
    Status readSample(int32_t& sample);

    const ConvOptions& options_;
    int16_t endOfData_ = 0;
    double fullScale_ = 1.0;
};

} // namespace vx
