// Big-endian decoding and encoding of the 16-, 32- and 64-bit fields of HP SDF files.
#pragma once
#include <cstdint>
#include <cstring>

namespace vx {

inline uint16_t getBe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t getBe32(const uint8_t* p) {
    return static_cast<uint32_t>(getBe16(p)) << 16 | getBe16(p + 2);
}

inline uint64_t getBe64(const uint8_t* p) {
    return static_cast<uint64_t>(getBe32(p)) << 32 | getBe32(p + 4);
}

inline float getBeFloat(const uint8_t* p) {
    uint32_t bits = getBe32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void putBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

inline void putBe32(uint8_t* p, uint32_t v) {
    putBe16(p, static_cast<uint16_t>(v >> 16));
    putBe16(p + 2, static_cast<uint16_t>(v));
}

inline void putBe64(uint8_t* p, uint64_t v) {
    putBe32(p, static_cast<uint32_t>(v >> 32));
    putBe32(p + 4, static_cast<uint32_t>(v));
}

inline void putBeFloat(uint8_t* p, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    putBe32(p, bits);
}

} // namespace vx
