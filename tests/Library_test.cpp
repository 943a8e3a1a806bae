// The shared library as a host program uses it: loaded with dlopen, entry
// points found by name, results compared with the console program's output.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "netcdf/NcFile.h"
#include "params/Catalog.h"
#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/RunProgram.h"
#include "support/SharedFiles.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"
#include "vxcore.h"

namespace {
// The settings of the shared test model.
vx::Catalogue& cat = vxtest::testModel().cat;
} // namespace

namespace {

// A fresh instance of the library: a private copy of libvxcore.so, so that
// every test starts with the state of a newly loaded library.
class Library {
  public:
    explicit Library(const std::string& dir) {
        const std::string copy = dir + "/libvxcore-copy.so";
        std::ifstream in(VX_CORE_PATH, std::ios::binary);
        std::ofstream(copy, std::ios::binary) << in.rdbuf();
        handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) ADD_FAILURE() << dlerror();
        cmdLine = find<decltype(&VX560_CMDLINE)>("VX560_CMDLINE");
        getInfo = find<decltype(&VX560_GETINFO)>("VX560_GETINFO");
        loadDisplay = find<decltype(&VX560_LOADDISPLAY)>("VX560_LOADDISPLAY");
        loadWaterfall = find<decltype(&VX560_LOADWATERFALL)>("VX560_LOADWATERFALL");
        readDisplayData = find<decltype(&VX560_READDISPLAYDATA)>("VX560_READDISPLAYDATA");
        setErrorLogFile = find<decltype(&VX560_SETERRORLOGFILE)>("VX560_SETERRORLOGFILE");
        readCaptureData = find<decltype(&VX560_READCAPTUREDATA)>("VX560_READCAPTUREDATA");
        readDisplayDataSized =
            find<decltype(&VX560_READDISPLAYDATA_SIZED)>("VX560_READDISPLAYDATA_SIZED");
        readCaptureDataSized =
            find<decltype(&VX560_READCAPTUREDATA_SIZED)>("VX560_READCAPTUREDATA_SIZED");
        setMessageHook = find<decltype(&VX560_SETMESSAGEHOOK)>("VX560_SETMESSAGEHOOK");
        cmdArgs = find<decltype(&VX560_CMDARGS)>("VX560_CMDARGS");
        setPromptHook = find<decltype(&VX560_SETPROMPTHOOK)>("VX560_SETPROMPTHOOK");
        strError = find<decltype(&VX560_STRERROR)>("VX560_STRERROR");
        version = find<decltype(&VX560_VERSION)>("VX560_VERSION");
        getSettings = find<decltype(&VX560_GETSETTINGS)>("VX560_GETSETTINGS");
    }
    // Never unloaded, as a host keeps it: the parameter objects' pool storage
    // is never freed and stays reachable only while the copy is mapped.
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    decltype(&VX560_CMDLINE) cmdLine = nullptr;
    decltype(&VX560_GETINFO) getInfo = nullptr;
    decltype(&VX560_LOADDISPLAY) loadDisplay = nullptr;
    decltype(&VX560_LOADWATERFALL) loadWaterfall = nullptr;
    decltype(&VX560_READDISPLAYDATA) readDisplayData = nullptr;
    decltype(&VX560_SETERRORLOGFILE) setErrorLogFile = nullptr;
    decltype(&VX560_READCAPTUREDATA) readCaptureData = nullptr;
    decltype(&VX560_READDISPLAYDATA_SIZED) readDisplayDataSized = nullptr;
    decltype(&VX560_READCAPTUREDATA_SIZED) readCaptureDataSized = nullptr;
    decltype(&VX560_SETMESSAGEHOOK) setMessageHook = nullptr;
    decltype(&VX560_CMDARGS) cmdArgs = nullptr;
    decltype(&VX560_SETPROMPTHOOK) setPromptHook = nullptr;
    decltype(&VX560_STRERROR) strError = nullptr;
    decltype(&VX560_VERSION) version = nullptr;
    decltype(&VX560_GETSETTINGS) getSettings = nullptr;

  private:
    template <class F> F find(const char* name) {
        F f = handle_ ? reinterpret_cast<F>(dlsym(handle_, name)) : nullptr;
        if (!f) ADD_FAILURE() << "not exported: " << name;
        return f;
    }
    void* handle_ = nullptr;
};

// A VX560_DATA or VX560_CAPDATA buffer of the size the caller provides.
template <class Record> struct Buffer {
    explicit Buffer(size_t values) : bytes(sizeof(Record) + 4 * values, '\x5a') {}
    Record* get() { return reinterpret_cast<Record*>(bytes.data()); }
    float value(size_t i) const {
        float v;
        std::memcpy(&v, bytes.data() + sizeof(Record) + 4 * i, 4);
        return v;
    }
    std::vector<char> bytes;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

struct LibraryTest : ::testing::Test {
    vxtest::TempDir dir;
    std::unique_ptr<Library> lib;

    void SetUp() override {
        // Standard input at its end: a disk prompt can never wait.
        std::freopen("/dev/null", "r", stdin);
        vxtest::writeGroupDisplayFiles(dir);
        lib = std::make_unique<Library>(dir.path());
    }
    std::string log() const { return dir.exists("qrblog.txt") ? dir.read("qrblog.txt") : ""; }
    vxtest::RunResult vxconv(const std::vector<std::string>& args) {
        return vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "");
    }
    VX560_INFO info(const std::string& name, int16_t expectStatus = 0) {
        VX560_INFO i{};
        EXPECT_EQ(lib->getInfo(&i, name.c_str()), expectStatus) << name;
        return i;
    }
};

