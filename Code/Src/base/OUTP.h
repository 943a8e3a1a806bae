// Instrument file framing: the file-type tag, section labels, and the memory
// stream memPrt through which checked blocks (length, bytes, XOR check byte)
// are built, written to and read from a stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/DISK_M.h"
#include "base/Status.h"

namespace vx {

// ------------------------------------------------------------ file-type tag

constexpr size_t kTagTextLen = 21; // text without a terminator, then an int16 index
enum : int16_t {
    eInvalidTag = -1,
    eDisplayTag = 0,
    eCapArbTag = 1,
    eWaterfallTag = 2,
    eSettingTag = 3,
    eTagCount = 4
};

// The 21 tag bytes of an index 0..3 ("VX560 Display File", 0x1A, "v1" ...);
// nullptr for another index.
const char* tagText(int16_t index);
// The 21 bytes of the index's text, then the index as int16; 1 for an index
// outside 0..3 (nothing written), else the stream's status.
Status writeTag(socket& out, int16_t index);
// 0..3, or eInvalidTag (-1) when the read fails, the index is outside 0..3 or
// the text differs (index 0 also accepts the VX550 Display tag).
int16_t readTag(socket& in);

// ------------------------------------------------------------ labels

// The text without its terminating zero.
Status writeLabel(socket& out, const char* text);
// 1 when the read fails or the bytes differ from the text.
Status readLabel(socket& in, const char* text);

// ------------------------------------------------------------ memPrt

// A memory stream of fixed capacity with a running check byte; optionally laid
// over an outside buffer (which it does not own) instead of one of its own.
class memPrt : public socket {
  public:
    static constexpr uint8_t kCheckSeed = 0xB1;

    explicit memPrt(uint32_t capacity, uint8_t* outsideBuffer = nullptr);
    memPrt(const memPrt&) = delete;
    memPrt& operator=(const memPrt&) = delete;

    Status open() override { return kStatusOk; }
    // Copies at the position, advancing the position and the count, XORing each
    // byte into the check byte. Beyond the capacity: the assertion
    // "len <= bufSz", only the bytes that fit are written, status 1.
    Status writeBytes(const void* buf, uint32_t len) override;
    Status writeText(const char* text) override;
    Status writeFormatted(const char* text) override { return writeText(text); }
    void close() override {}
    void reset() override { rewind(); }
    // Copies from the position and advances it. Past the end of the data last
    // written or read as a block: the rest is zero-filled and the status is 1.
    Status readBytes(void* buf, uint32_t len) override;

    // Position and count to the start, check byte to 0xB1.
    void rewind();
    // The count (uint32, little-endian), the count's bytes, the check byte.
    Status writeBlock(socket& out) const;
    // Reads a block into the buffer; 1 when the read fails, the length exceeds
    // the capacity or the check byte differs. On success the position and count
    // are at the end of the data (rewind before taking it out).
    Status readBlock(socket& in);

    uint32_t capacity() const { return capacity_; }
    uint32_t count() const { return count_; }
    uint32_t position() const { return pos_; }
    uint8_t checkByte() const { return check_; }
    const uint8_t* data() const { return buf_; }

  private:
    std::vector<uint8_t> own_;
    uint8_t* buf_;
    uint32_t capacity_;
    uint32_t pos_ = 0;
    uint32_t count_ = 0;
    uint32_t dataEnd_ = 0; // bytes that reads may take: last write's end or block length
    uint8_t check_ = kCheckSeed;
};

} // namespace vx
