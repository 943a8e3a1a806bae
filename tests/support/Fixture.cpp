// Instrument files built byte by byte.
#include "support/Fixture.h"

#include <cstring>

namespace vxtest {

LeBuilder& LeBuilder::u8(uint8_t v) {
    bytes_ += static_cast<char>(v);
    return *this;
}

LeBuilder& LeBuilder::le16(uint16_t v) {
    return u8(uint8_t(v)).u8(uint8_t(v >> 8));
}

LeBuilder& LeBuilder::le32(uint32_t v) {
    return le16(uint16_t(v)).le16(uint16_t(v >> 16));
}

LeBuilder& LeBuilder::f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return le32(bits);
}

LeBuilder& LeBuilder::bytes(const std::string& b) {
    bytes_ += b;
    return *this;
}

BeRecord& BeRecord::be16(size_t at, uint16_t v) {
    for (size_t i = 0; i < 2 && at + i < bytes_.size(); ++i)
        bytes_[at + i] = static_cast<char>(v >> (8 * (1 - i)));
    return *this;
}

BeRecord& BeRecord::be32(size_t at, uint32_t v) {
    return be16(at, uint16_t(v >> 16)).be16(at + 2, uint16_t(v));
}

BeRecord& BeRecord::f32(size_t at, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return be32(at, bits);
}

BeRecord& BeRecord::f64(size_t at, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return be32(at, uint32_t(bits >> 32)).be32(at + 4, uint32_t(bits));
}

BeRecord& BeRecord::text(size_t at, const std::string& t) {
    for (size_t i = 0; i < t.size() && at + i < bytes_.size(); ++i)
        bytes_[at + i] = t[i];
    return *this;
}

std::string multiDiskHeader(uint16_t disk, uint32_t total, uint32_t position, int32_t capacity) {
    return LeBuilder()
        .bytes(std::string("QRB\x1A\0\0", 6))
        .le16(disk)
        .le32(total)
        .le32(position)
        .le32(uint32_t(capacity))
        .str();
}

std::string fileTag(int16_t type) {
    static const char* const names[] = {"Display", "Cap/Arb", "WaterFl", "Setting"};
    std::string text = std::string("VX560 ") + names[type & 3] + " File\x1Av1";
    return LeBuilder().bytes(text).le16(uint16_t(type)).str();
}

std::string checkedBlock(const std::string& data) {
    uint8_t check = 0xB1;
    for (char c : data)
        check ^= static_cast<uint8_t>(c);
    return LeBuilder().le32(uint32_t(data.size())).bytes(data).u8(check).str();
}

std::string behindMultiDiskHeader(const std::string& body) {
    uint32_t total = uint32_t(body.size() + kMultiDiskHeaderSize);
    return multiDiskHeader(1, total, 0, int32_t(body.size())) + body;
}

CapArbFixture& CapArbFixture::padToLength() {
    samples.resize(size_t(kpts) * 1024, 0);
    return *this;
}

std::string capArbHeaderBytes(const CapArbFixture& f) {
    LeBuilder b;
    b.le16(uint16_t(f.kpts)).le16(uint16_t(f.baseFreqId)).le16(uint16_t(f.spanCode));
    b.le16(uint16_t(f.inputRange[0])).le16(uint16_t(f.inputRange[1]));
    for (uint8_t byte : f.timeStamp)
        b.u8(byte);
    return b.le16(uint16_t(f.reserved)).str();
}

std::string capArbBody(const CapArbFixture& f) {
    LeBuilder b;
    b.bytes(fileTag(1));
    b.bytes(checkedBlock(LeBuilder().bytes(capArbHeaderBytes(f)).le16(uint16_t(f.kind)).str()));
    for (int32_t s : f.samples)
        b.le32(uint32_t(s));
    if (f.finalByte) b.u8(0x0A);
    return b.str();
}

std::string capArbFile(const CapArbFixture& f) {
    return behindMultiDiskHeader(capArbBody(f));
}

std::array<uint8_t, 14> timeStampBytes(int sec, int min, int hour, int weekday, int day, int month,
                                       int yearsSince1900) {
    std::array<uint8_t, 14> t{};
    t[0] = t[1] = uint8_t(sec);
    t[2] = t[3] = uint8_t(min);
    t[4] = t[5] = uint8_t(hour);
    t[6] = uint8_t(weekday);
    t[7] = uint8_t(day);
    t[8] = uint8_t(month);
    t[9] = uint8_t(yearsSince1900);
    return t;
}

} // namespace vxtest