// ------------------------------------------------------------ exports

TEST(LibraryExports, OnlyTheEntryPointsOfTheHeader) {
    FILE* p = popen("nm -D --defined-only " VX_CORE_PATH, "r");
    ASSERT_NE(p, nullptr);
    std::set<std::string> symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, p)) {
        std::string s(line);
        s.erase(s.find_last_not_of("\n") + 1);
        symbols.insert(s.substr(s.find(' ', s.find(' ') + 1) + 1)); // after address and kind
    }
    ASSERT_EQ(pclose(p), 0);
    const std::set<std::string> declared = {"VX560_CMDLINE",
                                            "VX560_GETINFO",
                                            "VX560_LOADDISPLAY",
                                            "VX560_LOADWATERFALL",
                                            "VX560_READDISPLAYDATA",
                                            "VX560_SETERRORLOGFILE",
                                            "VX560_READCAPTUREDATA",
                                            "VX560_READDISPLAYDATA_SIZED",
                                            "VX560_READCAPTUREDATA_SIZED",
                                            "VX560_SETMESSAGEHOOK",
                                            "VX560_CMDARGS",
                                            "VX560_SETPROMPTHOOK",
                                            "VX560_STRERROR",
                                            "VX560_VERSION",
                                            "VX560_GETSETTINGS"};
    EXPECT_EQ(symbols, declared);
}

// ------------------------------------------------------------ status texts, version

// Every status vxcore.h names has its own text, the one its comment lists;
// any other code the fallback.
TEST_F(LibraryTest, EveryStatusOfTheHeaderHasItsOwnText) {
    std::ifstream header(VX_EXAMPLES_DIR "/../lib/vxcore.h");
    std::stringstream source;
    source << header.rdbuf();
    const std::regex named("VX560_STATUS_\\w+ = (-?\\d+)");
    const std::string text = source.str();
    // The comments as running text, without their line breaks and margins.
    const std::string flat = std::regex_replace(text, std::regex("\\s*\\n\\s*\\*?\\s*"), " ");
    std::set<std::string> texts;
    int count = 0;
    for (std::sregex_iterator m(text.begin(), text.end(), named), end; m != end; ++m, ++count) {
        const int status = std::stoi((*m)[1]);
        const char* t = lib->strError(status);
        ASSERT_NE(t, nullptr) << status;
        EXPECT_STRNE(t, "") << status;
        EXPECT_STRNE(t, "unknown status") << status;
        EXPECT_TRUE(texts.insert(t).second) << status << " shares its text: " << t;
        EXPECT_NE(flat.find(std::to_string(status) + " \"" + t + "\""), std::string::npos)
            << "vxcore.h does not list the text of " << status << ": " << t;
    }
    EXPECT_EQ(count, 10); // 0, 1, 2, 3, 10, 11, 12, 26, 40, 41
    for (int other : {-1, 4, 13, 27, 39, 42, 32767, -32768})
        EXPECT_STREQ(lib->strError(other), "unknown status") << other;
    EXPECT_EQ(log(), ""); // a text, not a call: nothing reported
}

// The header's macros, the library and vxconv's banner name one version.
TEST_F(LibraryTest, HeaderLibraryAndProgramNameOneVersion) {
    const std::string numbers = std::to_string(VXCORE_VERSION_MAJOR) + "." +
                                std::to_string(VXCORE_VERSION_MINOR) + "." +
                                std::to_string(VXCORE_VERSION_PATCH);
    EXPECT_EQ(numbers, VXCORE_VERSION_STRING);
    EXPECT_EQ(std::string(lib->version()), VXCORE_VERSION_STRING);
    const vxtest::RunResult banner = vxconv({"--version"});
    EXPECT_EQ(banner.status, 0);
    EXPECT_EQ(lines(banner.out).at(0), "vxconv " VXCORE_VERSION_STRING);
}

// ------------------------------------------------------------ calling order

TEST_F(LibraryTest, ReadingNeedsALoadWithNothingButReadsSince) {
    Buffer<VX560_DATA> data(1024);
    VX560_DATAREQ req{1, -1, -1, -1};
    EXPECT_EQ(lib->readDisplayData(data.get(), &req), 1);
    EXPECT_EQ(log(), "No Display file is loaded\n");

    ASSERT_EQ(lib->loadDisplay("g0.56d"), 0);
    EXPECT_EQ(lib->readDisplayData(data.get(), &req), 0);
    EXPECT_EQ(lib->setErrorLogFile("qrblog.txt"), 0);
    EXPECT_EQ(lib->readDisplayData(data.get(), &req), 0);

    (void)info("g0.56d"); // inspecting a file drops the loaded trace
    EXPECT_EQ(lib->readDisplayData(data.get(), &req), 1);
    EXPECT_EQ(lines(log()).back(), "No Display file is loaded");

    dir.write("cut.56d", dir.read("g1.56d").substr(0, 300));
    EXPECT_NE(lib->loadDisplay("cut.56d"), 0);
    EXPECT_EQ(lib->readDisplayData(data.get(), &req), 1);
    EXPECT_EQ(lines(log()).back(), "No Display file is loaded");
}

