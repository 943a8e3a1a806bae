// Shortest round-trip number texts, and sample times formatted from their
// exact decimal value.
#include "csv/CsvNumbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "params/UTIL.h"

namespace vx {

namespace {

// Some readers (pandas' default parser among them) take at most 17 digits of
// a number in fixed notation, leading zeros included; longer ones are written
// in scientific notation, which they read exactly. A float never has that
// many: its fixed form is chosen only when no longer than its scientific one.
constexpr int kMaxFixedDigits = 17;

bool tooManyFixedDigits(const char* begin, const char* end) {
    return end - begin > kMaxFixedDigits && std::find(begin, end, 'e') == end &&
           std::count_if(begin, end, [](char c) { return c >= '0' && c <= '9'; }) > kMaxFixedDigits;
}

template <size_t N> constexpr std::array<uint64_t, N> powers(uint64_t base) {
    std::array<uint64_t, N> p{};
    p[0] = 1;
    for (size_t k = 1; k < N; ++k)
        p[k] = p[k - 1] * base;
    return p;
}

constexpr auto kPowers10 = powers<20>(10); // 10^19 < 2^64
constexpr auto kPowers5 = powers<28>(5);   // 5^27 < 2^63

// Decimal places that single out every double (any decimal of at most this
// many significant digits is the shortest text of the double nearest to it).
constexpr int kUniqueDigits = 15;

int digitCount(uint64_t n) {
    const int bits = 64 - __builtin_clzll(n | 1);
    const int guess = (bits * 1233) >> 12; // bits * log10(2)
    return guess - (n < kPowers10[guess]) + 1;
}

void stripZeros(uint64_t& n, int& exp10) {
    while (n % 10 == 0) {
        n /= 10;
        ++exp10;
    }
}

// The eight digits of v < 10^8 as characters, the first in the lowest byte:
// the halves of four digits, then their pairs, then single digits, divided in
// parallel in the lanes of one word (multiplications by 10486 / 2^20 and
// 103 / 2^10 divide by 100 and by 10 exactly at these sizes).
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "digits are stored a word at a time");
[[gnu::always_inline]] inline uint64_t eightDigits(uint32_t v) {
    uint64_t x = v / 10000 | uint64_t(v % 10000) << 32;
    uint64_t y = ((x * 10486) >> 20) & 0x0000007F0000007Full;
    x = y | (x - y * 100) << 16;
    y = ((x * 103) >> 10) & 0x000F000F000F000Full;
    x = y | (x - y * 10) << 8;
    return x + 0x3030303030303030ull;
}

// The last `count` (1 to 8) of the eight digits of v at `at`; writes eight
// bytes (the room past the number is scratch for what follows).
[[gnu::always_inline]] inline char* writeLast(char* at, uint32_t v, int count) {
    const uint64_t digits = eightDigits(v) >> (8 * (8 - count));
    std::memcpy(at, &digits, 8);
    return at + count;
}

// The `count` digits of n at `at`, eight at a time; returns their end. Writes
// up to seven bytes past it.
[[gnu::always_inline]] inline char* writeDigits(char* at, uint64_t n, int count) {
    constexpr uint64_t k1e8 = 100000000, k1e16 = k1e8 * k1e8;
    if (count > 16) {
        const auto top = static_cast<uint32_t>(n / k1e16);
        if (count == 17)
            *at++ = static_cast<char>('0' + top); // the usual single digit
        else
            at = writeLast(at, top, count - 16);
        n %= k1e16;
        count = 16;
    }
    if (count > 8) {
        at = writeLast(at, static_cast<uint32_t>(n / k1e8), count - 8);
        return writeLast(at, static_cast<uint32_t>(n % k1e8), 8);
    }
    return writeLast(at, static_cast<uint32_t>(n), count);
}

// Writes the digits of n one place to the right of `out`, then moves the
// first `lead` of them back one place to make room for the point after them.
[[gnu::always_inline]] inline char* writePointed(char* out, uint64_t n, int digits, int lead) {
    char* end = writeDigits(out + 1, n, digits);
    out[0] = out[1]; // the usual single digit without a call to memmove
    if (lead > 1) std::memmove(out + 1, out + 2, static_cast<size_t>(lead - 1));
    if (lead == digits) return out + digits; // no digits after the point: no point
    out[lead] = '.';
    return end;
}

// The decimal n * 10^exp10 (n without trailing zeros, `digits` long) as
// shortestText writes it: fixed or scientific notation, whichever is shorter,
// fixed on a tie, scientific where fixed would exceed kMaxFixedDigits digits.
[[gnu::always_inline]] inline char* writeDecimal(char* out, uint64_t n, int digits, int exp10) {
    const int whole = digits + exp10;
    // The common cases first: a point inside the digits, or "0." and up to two
    // zeros before them, is always the shorter.
    if (exp10 < 0 && whole > 0 && digits <= kMaxFixedDigits)
        return writePointed(out, n, digits, whole);
    if (whole <= 0 && whole >= -2 && 1 - exp10 <= kMaxFixedDigits) {
        std::memcpy(out, "0.00", 4);
        return writeDigits(out + 2 - whole, n, digits);
    }
    const int sciExp = exp10 + digits - 1;
    const int absExp = sciExp < 0 ? -sciExp : sciExp;
    const int sciLength = digits + (digits > 1) + 2 + (absExp >= 100 ? 3 : 2);
    int fixedLength = digits + 1, fixedDigits = digits; // a point inside the digits
    if (exp10 >= 0)
        fixedLength = fixedDigits = digits + exp10;
    else if (-exp10 >= digits)
        fixedLength = 1 + (fixedDigits = 1 - exp10); // "0." and leading zeros
    if (fixedLength <= sciLength && fixedDigits <= kMaxFixedDigits) {
        if (exp10 >= 0) return std::fill_n(writeDigits(out, n, digits), exp10, '0');
        *out++ = '0';
        *out++ = '.';
        return writeDigits(std::fill_n(out, -whole, '0'), n, digits);
    }
    out = writePointed(out, n, digits, 1);
    *out++ = 'e';
    *out++ = sciExp < 0 ? '-' : '+';
    if (absExp >= 100) *out++ = static_cast<char>('0' + absExp / 100);
    *out++ = static_cast<char>('0' + absExp / 10 % 10);
    *out++ = static_cast<char>('0' + absExp % 10);
    return out;
}

// The shortest text of a float in the range the samples of a buffer take
// (about 1e-6 to 4e6), found with integer arithmetic; false outside it.
// v = m * 2^e; the decimals that read back to v lie within half a unit of
// its last place on each side (a quarter below a power of two), the ends
// included when m is even. Scaled by S = 2^(2 - e) * 5^-E, with E the
// exponent of the last of some ten digits, v and both half units are whole
// numbers and 10^E is 2^(2 - e + E).
bool shortFloat(char*& out, float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = static_cast<int>(bits >> 23 & 0xFF);
    if (biased == 0 || biased == 0xFF) return false; // zero, subnormal, inf, nan
    const uint64_t m = (bits & 0x7FFFFF) | 0x800000;
    const int e = biased - 150;
    const int E = (((e + 23) * 78913) >> 18) - 9; // floor(log10 2^(e+23)) - 9
    const int s = 2 - e + E;
    if (E >= 0 || -E >= 16 || s < 1 || s > 62) return false;
    const uint64_t p5 = kPowers5[static_cast<size_t>(-E)];
    const uint64_t scaled = 4 * m * p5, above = 2 * p5;
    const uint64_t below = (bits & 0x7FFFFF) == 0 && biased > 1 ? p5 : above;
    const bool ends = m % 2 == 0;
    const uint64_t mask = (uint64_t(1) << s) - 1;
    const uint64_t a = scaled - below, b = scaled + above;
    uint64_t lo = (a >> s) + ((a & mask) != 0 || !ends);
    uint64_t hi = (b >> s) - ((b & mask) == 0 && !ends);
    // Digits dropped while a decimal remains in [lo, hi]; q and rest follow:
    // the whole part of v divided by unit = 10^r. A count of whole numbers in
    // [lo, hi] of at least 10^k holds a multiple of 10^k: those k digits go
    // at once (the interval holds about 90 to 2400), then one at a time.
    const uint64_t fraction = scaled & mask;
    uint64_t q = scaled >> s, rest = 0, unit = 1;
    int r = 0;
    auto drop = [&](uint64_t divisor, int k) {
        lo = (lo + divisor - 1) / divisor;
        hi /= divisor;
        const uint64_t nextQ = q / divisor;
        rest += (q - nextQ * divisor) * unit;
        q = nextQ;
        unit *= divisor;
        r += k;
    };
    const uint64_t count = hi - lo + 1;
    if (count >= 1000)
        drop(1000, 3);
    else if (count >= 100)
        drop(100, 2);
    else if (count >= 10)
        drop(10, 1);
    while ((lo + 9) / 10 <= hi / 10)
        drop(10, 1);
    // v in units of 10^(E + r), rounded to the nearest (halfway to the even).
    int side = 0; // the sign of (rest + fraction / 2^s) - unit / 2
    if (r == 0)
        side = fraction > (mask >> 1) + 1 ? 1 : fraction == (mask >> 1) + 1 ? 0 : -1;
    else
        side = rest > unit / 2 ? 1 : rest < unit / 2 ? -1 : fraction != 0 ? 1 : 0;
    if (side > 0 || (side == 0 && q % 2 == 1)) ++q;
    q = std::min(std::max(q, lo), hi);
    int exp10 = E + r;
    stripZeros(q, exp10);
    if (bits >> 31) *out++ = '-';
    out = writeDecimal(out, q, digitCount(q), exp10);
    return true;
}

} // namespace

