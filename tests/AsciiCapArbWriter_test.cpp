// ASCII output of Capture/Arb. buffers: header lines, data headings, volts or
// fractions of full scale, points per line, data format, /D and data off, and
// a block read failure in the middle of the output.
#include "ascii/AsciiCapArbWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "base/Options.h"
#include "base/Platform.h"
#include "base/VX550.h"
#include "support/Fixture.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

using vx::Status;
using vxtest::CapArbFixture;

namespace {

struct AsciiCapArbTest : ::testing::Test {
    vxtest::TempDir dir;
    std::string console;

    void SetUp() override {
        vx::resetJobOptions(vxtest::testModel().options);
        vx::platform::setReadCharFunction([] { return -1; });
    }
    void TearDown() override { vx::platform::setReadCharFunction(nullptr); }

    static CapArbFixture channel2Capture() {
        CapArbFixture f;
        f.baseFreqId = 0;
        f.spanCode = 16;
        f.inputRange[0] = 0;
        f.inputRange[1] = 20; // 10 V full scale
        f.timeStamp = vxtest::timeStampBytes(5, 4, 3, 2, 1, 12, 99);
        f.kind = 1;
        f.samples = {858993459, -(1 << 30), 0, 85899346};
        return f.padToLength();
    }
    // Converts the file to out.asc; the writer's status.
    Status convert(const CapArbFixture& f) {
        dir.write("in.56c", vxtest::capArbFile(f));
        std::strcpy(vxtest::testModel().options.inputName, "in.56c");
        vx::CCapArbReader reader;
        vx::CAsciiCapArbWriter writer(vxtest::testModel().options, &reader);
        Status st = 1;
        testing::internal::CaptureStdout();
        if (reader.open("in.56c").ok()) st = writer.write("out.asc");
        writer.close();
        console = testing::internal::GetCapturedStdout();
        return st;
    }
    std::string output() const { return dir.read("out.asc"); }
};

std::string repeated(const std::string& line, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += line;
    return s;
}

TEST_F(AsciiCapArbTest, CaptureInVoltsWithStandardHeader) {
    ASSERT_EQ(convert(channel2Capture()), 0);
    const std::string header = "Input File: in.56c\r\n"
                               "Time: 03 : 04 : 05\r\n"
                               "Date: 12 /  1 / 99\r\n"
                               "Length = 2 kPts\r\n"
                               "Base Freq. = 100 kHz\r\n"
                               "Sampling Freq = 32 kHz\r\n"
                               "Input Range = 20 dBVpk\r\n"
                               "\r\n";
    EXPECT_EQ(output(), header +
                            "     [V]      \r\n"
                            "  1.000000e+01\r\n"
                            " -1.250000e+01\r\n"
                            "  0.000000e+00\r\n"
                            "  1.000000e+00\r\n" +
                            repeated("  0.000000e+00\r\n", 2044));
    // The header lines go to the console too, without CR.
    EXPECT_NE(console.find("Input File: in.56c\nTime: 03 : 04 : 05\n"), std::string::npos);
    EXPECT_FALSE(vx::bulkBufferInUse());
}

TEST_F(AsciiCapArbTest, ArbSourceInFractionsWithoutInputRange) {
    CapArbFixture f = channel2Capture();
    f.kind = 2;
    f.baseFreqId = 1;
    f.spanCode = 19;
    vxtest::testModel().options.pointsPerLine = 4;
    std::strcpy(vxtest::testModel().options.separator, ",");
    ASSERT_EQ(convert(f), 0);
    const std::string out = output();
    EXPECT_EQ(out.substr(0, out.find("\r\n\r\n") + 4), "Input File: in.56c\r\n"
                                                       "Time: 03 : 04 : 05\r\n"
                                                       "Date: 12 /  1 / 99\r\n"
                                                       "Length = 2 kPts\r\n"
                                                       "Base Freq. = 102.4 kHz\r\n"
                                                       "Sampling Freq = 262.1 kHz\r\n"
                                                       "\r\n");
    // Headings repeat per point of a line with the separator between them;
    // the samples of a line follow each other without one.
    const std::string heading = " [% full scl] ";
    EXPECT_EQ(out.substr(out.find("\r\n\r\n") + 4, 4 * 14 + 3 + 2 + 4 * 14 + 2),
              heading + "," + heading + "," + heading + "," + heading + "\r\n" +
                  "  1.000000e+00 -1.250000e+00  0.000000e+00  1.000000e-01\r\n");
    EXPECT_EQ(out.substr(out.size() - 60), "\r\n" + repeated("  0.000000e+00", 4) + "\r\n");
}

TEST_F(AsciiCapArbTest, DataOnlyFormatAndHeaderOnly) {
    CapArbFixture f = channel2Capture();
    f.kind = 0; // channel 1: 0 dBV, volts equal fractions
    vxtest::testModel().options.headerMode = 0;
    vxtest::testModel().options.pointsPerLine = 1024;
    std::strcpy(vxtest::testModel().options.dataFormat, "%.2f");
    ASSERT_EQ(convert(f), 0);
    EXPECT_EQ(output(), "1.00-1.250.000.10" + repeated("0.00", 1020) + "\r\n" +
                            repeated("0.00", 1024) + "\r\n");

    vxtest::testModel().options.headerMode = 1;
    vxtest::testModel().options.writeData = 0;
    ASSERT_EQ(convert(f), 0);
    EXPECT_EQ(output().substr(output().size() - 25), "Input Range = 0 dBVpk\r\n\r\n");
    EXPECT_EQ(output().find("[V]"), std::string::npos);
}

TEST_F(AsciiCapArbTest, NarrowFieldShortensTheHeading) {
    CapArbFixture f = channel2Capture();
    f.kind = 2;
    std::strcpy(vxtest::testModel().options.dataFormat, "%9.2f"); // w = 9
    ASSERT_EQ(convert(f), 0);
    EXPECT_NE(output().find("\r\n\r\n% full...\r\n     1.00\r\n"), std::string::npos);
}

TEST_F(AsciiCapArbTest, BlockReadFailureStopsTheOutput) {
    CapArbFixture f = channel2Capture();
    f.kpts = 4; // claims two blocks, holds one
    vxtest::testModel().options.headerMode = 0;
    EXPECT_EQ(convert(f), 2);
    EXPECT_NE(console.find("File Read Error: process aborted\n"), std::string::npos);
    const std::string out = output();
    EXPECT_EQ(out.size(), 2048u * 16 - 2); // no line end after the last sample
    EXPECT_FALSE(vx::bulkBufferInUse());
}

} // namespace