TEST_F(LibraryTest, RequestsOutOfRangeAreRefusedInOrder) {
    ASSERT_EQ(lib->loadDisplay("g0.56d"), 0);
    Buffer<VX560_DATA> data(1024);
    struct Case {
        VX560_DATAREQ req;
        const char* line;
    } cases[] = {
        {{8, -1, -1, -1}, "Invalid data option request: out of range: 8"},
        {{0, 4, 4, 2}, "Invalid data option request: out of range: 0"},
        {{1, 4, 4, 2}, "Invalid Peak unit request: out of range"},
        {{1, -2, -1, -1}, "Invalid Peak unit request: out of range"},
        {{1, 3, 4, 2}, "Invalid Mag unit request: out of range"},
        {{1, 3, 3, 2}, "Invalid Phase unit request: out of range"},
        {{5, -1, -1, -2}, "Invalid Phase unit request: out of range"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lib->readDisplayData(data.get(), &c.req), 1) << c.line;
        EXPECT_EQ(log(), std::string(c.line) + "\n"); // the job cleared the log first
    }
    EXPECT_EQ(lib->readDisplayData(nullptr, &cases[0].req), 1);
    EXPECT_EQ(lib->readDisplayData(data.get(), nullptr), 1);
    VX560_DATAREQ good{3, -1, -1, -1}; // a refused request leaves the trace loaded
    EXPECT_EQ(lib->readDisplayData(data.get(), &good), 0);
}

// ------------------------------------------------------------ same values as vxconv

struct ColumnCase {
    VX560_DATAREQ req;
    const char* column;
    const char* units; // the /U list, or empty
};

const char* const kPeak[] = {"", "pk", "rms", "pp"};
const char* const kDb[] = {"lin", "db", "dbm", "dbspl"};
const char* const kPhase[] = {"deg", "rad"};

std::string unitList(const VX560_DATAREQ& r) {
    std::string u;
    auto add = [&u](const char* t) { u += (u.empty() ? "" : ",") + std::string(t); };
    if (r.peakUnits > 0) add(kPeak[r.peakUnits]);
    if (r.dbUnits >= 0) add(kDb[r.dbUnits]);
    if (r.phaseUnits >= 0) add(kPhase[r.phaseUnits]);
    return u;
}

TEST_F(LibraryTest, ValuesAndUnitsEqualTheConsoleProgramsAsciiOutput) {
    const char* const columnNames[] = {"", "mag", "m2", "r", "i", "p", "up", "x"};
    // An "as saved" request after one with other units must give the file's units.
    const VX560_DATAREQ requests[] = {
        {1, -1, -1, -1}, {1, 2, 1, -1},  {1, -1, -1, -1}, {2, 3, 0, -1},  {1, 1, 2, -1},
        {3, -1, -1, -1}, {4, 1, -1, -1}, {5, -1, -1, 1},  {6, -1, -1, 0}, {7, -1, -1, -1}};
    for (int g = 0; g < 6; ++g) {
        const std::string file = "g" + std::to_string(g) + ".56d";
        const VX560_INFO i = info(file);
        ASSERT_EQ(lib->loadDisplay(file.c_str()), 0) << file;
        for (const VX560_DATAREQ& req : requests) {
            Buffer<VX560_DATA> data(i.points);
            ASSERT_EQ(lib->readDisplayData(data.get(), &req), 0)
                << file << " column " << req.column;
            EXPECT_EQ(data.get()->length, 42u);
            EXPECT_EQ(data.get()->version, 11);
            ASSERT_EQ(+data.get()->points, +i.points);

            std::vector<std::string> args = {file, "out.asc", "/F%.8e",
                                             std::string("/C") + columnNames[req.column]};
            if (!unitList(req).empty()) args.push_back("/U" + unitList(req));
            vxtest::RunResult r = vxconv(args);
            ASSERT_EQ(r.status, 0) << r.out;
            std::vector<std::string> out = lines(dir.read("out.asc"));
            ASSERT_GT(out.size(), +i.points);
            const size_t first = out.size() - i.points;
            const std::string& heading = out[first - 1];
            if (heading.find("...") == std::string::npos) {
                EXPECT_NE(heading.find(std::string("[") + data.get()->unit + "]"),
                          std::string::npos)
                    << file << " " << args.back() << ": " << heading;
            }
            for (uint32_t k = 0; k < i.points; ++k)
                ASSERT_EQ(data.value(k), std::strtof(out[first + k].c_str(), nullptr))
                    << file << " " << args[3] << " " << (args.size() > 4 ? args[4] : "")
                    << " point " << k;
        }
    }
}

// ------------------------------------------------------------ file information

TEST_F(LibraryTest, InfoDescribesDisplayFiles) {
    for (int16_t g = 0; g < 6; ++g) {
        const VX560_INFO i = info("g" + std::to_string(g) + ".56d");
        EXPECT_EQ(i.length, 62u);
        EXPECT_EQ(i.version, 10);
        EXPECT_EQ(i.measGroup, g);
        EXPECT_EQ(i.measNumber, vxtest::groupMeasurement(g));
        EXPECT_GT(+i.points, 0u);
        EXPECT_EQ(i.isWaterfall, 0);
        EXPECT_EQ(i.waterfallSlices, 0);
        EXPECT_NE(i.xAxisKind, 4);
    }
    // Upper-case names work: the job lower-cases them, the lookup finds the file.
    dir.write("RUN1.56D", dir.read("g0.56d"));
    const VX560_INFO fft = info("RUN1.56D");
    EXPECT_STREQ(fft.measurement, "FFT 1");
    EXPECT_EQ(fft.xAxisKind, 1);
    EXPECT_EQ(fft.sweepType, 0);
    EXPECT_EQ(info("g3.56d").xAxisKind, 5);
}

