// The write side of multi-disk files: a Capture file (copied or built from a
// number list) or a Waterfall file written across simulated floppies of
// random capacities, with random answers at the disk prompts, then joined
// back onto a hard disk the same way.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sys/stat.h>

#include "HarnessSupport.h"
#include "Harnesses.h"
#include "base/LeBytes.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "support/Fixture.h"
#include "support/TestModel.h"
#include "support/WaterfallFixture.h"
#include "timebuf/CapArbWriter.h"
#include "waterfall/Waterfall.h"

namespace vxfuzz {

namespace {

constexpr int64_t kHardDiskBytes = 100 * 1024 * 1024;
constexpr int kMaxPrompts = 64;
constexpr size_t kHeader = 20;

enum SourceKind { eCaptureCopy, eCaptureFromList, eWaterfallCopy, eSourceKinds };

// A floppy drive over the scratch directory: the drive holds one disk at a
// time, the file on it is the scratch file `name`, and the disks taken out
// keep their file on a shelf.
class Drive {
  public:
    explicit Drive(std::string name) : name_(std::move(name)) {}

    int64_t freeBytes() const { return capacity_[size_t(disk_)] - int64_t(readFile(name_).size()); }
    int disk() const { return disk_; }
    std::string fileOnDrive() const { return exists() ? readFile(name_) : std::string(); }
    bool exists() const {
        struct stat st;
        return stat(name_.c_str(), &st) == 0;
    }
    int newDisk(int64_t capacity) {
        capacity_.push_back(capacity);
        return int(capacity_.size()) - 1;
    }
    void insert(int disk) {
        if (exists())
            shelf_[disk_] = readFile(name_);
        else
            shelf_.erase(disk_);
        std::remove(name_.c_str());
        disk_ = disk;
        if (shelf_.count(disk)) writeFile(name_, shelf_[disk]);
    }
    // Every disk's file, the drive's included.
    std::map<int, std::string> files() const {
        std::map<int, std::string> all = shelf_;
        all.erase(disk_);
        if (exists()) all[disk_] = readFile(name_);
        return all;
    }

  private:
    std::string name_;
    int disk_ = 0;
    std::vector<int64_t> capacity_{0};
    std::map<int, std::string> shelf_;
};

uint16_t segmentNumber(const std::string& segment) {
    return segment.size() >= kHeader ? vx::getLe16(reinterpret_cast<const uint8_t*>(&segment[6]))
                                     : 0;
}

// Answers each prompt from the input: "no", "yes" without changing the disk,
// "yes" with a full disk, or "yes" with a new disk of some capacity. When
// the input is used up: new disks, then "no" after kMaxPrompts.
class WritingAnswers {
  public:
    WritingAnswers(Drive& drive, ByteSource& in) : drive_(drive), in_(in) {}

    int next() {
        if (lineOpen_) return lineOpen_ = false, '\n';
        if (++prompts_ > kMaxPrompts) return -1;
        noteSegment();
        uint8_t b = in_.empty() ? 3 : in_.next();
        lineOpen_ = true;
        switch (b % 8) {
        case 0:
            return 'n';
        case 1:
            return 'y';
        case 2:
            drive_.insert(drive_.newDisk(1000 + in_.next() * 4));
            return 'y';
        default:
            drive_.insert(drive_.newDisk(3000 + in_.next16() % 30000));
            return 'y';
        }
    }

    // The file on the drive when a prompt comes is a finished segment; a disk
    // that held one must keep it.
    void noteSegment() {
        if (!drive_.exists()) return;
        std::string now = drive_.fileOnDrive();
        auto seen = segments_.find(drive_.disk());
        require(seen == segments_.end() || seen->second == now,
                "a disk change never overwrites an earlier segment");
        segments_[drive_.disk()] = now;
    }

  private:
    Drive& drive_;
    ByteSource& in_;
    std::map<int, std::string> segments_;
    bool lineOpen_ = false;
    int prompts_ = 0;
};

// Answers the joining read's prompts: mostly the disk asked for, sometimes
// another one, sometimes "no".
class ReadingAnswers {
  public:
    ReadingAnswers(Drive& drive, ByteSource& in, std::map<uint16_t, int> diskOfSegment)
        : drive_(drive), in_(in), diskOf_(std::move(diskOfSegment)) {}

    int next() {
        if (lineOpen_) return lineOpen_ = false, '\n';
        if (++prompts_ > kMaxPrompts) return -1;
        uint8_t b = in_.next();
        lineOpen_ = true;
        if (b % 16 == 1) return 'n';
        // The prompt asks for the segment after the last one given.
        uint16_t give = uint16_t(read_ + 1);
        if (b % 16 == 2) give = uint16_t(1 + in_.next() % diskOf_.size());
        if (give == read_ + 1) ++read_;
        if (diskOf_.count(give)) drive_.insert(diskOf_[give]);
        return 'y';
    }

