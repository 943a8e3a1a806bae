// The library's entry points called in random orders with random requests:
// none crashes, the data reader answers only after a load with nothing but
// reads and log changes since, and each call gives the same answer for the
// same file and request whatever came before it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "HarnessSupport.h"
#include "Harnesses.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/SdfFixture.h"
#include "support/WaterfallFixture.h"
#include "vxcore.h"

namespace vxfuzz {

namespace {

constexpr int kMaxCalls = 24;
constexpr size_t kMaxPoints = 65536;
constexpr size_t kMaxKpts = 64;

// The files the calls name: every input type, a damaged one and a missing one.
const std::vector<std::string>& libraryFiles() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> made;
        auto put = [&](const char* name, const std::string& bytes) {
            writeFile(path(name), bytes);
            made.push_back(path(name));
        };
        resetProcessState();
        for (int16_t g = 0; g <= 5; ++g)
            put(("lib-g" + std::to_string(g) + ".56d").c_str(), vxtest::groupDisplayFile(g));
        resetProcessState();
        vxtest::CapArbFixture capture;
        capture.padToLength();
        put("lib-c.56c", vxtest::capArbFile(capture));
        put("lib-w.56w", vxtest::waterfallFixture(true, true, 0, 3).file());
        put("lib-s.dat", vxtest::sdfFile(vxtest::sdfSampleOf(0)));
        put("lib-bad.56d", "VX560 Display File\x1Av1 and then nothing of use");
        made.push_back(path("lib-missing.56d"));
        resetProcessState();
        return made;
    }();
    return names;
}

const char* const kOutputs[] = {"lib-out.asc", "lib-out.56d", "lib-out.mat",
                                "lib-out.uff", "lib-out.dat", "lib-out.56c"};
const char* const kFormats[] = {"asc", "56d", "mat", "uff", "sdf", "cap", "wat", "xyz"};
const char* const kExtras[] = {"/D",           "/H2", "/P3",      "/K1", "/Cx,r,i",
                               "/Urms,dB,rad", "/WB", "/S1",      "/R2", "/T1,9",
                               "/V210",        "/L4", "/F%10.3f", "/Q",  "/Z"};

// The answers seen so far, by call and argument: a later call must repeat them.
std::map<std::string, std::string>& answers() {
    static std::map<std::string, std::string> seen;
    return seen;
}

void sameAnswer(const std::string& call, const std::string& answer) {
    auto [at, added] = answers().emplace(call, answer);
    if (!added && at->second != answer) {
        size_t differs = 0;
        while (differs < answer.size() && differs < at->second.size() &&
               answer[differs] == at->second[differs])
            ++differs;
        std::fprintf(stderr, "vxfuzz: %s: the answer differs from byte %zu of %zu (earlier %zu)\n",
                     call.c_str(), differs, answer.size(), at->second.size());
    }
    require(added || at->second == answer, "an entry point answers the same call the same way");
}

std::string bytesOf(const void* p, size_t n) {
    return std::string(static_cast<const char*>(p), n);
}

std::string statusText(int16_t st) {
    return std::to_string(st) + ":";
}

} // namespace

int fuzzLibrary(const uint8_t* data, size_t size) {
    const std::vector<std::string>& files = libraryFiles();
    resetProcessState();
    ByteSource in(data, size);
    std::string loaded; // the load that READDISPLAYDATA may read, or empty
    std::vector<uint8_t> buffer(42 + 4 * kMaxPoints + 14 + 4096 * kMaxKpts);
    // No load counts from before this input.
    (void)VX560_LOADDISPLAY(files.back().c_str());
    for (int call = 0; call < kMaxCalls && !in.empty(); ++call) {
        const std::string& file = files[in.next() % files.size()];
        switch (in.next() % 7) {
        case 0: {
            VX560_INFO info;
            std::memset(&info, 0, sizeof info);
            int16_t st = VX560_GETINFO(&info, file.c_str());
            sameAnswer("info " + file, statusText(st) + (st ? "" : bytesOf(&info, sizeof info)));
            loaded.clear();
            break;
        }
        case 1: {
            int16_t st = VX560_LOADDISPLAY(file.c_str());
            sameAnswer("load " + file, statusText(st));
            loaded = st == 0 ? "load " + file : "";
            break;
        }
        case 2: {
            int16_t index = int16_t(in.next16());
            char channel = "aAbB?"[in.next() % 5];
            std::string key = "slice " + std::to_string(index) + channel + file;
            int16_t st = VX560_LOADWATERFALL(index, channel, file.c_str());
            sameAnswer(key, statusText(st));
            loaded = st == 0 ? key : "";
            break;
        }
        case 3: {
            VX560_DATAREQ request{int16_t(in.next() % 9), int16_t(in.next() % 6 - 2),
                                  int16_t(in.next() % 6 - 2), int16_t(in.next() % 4 - 2)};
            // Cleared: the bytes behind the unit's terminator are not an answer.
            std::fill(buffer.begin(), buffer.end(), 0);
            auto* out = reinterpret_cast<VX560_DATA*>(buffer.data());
            int16_t st = VX560_READDISPLAYDATA(out, &request);
            if (loaded.empty()) {
                require(st != 0, "no data without a load just before");
                break;
            }
            std::string answer = statusText(st);
            if (st == 0) {
                require(out->points <= kMaxPoints, "the data fits the trace's points");
                answer += bytesOf(out, 42 + 4 * size_t(out->points));
            }
            sameAnswer("data " + loaded + bytesOf(&request, sizeof request), answer);
            break;
        }
        case 4: {
            const char* names[] = {"lib-log.txt", "lib-nodir/log.txt", ""};
            std::string name = path(names[in.next() % 3]);
            (void)VX560_SETERRORLOGFILE(in.next() % 8 ? name.c_str() : nullptr);
            break;
        }
        case 5: {
            std::fill(buffer.begin(), buffer.end(), 0);
            auto* out = reinterpret_cast<VX560_CAPDATA*>(buffer.data());
            int16_t st = VX560_READCAPTUREDATA(out, file.c_str());
            std::string answer = statusText(st);
            if (st == 0) {
                require(out->kpoints <= kMaxKpts, "the capture fits its buffer");
                answer += bytesOf(out, 14 + 4096 * size_t(out->kpoints));
            }
            sameAnswer("capture " + file, answer);
            loaded.clear();
            break;
        }
        default: {
            std::string line =
                file + " " + path(kOutputs[in.next() % 6]) + " /O" + kFormats[in.next() % 8];
            for (int extras = in.next() % 4; extras > 0; --extras)
                line +=
                    std::string(" ") + kExtras[in.next() % (sizeof kExtras / sizeof kExtras[0])];
            (void)VX560_CMDLINE(line.c_str());
            loaded.clear();
        }
        }
    }
    (void)VX560_SETERRORLOGFILE(path("log.txt").c_str());
    return 0;
}

} // namespace vxfuzz