TEST_F(LibraryTest, InfoRefusesWhatItCannotDescribe) {
    VX560_INFO i{};
    EXPECT_EQ(lib->getInfo(&i, "missing.56d"), 1);
    EXPECT_NE(log().find("Error opening input file: Process aborted"), std::string::npos);
    EXPECT_EQ(i.length, 62u);
    dir.write("text.txt", "1.0\n2.0\n");
    EXPECT_EQ(lib->getInfo(&i, "text.txt"), 1);
    EXPECT_NE(log().find("Unknown input file format: Process aborted"), std::string::npos);
    EXPECT_EQ(lib->getInfo(&i, nullptr), 1);
    EXPECT_EQ(lines(log()).front(), "No input file name");
    EXPECT_EQ(lib->getInfo(nullptr, "g0.56d"), 1);
    EXPECT_EQ(lib->loadDisplay("text.txt"), 1);

    vxtest::CapArbFixture f;
    dir.write("c.56c", vxtest::capArbFile(f.padToLength()));
    EXPECT_EQ(lib->loadDisplay("c.56c"), 1);
    EXPECT_EQ(lines(log()).back(), "Invalid input file type");
}

// ------------------------------------------------------------ waterfall and SDF files

// Slice s of channel c holds the real part 1000 c + s at every point.
TEST_F(LibraryTest, WaterfallSlicesAreDescribedLoadedAndRead) {
    (void)cat.fftLines[0].setData(0, 0); // 100 lines keep 2049 slices small
    (void)cat.fftLines[1].setData(0, 0);
    dir.write("w.56w", vxtest::waterfallFixture(true, true, 0, 2049).file());
    vxtest::resetCatalogue();
    const VX560_INFO i = info("w.56w");
    EXPECT_EQ(i.isWaterfall, 1);
    EXPECT_EQ(i.waterfallSlices, 2049);
    ASSERT_GT(+i.points, 0u);

    const VX560_DATAREQ real{3, -1, -1, -1};
    struct Case {
        int16_t index;
        char channel;
        float value;
    } cases[] = {{5, 'a', 5.0f},
                 {7, 'b', 1007.0f},
                 {2, 'B', 1002.0f},
                 {3000, 'x', 2048.0f},
                 {-4, 'A', 0.0f}};
    for (const Case& c : cases) {
        ASSERT_EQ(lib->loadWaterfall(c.index, c.channel, "w.56w"), 0) << c.index;
        Buffer<VX560_DATA> data(i.points);
        ASSERT_EQ(lib->readDisplayData(data.get(), &real), 0) << c.index;
        ASSERT_EQ(+data.get()->points, +i.points);
        for (uint32_t k = 0; k < i.points; ++k)
            ASSERT_EQ(data.value(k), c.value) << c.index;
    }
    // The same slice as the console program extracts it.
    ASSERT_EQ(lib->loadWaterfall(7, 'b', "w.56w"), 0);
    Buffer<VX560_DATA> data(i.points);
    const VX560_DATAREQ mag{1, -1, -1, -1};
    ASSERT_EQ(lib->readDisplayData(data.get(), &mag), 0);
    vxtest::RunResult r =
        vxconv({"w.56w", "out.asc", "/WB", "/S7", "/R1", "/D", "/F%.8e", "/Cmag"});
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<std::string> out = lines(dir.read("out.asc"));
    std::vector<float> values;
    for (const std::string& l : out)
        if (!l.empty() && l.find_first_not_of(" 0123456789.e+-") == std::string::npos)
            values.push_back(std::strtof(l.c_str(), nullptr));
    ASSERT_EQ(values.size(), +i.points);
    for (uint32_t k = 0; k < i.points; ++k)
        EXPECT_EQ(data.value(k), values[k]) << k;

    EXPECT_EQ(lib->loadWaterfall(0, 'a', "g0.56d"), 1);
    EXPECT_EQ(lines(log()).back(), "Invalid input file type");
    EXPECT_EQ(lib->readDisplayData(data.get(), &mag), 1);
}

TEST_F(LibraryTest, SdfFilesAreDescribedAndLoaded) {
    VX_SHARED_FILE_OR_SKIP(sdf, "testdata/sdf/HP35665A.DAT");
    dir.write("hp.dat", sdf);
    const VX560_INFO i = info("hp.dat");
    EXPECT_EQ(i.measGroup, 3);
    EXPECT_EQ(+i.points, 401u);
    EXPECT_EQ(i.xAxisKind, 5);
    EXPECT_EQ(i.isWaterfall, 0);
    ASSERT_EQ(lib->loadDisplay("hp.dat"), 0);
    Buffer<VX560_DATA> data(i.points);
    const VX560_DATAREQ x{7, -1, -1, -1};
    ASSERT_EQ(lib->readDisplayData(data.get(), &x), 0);
    EXPECT_FLOAT_EQ(data.value(0), 20.0f);
    EXPECT_NEAR(data.value(400), 20000.0f, 1.0f);
}

// ------------------------------------------------------------ capture files

