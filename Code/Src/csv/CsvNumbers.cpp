// Shortest round-trip number texts, and sample times formatted from their
// exact decimal value.
#include "csv/CsvNumbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <utility>

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

// n / 10^r for every r, each by a constant divisor (a multiplication rather
// than a division instruction).
template <size_t... R> constexpr auto quotients(std::index_sequence<R...>) {
    return std::array<uint64_t (*)(uint64_t), sizeof...(R)>{
        [](uint64_t n) { return n / kPowers10[R]; }...};
}
constexpr auto kQuotient = quotients(std::make_index_sequence<kPowers10.size()>());

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

constexpr auto kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int k = 0; k < 100; ++k) {
        t[2 * k] = static_cast<char>('0' + k / 10);
        t[2 * k + 1] = static_cast<char>('0' + k % 10);
    }
    return t;
}();

void writePair(char* at, uint32_t v) {
    std::memcpy(at, &kDigitPairs[2 * v], 2);
}

// The `count` digits of n, ending at `end`: eight at a time in 32 bits, then
// two at a time.
void writeDigits(char* end, uint64_t n, int count) {
    constexpr uint32_t k1e4 = 10000, k1e8 = k1e4 * k1e4;
    for (; count >= 8; count -= 8, end -= 8) {
        const uint64_t q = n / k1e8;
        const auto low = static_cast<uint32_t>(n - q * k1e8);
        const uint32_t high4 = low / k1e4, low4 = low % k1e4;
        writePair(end - 8, high4 / 100);
        writePair(end - 6, high4 % 100);
        writePair(end - 4, low4 / 100);
        writePair(end - 2, low4 % 100);
        n = q;
    }
    auto m = static_cast<uint32_t>(n);
    for (; count >= 2; count -= 2, m /= 100)
        writePair(end -= 2, m % 100);
    if (count) *--end = static_cast<char>('0' + m);
}

// Writes the digits of n one place to the right of `out`, then moves the
// first `lead` of them back one place to make room for the point after them.
char* writePointed(char* out, uint64_t n, int digits, int lead) {
    writeDigits(out + 1 + digits, n, digits);
    std::memmove(out, out + 1, static_cast<size_t>(lead));
    if (lead == digits) return out + digits; // no digits after the point: no point
    out[lead] = '.';
    return out + 1 + digits;
}

// The decimal n * 10^exp10 (n without trailing zeros, `digits` long) as
// shortestText writes it: fixed or scientific notation, whichever is shorter,
// fixed on a tie, scientific where fixed would exceed kMaxFixedDigits digits.
char* writeDecimal(char* out, uint64_t n, int digits, int exp10) {
    const int sciExp = exp10 + digits - 1;
    const int absExp = sciExp < 0 ? -sciExp : sciExp;
    const int sciLength = digits + (digits > 1) + 2 + (absExp >= 100 ? 3 : 2);
    int fixedLength = digits + 1, fixedDigits = digits; // a point inside the digits
    if (exp10 >= 0)
        fixedLength = fixedDigits = digits + exp10;
    else if (-exp10 >= digits)
        fixedLength = 1 + (fixedDigits = 1 - exp10); // "0." and leading zeros
    if (fixedLength <= sciLength && fixedDigits <= kMaxFixedDigits) {
        if (exp10 >= 0) {
            writeDigits(out + digits, n, digits);
            return std::fill_n(out + digits, exp10, '0');
        }
        const int whole = digits + exp10;
        if (whole > 0) return writePointed(out, n, digits, whole);
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -whole, '0');
        writeDigits(out + digits, n, digits);
        return out + digits;
    }
    out = writePointed(out, n, digits, 1);
    *out++ = 'e';
    *out++ = sciExp < 0 ? '-' : '+';
    if (absExp >= 100) *out++ = static_cast<char>('0' + absExp / 100);
    *out++ = static_cast<char>('0' + absExp / 10 % 10);
    *out++ = static_cast<char>('0' + absExp % 10);
    return out;
}

// Shortens the exact decimal n * 10^exp10 (no trailing zeros) of the double
// i * 2^-j to the fewest digits that still read back to that double, rounded
// to the nearest (halfway to the even one, as the general conversion does);
// false where this cannot decide (the caller converts the double instead).
// The double's neighbours lie one unit of its last place, 2^(L - j - 52) with
// L = floor(log2 i), away; a decimal reads back to it when it lies within half
// of that, which in units of 10^exp10 is 2^(L - 53 - z) * 5^(j - z), z =
// exp10 + j the zeros stripped.
bool shorten(uint64_t& n, int& exp10, int& digits, int32_t i, int j) {
    const int zeros = exp10 + j;
    const int shift = 53 + zeros - (31 - __builtin_clz(static_cast<uint32_t>(i)));
    // A power of two has its lower neighbour nearer than the upper one.
    if ((i & (i - 1)) == 0 || zeros > j || shift >= 64) return false;
    // d * 2^shift < 5^(j - z) for a whole d (never equal: the right side is odd).
    const uint64_t limit = (kPowers5[static_cast<size_t>(j - zeros)] - 1) >> shift;
    uint64_t q = 0, rem = 0;
    auto within = [&](int r) {
        q = kQuotient[static_cast<size_t>(r)](n);
        rem = n - q * kPowers10[static_cast<size_t>(r)];
        return std::min(rem, kPowers10[static_cast<size_t>(r)] - rem) <= limit;
    };
    int r = std::max(0, digits - kMaxFixedDigits);
    if (!within(r)) return false;
    while (r + 1 < static_cast<int>(kPowers10.size()) && within(r + 1))
        ++r;
    within(r); // its quotient and remainder again
    const uint64_t rest = kPowers10[static_cast<size_t>(r)] - rem;
    if (rem > rest || (rem == rest && q % 2 == 1)) ++q; // halfway: to the even one
    n = q;
    exp10 += r;
    stripZeros(n, exp10);
    digits = digitCount(n);
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
    fraction_ = std::max(0, -e) + 3 * f;
    exact_ = !base100k; // a power of two rate: i / rate is exact in binary
    decimal_ = true;
}

char* CSampleTimes::write(char* out, int32_t i) const {
    if (!decimal_ || i <= 0) return shortestText(out, at(i));
    uint64_t n = 0;
    if (shift_ > 0)
        n = static_cast<uint64_t>(i) << shift_; // at most 2^31 * 2^22
    else if (__builtin_mul_overflow(static_cast<uint64_t>(i), power5_, &n))
        return shortestText(out, at(i));
    int exp10 = -fraction_;
    stripZeros(n, exp10);
    int digits = digitCount(n);
    // Up to 15 digits the decimal is the shortest text of the double nearest
    // it; longer ones are exact doubles here, shortened to what reads back.
    if (digits > kUniqueDigits &&
        !(exact_ && shift_ == 0 && shorten(n, exp10, digits, i, fraction_)))
        return shortestText(out, at(i));
    return writeDecimal(out, n, digits, exp10);
}

} // namespace vx
