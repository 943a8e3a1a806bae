// Sample times formatted from their exact decimals, and floats shortened with
// integer arithmetic, give the text of the general shortest conversion.
#include "csv/CsvNumbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "timebuf/CapArb.h"

namespace {

std::string text(char* begin, char* end) {
    return std::string(begin, end);
}

TEST(SampleTimes, MatchTheShortestTextOfTheDoubleAtEveryRate) {
    std::vector<int32_t> indexes;
    for (int32_t i = 0; i < 5000; ++i)
        indexes.push_back(i);
    uint32_t seed = 12345;
    for (int k = 0; k < 20000; ++k) {
        seed = seed * 1664525u + 1013904223u;
        indexes.push_back(static_cast<int32_t>(seed >> (k % 2 ? 7 : 1))); // below 2^25 and 2^31
    }
    indexes.push_back(32767 * 1024 - 1);
    indexes.push_back(INT32_MAX);
    // Runs of consecutive samples, which are stepped from the one before,
    // across every power of two (where the rounding limit changes).
    for (int k = 5; k < 31; ++k)
        for (int32_t i = (int32_t(1) << k) - 40; i <= (int32_t(1) << k) + 40; ++i)
            indexes.push_back(i);
    for (int16_t base = 0; base < 2; ++base)
        for (int16_t span = -1; span <= 20; ++span) {
            vx::CSampleTimes times(vx::sampleRate(span).count, base);
            for (int32_t i : indexes) {
                char got[vx::kMaxNumberText], want[vx::kMaxNumberText];
                const std::string g = text(got, times.write(got, i));
                ASSERT_EQ(g, text(want, vx::shortestText(want, times.at(i))))
                    << "base " << base << " span " << span << " sample " << i;
                ASSERT_EQ(std::strtod(g.c_str(), nullptr), times.at(i)) << g;
            }
        }
}

TEST(ShortestText, FloatsMatchTheGeneralConversionAcrossTheirBitPatterns) {
    for (uint64_t b = 0; b < (uint64_t(1) << 32); b += 9973) {
        const auto u = static_cast<uint32_t>(b);
        float v = 0;
        std::memcpy(&v, &u, sizeof v);
        if (v != v) continue;
        char got[vx::kMaxNumberText], want[vx::kMaxNumberText];
        ASSERT_EQ(text(got, vx::shortestText(got, v)),
                  text(want, std::to_chars(want, want + sizeof want, v).ptr))
            << std::hex << u;
    }
}

} // namespace