TEST_F(LibraryTest, CaptureSamplesInVoltsEqualTheAsciiOutput) {
    vxtest::CapArbFixture f;
    f.kpts = 4;
    f.baseFreqId = 0;
    f.spanCode = 17;
    f.inputRange[0] = -10;
    f.inputRange[1] = 20;
    f.kind = 1; // channel 2
    f.samples = {858993459, -(1 << 30), 0, 85899346, 123456789};
    dir.write("c2.56c", vxtest::capArbFile(f.padToLength()));

    const VX560_INFO i = info("c2.56c");
    EXPECT_EQ(+i.points, 4096u);
    EXPECT_EQ(i.measGroup, 0);
    EXPECT_EQ(i.measNumber, 12);
    EXPECT_STREQ(i.measurement, "Capture 1");
    EXPECT_EQ(i.xAxisKind, 4);
    EXPECT_EQ(i.view, 3);

    Buffer<VX560_CAPDATA> data(i.points);
    ASSERT_EQ(lib->readCaptureData(data.get(), "c2.56c"), 0) << log();
    EXPECT_EQ(data.get()->length, 14u);
    EXPECT_EQ(data.get()->version, 12);
    EXPECT_EQ(data.get()->kpoints, 4);
    EXPECT_EQ(data.get()->inputRange, 20);
    // 2^30 / 4 counts of 100/(102.4 x 4096) Hz on the 100 kHz base.
    EXPECT_FLOAT_EQ(data.get()->samplingFreq, 64000.0f);

    ASSERT_EQ(vxconv({"c2.56c", "out.asc", "/D", "/F%.8e"}).status, 0);
    std::vector<std::string> out = lines(dir.read("out.asc"));
    ASSERT_GE(out.size(), +i.points);
    for (uint32_t k = 0; k < i.points; ++k)
        ASSERT_EQ(data.value(k), std::strtof(out[k].c_str(), nullptr)) << k;
    EXPECT_FLOAT_EQ(data.value(1), -10.0f * 1.25f);
}

TEST_F(LibraryTest, CaptureReadOfAnotherTypeWritesNothing) {
    Buffer<VX560_CAPDATA> data(2048);
    const std::vector<char> before = data.bytes;
    EXPECT_EQ(lib->readCaptureData(data.get(), "g0.56d"), 1);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(data.get()->length, 14u);
    EXPECT_TRUE(std::equal(before.begin() + 14, before.end(), data.bytes.begin() + 14));

    vxtest::CapArbFixture f;
    f.padToLength();
    f.samples.resize(1000); // the file ends inside the first block
    dir.write("short.56c", vxtest::capArbFile(f));
    EXPECT_NE(lib->readCaptureData(data.get(), "short.56c"), 0);
    EXPECT_NE(log().find("File Read Error: process aborted"), std::string::npos);
}

// ------------------------------------------------------------ command lines and the log

TEST_F(LibraryTest, CommandLinesRunAsTheConsoleProgramRunsThem) {
    EXPECT_EQ(lib->cmdLine("/X g0.56d"), 1);
    EXPECT_EQ(lines(log()).back(), "Error: Invalid option: /x");
    EXPECT_FALSE(dir.exists("g0.asc"));

    EXPECT_EQ(lib->cmdLine("  g0.56d\tlib.asc\n/Oasc "), 0);
    EXPECT_EQ(lines(log()).front(), "Processing g0.56d ==> lib.asc");
    ASSERT_EQ(vxconv({"g0.56d", "console.asc"}).status, 0);
    // The same bytes but for the time of conversion in the header.
    EXPECT_EQ(dir.read("lib.asc").size(), dir.read("console.asc").size());
    EXPECT_EQ(lines(dir.read("lib.asc")).back(), lines(dir.read("console.asc")).back());

    EXPECT_EQ(lib->cmdLine(nullptr), 1); // no file: the run says so
    EXPECT_EQ(lines(log()).front(), "No input file name");

    // netCDF too: an HDF5 file whose history is the library's command line.
    if (vx::CNcFile::builtIn()) {
        EXPECT_EQ(lib->cmdLine("g0.56d lib.nc /Onc"), 0) << log();
        const std::string nc = dir.read("lib.nc");
        EXPECT_EQ(nc.compare(0, 8, "\x89HDF\r\n\x1a\n"), 0);
        EXPECT_NE(nc.find("vxconv g0.56d lib.nc /Onc"), std::string::npos);
    }
}

TEST_F(LibraryTest, CommandLinesHoldAtMost49Items) {
    std::string line;
    for (int k = 0; k < 48; ++k)
        line += "/J ";
    EXPECT_EQ(lib->cmdLine((line + "g1.56d").c_str()), 0);
    EXPECT_TRUE(dir.exists("g1.asc"));
    EXPECT_EQ(lib->cmdLine((line + "/J g2.56d").c_str()), 1);
    EXPECT_EQ(log(), "Error: Too many command line items: at most 49\n");
    EXPECT_FALSE(dir.exists("g2.asc"));
}

// A long name is used whole, and one longer than vxconv takes is refused as
// vxconv refuses it: never cut to the name of a file that exists.
TEST_F(LibraryTest, CommandLineNamesAreNeverCut) {
    const std::string cut80(80, 'a');
    dir.write(cut80, "keep");
    EXPECT_EQ(lib->cmdLine(("g3.56d " + cut80 + "bc.asc").c_str()), 0) << log();
    EXPECT_TRUE(dir.exists(cut80 + "bc.asc"));
    const std::string tooLong = cut80 + std::string(200, 'b');
    EXPECT_EQ(lib->cmdLine(("g3.56d " + tooLong).c_str()), 1);
    EXPECT_EQ(lines(log()).back(), "Error: Name longer than 259 characters: " + tooLong);
    EXPECT_EQ(vxconv({"g3.56d", tooLong}).status, 1);
    EXPECT_EQ(dir.read(cut80), "keep");
}

