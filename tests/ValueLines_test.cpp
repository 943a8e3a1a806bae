// Value lines: line breaks after /P points, buffered output to the stream,
// field width of the data format, heading fitting, and the plain exponent
// formats printed without printf, byte for byte as printf prints them.
#include "ascii/ValueLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "support/MemStream.h"

namespace {

TEST(ValueLines, PointsPerLineSeparatorAndFlush) {
    vxtest::MemStream out;
    {
        vx::CValueLines lines(out, "%g", 3, ";");
        for (int i = 0; i < 7; ++i) {
            lines.startPoint();
            lines.value(i * 0.5);
            if (lines.roomOnLine()) lines.separator();
        }
        lines.endLine();
        EXPECT_EQ(out.bytes(), ""); // nothing written until flushed
        EXPECT_EQ(lines.flush(), 0);
    }
    EXPECT_EQ(out.bytes(), "0;0.5;1\r\n1.5;2;2.5\r\n3;\r\n");
}

TEST(ValueLines, LargeOutputIsWrittenInPiecesAndFailuresAreKept) {
    vxtest::MemStream out;
    out.failWriteAt(2);
    vx::CValueLines lines(out, "%14.6e", 1, " ");
    for (int i = 0; i < 5000; ++i) {
        lines.startPoint();
        lines.value(i);
    }
    EXPECT_GT(out.bytes().size(), 0u);
    EXPECT_LT(out.bytes().size(), 5000u * 16);
    EXPECT_EQ(lines.flush(), 1);
}

TEST(ValueLines, FieldWidthAndHeadings) {
    EXPECT_EQ(vx::fieldWidth("%14.6e"), 14);
    EXPECT_EQ(vx::fieldWidth("%e"), 13);
    EXPECT_EQ(vx::fieldWidth("%.0f%%"), 3);
    EXPECT_EQ(vx::fitHeading("Mag[", "V", 14), "    Mag[V]    ");
    EXPECT_EQ(vx::fitHeading("[", "V", 4), "[V] ");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz", 9), "[V^2/Hz] ");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz rms", 9), "V^2/Hz...");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz", 4), "....");
}

TEST(ValueLines, PlainExponentFormatsAreRecognisedAndOthersLeftToPrintf) {
    struct Case {
        const char* format;
        bool plain;
        int width, precision;
    };
    for (const Case& c :
         {Case{"%14.6e", true, 14, 6}, Case{"%e", true, 0, 6}, Case{"%.e", true, 0, 0},
          Case{"%.3e", true, 0, 3}, Case{"%99.40e", true, 99, 40}, Case{"%9e", true, 9, 6}}) {
        vx::PlainExponentFormat f = vx::plainExponentFormat(c.format);
        EXPECT_TRUE(f.plain) << c.format;
        EXPECT_EQ(f.width, c.width) << c.format;
        EXPECT_EQ(f.precision, c.precision) << c.format;
    }
    for (const char* other : {"%014.6e", "%-14.6e", "%+e", "% e", "%#e", "%E", "%14.6g", "%14.6e%%",
                              "x%e", "%100e", "%.41e", "%.123e", "%14.6", "", "%"})
        EXPECT_FALSE(vx::plainExponentFormat(other).plain) << other;
}

// Compares the plain printing of v with snprintf for every plain format given.
void expectAsPrintf(double v, const std::vector<std::string>& formats) {
    for (const std::string& format : formats) {
        char want[128], got[128];
        std::snprintf(want, sizeof want, format.c_str(), v);
        size_t n = vx::formatPlainExponent(got, vx::plainExponentFormat(format.c_str()), v);
        ASSERT_EQ(std::string(got, n), want) << format << " of " << std::hexfloat << v;
    }
}

TEST(ValueLines, PlainExponentPrintingEqualsPrintf) {
    const std::vector<std::string> all = {"%14.6e",  "%e",    "%.e",    "%3.1e",
                                          "%20.12e", "%.17e", "%40.25e"};
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0, -0.0, 1.0, -1.0, 0.5, 2.5, 1.25, 1e-5, 9.9999995, 9.9999994999, 1e300,
                     4.9e-324, -2.2e-308, inf, -inf, std::nan(""), -std::nan("")})
        expectAsPrintf(v, all);
    // Halfway cases in binary: ties are rounded to even, as printf does.
    for (int i = 0; i < 4096; ++i)
        expectAsPrintf(std::ldexp(2 * i + 1, -12), {"%.0e", "%.2e", "%14.6e"});
    std::mt19937_64 random(12345);
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        float sample;
        uint32_t low = static_cast<uint32_t>(bits);
        std::memcpy(&sample, &low, sizeof sample);
        expectAsPrintf(any, {"%14.6e", "%.17e"});
        expectAsPrintf(sample, {"%14.6e", "%e"});
    }
}

} // namespace
