// Write-side harnesses over the one trace: Display and HP SDF round trips,
// the writers fed from an HP SDF file, and the /Q replacement list.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "HarnessSupport.h"
#include "Harnesses.h"
#include "ascii/AsciiTraceWriter.h"
#include "base/BeBytes.h"
#include "base/Options.h"
#include "display/DataReplacement.h"
#include "display/DisplayFile.h"
#include "params/Catalog.h"
#include "params/CatalogTexts.h"
#include "sdf/SdfParse.h"
#include "sdf/SdfReader.h"
#include "sdf/SdfWriter.h"
#include "support/MemStream.h"
#include "support/TestModel.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace vxfuzz {

namespace {

using Points = std::vector<vx::Point>;

Points vectorOf(int which) {
    const Points* v = vxtest::testModel().trace.vector(which);
    return v ? *v : Points();
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The Display file of the current trace; empty when the writer refuses it.
std::string displayBytes() {
    vxtest::MemStream out;
    if (vx::writeDisplayFile(vxtest::testModel(), out).failed()) return "";
    return out.bytes();
}

int16_t currentMeasurement() {
    return cat.measurement[0].getData(vx::ePaoEntry);
}

// Whether an SDF file's Y data is complex (the data header's flag): real
// data carries only the real parts.
bool sdfDataComplex(const std::string& sdf) {
    constexpr size_t kFirstDataHeader = 2 + 36, kYComplex = 52; // behind "B", 0
    if (sdf.size() < kFirstDataHeader + 4) return false;
    size_t at = vx::getBe32(reinterpret_cast<const uint8_t*>(&sdf[kFirstDataHeader])) + kYComplex;
    return at + 2 <= sdf.size() && vx::getBe16(reinterpret_cast<const uint8_t*>(&sdf[at])) != 0;
}

bool closeEnough(float before, float after) {
    if (before == after) return true;
    if (std::isnan(before) || std::isnan(after)) return std::isnan(before) && std::isnan(after);
    return std::fabs(double(after) - double(before)) <=
           1e-5 * std::max(1.0, std::fabs(double(before)));
}

} // namespace

int fuzzDisplayRoundTrip(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    int st = vx::readDisplayFile(vxtest::testModel(), in).code();
    if (st != 0) return st;
    const Points first[2] = {vectorOf(0), vectorOf(1)};
    const std::string written = displayBytes();
    if (written.empty()) return vx::kStatusBadFile;
    // Writing takes the lengths from the settings again.
    const int32_t nPts = vxtest::testModel().trace.nPts;
    const int16_t code = vxtest::testModel().trace.vectorCode;

    resetProcessState();
    vxtest::MemStream back(written);
    require(vx::readDisplayFile(vxtest::testModel(), back).ok(),
            "a written Display file reads back");
    require(vxtest::testModel().trace.nPts == nPts && vxtest::testModel().trace.vectorCode == code,
            "the read-back trace has the lengths written");
    for (int v = 0; v <= (code ? 1 : 0); ++v) {
        const Points again = vectorOf(v);
        require(again.size() == size_t(std::max<int16_t>(int16_t(nPts), 0)),
                "a written vector holds nPts points");
        for (size_t p = 0; p < again.size(); ++p) {
            const vx::Point expected = p < first[v].size() ? first[v][p] : vx::Point();
            require(sameBits(again[p].re, expected.re) && sameBits(again[p].im, expected.im),
                    "the points come back bit for bit");
        }
    }
    // A damaged file's settings may contradict each other (a measure group
    // that its measurement does not belong to); the post-read rules of the
    // written file's group can then change a value once. From there on the
    // file is a fixed point.
    const std::string second = displayBytes();
    resetProcessState();
    vxtest::MemStream again(second);
    require(vx::readDisplayFile(vxtest::testModel(), again).ok(),
            "a rewritten Display file reads back");
    require(displayBytes() == second, "a rewritten Display file is written the same again");
    return 0;
}

// The headers of an SDF file the harness wrote; false when they do not parse.
bool readWrittenHeaders(const std::string& file, vx::CSdfHdrs& headers) {
    vx::userdiskPrt in(file.c_str());
    in.setMode(vx::socket::eRead);
    return in.openWithChecks(vx::CFileWriter::kMinFreeBytes).ok() &&
           vx::readSdfHeaders(in, headers).ok();
}

// Octave traces carry their band span only in the settings: SDF keeps the
// span as the number of points, so a point count that contradicts the span
// cannot come back as it was.
constexpr int kOctaveGroup = 2;

// A correlation's window is a lag window (range 1 of the window setting), an
// FFT's one of range 0. SDF keeps only a window type, and a window of the
// other range reads back as one of the group's, which may double or halve a
// time trace's length.
constexpr int kCorrelationGroup = 1;

bool windowOfItsGroup(int group) {
    if (group != 0 && group != kCorrelationGroup) return true;
    const int16_t range = cat.window[0].getRange(vx::ePaoEntry);
    const int16_t index = cat.window[0].getData(vx::ePaoEntry);
    const int16_t(&bounds)[3] = cat.rangeTables.windowA[group == kCorrelationGroup ? 1 : 0];
    return range == (group == kCorrelationGroup ? 1 : 0) && index >= bounds[0] &&
           index <= bounds[1];
}

int fuzzSdfRoundTrip(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    int st = vx::readDisplayFile(vxtest::testModel(), in).code();
    if (st != 0) return st;
    const int16_t measurement = currentMeasurement();
    const int32_t points = vxtest::testModel().trace.pointsToWrite();
    // Settings from a damaged file can be ones the instrument never has (an
    // input range of 1000 dBV, a descriptor without channels, a vector
    // shorter than its settings, stored lengths its settings do not give, a
    // window of another group):
    // the SDF file then holds them as they are and its translation back may
    // refuse or change them. It is still well formed; and a consistent trace
    // that reads back as its measurement keeps its values.
    const vx::TraceMgr& trace = vxtest::testModel().trace;
    const int16_t storedLines = trace.xDispLen;
    const int32_t storedPoints = trace.nPts;
    bool whole = !vx::isUserFunction(measurement) && points == trace.extractedPoints() &&
                 windowOfItsGroup(trace.measGroup) && vectorOf(0).size() == size_t(trace.nPts) &&
                 (trace.headerWord(0, 0) & 0xFFFF) == (uint32_t(trace.nPts) & 0xFFFF) &&
                 std::memcmp(trace.measDesc.bytes, vx::measDescriptor(measurement).bytes,
                             vx::MeasDesc::kSize) == 0 &&
                 (vx::groupOfMeasurement(measurement) != kOctaveGroup ||
                  points == vx::octaveBandCount(cat) + 1);
    const Points before = vectorOf(0);
    vx::CSdfWriter writer(vxtest::testModel());
    vxtest::MemStream sdf;
    st = writer.writeTo(sdf).code();
    if (st != 0) return st;
    vxtest::testModel().trace.computeLengths();
    whole = whole && trace.xDispLen == storedLines && trace.nPts == storedPoints;

    resetProcessState();
    std::string file = path("roundtrip.dat");
    writeFile(file, sdf.bytes());
    vx::CSdfReader reader(vxtest::testModel());
    st = reader.open(file.c_str()).code();
    reader.close();
    if (st != 0) {
        vx::CSdfHdrs headers;
        require(readWrittenHeaders(file, headers), "an SDF file we wrote is well formed");
        return 0;
    }
    if (!whole || currentMeasurement() != measurement) return 0;
    const bool complex = sdfDataComplex(sdf.bytes());
    const Points after = vectorOf(0);
    // A damaged engineering-unit calibration (NaN or infinite units per
    // volt) is written as it is; the writer then leaves the values
    // unscaled, and a reader scales them by the file's unusable factor.
    vx::CSdfHdrs headers;
    const float factor = readWrittenHeaders(file, headers) ? vx::sdfCorrectionFactor(headers) : 0;
    if (!std::isfinite(factor) || factor == 0.0f) return 0;
    require(vxtest::testModel().trace.pointsToWrite() == points,
            "the SDF trace has the points written");
    for (int32_t p = 0; p < points; ++p)
        require(closeEnough(before[size_t(p)].re, after[size_t(p)].re) &&
                    (!complex || closeEnough(before[size_t(p)].im, after[size_t(p)].im)),
                "the values come back from SDF");
    return 0;
}

int fuzzSdfOutputs(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.dat");
    vx::CSdfReader reader(vxtest::testModel());
    int st = reader.open(file.c_str()).code();
    reader.close();
    if (st != 0) return st;
    st |= writeMatAndUff();
    vxtest::testModel().options.headerMode = 2;
    vx::CAsciiTraceWriter ascii(vxtest::testModel());
    st |= ascii.write(path("out.asc").c_str()).code();
    ascii.close();
    // A trace read from SDF is written as a Display file that reads back.
    const std::string display = displayBytes();
    if (!display.empty()) {
        vxtest::MemStream back(display);
        require(vx::readDisplayFile(vxtest::testModel(), back).ok(),
                "SDF as a Display file reads back");
    }
    return st;
}

int fuzzReplacementList(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string list = inputFile(data, size, "list.txt");
    // A trace of the default settings whose points are all 1.
    vx::TraceMgr& trace = vxtest::testModel().trace;
    trace.computeLengths();
    std::vector<float> ones(2 * size_t(std::max(trace.nPts, 0)), 1.0f);
    trace.loadVector(ones.data(), int16_t(trace.nPts), 0);
    int st = vx::replaceData(trace, list.c_str()).code();
    if (st != 0) return st;
    // The count on the first line, a whole number that the list reader took.
    std::string firstLine = asString(data, size).substr(0, asString(data, size).find('\n'));
    const long count = long(std::min(std::strtod(firstLine.c_str(), nullptr), 1e9));
    const Points after = vectorOf(0);
    require(after.size() == size_t(trace.nPts), "the list keeps the trace's length");
    for (size_t p = size_t(std::clamp<long>(count, 0, trace.nPts)); p < after.size(); ++p)
        require(after[p].re == 0.0f && after[p].im == 0.0f, "points the list lacks are zero");
    return 0;
}

} // namespace vxfuzz