TEST_F(LibraryTest, TheLogFileCanBeChosen) {
    EXPECT_EQ(lib->setErrorLogFile("other.txt"), 0);
    EXPECT_EQ(lib->cmdLine("/X"), 1);
    EXPECT_NE(dir.read("other.txt").find("Error: Invalid option: /x"), std::string::npos);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(lib->setErrorLogFile("no/such/dir/log.txt"), 1);
    EXPECT_EQ(lib->setErrorLogFile(nullptr), 1);
    // Too long: refused, never cut to another file's name.
    EXPECT_EQ(lib->setErrorLogFile(std::string(300, 'L').c_str()), 1);
    EXPECT_EQ(lib->setErrorLogFile("qrblog.txt"), 0);
    EXPECT_EQ(lib->cmdLine("/X"), 1);
    EXPECT_NE(log().find("Error: Invalid option: /x"), std::string::npos);
}

// A host that set a locale with a decimal comma gets numbers written and read
// in the C locale by every call, and its own locale back.
TEST_F(LibraryTest, NumbersAreInTheCLocaleWhateverLocaleTheHostSet) {
    struct HostLocale {
        bool set = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        ~HostLocale() { std::setlocale(LC_ALL, "C"); }
    } host;
    if (!host.set) GTEST_SKIP() << "no de_DE.UTF-8 locale (locale-gen de_DE.UTF-8 makes one)";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(lib->cmdLine("g0.56d lib.asc /D /F%10.3f"), 0);
    EXPECT_EQ(lib->cmdLine("g0.56d lib.uff /Ouff"), 0);
    dir.write("list.txt", "+0.5 -0.25\n");
    EXPECT_EQ(lib->cmdLine("list.txt list.56c /Ocap"), 0) << log();
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    ASSERT_EQ(vxconv({"g0.56d", "console.asc", "/D", "/F%10.3f"}).status, 0);
    EXPECT_TRUE(dir.read("lib.asc") == dir.read("console.asc"));
    EXPECT_TRUE(dir.read("lib.uff").find(',') == std::string::npos);
}

// ------------------------------------------------------------ sized reads

// A buffer of exactly the bytes given: a write past it is a sanitizer error.
struct ExactBuffer {
    explicit ExactBuffer(size_t n) : bytes(n, '\x5a') {}
    template <class Record> Record* as() { return reinterpret_cast<Record*>(bytes.data()); }
    std::vector<char> bytes;
};

