// Fuzz harness bodies: the process-wide reset and one function per entry.
#include "Harnesses.h"

#include "HarnessSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "base/VX550.h"
#include "display/DisplayFile.h"
#include "mat/MatWriter.h"
#include "params/STARTUP.h"
#include "run/OptionMgr.h"
#include "sdf/SdfReader.h"
#include "support/Catalogue.h"
#include "support/Fixture.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "support/TestModel.h"
#include "timebuf/CapArb.h"
#include "timebuf/NumberList.h"
#include "trace/MeasDesc.h"
#include "trace/TRACE.h"
#include "uff/UffWriter.h"
#include "waterfall/Waterfall.h"

namespace vxfuzz {

namespace {

constexpr int kMaxArguments = 20;
constexpr int64_t kPlentyOfSpace = 100 * 1024 * 1024;
// The lists of a settings block in file order, with their group filter.
const int16_t kBlockLists[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};

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

// The job an option parse leaves: its status, files, flags and every option
// value (the capture header's time stamp aside: each job takes the clock).
std::string jobSummary(vx::COptionMgr& job) {
    std::ostringstream s;
    const vx::ConvOptions& o = vxtest::testModel().options;
    const vx::CapArbHeader& h = o.listCapture;
    s << job.errorIndex() << ' ' << job.outputFormat() << ' ' << job.jobFlags() << ' '
      << int(job.fileCount());
    for (int i = 0; i < job.fileCount() && i < 3; ++i)
        s << " [" << job.file(i).name() << ']';
    s << ' ' << h.recordKpts << ' ' << h.baseFreqId << ' ' << h.spanCode << ' ' << h.inputRange[0]
      << ' ' << h.inputRange[1] << ' ' << int(o.headerMode) << ' ' << int(o.writeData) << ' '
      << o.pointsPerLine << " [" << o.dataFormat << "] [" << o.separator << ']';
    for (int32_t c : o.columns)
        s << ' ' << c;
    s << ' ' << o.peakUnits << ' ' << o.dbMode << ' ' << o.phaseUnits << ' ' << int(o.wfChannel)
      << ' ' << o.wfFirst << ' ' << o.wfCount << " [" << o.arrayName << "] "
      << vxtest::testModel().options.transducer[0] << ' '
      << vxtest::testModel().options.transducer[1] << ' '
      << vxtest::testModel().options.platformVersion << ' '
      << vxtest::testModel().options.modalFlags << ' '
      << vxtest::testModel().options.modalValues.refName << ' '
      << vxtest::testModel().options.modalValues.respName << ' '
      << vxtest::testModel().options.modalValues.refNumber << ' '
      << vxtest::testModel().options.modalValues.refDirection << ' '
      << vxtest::testModel().options.modalValues.respNumber << ' '
      << vxtest::testModel().options.modalValues.respDirection;
    return s.str();
}

// The tokens that the settings file gives, when it is plain text of short
// lines and tokens (otherwise the file's own limits apply and none are compared).
bool settingsTokens(const std::string& text, std::vector<std::string>& tokens) {
    if (text.find('\0') != std::string::npos) return false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() >= 511) return false;
        std::istringstream words(line);
        for (std::string w; words >> w;) {
            if (w.size() > 80 || w.find_first_of("\v\f") != std::string::npos) return false;
            if (tokens.size() < 50) tokens.push_back(w);
        }
    }
    return true;
}

vx::Status copyWaterfall(const std::string& from, const std::string& to) {
    vx::CWfCopyReader reader;
    vx::Status st = reader.open(from.c_str());
    if (st.failed()) return st;
    vx::CWfCopyWriter writer(&reader);
    return writer.write(to.c_str());
}

int extractAll(const std::string& file) {
    vx::CWaterFallReader reader(vxtest::testModel());
    int st = reader.open(file.c_str()).code();
    for (int16_t n = reader.count(); st == 0 && n > 0; --n)
        st = reader.nextSlice().code();
    return st;
}

// An argument that starts with byte 1 is an option drawn from the option
// table: the next byte picks the letter; for a numeric option the one after
// picks an end of its range or a value just beyond it, else the rest of the
// piece follows the letter.
std::string drawnOption(const std::string& piece) {
    const std::vector<vx::OptionDescriptor>& table = vx::COptionMgr::optionTable();
    ByteSource in(reinterpret_cast<const uint8_t*>(piece.data()) + 1, piece.size() - 1);
    const vx::OptionDescriptor& option = table[in.next() % table.size()];
    const std::string text = std::string("/") + option.letter;
    const bool numeric =
        option.arg == vx::EOptionArg::eInteger || option.arg == vx::EOptionArg::eNumber;
    switch (numeric ? in.next() % 5 : 4) {
    case 0:
        return text + std::to_string(option.lo);
    case 1:
        return text + std::to_string(option.hi);
    case 2:
        return text + std::to_string(option.lo - 1);
    case 3:
        return text + std::to_string(option.hi + 1);
    default:
        return text + in.rest();
    }
}

} // namespace

