// HP SDF parsing: the two analyzer files against their decoded headers, built
// revision 2 and 3 files (channel slots, older fields, scan variable, data
// shapes, correction factor), damaged files of every kind, and detection.
#include "sdf/SdfParse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "base/BeBytes.h"
#include "base/DISK_M.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/RunProgram.h"
#include "support/SharedFiles.h"
#include "support/TempDir.h"

using vx::CSdfHdrs;
using vx::Status;
using vxtest::BeRecord;

namespace {

constexpr const char* kInvalid = "Invalid file format: process aborted\n";
constexpr const char* kSweptSine = "testdata/sdf/HP35665A.DAT";
constexpr const char* kWideFft = "testdata/sdf/HP35670A.DAT";

// A single-vector file as an analyzer writes it; revision 2 uses the older
// record sizes and keeps counts, center, span and delay in the older fields.
struct SdfSpec {
    int16_t revision = 3;
    int16_t measType = 0;
    double center = 12800, span = 25600;
    int32_t startIndex = 0;
    int16_t domain = 0, dataType = 2, yPerPoint = 1, yComplex = 0, yDataType = 3;
    int16_t windowApplied = 0;
    int32_t points = 4;
    int16_t channels[2] = {0, -1};
    int16_t powers[2] = {48, 0};
    std::vector<float> ranges = {-10, -20}; // one channel header each
    float cal = 1.0f, narrowBand = 1.0f, delay = 0.25f;
    int16_t corrMode = 0;
    int16_t scanCount = 1, scanVarType = 3;
    std::vector<float> y = {1, 2, 3, 4};
    int extraValues = 0; // stored after the values that the points count
};

std::string sdfFile(const SdfSpec& s) {
    const bool old = s.revision == 2;
    const size_t fileSize = old ? 64 : 80, measSize = old ? 140 : 156;
    const size_t dataSize = old ? 134 : 148, chanSize = old ? 192 : 212;
    const size_t dataAt = 2 + fileSize + measSize, vectorAt = dataAt + dataSize;
    const size_t chanAt = vectorAt + 18, scanAt = chanAt + chanSize * s.ranges.size();
    const size_t varBytes = s.scanVarType == 1 ? 2 : s.scanVarType == 4 ? 8 : 4;
    const size_t yAt = scanAt + 36 + varBytes;

    BeRecord file(fileSize);
    file.be16(0, 10).be32(2, uint32_t(fileSize)).be16(6, uint16_t(s.revision));
    file.be16(10, 2021).be16(12, 315).be16(14, 1207);
    file.be16(24, 1)
        .be16(26, 1)
        .be16(28, uint16_t(s.ranges.size()))
        .be16(32, uint16_t(s.scanCount));
    file.be32(36, uint32_t(dataAt)).be32(40, uint32_t(vectorAt)).be32(44, uint32_t(chanAt));
    file.be32(48, uint32_t(-1))
        .be32(52, uint32_t(scanAt))
        .be32(56, uint32_t(-1))
        .be32(60, uint32_t(yAt));
    BeRecord meas(measSize);
    meas.be16(0, 11).be32(2, uint32_t(measSize)).be32(18, 512).be16(28, 2).be32(30, 10);
    meas.f32(34, 0.5f).be16(126, uint16_t(s.measType));
    meas.f32(10, float(s.center)).f32(14, float(s.span));
    if (!old) meas.f64(102, s.center).f64(110, s.span).be32(140, uint32_t(s.startIndex));
    BeRecord data(dataSize);
    data.be16(0, 12).be32(2, uint32_t(dataSize)).text(10, "Pwr Spec");
    data.be16(26, uint16_t(s.domain))
        .be16(28, uint16_t(s.dataType))
        .be16(48, uint16_t(s.yDataType));
    data.be16(50, uint16_t(s.yPerPoint))
        .be16(52, uint16_t(s.yComplex))
        .f64(114, 20.0)
        .f64(122, 1.5);
    data.be16(132, uint16_t(s.windowApplied));
    if (old)
        data.be16(30, uint16_t(s.points)).be16(32, uint16_t(s.points - 1));
    else
        data.be32(134, uint32_t(s.points)).be32(138, uint32_t(s.points - 1));
    BeRecord vector(18);
    vector.be16(0, 13)
        .be32(2, 18)
        .be16(10, uint16_t(s.channels[0]))
        .be16(12, uint16_t(s.channels[1]));
    vector.be16(14, uint16_t(s.powers[0])).be16(16, uint16_t(s.powers[1]));
    std::string channels;
    for (size_t i = 0; i < s.ranges.size(); ++i) {
        BeRecord c(chanSize);
        c.be16(0, 14).be32(2, uint32_t(chanSize)).text(10, "Input " + std::to_string(i));
        c.be16(64, 2).be16(66, uint16_t(s.corrMode)).f32(84, s.narrowBand).f32(94, s.ranges[i]);
        c.text(116, "V").f32(126, 1.0f).f32(138, s.cal);
        if (old)
            c.f32(90, s.delay);
        else
            c.f64(192, s.delay);
        channels += c.str();
    }
    BeRecord scan(36 + varBytes);
    scan.be16(0, 15).be32(2, 36).be16(6, 1).be16(12, uint16_t(s.scanVarType)).text(14, "count");
    if (s.scanVarType == 1) scan.be16(36, uint16_t(-7));
    if (s.scanVarType == 2) scan.be32(36, uint32_t(-70000));
    if (s.scanVarType == 3) scan.f32(36, 2.5f);
    if (s.scanVarType == 4) scan.f64(36, 0.125);
    const size_t values = s.y.size() + size_t(s.extraValues);
    BeRecord y(6 + 4 * values);
    y.be16(0, 17).be32(2, uint32_t(6 + 4 * values));
    for (size_t i = 0; i < values; ++i)
        y.f32(6 + 4 * i, i < s.y.size() ? s.y[i] : -1.0f);
    return std::string("B\0", 2) + file.str() + meas.str() + data.str() + vector.str() + channels +
           scan.str() + y.str();
}

// Puts a big-endian field into file bytes.
std::string patched(std::string bytes, size_t at, uint32_t v, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char(v >> (8 * (width - 1 - i)));
    return bytes;
}

struct SdfParseTest : ::testing::Test {
    vxtest::TempDir dir;
    CSdfHdrs hdrs;
    std::string out;
    std::vector<float> pairs;