char* shortestText(char* out, double v) {
    char* end = std::to_chars(out, out + kMaxNumberText, v).ptr;
    if (tooManyFixedDigits(out, end))
        end = std::to_chars(out, out + kMaxNumberText, v, std::chars_format::scientific).ptr;
    return end;
}

char* shortestText(char* out, float v) {
    if (shortFloat(out, v)) return out;
    return std::to_chars(out, out + kMaxNumberText, v).ptr;
}

CSampleTimes::CSampleTimes(int32_t rateCount, int16_t baseFreqId)
    : rate_(rateCount * freqResolution(baseFreqId)) {
    if (rateCount <= 0 || (rateCount & (rateCount - 1)) != 0) return;
    // rate = 2^c * 2^-12 Hz (102.4 kHz base) or 2^c * 1000 * 2^-22 Hz (100 kHz
    // base), so i / rate = i * 2^e / 1000^f.
    const int c = __builtin_ctz(static_cast<uint32_t>(rateCount));
    const bool base100k = baseFreqId == 0;
    const int e = (base100k ? 22 : 12) - c;
    const int f = base100k ? 1 : 0;
    if (-e >= static_cast<int>(kPowers5.size())) return;
    if (e >= 0)
        shift_ = e;
    else
        power5_ = kPowers5[-e]; // 2^e = 5^-e / 10^-e
    maxIndex_ = UINT64_MAX / power5_;
    fraction_ = std::max(0, -e) + 3 * f;
    exact_ = !base100k; // a power of two rate: i / rate is exact in binary
    decimal_ = true;
}