int writeMatAndUff() {
    vx::CMatLabWriter mat(vxtest::testModel());
    int st = mat.write(path("out.mat").c_str()).code();
    mat.close();
    vx::CUffWriter uff(vxtest::testModel());
    st |= uff.write(path("out.uff").c_str()).code();
    uff.close();
    return st;
}

std::string path(const char* name) {
    return scratchDir() + "/" + name;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::string& name) {
    std::ostringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
}

std::string asString(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::string inputFile(const uint8_t* data, size_t size, const char* name) {
    std::string file = path(name);
    writeFile(file, asString(data, size));
    return file;
}

void resetProcessState() {
    vxtest::resetCatalogue();
    vx::resetMeasDescriptors();
    vxtest::testModel().trace.reset();
    vx::resetJobOptions(vxtest::testModel().options);
    vx::releaseBulkBuffer();
    vx::platform::setReadCharFunction(answerNo);
    vx::platform::setFreeBytesFunction([](const std::string&) { return kPlentyOfSpace; });
    (void)vx::errLog().setLogFileName(path("log.txt").c_str());
    vx::errLog().clearLogFile();
}

void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "vxfuzz: property failed: %s\n", property);
    std::abort();
}

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
        args.push_back(pieces[i].compare(0, 1, "\x01") == 0 ? drawnOption(pieces[i]) : pieces[i]);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    vx::COptionMgr job(vxtest::testModel(), static_cast<int>(args.size()), argv.data(),
                       settings.c_str());
    for (int i = 0; i < job.fileCount() && i < 3; ++i)
        (void)job.file(i).name();
    return job.errorIndex();
}

int fuzzSettingsFile(const uint8_t* data, size_t size) {
    resetProcessState();
    const std::string text = asString(data, size);
    std::string settings = path("vxt560.ini");
    writeFile(settings, text);
    char program[] = "vxconv";
    char* noArguments[] = {program, nullptr};
    vx::COptionMgr fromFile(vxtest::testModel(), 1, noArguments, settings.c_str());
    const std::string fileJob = jobSummary(fromFile);
    std::vector<std::string> tokens;
    if (!settingsTokens(text, tokens)) return fromFile.errorIndex();

    resetProcessState();
    std::vector<std::string> args(1, "vxconv");
    args.insert(args.end(), tokens.begin(), tokens.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    vx::COptionMgr fromLine(vxtest::testModel(), static_cast<int>(args.size()), argv.data(),
                            nullptr);
    require(jobSummary(fromLine) == fileJob, "the settings file gives the job its tokens give");
    return fromFile.errorIndex();
}

int fuzzDisplay(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    return vx::readDisplayFile(vxtest::testModel(), in).code();
}

int fuzzTraceWriters(const uint8_t* data, size_t size) {
    resetProcessState();
    vxtest::MemStream in(asString(data, size));
    int st = vx::readDisplayFile(vxtest::testModel(), in).code();
    if (st != 0) return st;
    return writeMatAndUff();
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
    vxtest::testModel().trace.computeLengths();
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
    vx::CSdfReader reader(vxtest::testModel());
    int st = reader.open(file.c_str()).code();
    reader.close();
    return st;
}

int fuzzNumberList(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.txt");
    vx::CAsciiReader reader(vxtest::testModel().options);
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

int fuzzWaterfallCopy(const uint8_t* data, size_t size) {
    resetProcessState();
    std::string file = inputFile(data, size, "input.56w");
    std::string copy = path("copy.56w");
    std::remove(copy.c_str());
    int st = copyWaterfall(file, copy).code();
    if (st != 0) return st;
    const std::string out = readFile(copy);
    const std::string input = asString(data, size);
    require(out.size() >= 20 && out.substr(8, 4) == input.substr(8, 4) &&
                out.substr(20) == input.substr(20, out.size() - 20),
            "a copy holds the input's logical file");
    // A single segment that holds exactly the logical file extracts as its copy.
    const bool exact =
        size >= 20 && vx::getLe32(data + 8) == size && vx::getLe32(data + 16) == size - 20;
    if (!exact) return 0;
    resetProcessState();
    const int fromInput = extractAll(file);
    resetProcessState();
    require(extractAll(copy) == fromInput, "a copy extracts as its input does");
    return 0;
}

int fuzzWaterfall(const uint8_t* data, size_t size) {
    // Accepted when the slices of one channel at least extract.
    int status[2];
    for (uint8_t channel = 0; channel < 2; ++channel) {
        resetProcessState();
        vxtest::testModel().options.wfChannel = channel;
        status[channel] = extractAll(inputFile(data, size, "input.56w"));
    }
    return status[0] == 0 || status[1] == 0 ? 0 : status[0];
}

} // namespace vxfuzz
