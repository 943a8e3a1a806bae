// Fuzz harness bodies: the process-wide reset and one function per entry.
#include "Harnesses.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "base/VX550.h"
#include "display/DisplayFile.h"
#include "interchange/MatWriter.h"
#include "interchange/SdfReader.h"
#include "interchange/UffWriter.h"
#include "params/STARTUP.h"
#include "run/OptionMgr.h"
#include "support/Catalogue.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "timebuf/CapArb.h"
#include "timebuf/NumberList.h"
#include "trace/MeasDesc.h"
#include "waterfall/Waterfall.h"

namespace vxfuzz {

namespace {

constexpr int kMaxArguments = 20;
constexpr int64_t kPlentyOfSpace = 100 * 1024 * 1024;
// The lists of a settings block in file order, with their group filter.
const int16_t kBlockLists[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};

std::string path(const char* name) {
    return scratchDir() + "/" + name;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    size_t from = 0;
    for (size_t at; (at = text.find(separator, from)) != std::string::npos;
         from = at + separator.size())
        pieces.push_back(text.substr(from, at - from));
    pieces.push_back(text.substr(from));
    return pieces;
}

// Answers every prompt "no".
int answerNo() {
    return -1;
}

// The state every conversion starts from: parameters at their defaults and
// applied, the trace and measurement table as built, the option block reset,
// the bulk buffer free, the log in the scratch directory, prompts answered
// "no" and free space plentiful.
void resetProcessState() {
    vxtest::resetCatalogue();
    vx::resetMeasDescriptors();
    vx::traceMgr().reset();
    vx::resetJobOptions();
    vx::releaseBulkBuffer();
    vx::platform::setReadCharFunction(answerNo);
    vx::platform::setFreeBytesFunction([](const std::string&) { return kPlentyOfSpace; });
    (void)vx::errLog().setLogFileName(path("log.txt").c_str());
    vx::errLog().clearLogFile();
}

std::string asString(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Writes the input to a file in the scratch directory and returns its name.
std::string inputFile(const uint8_t* data, size_t size, const char* name) {
    std::string file = path(name);
    writeFile(file, asString(data, size));
    return file;
}

} // namespace

const std::string& scratchDir() {
    // Made on first use under $TMPDIR and removed when the process ends.
    static const vxtest::ScratchDir dir("vxfuzz");
    return dir.path();
}

void prepareProcess() {
    vxtest::prepareCatalogue();
    resetProcessState();
}

int fuzzOptions(const uint8_t* data, size_t size) {
    resetProcessState();
    std::vector<std::string> pieces = split(asString(data, size), std::string(1, '\0'));
    std::string settings = path("vxt560.ini");
    writeFile(settings, pieces[0]);
    std::vector<std::string> args(1, "vxconv");
    for (size_t i = 1; i < pieces.size() && args.size() <= kMaxArguments; ++i)
        args.push_back(pieces[i]);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    vx::COptionMgr job(static_cast<int>(args.size()), argv.data(), settings.c_str());
    for (int i = 0; i < job.fileCount() && i < 3; ++i)
        (void)job.file(i).name();
    return job.errorIndex();
}

int fuzzDisplay(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    return vx::readDisplayFile(vx::traceMgr(), in).code();
}

int fuzzTraceWriters(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    int st = vx::readDisplayFile(vx::traceMgr(), in).code();
    if (st != 0) return st;
    vx::CMatLabWriter mat;
    st |= mat.write(path("out.mat").c_str()).code();
    mat.close();
    vx::CUffWriter uff;
    st |= uff.write(path("out.uff").c_str()).code();
    uff.close();
    return st;
}

int fuzzSettings(const uint8_t* data, size_t size) {
    resetProcessState();
    // Through a checked block, as the Display reader takes it.
    vxtest::MemStream in(vxtest::checkedBlock(asString(data, size)));
    vx::memPrt block(vx::kSettingsCapacity);
    if (block.readBlock(in).failed()) return 1;
    block.rewind();
    int failed = 0;
    for (const auto& l : kBlockLists)
        failed |= vx::serializeList(l[0], &block, 0, 0, vx::ePaoEntry, l[1]).code();
    for (const auto& l : kBlockLists)
        vx::applyList(l[0], 0);
    vx::traceMgr().computeLengths();
    return failed;
}

int fuzzCapArb(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.56c");
    vx::CCapArbReader reader;
    int st = reader.open(file.c_str()).code();
    if (st == 0) {
        vx::CBulkBufferClaim claim;
        for (bool convert = false; (st = reader.readBlock(claim.data(), convert).code()) == 0;)
            convert = !convert;
        st = st == 1 ? 0 : st;
    }
    reader.close();
    return st;
}

int fuzzSdf(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.dat");
    vx::CSdfReader reader;
    int st = reader.open(file.c_str()).code();
    reader.close();
    return st;
}

int fuzzNumberList(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.txt");
    vx::CAsciiReader reader;
    int st = reader.open(file.c_str()).code();
    if (st == 0) {
        // Every token is at least one byte and one separator: enough blocks
        // to reach the end of the data.
        vx::CBulkBufferClaim claim;
        size_t blocks = size / (2 * vx::kBlockSamples) + 1;
        for (size_t b = 0; b < blocks && st == 0; ++b)
            st = reader.readBlock(claim.data()).code();
    }
    reader.close();
    return st;
}

int fuzzMultiDisk(const uint8_t* data, size_t size) {
    resetProcessState();
    std::vector<std::string> segments = split(asString(data, size), kDiskSeparator);
    std::string file = path("input.56w");
    writeFile(file, segments[0]);
    // Each "yes" puts the next segment in the drive; then "no".
    size_t next = 1;
    bool lineOpen = false;
    vx::platform::setReadCharFunction([&]() -> int {
        if (lineOpen) {
            lineOpen = false;
            return '\n';
        }
        if (next >= segments.size()) return -1;
        writeFile(file, segments[next++]);
        lineOpen = true;
        return 'y';
    });
    vx::userdiskPrt disk(file.c_str());
    disk.setMode(vx::socket::eRead);
    int st = disk.openWithChecks(vx::CFileWriter::kMinFreeBytes).code();
    if (st == 0) st = static_cast<int>(disk.probeSpanningHeader());
    disk.closeAndReset();
    disk.setMode(vx::socket::eRead);
    if (st == 0) st = disk.openWithChecks(vx::CFileWriter::kMinFreeBytes).code();
    if (st == 0) st = disk.startSpanningRead().code();
    // Reads of changing sizes until the data runs out.
    std::vector<uint8_t> chunk(1024);
    for (uint32_t n = 1; st == 0; n = (n * 7 + 13) % 1024 + 1)
        st = disk.readBytes(chunk.data(), n).code();
    disk.close();
    vx::platform::setReadCharFunction(answerNo);
    return st;
}

int fuzzWaterfall(const uint8_t* data, size_t size) {
    int result = 0;
    for (uint8_t channel = 0; channel < 2; ++channel) {
        resetProcessState();
        vx::convOptions.wfChannel = channel;
        std::string file = inputFile(data, size, "input.56w");
        vx::CWaterFallReader reader;
        int st = reader.open(file.c_str()).code();
        for (int16_t n = reader.count(); st == 0 && n > 0; --n)
            st = reader.nextSlice().code();
        reader.close();
        result |= st;
    }
    return result;
}

} // namespace vxfuzz