char* CSampleTimes::write(char* out, int32_t i) {
    if (!decimal_ || i <= 0) return shortestText(out, at(i));
    if (exact_ && shift_ == 0) return writeShortened(out, i);
    uint64_t n = 0;
    if (shift_ > 0)
        n = static_cast<uint64_t>(i) << shift_; // at most 2^31 * 2^22
    else if (__builtin_mul_overflow(static_cast<uint64_t>(i), power5_, &n))
        return shortestText(out, at(i));
    // Up to 15 digits the decimal is the shortest text of the double nearest
    // it.
    int exp10 = -fraction_;
    stripZeros(n, exp10);
    const int digits = digitCount(n);
    if (digits > kUniqueDigits) return shortestText(out, at(i));
    return writeDecimal(out, n, digits, exp10);
}

// The double i * 2^-j = n * 10^-j (n = i * 5^j, exact) has its neighbours
// one unit of its last place, 2^(L - j - 52) with L = floor(log2 i), away; a
// decimal reads back to it when it lies within half of that, 2^(L - 53) * 5^j
// in units of 10^-j (the limit). n is held divided by 10^r, the largest
// power of ten within the limit: rounding to that place always reads back.
// From one sample to the next it grows by 5^j, an addition, and the limit
// stays while L does.
[[gnu::always_inline]] inline void CSampleTimes::moveTo(int32_t i) {
    if (i - 1 == index_ && (i & index_) != 0) { // the sample after, L unchanged
        remainder_ += stepRemainder_;
        const bool carry = remainder_ >= unit_;
        quotient_ += stepQuotient_ + carry;
        remainder_ -= carry ? unit_ : 0;
    } else {
        const int shift = 53 - (31 - __builtin_clz(static_cast<uint32_t>(i)));
        // d * 2^shift < 5^j for a whole d (never equal: the right side is odd).
        limit_ = (power5_ - 1) >> shift;
        place_ = digitCount(limit_ | 1) - 1; // 10^place_ <= limit_, or 0
        unit_ = kPowers10[static_cast<size_t>(place_)];
        const uint64_t n = static_cast<uint64_t>(i) * power5_;
        quotient_ = n / unit_;
        remainder_ = n % unit_;
        stepQuotient_ = power5_ / unit_;
        stepRemainder_ = power5_ % unit_;
    }
    index_ = i;
}

// The fewest digits that read back to the double of sample i, rounded to the
// nearest (halfway to the even one, as the general conversion does).
char* CSampleTimes::writeShortened(char* out, int32_t i) {
    // A power of two has its lower neighbour nearer than the upper one; past
    // maxIndex_, i * 5^j would not fit in 64 bits.
    if ((i & (i - 1)) == 0 || static_cast<uint64_t>(i) > maxIndex_) {
        index_ = 0;
        return shortestText(out, at(i));
    }
    moveTo(i);
    // One digit fewer at a time while the nearest multiple of 10^r (unit)
    // reads back. q and rem: n divided by the unit; each step moves q's last
    // digit into rem.
    uint64_t q = quotient_, rem = remainder_, unit = unit_;
    int r = place_;
    for (; r + 1 < static_cast<int>(kPowers10.size()); ++r) {
        const uint64_t nextQ = q / 10, nextRem = rem + (q - nextQ * 10) * unit;
        if (std::min(nextRem, unit * 10 - nextRem) > limit_) break;
        q = nextQ;
        rem = nextRem;
        unit *= 10;
    }
    const uint64_t rest = unit - rem;
    if (rem > rest || (rem == rest && q % 2 == 1)) ++q; // halfway: to the even one
    int exp10 = r - fraction_;
    stripZeros(q, exp10);
    return writeDecimal(out, q, digitCount(q), exp10);
}

} // namespace vx