TEST_F(LibraryTest, SizedReadsTellTheSizeAndRefuseASmallerBuffer) {
    vxtest::CapArbFixture f;
    f.kpts = 4;
    f.samples = {858993459, -(1 << 30), 0, 85899346};
    dir.write("c.56c", vxtest::capArbFile(f.padToLength()));
    const size_t capBytes = 14 + 4096 * 4;
    const VX560_INFO i = info("g1.56d");
    const size_t traceBytes = 42 + 4 * size_t{i.points};
    const VX560_DATAREQ req{3, -1, -1, -1};

    ASSERT_EQ(lib->loadDisplay("g1.56d"), 0);
    size_t needed = 0;
    EXPECT_EQ(lib->readDisplayDataSized(nullptr, 0, &req, &needed), 0);
    EXPECT_EQ(needed, traceBytes);
    ExactBuffer small(traceBytes - 1);
    needed = 0;
    EXPECT_EQ(lib->readDisplayDataSized(small.as<VX560_DATA>(), small.bytes.size(), &req, &needed),
              VX560_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(needed, traceBytes);
    EXPECT_EQ(lines(log()).back(),
              "Buffer too small: " + std::to_string(traceBytes) + " bytes needed");
    EXPECT_EQ(small.bytes, std::vector<char>(traceBytes - 1, '\x5a'));
    ExactBuffer exact(traceBytes); // the trace is still loaded
    ASSERT_EQ(lib->readDisplayDataSized(exact.as<VX560_DATA>(), traceBytes, &req, nullptr), 0);
    Buffer<VX560_DATA> unsized(i.points);
    ASSERT_EQ(lib->readDisplayData(unsized.get(), &req), 0);
    EXPECT_EQ(exact.bytes, unsized.bytes);
    EXPECT_EQ(lib->readDisplayDataSized(nullptr, 0, &req, nullptr), 1);

    EXPECT_EQ(lib->readCaptureDataSized(nullptr, 0, "c.56c", &needed), 0);
    EXPECT_EQ(needed, capBytes);
    ExactBuffer smallCap(capBytes - 4);
    EXPECT_EQ(
        lib->readCaptureDataSized(smallCap.as<VX560_CAPDATA>(), capBytes - 4, "c.56c", &needed),
        VX560_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(smallCap.bytes, std::vector<char>(capBytes - 4, '\x5a'));
    ExactBuffer cap(capBytes);
    ASSERT_EQ(lib->readCaptureDataSized(cap.as<VX560_CAPDATA>(), capBytes, "c.56c", nullptr), 0);
    Buffer<VX560_CAPDATA> unsizedCap(4096);
    ASSERT_EQ(lib->readCaptureData(unsizedCap.get(), "c.56c"), 0);
    EXPECT_EQ(cap.bytes, unsizedCap.bytes);
    EXPECT_EQ(lib->readCaptureDataSized(nullptr, 0, "g1.56d", &needed), 1); // not a capture
}

// The settings text is /Ojson's document up to its data, sized as the reads.
TEST_F(LibraryTest, SettingsAreTheJsonOutputWithoutItsData) {
    vxtest::CapArbFixture f;
    dir.write("c.56c", vxtest::capArbFile(f.padToLength()));
    dir.write("w.56w", vxtest::waterfallFixture(true, false, 0, 3).file());
    for (const char* name : {"g3.56d", "c.56c", "w.56w"}) {
        ASSERT_EQ(vxconv({name, "out.json", "/Ojson", "/R1"}).status, 0) << name;
        const std::string document = dir.read("out.json");
        const std::string expected = document.substr(0, document.find(",\"data\":")) + "}";
        size_t needed = 0;
        ASSERT_EQ(lib->getSettings(nullptr, 0, name, &needed), 0) << name;
        EXPECT_EQ(needed, expected.size() + 1) << name;
        std::vector<char> small(needed - 1, '\x5a');
        EXPECT_EQ(lib->getSettings(small.data(), small.size(), name, nullptr),
                  VX560_STATUS_BUFFER_TOO_SMALL);
        EXPECT_EQ(small, std::vector<char>(needed - 1, '\x5a'));
        std::vector<char> text(needed, '\x5a');
        ASSERT_EQ(lib->getSettings(text.data(), text.size(), name, nullptr), 0);
        EXPECT_EQ(std::string(text.data()), expected) << name;
    }
    EXPECT_EQ(lib->getSettings(nullptr, 0, "g3.56d", nullptr), 1);
    size_t needed = 0;
    EXPECT_EQ(lib->getSettings(nullptr, 0, "missing.56d", &needed), 1);
}

// ------------------------------------------------------------ message hook and token lists

TEST_F(LibraryTest, MessageHookTakesTheConsoleLinesAndTheLogIsUnchanged) {
    std::vector<std::string> got;
    auto collect = [](const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    };
    EXPECT_EQ(lib->setMessageHook(collect, &got), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(lib->cmdLine("/X g0.56d"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(got, (std::vector<std::string>{"Error: Invalid option: /x", "  Use /? for help"}));
    EXPECT_EQ(lines(log()).back(), "Error: Invalid option: /x");

    EXPECT_EQ(lib->setMessageHook(nullptr, nullptr), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(lib->cmdLine("/X g0.56d"), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Error: Invalid option: /x\n"),
              std::string::npos);
    EXPECT_EQ(got.size(), 2u);
}

TEST_F(LibraryTest, TokenListsKeepBlanksAndLongNames) {
    dir.write("my run.56d", dir.read("g0.56d"));
    const std::string out = std::string(100, 'o') + ".mat";
    const char* tokens[] = {"my run.56d", out.c_str(), "/Omat"};
    EXPECT_EQ(lib->cmdArgs(3, tokens), 0) << log();
    EXPECT_TRUE(dir.exists(out));
    EXPECT_EQ(lib->cmdArgs(1, nullptr), 1);
    const char* bad[] = {"/X"};
    EXPECT_EQ(lib->cmdArgs(1, bad), 1);
    EXPECT_EQ(lines(log()).back(), "Error: Invalid option: /x");
}

// A call from inside a hook would run in the middle of the interrupted
// conversion: every entry point refuses it and changes nothing. The status
// texts and the version touch no state and answer.
TEST_F(LibraryTest, CallsFromInsideTheMessageHookAreRefused) {
    struct Inside {
        Library* lib;
        std::vector<int16_t> statuses;
        std::string busyText;
    } inside{lib.get(), {}, {}};
    auto reenter = [](const char* line, void* context) {
        auto& in = *static_cast<Inside*>(context);
        if (std::strncmp(line, "Processing", 10) != 0) return;
        Library& l = *in.lib;
        VX560_INFO i{};
        Buffer<VX560_DATA> data(4096);
        Buffer<VX560_CAPDATA> cap(4096);
        const VX560_DATAREQ req{3, -1, -1, -1};
        const char* tokens[] = {"g3.56d", "inner.mat", "/Omat"};
        in.statuses = {l.cmdLine("g3.56d inner.asc"),
                       l.cmdArgs(3, tokens),
                       l.getInfo(&i, "g3.56d"),
                       l.loadDisplay("g3.56d"),
                       l.loadWaterfall(0, 'a', "g3.56d"),
                       l.readDisplayData(data.get(), &req),
                       l.readDisplayDataSized(data.get(), data.bytes.size(), &req, nullptr),
                       l.readCaptureData(cap.get(), "g3.56d"),
                       l.readCaptureDataSized(cap.get(), cap.bytes.size(), "g3.56d", nullptr),
                       l.setErrorLogFile("inner.txt"),
                       l.setMessageHook(nullptr, nullptr),
                       l.setPromptHook(nullptr, nullptr)};
        in.busyText = std::string(l.strError(in.statuses[0])) + " " + l.version();
    };
    ASSERT_EQ(lib->setMessageHook(reenter, &inside), 0);
    EXPECT_EQ(lib->cmdLine("g0.56d lib.asc"), 0);
    EXPECT_EQ(inside.statuses, std::vector<int16_t>(12, VX560_STATUS_BUSY));
    EXPECT_EQ(
        inside.busyText,
        "another call is running: this one was refused and changed nothing " VXCORE_VERSION_STRING);
    EXPECT_FALSE(dir.exists("inner.asc") || dir.exists("inner.mat") || dir.exists("inner.txt"));
    ASSERT_EQ(vxconv({"g0.56d", "console.asc"}).status, 0);
    EXPECT_EQ(lines(dir.read("lib.asc")).back(), lines(dir.read("console.asc")).back());
    // The hook and the log are still the outer call's.
    inside.statuses.clear();
    EXPECT_EQ(lib->cmdLine("g1.56d lib.asc"), 0);
    EXPECT_EQ(inside.statuses.size(), 12u);
    EXPECT_EQ(lines(log()).front(), "Processing g1.56d ==> lib.asc");
}

// A Capture file on two floppies: the library asks the host for disk 2, and
// never standard input, which a host keeps for itself.
TEST_F(LibraryTest, DiskPromptsGoToTheHostsHookNeverToStandardInput) {
    vxtest::CapArbFixture f;
    for (int k = 0; k < 2048; ++k)
        f.samples.push_back(k * 1000003);
    const std::string body = vxtest::capArbBody(f);
    const uint32_t total = uint32_t(body.size() + 20), onDisk1 = 3000;
    const std::string disk1 =
        vxtest::multiDiskHeader(1, total, 0, onDisk1) + body.substr(0, onDisk1);
    const std::string disk2 =
        vxtest::multiDiskHeader(2, total, onDisk1, int32_t(body.size() - onDisk1)) +
        body.substr(onDisk1);
    dir.write("whole.56c", vxtest::capArbFile(f));
    Buffer<VX560_CAPDATA> whole(2048), split(2048);
    ASSERT_EQ(lib->readCaptureData(whole.get(), "whole.56c"), 0);

    // No hook: declined, with the prompt and why; "y" stays on standard input.
    dir.write("split.56c", disk1);
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(write(input[1], "y\n", 2), 2);
    close(input[1]);
    const int ownInput = dup(0);
    dup2(input[0], 0);
    close(input[0]);
    std::vector<std::string> messages;
    auto collect = [](const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    };
    ASSERT_EQ(lib->setMessageHook(collect, &messages), 0);
    EXPECT_EQ(lib->readCaptureData(split.get(), "split.56c"), VX560_STATUS_READ_ERROR);
    char unread[8] = {};
    EXPECT_EQ(read(0, unread, sizeof unread), 2);
    dup2(ownInput, 0);
    close(ownInput);
    EXPECT_STREQ(unread, "y\n");
    const auto prompt = std::find(messages.begin(), messages.end(), "Please insert disk number 2");
    ASSERT_GE(messages.end() - prompt, 3);
    EXPECT_EQ(std::vector<std::string>(prompt, prompt + 3),
              (std::vector<std::string>{"Please insert disk number 2", "Continue? (y/n) ",
                                        "Answered no: the host program set no prompt hook"}));

    // A hook that puts disk 2 in and answers yes; then one that answers no.
    struct Host {
        vxtest::TempDir* dir;
        const std::string* disk2;
        std::vector<std::string> prompts;
        int answer;
    } host{&dir, &disk2, {}, 1};
    auto answer = [](const char* prompt, void* context) {
        auto& h = *static_cast<Host*>(context);
        h.prompts.push_back(prompt);
        if (h.answer) h.dir->write("split.56c", *h.disk2);
        return h.answer;
    };
    ASSERT_EQ(lib->setPromptHook(answer, &host), 0);
    ASSERT_EQ(lib->readCaptureData(split.get(), "split.56c"), 0) << log();
    EXPECT_EQ(split.bytes, whole.bytes);
    EXPECT_EQ(host.prompts, std::vector<std::string>{"Please insert disk number 2"});
    dir.write("split.56c", disk1);
    host.answer = 0;
    EXPECT_EQ(lib->readCaptureData(split.get(), "split.56c"), VX560_STATUS_READ_ERROR);
    EXPECT_EQ(host.prompts.size(), 2u);
}

// ------------------------------------------------------------ examples

TEST_F(LibraryTest, TheHostExampleReadsATraceAndVolts) {
    const std::string display = VX_EXAMPLES_DIR "/fft1.56d";
    ASSERT_EQ(vxconv({VX_EXAMPLES_DIR "/sine.txt", "sine.56c", "/Ocap", "/I10"}).status, 0);
    vxtest::RunResult host =
        vxtest::runProgram(VX_HOST_PATH, {display, "sine.56c"}, dir.path(), "");
    ASSERT_EQ(host.status, 0) << host.out;

    const VX560_INFO i = info(display);
    ASSERT_EQ(lib->loadDisplay(display.c_str()), 0);
    Buffer<VX560_DATA> mag(i.points);
    VX560_DATAREQ req{1, -1, 1, -1};
    ASSERT_EQ(lib->readDisplayData(mag.get(), &req), 0);
    char expected[200];
    std::snprintf(expected, sizeof expected, "trace %s: %u points, x in Hz, values in %s\n0 %g\n",
                  i.measurement, i.points, mag.get()->unit, mag.value(0));
    EXPECT_NE(host.out.find(expected), std::string::npos) << host.out;
    // The list's volts come back as volts.
    EXPECT_NE(host.out.find("capture: 2 kpoints at 262144 Hz, range 10 dBV\n0 V\n0.097545 V\n"),
              std::string::npos)
        << host.out;
}

} // namespace
