// Little-endian encoding of the 16-, 32- and 64-bit fields that parameters serialize.
#pragma once
#include <cstdint>
#include <cstring>

namespace vx {

inline void putLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void putLe32(uint8_t* p, uint32_t v) {
    putLe16(p, static_cast<uint16_t>(v));
    putLe16(p + 2, static_cast<uint16_t>(v >> 16));
}

inline uint16_t getLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t getLe32(const uint8_t* p) {
    return getLe16(p) | static_cast<uint32_t>(getLe16(p + 2)) << 16;
}

inline void putLe64(uint8_t* p, uint64_t v) {
    putLe32(p, static_cast<uint32_t>(v));
    putLe32(p + 4, static_cast<uint32_t>(v >> 32));
}

inline uint64_t getLe64(const uint8_t* p) {
    return getLe32(p) | static_cast<uint64_t>(getLe32(p + 4)) << 32;
}

inline uint64_t doubleBits(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

inline double bitsDouble(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline uint32_t floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

inline float bitsFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A parameter value as its little-endian field: 16-bit, 32-bit or float.
inline void putLeValue(uint8_t* p, int16_t v) {
    putLe16(p, static_cast<uint16_t>(v));
}
inline void putLeValue(uint8_t* p, int32_t v) {
    putLe32(p, static_cast<uint32_t>(v));
}
inline void putLeValue(uint8_t* p, float v) {
    putLe32(p, floatBits(v));
}

inline void getLeValue(const uint8_t* p, int16_t& v) {
    v = static_cast<int16_t>(getLe16(p));
}
inline void getLeValue(const uint8_t* p, int32_t& v) {
    v = static_cast<int32_t>(getLe32(p));
}
inline void getLeValue(const uint8_t* p, float& v) {
    v = bitsFloat(getLe32(p));
}

} // namespace vx