  private:
    Drive& drive_;
    ByteSource& in_;
    std::map<uint16_t, int> diskOf_;
    uint16_t read_ = 1; // the reader opens on segment 1
    bool lineOpen_ = false;
    int prompts_ = 0;
};

std::string numberList(int kpts, ByteSource& in) {
    std::string list;
    char value[32];
    for (int i = 0; i < kpts * 1024; ++i) {
        std::snprintf(value, sizeof value, "%.6f\n", (int(in.next()) - 128) / 128.0);
        list += value;
    }
    return list;
}

const std::string& waterfallSource(int variant) {
    static std::map<int, std::string> made;
    auto found = made.find(variant);
    if (found != made.end()) return found->second;
    resetProcessState();
    vxtest::WaterfallFixture f = vxtest::waterfallFixture(
        true, variant & 1, int16_t(variant / 2 % 6), int16_t(1 + variant / 12));
    return made[variant] = f.file();
}

// Writes the source onto the drive in the way of its kind; fills `source`
// with the logical file that the joined copy must equal.
vx::Status writeOntoDrive(SourceKind kind, ByteSource& in, const std::string& target,
                          std::string& source) {
    const std::string hd = path("hd");
    mkdir(hd.c_str(), 0755);
    if (kind == eWaterfallCopy) {
        source = waterfallSource(in.next() % 36);
        resetProcessState();
        writeFile(hd + "/in.56w", source);
        vx::CWfCopyReader reader;
        require(reader.open((hd + "/in.56w").c_str()).ok(), "a Waterfall source opens");
        vx::CWfCopyWriter writer(&reader);
        return writer.write(target.c_str());
    }
    const int kpts = 2 * (1 + in.next() % 4);
    if (kind == eCaptureCopy) {
        vxtest::CapArbFixture f;
        f.kpts = int16_t(kpts);
        f.kind = int16_t(in.next() % 3);
        for (int i = 0; i < kpts * 1024; ++i)
            f.samples.push_back(int32_t(uint32_t(i) * 2654435761u));
        source = vxtest::capArbFile(f);
        writeFile(hd + "/in.56c", source);
        vx::CCapArbReader reader;
        require(reader.open((hd + "/in.56c").c_str()).ok(), "a Capture source opens");
        vx::CCapArbWriter writer(&reader, reader.kind());
        return writer.write(target.c_str());
    }
    vxtest::testModel().options.listCapture.recordKpts = int16_t(kpts);
    writeFile(hd + "/list.txt", numberList(kpts, in));
    auto fromList = [&](const std::string& out) {
        vx::CAsciiReader list(vxtest::testModel().options);
        require(list.open((hd + "/list.txt").c_str()).ok(), "a number list opens");
        vx::CCapArbWriter writer(&list, vx::eKindCaptureCh1);
        return writer.write(out.c_str());
    };
    require(fromList(hd + "/ref.56c").ok(), "a number list converts on a hard disk");
    source = readFile(hd + "/ref.56c");
    return fromList(target);
}

vx::Status joinOntoHardDisk(SourceKind kind, const std::string& from, const std::string& to) {
    if (kind == eWaterfallCopy) {
        vx::CWfCopyReader reader;
        vx::Status st = reader.open(from.c_str());
        if (st.failed()) return st;
        vx::CWfCopyWriter writer(&reader);
        return writer.write(to.c_str());
    }
    vx::CCapArbReader reader;
    vx::Status st = reader.open(from.c_str());
    if (st.failed()) return st;
    vx::CCapArbWriter writer(&reader, reader.kind());
    return writer.write(to.c_str());
}

std::string totalField(const std::string& file) {
    return file.substr(8, 4);
}

} // namespace

int fuzzSpanning(const uint8_t* data, size_t size) {
    resetProcessState();
    ByteSource in(data, size);
    const SourceKind kind = SourceKind(in.next() % eSourceKinds);
    const std::string target = path(kind == eWaterfallCopy ? "fl.56w" : "fl.56c");
    std::remove(target.c_str());
    Drive drive(target);
    drive.insert(drive.newDisk(3000 + in.next16() % 40000));
    vx::platform::setFreeBytesFunction([&](const std::string& name) -> int64_t {
        return name.find("/hd/") != std::string::npos ? kHardDiskBytes : drive.freeBytes();
    });
    WritingAnswers writing(drive, in);
    vx::platform::setReadCharFunction([&] { return writing.next(); });
    std::string source;
    vx::Status st = writeOntoDrive(kind, in, target, source);
    writing.noteSegment();
    if (st.failed()) return st.code();

    // The segments, by the disk numbers in their headers, make up the source.
    std::map<uint16_t, int> diskOf;
    const std::map<int, std::string> files = drive.files();
    for (const auto& [disk, file] : files) {
        require(file.size() >= kHeader && totalField(file) == totalField(source),
                "every segment has the header of the file");
        require(diskOf.emplace(segmentNumber(file), disk).second, "each segment is written once");
    }
    std::string joinedData;
    for (const auto& entry : diskOf)
        joinedData += files.at(entry.second).substr(kHeader);
    require(!diskOf.empty() && diskOf.begin()->first == 1 &&
                diskOf.size() == size_t(diskOf.rbegin()->first),
            "the segments are numbered 1, 2, 3 ...");
    require(joinedData == source.substr(kHeader), "the segments join to the file written");

    // Joined back with the first disk in the drive.
    drive.insert(diskOf[1]);
    ReadingAnswers reading(drive, in, diskOf);
    vx::platform::setReadCharFunction([&] { return reading.next(); });
    const std::string joined = path("hd/joined");
    st = joinOntoHardDisk(kind, target, joined);
    if (st.failed()) return st.code();
    const std::string back = readFile(joined);
    require(back.size() >= kHeader && totalField(back) == totalField(source) &&
                back.substr(kHeader) == source.substr(kHeader),
            "a joined file equals the file written");
    return 0;
}

} // namespace vxfuzz