    // Parses the bytes as a file: the headers and, for a group of 0 or above,
    // the data of the group. `out` holds the console output of the last step.
    Status parse(const std::string& bytes, int group = -1, int16_t measurement = 2) {
        pairs.clear();
        dir.write("t.dat", bytes);
        vx::userdiskPrt in("t.dat");
        in.setMode(vx::socket::eRead);
        testing::internal::CaptureStdout();
        Status st = in.openWithChecks(0);
        if (st.ok()) st = vx::readSdfHeaders(in, hdrs);
        out = testing::internal::GetCapturedStdout();
        if (st.failed() || group < 0) return st;
        testing::internal::CaptureStdout();
        st = vx::readSdfYData(in, hdrs, vx::sdfDataRequest(hdrs, group, measurement), pairs);
        out = testing::internal::GetCapturedStdout();
        return st;
    }
};

TEST_F(SdfParseTest, SweptSineFileMatchesItsDecodedHeaders) {
    VX_SHARED_FILE_OR_SKIP(bytes, kSweptSine);
    ASSERT_EQ(bytes.size(), 4518u);
    ASSERT_TRUE(parse(bytes).ok()) << out;
    EXPECT_EQ(out, "Input File Type: HP SDF(tm) Vers 2\n\n");
    using Ints = std::vector<int32_t>;
    EXPECT_EQ((Ints{hdrs.revision(), hdrs.fileHdrSize(), hdrs.year(), hdrs.monthDay(),
                    hdrs.hourMinute()}),
              (Ints{2, 64, 2020, 111, 1602}));
    EXPECT_EQ((Ints{hdrs.dataHdrCount(), hdrs.vectorHdrCount(), hdrs.channelHdrCount(),
                    hdrs.scanStructCount(), hdrs.xDataCount()}),
              (Ints{1, 1, 2, 1, 0}));
    EXPECT_EQ((Ints{hdrs.dataHdrOffset(), hdrs.vectorHdrOffset(), hdrs.channelHdrOffset(),
                    hdrs.scanStructOffset(), hdrs.xDataOffset(), hdrs.yDataOffset()}),
              (Ints{206, 340, 358, 1264, -1, 1304}));
    // A 64-byte file header lacks the fields from 64 on.
    EXPECT_EQ((Ints{hdrs.i16(64), hdrs.i16(66), hdrs.i32(68), hdrs.i32(72), hdrs.i32(76)}),
              (Ints{0, 0, -1, -1, -1}));
    EXPECT_EQ((Ints{hdrs.blockSize(), hdrs.averageType(), hdrs.averageCount(), hdrs.measType()}),
              (Ints{401, 0, 0, 2}));
    EXPECT_EQ(hdrs.centerFreq(), 10010.0);
    EXPECT_EQ(hdrs.span(), 19980.0);
    EXPECT_EQ((Ints{hdrs.xDomain(), hdrs.dataType(), hdrs.xResolutionType(), hdrs.yDataType(),
                    hdrs.yPerPoint(), hdrs.yIsComplex(), hdrs.pointCount(), hdrs.lastValidIndex()}),
              (Ints{0, 4, 1, 3, 1, 1, 401, 400}));
    EXPECT_EQ(hdrs.xStart(), 20.0);
    EXPECT_EQ(hdrs.xStep(), 1.0174193661806048);
    // Channel numbers 1 and 0 name their slots; the slots hold those headers.
    EXPECT_EQ(hdrs.vectorChannel(0), 1);
    EXPECT_EQ(hdrs.vectorChannel(1), 0);
    EXPECT_EQ(hdrs.vectorPower(0), 48);
    EXPECT_EQ(hdrs.vectorPower(1), -48);
    EXPECT_FLOAT_EQ(hdrs.range(0), -32.94331359863281f);
    EXPECT_FLOAT_EQ(hdrs.range(1), -44.94331359863281f);
    EXPECT_EQ(hdrs.windowType(0), 0);
    EXPECT_EQ(hdrs.unitLabel(1), "V");
    EXPECT_EQ(hdrs.unitScale(1), 1.0f);
    EXPECT_EQ(hdrs.unitExponent(1, 2), -6);
    EXPECT_EQ(hdrs.unitExponent(1, 3), -2);
    EXPECT_EQ(hdrs.engUnitCal(0), 1.0f);
    EXPECT_EQ(hdrs.numberOfScans(), 1);
    EXPECT_EQ(hdrs.scanVarType(), 3);
    EXPECT_EQ(hdrs.scanVariable(), 1.0);

    ASSERT_TRUE(parse(bytes, vx::eSdfSS, 47).ok()) << out;
    ASSERT_EQ(pairs.size(), 802u);
    EXPECT_EQ(vx::sdfCorrectionFactor(hdrs), 1.0f);
    for (size_t i = 0; i < pairs.size(); ++i)
        ASSERT_EQ(pairs[i],
                  vx::getBeFloat(reinterpret_cast<const uint8_t*>(bytes.data()) + 1310 + 4 * i))
            << i;
}

TEST_F(SdfParseTest, FftFileMatchesItsDecodedHeadersAndIsWidened) {
    VX_SHARED_FILE_OR_SKIP(bytes, kWideFft);
    ASSERT_TRUE(parse(bytes).ok()) << out;
    EXPECT_EQ(hdrs.revision(), 2);
    EXPECT_EQ(hdrs.measType(), 3); // "FFT measurement"
    EXPECT_EQ(hdrs.averageCount(), 1);
    EXPECT_EQ(hdrs.centerFreq(), 8192.0);
    EXPECT_EQ(hdrs.span(), 16384.0);
    EXPECT_EQ(hdrs.dataType(), 2);
    EXPECT_EQ(hdrs.pointCount(), 2049);
    EXPECT_EQ(hdrs.lastValidIndex(), 2048);
    EXPECT_EQ(hdrs.xStep(), 8.0);
    EXPECT_EQ(hdrs.windowApplied(), 1);
    EXPECT_EQ(hdrs.vectorChannel(0), 0);
    EXPECT_EQ(hdrs.vectorChannel(1), -1);
    EXPECT_EQ(hdrs.vectorPower(0), 96);
    EXPECT_FLOAT_EQ(hdrs.narrowBandCorr(0), 4.686914443969727f);
    EXPECT_EQ(hdrs.scanVariable(), 85.0); // the float behind the scan structure

    ASSERT_TRUE(parse(bytes, vx::eSdfFFT).ok()) << out;
    const float factor = 4.686914443969727f * 4.686914443969727f;
    EXPECT_FLOAT_EQ(vx::sdfCorrectionFactor(hdrs), factor);
    ASSERT_EQ(pairs.size(), 2u * 2049);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(bytes.data()) + 1310;
    for (size_t i = 0; i < 2049; ++i) {
        ASSERT_FLOAT_EQ(pairs[2 * i], vx::getBeFloat(raw + 4 * i) * factor) << i;
        ASSERT_EQ(pairs[2 * i + 1], 0.0f) << i;
    }
}

TEST_F(SdfParseTest, RevisionTwoReadsLikeRevisionThree) {
    SdfSpec spec;
    ASSERT_TRUE(parse(sdfFile(spec)).ok()) << out;
    EXPECT_EQ(out, "Input File Type: HP SDF(tm) Vers 3\n\n");
    const CSdfHdrs three = hdrs;
    spec.revision = 2;
    ASSERT_TRUE(parse(sdfFile(spec)).ok()) << out;
    EXPECT_EQ(hdrs.centerFreq(), three.centerFreq());
    EXPECT_EQ(hdrs.span(), three.span());
    EXPECT_EQ(hdrs.pointCount(), three.pointCount());
    EXPECT_EQ(hdrs.lastValidIndex(), three.lastValidIndex());
    EXPECT_EQ(hdrs.delay(0), three.delay(0));
    EXPECT_EQ(hdrs.range(0), three.range(0));
    EXPECT_EQ(three.range(0), -10.0f);
    EXPECT_EQ(three.delay(0), 0.25);
    EXPECT_EQ(three.pointCount(), 4);
    EXPECT_EQ(hdrs.year(), 2021);
}

TEST_F(SdfParseTest, ChannelNumberSelectsHeaderAndSlot) {
    SdfSpec spec;
    spec.channels[0] = 3;
    spec.ranges = {-1, -2, -3, -4};
    ASSERT_TRUE(parse(sdfFile(spec)).ok()) << out;
    EXPECT_EQ(hdrs.vectorChannel(0), 1);
    EXPECT_EQ(hdrs.range(1), -4.0f);
    EXPECT_EQ(hdrs.text(CSdfHdrs::channelAt(1) + 10, 30), "Input 3");
    // The other slot keeps the default header.
    EXPECT_EQ(hdrs.text(CSdfHdrs::channelAt(0) + 10, 30), "Chan 1");
    EXPECT_EQ(hdrs.unitLabel(0), "V");
    EXPECT_EQ(hdrs.unitExponent(0, 0), 2);
    EXPECT_EQ(hdrs.engUnitCal(0), 1.0f);
}

TEST_F(SdfParseTest, ScanVariableOfEachTypeAndDefaults) {
    const std::pair<int16_t, double> cases[] = {{1, -7}, {2, -70000}, {3, 2.5}, {4, 0.125}};
    for (auto [type, value] : cases) {
        SdfSpec spec;
        spec.scanVarType = type;
        ASSERT_TRUE(parse(sdfFile(spec)).ok()) << out;
        EXPECT_EQ(hdrs.scanVariable(), value) << type;
    }
    SdfSpec none;
    none.scanCount = 0;
    ASSERT_TRUE(parse(sdfFile(none)).ok()) << out;
    EXPECT_EQ(hdrs.scanVariable(), 1.0);
    EXPECT_EQ(hdrs.scanVarType(), 3);
    EXPECT_EQ(hdrs.i16(CSdfHdrs::kScan), 15);
}

TEST_F(SdfParseTest, CorrectionFactorFromCalibrationWindowAndPower) {
    SdfSpec spec;
    spec.cal = 0.5f;
    const std::pair<int16_t, float> powers[] = {{48, 2.0f}, {96, 4.0f}, {24, std::sqrt(2.0f)}};
    for (auto [power, factor] : powers) {
        spec.powers[0] = power;
        ASSERT_TRUE(parse(sdfFile(spec)).ok());
        EXPECT_FLOAT_EQ(vx::sdfCorrectionFactor(hdrs), factor) << power;
    }
    spec.powers[0] = 48;
    spec.windowApplied = 1;
    spec.narrowBand = 3.0f;
    ASSERT_TRUE(parse(sdfFile(spec)).ok());
    EXPECT_FLOAT_EQ(vx::sdfCorrectionFactor(hdrs), 6.0f);
    spec.corrMode = 1; // the window correction was applied already
    ASSERT_TRUE(parse(sdfFile(spec)).ok());
    EXPECT_FLOAT_EQ(vx::sdfCorrectionFactor(hdrs), 2.0f);
    // Two channels multiply; a zero calibration counts as none.
    spec.channels[1] = 1;
    spec.powers[1] = -48;
    spec.cal = 0.0f;
    ASSERT_TRUE(parse(sdfFile(spec)).ok());
    EXPECT_FLOAT_EQ(vx::sdfCorrectionFactor(hdrs), 1.0f);
}

TEST_F(SdfParseTest, DataShapes) {
    SdfSpec real;
    ASSERT_TRUE(parse(sdfFile(real), vx::eSdfFFT).ok()) << out;
    EXPECT_EQ(pairs, (std::vector<float>{1, 0, 2, 0, 3, 0, 4, 0}));

    SdfSpec rotated = real; // a frequency-domain FFT vector begins at its start index
    rotated.startIndex = 1;
    ASSERT_TRUE(parse(sdfFile(rotated), vx::eSdfFFT).ok()) << out;
    EXPECT_EQ(pairs, (std::vector<float>{2, 0, 3, 0, 4, 0, 1, 0}));

    SdfSpec complexData;
    complexData.points = 2;
    complexData.yComplex = 1;
    ASSERT_TRUE(parse(sdfFile(complexData), vx::eSdfSS).ok()) << out;
    EXPECT_EQ(pairs, (std::vector<float>{1, 2, 3, 4}));

    SdfSpec octave = real; // one value more than the points is stored
    octave.points = 3;     // last valid index 2: four bands read
    octave.extraValues = 1;
    ASSERT_TRUE(parse(sdfFile(octave), vx::eSdfOct).ok()) << out;
    EXPECT_EQ(pairs, (std::vector<float>{1, 0, 2, 0, 3, 0, 4, 0}));

    SdfSpec orbit = complexData;
    orbit.yComplex = 0;
    orbit.yPerPoint = 2;
    ASSERT_TRUE(parse(sdfFile(orbit), vx::eSdfFFT, vx::kMeasOrbit).ok()) << out;
    EXPECT_EQ(pairs, (std::vector<float>{1, 2, 3, 4}));
    orbit.points = 3; // last valid index 2 for the FFT group's count
    orbit.y = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(parse(sdfFile(orbit), vx::eSdfFFT, 2).failed());
    EXPECT_EQ(out, "Invalid data set, 2 y-data's per point\n");
}

TEST_F(SdfParseTest, DamagedDataFailWithMessage) {
    SdfSpec spec;
    const std::string good = sdfFile(spec);
    const size_t yAt = good.size() - 6 - 16;
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    SdfSpec longs = spec;
    longs.yDataType = 2;
    SdfSpec rotatedTooFar = spec;
    rotatedTooFar.startIndex = 5;
    SdfSpec tooMany = spec; // more values than the bulk buffer holds
    tooMany.points = 8193;
    tooMany.y.assign(8193, 0.5f);
    const Case cases[] = {
        {"record type", patched(good, yAt, 16, 2), kInvalid},
        {"record size", patched(good, yAt + 2, 6 + 12, 4),
         "Lengths don't compute...this should never happen!!!\n"},
        {"offset past the end", patched(good, 2 + 60, uint32_t(good.size() - 2), 4), kInvalid},
        {"truncated", good.substr(0, good.size() - 1), "Error reading data\n"},
        {"integer values", sdfFile(longs), kInvalid},
        {"start index", sdfFile(rotatedTooFar), kInvalid},
        {"beyond the buffer", sdfFile(tooMany), kInvalid},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(parse(c.bytes, vx::eSdfFFT).failed()) << c.what;
        EXPECT_EQ(out, c.message) << c.what;
        EXPECT_TRUE(pairs.empty()) << c.what;
    }
}

TEST_F(SdfParseTest, DamagedHeadersFailWithMessage) {
    SdfSpec spec;
    spec.channels[1] = 1;
    const std::string good = sdfFile(spec);
    const size_t meas = 82, data = meas + 156, vector = data + 148, chan = vector + 18;
    const std::pair<const char*, std::string> cases[] = {
        {"identifier", patched(good, 0, 'C', 1)},
        {"file header type", patched(good, 2, 9, 2)},
        {"file header size", patched(good, 4, 72, 4)},
        {"measurement type", patched(good, meas, 12, 2)},
        {"measurement size below its head", patched(good, meas + 2, 4, 4)},
        {"measurement size past the end", patched(good, meas + 2, uint32_t(good.size()), 4)},
        {"no data header", patched(good, 2 + 24, 0, 2)},
        {"data header offset", patched(good, 2 + 36, uint32_t(good.size() - 3), 4)},
        {"data header offset negative", patched(good, 2 + 36, uint32_t(-1), 4)},
        {"data header type", patched(good, data, 13, 2)},
        {"no vector header", patched(good, 2 + 26, 0, 2)},
        {"vector header offset", patched(good, 2 + 40, 0x7FFFFFF0, 4)},
        {"vector header type", patched(good, vector, 12, 2)},
        {"channel beyond the count", patched(good, vector + 12, 2, 2)},
        {"channel number negative", patched(good, vector + 12, uint32_t(-2), 2)},
        {"channel header type", patched(good, chan, 15, 2)},
        {"channel header size", patched(good, chan + 2, 0, 4)},
        {"channel header offset", patched(good, 2 + 44, uint32_t(good.size()), 4)},
        {"truncated in the headers", good.substr(0, chan + 100)},
        {"empty after the identifier", good.substr(0, 2)},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_TRUE(parse(bytes).failed()) << what;
        EXPECT_EQ(out, kInvalid) << what;
    }
}

// Every truncation and every overwritten header byte of a real file is read
// without a fault (the sanitizer build checks the reads).
TEST_F(SdfParseTest, RealFileCutOrDamagedAnywhere) {
    VX_SHARED_FILE_OR_SKIP(bytes, kSweptSine);
    for (size_t len = 0; len < 1320; ++len)
        EXPECT_TRUE(parse(bytes.substr(0, len), vx::eSdfSS).failed()) << len;
    for (size_t at = 0; at < 1310; ++at) {
        std::string damaged = bytes;
        damaged[at] = char(~damaged[at]);
        (void)parse(damaged, vx::eSdfSS);
        EXPECT_LE(pairs.size(), 2u * 8192) << at;
    }
}

TEST(SdfDetection, InputTypeFromTheLeadingBytes) {
    SdfSpec spec;
    auto typeOf = [](std::string bytes) {
        vxtest::MemStream in(std::move(bytes));
        return vx::sdfInputType(in);
    };
    EXPECT_EQ(typeOf(sdfFile(spec)), 6);
    spec.revision = 2;
    EXPECT_EQ(typeOf(sdfFile(spec)), 5);
    spec.revision = 4;
    EXPECT_EQ(typeOf(sdfFile(spec)), 0);
    EXPECT_EQ(typeOf(patched(sdfFile(spec), 2, 11, 2)), 0);
    EXPECT_EQ(typeOf(patched(sdfFile(spec), 1, 'x', 1)), 0);
    EXPECT_EQ(typeOf(std::string("B\0\0\x0a", 4)), 0);
}

// The real files pass detection as revision 2.
TEST(SdfDetection, RealFilesPassDetection) {
    for (const char* relative : {kSweptSine, kWideFft}) {
        VX_SHARED_FILE_OR_SKIP(bytes, relative);
        vxtest::MemStream in{std::string(bytes)};
        EXPECT_EQ(vx::sdfInputType(in), 5) << relative;
        const std::string name = std::filesystem::path(relative).filename();
        vxtest::TempDir dir;
        dir.write(name, bytes);
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {name}, dir.path(), "");
        EXPECT_NE(r.out.find("Input File Type: HP SDF(tm) Vers 2\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Unknown input file format"), std::string::npos) << r.out;
    }
}

} // namespace
