// Builds instrument files byte by byte for reader tests, independently of the
// writers under test: a little-endian byte builder, big-endian records, the pieces every
// instrument file shares (multi-disk header, file-type tag, checked block) and
// whole files of each type.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vxtest {

// Appends little-endian fields to a byte string.
class LeBuilder {
  public:
    LeBuilder& u8(uint8_t v);
    LeBuilder& le16(uint16_t v);
    LeBuilder& le32(uint32_t v);
    LeBuilder& f32(float v);
    // The bytes as given (no terminator added).
    LeBuilder& bytes(const std::string& b);
    const std::string& str() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

  private:
    std::string bytes_;
};

// A record of fixed size, zero-filled, with big-endian fields put at their
// offsets (HP SDF files).
class BeRecord {
  public:
    explicit BeRecord(size_t size) : bytes_(size, '\0') {}
    BeRecord& be16(size_t at, uint16_t v);
    BeRecord& be32(size_t at, uint32_t v);
    BeRecord& f32(size_t at, float v);
    BeRecord& f64(size_t at, double v);
    // The text without terminator, cut at the record's end.
    BeRecord& text(size_t at, const std::string& t);
    const std::string& str() const { return bytes_; }

  private:
    std::string bytes_;
};

constexpr size_t kMultiDiskHeaderSize = 20;
constexpr size_t kTagSize = 23;

// "QRB", 0x1A, 0, 0, disk number, total size, data position, capacity.
std::string multiDiskHeader(uint16_t disk, uint32_t total, uint32_t position, int32_t capacity);
// The 21 tag bytes of a file type (0 Display, 1 Cap/Arb, 2 Waterfall,
// 3 Setting) followed by the index as int16.
std::string fileTag(int16_t type);
// Length (uint32), the data, the check byte 0xB1 XOR every data byte.
std::string checkedBlock(const std::string& data);
// The file behind a multi-disk header of a single segment: disk 1, position 0,
// total = the whole file's size, capacity = exactly the bytes that follow.
std::string behindMultiDiskHeader(const std::string& body);

// ------------------------------------------------------------ Capture/Arb.

struct CapArbFixture {
    int16_t kpts = 2;
    int16_t baseFreqId = 1;
    int16_t spanCode = 19;
    int16_t inputRange[2] = {0, 0};
    std::array<uint8_t, 14> timeStamp{};
    int16_t reserved = 0;
    int16_t kind = 0;
    std::vector<int32_t> samples; // as many as given; see padToLength
    bool finalByte = true;        // the 0x0A after the samples

    // Zero samples up to kpts x 1024.
    CapArbFixture& padToLength();
};

// Offsets in a whole Capture/Arb. file (multi-disk header included).
constexpr size_t kCapArbBlockAt = kMultiDiskHeaderSize + kTagSize; // the block's length field
constexpr size_t kCapArbCheckAt = kCapArbBlockAt + 4 + 28;
constexpr size_t kCapArbSamplesAt = kCapArbCheckAt + 1;

// The 26 header bytes.
std::string capArbHeaderBytes(const CapArbFixture& f);
// Tag, checked block (header and kind), samples, final byte.
std::string capArbBody(const CapArbFixture& f);
// The body behind a single-segment multi-disk header.
std::string capArbFile(const CapArbFixture& f);
// Time-stamp bytes as the instrument stores them (each of s, m, h twice).
std::array<uint8_t, 14> timeStampBytes(int sec, int min, int hour, int weekday, int day, int month,
                                       int yearsSince1900);

} // namespace vxtest
