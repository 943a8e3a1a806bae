// File-type tags, labels, the memory stream and checked blocks.
#include "base/OUTP.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/ErrLogger.h"

namespace vx {

namespace {

const char* const kTagTexts[eTagCount] = {
    "VX560 Display File\x1a"
    "v1",
    "VX560 Cap/Arb File\x1a"
    "v1",
    "VX560 WaterFl File\x1a"
    "v1",
    "VX560 Setting File\x1a"
    "v1",
};
const char* const kVx550DisplayTag = "VX550 Display File\x1a"
                                     "v1";

} // namespace

const char* tagText(int16_t index) {
    return index >= 0 && index < eTagCount ? kTagTexts[index] : nullptr;
}

Status writeTag(socket& out, int16_t index) {
    const char* text = tagText(index);
    if (!text) return kStatusFailed;
    Status st = out.writeBytes(text, kTagTextLen);
    if (st.failed()) return st;
    uint8_t word[2] = {uint8_t(index), uint8_t(uint16_t(index) >> 8)};
    return out.writeBytes(word, 2);
}

int16_t readTag(socket& in) {
    char text[kTagTextLen];
    uint8_t word[2];
    if (in.readBytes(text, kTagTextLen).failed() || in.readBytes(word, 2).failed())
        return eInvalidTag;
    int16_t index = static_cast<int16_t>(word[0] | word[1] << 8);
    const char* expected = tagText(index);
    if (!expected) return eInvalidTag;
    if (std::memcmp(text, expected, kTagTextLen) == 0) return index;
    if (index == eDisplayTag && std::memcmp(text, kVx550DisplayTag, kTagTextLen) == 0) return index;
    return eInvalidTag;
}

Status writeLabel(socket& out, const char* text) {
    return out.writeBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

Status readLabel(socket& in, const char* text) {
    std::string got(std::strlen(text), '\0');
    if (in.readBytes(&got[0], static_cast<uint32_t>(got.size())).failed()) return kStatusFailed;
    return got == text ? kStatusOk : kStatusFailed;
}

// ------------------------------------------------------------ memPrt

memPrt::memPrt(uint32_t capacity, uint8_t* outsideBuffer) : capacity_(capacity) {
    if (!outsideBuffer) own_.assign(capacity, 0);
    buf_ = outsideBuffer ? outsideBuffer : own_.data();
}

void memPrt::rewind() {
    pos_ = 0;
    count_ = 0;
    check_ = kCheckSeed;
}

Status memPrt::writeBytes(const void* buf, uint32_t len) {
    const uint8_t* p = static_cast<const uint8_t*>(buf);
    uint32_t room = capacity_ - pos_;
    uint32_t n = std::min(len, room);
    VX_ASSERT(len <= room, "len <= bufSz");
    for (uint32_t i = 0; i < n; ++i) {
        buf_[pos_ + i] = p[i];
        check_ ^= p[i];
    }
    pos_ += n;
    count_ += n;
    dataEnd_ = pos_;
    return n == len ? kStatusOk : kStatusFailed;
}

Status memPrt::writeText(const char* text) {
    return writeBytes(text, text ? static_cast<uint32_t>(std::strlen(text)) : 0);
}

Status memPrt::readBytes(void* buf, uint32_t len) {
    uint8_t* p = static_cast<uint8_t*>(buf);
    uint32_t avail = dataEnd_ > pos_ ? dataEnd_ - pos_ : 0;
    uint32_t n = std::min(len, avail);
    if (n > 0) std::memcpy(p, buf_ + pos_, n);
    if (n < len) std::memset(p + n, 0, len - n);
    pos_ += n;
    return n == len ? kStatusOk : kStatusFailed;
}

Status memPrt::writeBlock(socket& out) const {
    uint8_t len[4] = {uint8_t(count_), uint8_t(count_ >> 8), uint8_t(count_ >> 16),
                      uint8_t(count_ >> 24)};
    Status st = out.writeBytes(len, 4);
    if (st.failed()) return st;
    if (count_ > 0) {
        st = out.writeBytes(buf_, count_);
        if (st.failed()) return st;
    }
    return out.writeBytes(&check_, 1);
}

Status memPrt::readBlock(socket& in) {
    rewind();
    dataEnd_ = 0;
    uint8_t raw[4];
    if (in.readBytes(raw, 4).failed()) return kStatusFailed;
    uint32_t len =
        uint32_t(raw[0]) | uint32_t(raw[1]) << 8 | uint32_t(raw[2]) << 16 | uint32_t(raw[3]) << 24;
    if (len > capacity_) return kStatusFailed;
    if (len > 0 && in.readBytes(buf_, len).failed()) return kStatusFailed;
    uint8_t stored = 0;
    if (in.readBytes(&stored, 1).failed()) return kStatusFailed;
    uint8_t check = kCheckSeed;
    for (uint32_t i = 0; i < len; ++i)
        check ^= buf_[i];
    if (check != stored) return kStatusFailed;
    pos_ = count_ = dataEnd_ = len;
    check_ = stored;
    return kStatusOk;
}

} // namespace vx
