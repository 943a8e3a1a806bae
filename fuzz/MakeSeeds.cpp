// Writes the seed corpora of every harness, built by the fixture builder:
// make_seeds DIR creates DIR/<harness>/ with valid inputs of each kind.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "Harnesses.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/SdfFixture.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"

using namespace vxtest;

namespace {

std::string root;

void seed(const char* harness, const std::string& name, const std::string& bytes) {
    std::string dir = root + "/" + harness;
    mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
}

// The lists of a settings block as the list serializer writes them.
std::string listBytes() {
    MemStream s;
    const int16_t lists[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};
    for (const auto& l : lists)
        (void)vx::serializeList(l[0], &s, 1, 0, vx::ePaoEntry, l[1]);
    return s.bytes();
}

// Selects the measurement (and its group) in the parameters.
void selectMeasurement(int m) {
    resetCatalogue();
    int16_t group = static_cast<int16_t>(vx::groupOfMeasurement(m));
    (void)vx::cat::measureGroup[0].setData(group, 0);
    (void)vx::cat::measurement[0].setRange(group);
    (void)vx::cat::measurement[0].setData(static_cast<int16_t>(m), 0);
}

// A VX560 Display file of the selected measurement with its lengths.
std::string displayFile(int m) {
    vx::TraceMgr& t = vxtest::testModel().trace;
    t.computeLengths();
    Vx560Settings settings;
    settings.measGroup = t.measGroup;
    settings.xDispLen = t.xDispLen;
    settings.nPts = t.nPts;
    settings.lists = listBytes();
    std::memcpy(settings.descriptor.data(), vx::measDescriptor(m).bytes, vx::MeasDesc::kSize);
    DisplayFixture f;
    f.settings = settings.bytes();
    int8_t kind = vx::measDescriptor(m).axisKind();
    f.vectorCode = kind == 7 || kind == 8 ? 2 : 0;
    uint32_t n = static_cast<uint32_t>(t.nPts > 0 && t.nPts <= 4096 ? t.nPts : 512);
    for (int v = 0; v < (f.vectorCode ? 2 : 1); ++v)
        f.vectors.push_back(rampVector(n));
    return f.bytes();
}

void displaySeeds() {
    for (int m = 0; m < vx::kMeasurementCount; ++m) {
        selectMeasurement(m);
        std::string name = "meas" + std::to_string(m);
        std::string file = displayFile(m);
        seed("display", name, file);
        seed("traceout", name, file);
        seed("displayrt", name, file);
        seed("sdfrt", name, file);
        seed("settings", name, listBytes());
        if (m % 10 == 0)
            seed("multidisk", "display" + std::to_string(m), behindMultiDiskHeader(file));
    }
    resetCatalogue();
    Vx550Settings old;
    DisplayFixture f;
    f.settings = old.bytes();
    f.vectorCode = 1;
    f.vectors.push_back(rampVector(512));
    seed("display", "vx550", f.bytes());
}

CapArbFixture capArb(int16_t kind, int16_t kpts) {
    CapArbFixture f;
    f.kind = kind;
    f.kpts = kpts;
    for (int i = 0; i < 64; ++i)
        f.samples.push_back((i - 32) * 0x1000000);
    f.padToLength();
    return f;
}

// The body in two segments, each behind its own header.
std::string twoSegments(const std::string& body, uint32_t firstPart) {
    uint32_t total = static_cast<uint32_t>(body.size() + 2 * kMultiDiskHeaderSize);
    uint32_t rest = static_cast<uint32_t>(body.size()) - firstPart;
    return multiDiskHeader(1, total, 0, static_cast<int32_t>(firstPart)) +
           body.substr(0, firstPart) + vxfuzz::kDiskSeparator +
           multiDiskHeader(2, total, firstPart, static_cast<int32_t>(rest)) +
           body.substr(firstPart);
}

void capArbSeeds() {
    const int16_t kinds[] = {0, 1, 2};
    for (int16_t kind : kinds) {
        std::string name = "kind" + std::to_string(kind);
        seed("caparb", name, capArbFile(capArb(kind, 2)));
        seed("multidisk", name, twoSegments(capArbBody(capArb(kind, 2)), 1000));
    }
    seed("caparb", "kpts4", capArbFile(capArb(0, 4)));
}

// Small slices (100 lines) so that the seeds stay small.
void waterfallSeeds() {
    for (int16_t mode = 0; mode < 2; ++mode) {
        for (int16_t selector = 0; selector < 6; ++selector) {
            resetCatalogue();
            (void)vx::cat::fftLines[0].setData(0, 0);
            (void)vx::cat::fftLines[1].setData(0, 0);
            (void)vx::cat::channelMode.setData(mode, 0);
            WaterfallFixture f = waterfallFixture(true, selector % 3 != 2, selector, 2);
            f.channel[0].rawBlocks = selector == 0 ? 1 : 0;
            f.channel[1].rawBlocks = 0;
            std::string name = "sel" + std::to_string(selector) + "mode" + std::to_string(mode);
            seed("waterfall", name, f.file());
            seed("wfcopy", name, f.file());
        }
    }
    WaterfallFixture onlyB = waterfallFixture(false, true, 2, 3);
    onlyB.channel[1].rawBlocks = 0;
    seed("waterfall", "onlyB", onlyB.file());
    resetCatalogue();
}

void numberListSeeds() {
    seed("numbers", "plain", "0.1 0.2 -0.3\n0.5e-1\r\n-1.0e-2\t0\n");
    seed("numbers", "signs", "+1 -1 .5 -.5 1.25 -1.25");
    std::string ramp;
    for (int i = 0; i < 3000; ++i)
        ramp += std::to_string((i % 200 - 100) / 100.0) + "\n";
    seed("numbers", "ramp", ramp);
}

void sdfSeeds() {
    for (int group = 0; group <= 5; ++group) {
        SdfFixture f = sdfSampleOf(group);
        seed("sdf", "group" + std::to_string(group), sdfFile(f));
        seed("sdfout", "group" + std::to_string(group), sdfFile(f));
        f.revision = 2;
        seed("sdf", "group" + std::to_string(group) + "-rev2", sdfFile(f));
    }
}

void optionSeeds() {
    const std::string nul(1, '\0');
    seed("options", "ascii", nul + "/oasc" + nul + "in.56d" + nul + "out.asc");
    seed("options", "columns", "/h2 /d" + nul + "/cxmp" + nul + "/f%10.3e" + nul + "a.56d");
    seed("options", "capture", nul + "/ocap" + nul + "/i-10" + nul + "/l4" + nul + "n.txt");
    seed("options", "modal", nul + "/osdf" + nul + "/mref:3:+x" + nul + "/t1" + nul + "x.56d");
    seed("options", "mat", nul + "/omat" + nul + "/gname" + nul + "/u" + nul + "w.56w");
    seed("options", "version", nul + "/o56d" + nul + "/v210" + nul + "/qlist.txt" + nul + "s.dat");
    seed("options", "help", nul + "/?");
    // Options drawn from the table: /B1, /L2048 and /N0.
    const std::string drawn = nul + std::string{'\x01', 1, 1} + nul + std::string{'\x01', 11, 1} +
                              nul + std::string{'\x01', 13, 0} + nul + "n.txt";
    seed("options", "drawn", drawn);
    seed("settingsfile", "ascii", "/oasc /h2\n/cx,r,i /p2\n/k1 /f%10.3f\n");
    seed("settingsfile", "files", "/ocap /l4 /i-10\nin.txt out.56c\n");
    seed("settingsfile", "waterfall", "/wb /s2 /r3 /urms,db,rad /t1,9 /j /eqrb.txt\n");
    seed("settingsfile", "modal", "/osdf /mref:3:+x /v210\n");
}

// Byte strings for the harnesses that draw their choices from the input.
void choiceSeeds() {
    seed("qlist", "short", "3\n1.0\n2.0\n3\n4\n5e1\n-6\n");
    seed("qlist", "empty", "0\n");
    std::string longList = "600\n";
    for (int i = 0; i < 1200; ++i)
        longList += std::to_string(i % 7 - 3) + ".25\n";
    seed("qlist", "long", longList);
    for (int kind = 0; kind < 3; ++kind)
        for (int variant = 0; variant < 4; ++variant) {
            std::string bytes = {char(kind), char(variant * 60), char(variant * 17),
                                 char(variant * 5)};
            bytes += std::string(12, char(3 + variant));
            seed("spanning", "kind" + std::to_string(kind) + "-" + std::to_string(variant), bytes);
        }
    for (int m = 0; m < vx::kMeasurementCount; m += 7)
        seed("ascii", "meas" + std::to_string(m),
             std::string{char(m), char(m * 3), char(m / 2), char(m * 5), char(m * 7), 1, 2, char(m),
                         3, char(m * 11), char(m)});
    seed("library", "loads", std::string("\0\1\1\1\1\3\1\3\2\3\0\0\6\2\1\0\0\3\2\3\1\1\2", 23));
    seed("library", "mixed", "\x07\x00\x08\x05\x06\x02\x03\x04\x01\x06\x00\x07\x03\x03");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    root = argv[1];
    mkdir(root.c_str(), 0755);
    vxfuzz::prepareProcess();
    displaySeeds();
    capArbSeeds();
    numberListSeeds();
    waterfallSeeds();
    optionSeeds();
    sdfSeeds();
    choiceSeeds();
    return 0;
}
