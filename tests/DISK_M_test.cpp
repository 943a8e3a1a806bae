// Byte streams and multi-disk files: open checks, spanning writes and reads over
// simulated floppies, the disk prompts, damaged segment headers, read token.
#include "base/DISK_M.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "base/Platform.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using vx::SpanningProbe;
using vx::Status;
using vx::TokenEnd;
using vx::userdiskPrt;

namespace {

// Answers the disk prompts from a list of lines; calls onPrompt(k) when the
// k-th answer (from 0) starts being read, so a test can swap the "disk" then.
// Past the list, standard input is at its end.
struct Console {
    std::vector<std::string> answers;
    std::function<void(size_t)> onPrompt;
    size_t index = 0;
    size_t pos = 0;

    int next() {
        if (index >= answers.size()) return -1;
        if (pos == 0 && onPrompt) onPrompt(index);
        const std::string& s = answers[index];
        if (s.empty()) return -1;
        int c = static_cast<unsigned char>(s[pos++]);
        if (pos >= s.size()) {
            ++index;
            pos = 0;
        }
        return c;
    }
};

std::string pattern(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 12345;
    for (auto& ch : s) {
        x = x * 1103515245u + 12345u;
        ch = static_cast<char>(x >> 16);
    }
    return s;
}

uint32_t u32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

uint16_t u16(const std::string& s, size_t at) {
    return uint16_t(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

std::string header(uint16_t disk, uint32_t total, uint32_t pos, int32_t cap) {
    vx::MultiDiskHeader h;
    h.diskNumber = disk;
    h.totalSize = total;
    h.dataPosition = pos;
    h.capacity = cap;
    uint8_t raw[vx::MultiDiskHeader::kSize];
    h.encode(raw);
    return std::string(reinterpret_cast<char*>(raw), sizeof raw);
}

struct DiskTest : ::testing::Test {
    vxtest::TempDir dir;
    Console console;
    int64_t floppyBytes = 0; // 0: the real free space

    void SetUp() override {
        vx::platform::setReadCharFunction([this] { return console.next(); });
        vx::platform::setFreeBytesFunction([this](const std::string& path) -> int64_t {
            if (floppyBytes == 0) return int64_t(1) << 40;
            std::error_code ec;
            auto size = fs::file_size(vx::platform::resolvePath(path), ec);
            return floppyBytes - (ec ? 0 : static_cast<int64_t>(size));
        });
    }
    void TearDown() override {
        vx::platform::setReadCharFunction(nullptr);
        vx::platform::setFreeBytesFunction(nullptr);
    }
    // Moves the file at the drive path onto "disk" k (a subdirectory).
    void eject(const std::string& name, int k) {
        fs::create_directories("disk" + std::to_string(k));
        fs::rename(name, "disk" + std::to_string(k) + "/" + name);
    }
    void insert(const std::string& name, int k) {
        std::error_code ec;
        fs::remove(name, ec);
        fs::copy_file("disk" + std::to_string(k) + "/" + name, name);
    }
};

std::string capture(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

// ------------------------------------------------------------ open with checks

TEST_F(DiskTest, ReadOpenRefusesEmptyOrMissingInput) {
    dir.write("empty.cap", "");
    for (const char* name : {"empty.cap", "missing.cap"}) {
        userdiskPrt f(name);
        f.setMode(vx::socket::eRead);
        Status st = 0;
        std::string out = capture([&] { st = f.openWithChecks(100); });
        EXPECT_EQ(st, 11);
        EXPECT_EQ(out, std::string("Error Reading File: ") + name + "\n");
        EXPECT_EQ(f.isOpen(), 0);
    }
}

TEST_F(DiskTest, ReadOpenRecordsSizeAsTotalAndFindsNameInAnyCase) {
    dir.write("RUN1.CAP", "abc");
    userdiskPrt f("run1.cap");
    f.setMode(vx::socket::eRead);
    ASSERT_EQ(f.openWithChecks(100), 0);
    EXPECT_EQ(f.header().totalSize, 3u);
    char buf[4] = {};
    EXPECT_EQ(f.readBytes(buf, 3), 0);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(f.readBytes(buf, 1), 1); // end of file
}

TEST_F(DiskTest, WriteOpenChecksFreeSpaceThenReadOnly) {
    floppyBytes = 99;
    userdiskPrt f("out.asc");
    Status st = 0;
    EXPECT_EQ(capture([&] { st = f.openWithChecks(100); }), "Insufficient Disk Space:\n");
    EXPECT_EQ(st, 10);
    EXPECT_FALSE(dir.exists("out.asc"));

    floppyBytes = 0;
    dir.write("ro.asc", "keep");
    ASSERT_EQ(chmod("ro.asc", 0444), 0);
    userdiskPrt r("ro.asc");
    EXPECT_EQ(capture([&] { st = r.openWithChecks(100); }),
              "File access denied: Process aborted\n");
    EXPECT_EQ(st, 12);
    EXPECT_EQ(dir.read("ro.asc"), "keep");
}

TEST_F(DiskTest, WriteAppendAndFormattedText) {
    {
        userdiskPrt f("t.txt");
        ASSERT_EQ(f.openWithChecks(100), 0);
        EXPECT_EQ(f.header().totalSize, 100u);
        EXPECT_EQ(f.writeText("ab"), 0);
        f.setWidth(5);
        EXPECT_EQ(f.writeFormatted("cd"), 0);
        EXPECT_EQ(f.writeFormatted("e"), 0); // the width applies once
        EXPECT_EQ(f.writeBytes("", 0), 0);
    }
    EXPECT_EQ(dir.read("t.txt"), "ab   cde");
    {
        userdiskPrt f("t.txt");
        f.setMode(vx::socket::eAppend);
        ASSERT_EQ(f.openWithChecks(100), 0);
        EXPECT_EQ(f.writeText("!"), 0);
    }
    EXPECT_EQ(dir.read("t.txt"), "ab   cde!");
    userdiskPrt closed("t.txt");
    EXPECT_EQ(closed.open(), 1); // only openWithChecks opens a userdiskPrt
    EXPECT_EQ(closed.writeText("x"), 1);
}

TEST_F(DiskTest, DiskPrtReadWordAndSeek) {
    dir.write("w.ini", "  /a  /b\n\t/c ");
    vx::diskPrt f("w.ini");
    f.setMode(vx::socket::eRead);
    ASSERT_EQ(f.open(), 0);
    std::string w;
    EXPECT_EQ(f.readWord(w), 0);
    EXPECT_EQ(w, "/a");
    EXPECT_EQ(f.readWord(w), 0);
    EXPECT_EQ(f.readWord(w), 0);
    EXPECT_EQ(w, "/c");
    EXPECT_EQ(f.readWord(w), 1);
    EXPECT_EQ(f.seek(2), 0); // also after the end was reached
    char c[2];
    EXPECT_EQ(f.readBytes(c, 2), 0);
    EXPECT_EQ(std::string(c, 2), "/a");
    vx::diskPrt missing("nope");
    missing.setMode(vx::socket::eRead);
    EXPECT_EQ(missing.open(), 1);
}

// ------------------------------------------------------------ spanning write

constexpr int64_t kFloppy = 12000;

TEST_F(DiskTest, LogicalFileSpansThreeFloppiesAndReadsBackIdentical) {
    const std::string data = pattern(30000);
    floppyBytes = kFloppy;
    int disk = 0;
    console.answers = {"y\n", "yes please\n"};
    console.onPrompt = [&](size_t) { eject("long.cap", ++disk); };
    std::string out = capture([&] {
        userdiskPrt f("long.cap");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(uint32_t(data.size()) + 20), 0);
        EXPECT_EQ(f.startSpanningWrite(1), 12);
        // Odd chunk sizes so that chunks straddle both disk boundaries.
        size_t at = 0;
        for (size_t step : {1u, 7000u, 4096u, 333u, 9000u, 5000u}) {
            size_t n = std::min(step, data.size() - at);
            ASSERT_EQ(f.writeBytes(data.data() + at, uint32_t(n)), 0);
            at += n;
        }
        ASSERT_EQ(f.writeBytes(data.data() + at, uint32_t(data.size() - at)), 0);
        EXPECT_EQ(f.header().diskNumber, 3);
        EXPECT_EQ(f.header().dataPosition, data.size());
    });
    EXPECT_EQ(out, "Please insert another disk\n(number 2 )\nContinue? (y/n) \n"
                   "Please insert another disk\n(number 3 )\nContinue? (y/n) \n");
    eject("long.cap", 3);

    // Each segment: its header, then exactly its capacity of data (the last one less).
    const int32_t caps[] = {int32_t(kFloppy - 20), int32_t(kFloppy - 1044),
                            int32_t(kFloppy - 1044)};
    uint32_t pos = 0;
    std::string joined;
    for (int k = 1; k <= 3; ++k) {
        std::string seg = dir.read("disk" + std::to_string(k) + "/long.cap");
        ASSERT_GE(seg.size(), 20u);
        EXPECT_EQ(seg.substr(0, 6), std::string("QRB\x1A\0\0", 6));
        EXPECT_EQ(u16(seg, 6), k);
        EXPECT_EQ(u32(seg, 8), 30020u);
        EXPECT_EQ(u32(seg, 12), pos);
        EXPECT_EQ(int32_t(u32(seg, 16)), caps[k - 1]);
        if (k < 3) {
            EXPECT_EQ(seg.size() - 20, size_t(caps[k - 1]));
        }
        EXPECT_LE(seg.size(), size_t(kFloppy));
        pos += uint32_t(seg.size() - 20);
        joined += seg.substr(20);
    }
    EXPECT_EQ(joined, data);

    // Read back with disk 1 in the drive, swapping in the next at each prompt.
    insert("long.cap", 1);
    disk = 1;
    console = Console{};
    console.answers = {"y\n", "Y\n"};
    console.onPrompt = [&](size_t) { insert("long.cap", ++disk); };
    std::string back(data.size(), '\0');
    out = capture([&] {
        userdiskPrt f("long.cap");
        f.setMode(vx::socket::eRead);
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningRead(), 0);
        EXPECT_EQ(f.startSpanningRead(), 12);
        EXPECT_EQ(f.header().totalSize, 30020u);
        for (size_t at = 0; at < back.size(); at += 777) {
            uint32_t n = uint32_t(std::min<size_t>(777, back.size() - at));
            ASSERT_EQ(f.readBytes(&back[at], n), 0) << at;
        }
        char extra;
        EXPECT_EQ(f.readBytes(&extra, 1), 1);
    });
    EXPECT_EQ(back, data);
    EXPECT_EQ(out, "Please insert disk number 2\nContinue? (y/n) \n"
                   "Please insert disk number 3\nContinue? (y/n) \n");
}

TEST_F(DiskTest, DecliningOrEndOfInputAtTheWritePromptFails) {
    for (std::string answer : {"n\n", "", "x\n"}) {
        floppyBytes = 3000;
        console = Console{};
        console.answers = {answer};
        Status st = 0;
        capture([&] {
            userdiskPrt f("a.cap");
            ASSERT_EQ(f.openWithChecks(100), 0);
            ASSERT_EQ(f.startSpanningWrite(5000), 0);
            std::string data = pattern(5000);
            st = f.writeBytes(data.data(), 5000);
        });
        EXPECT_EQ(st, 1) << answer;
        EXPECT_EQ(dir.read("a.cap").size(), 3000u); // the first disk was filled
    }
}

TEST_F(DiskTest, FullDiskIsRefusedUntilOneWithRoomIsInserted) {
    floppyBytes = 3000;
    console.answers = {"y\n", "y\n", "y\n"};
    console.onPrompt = [&](size_t k) {
        if (k == 0) eject("b.cap", 1);
        floppyBytes = k == 0 ? 2047 : 5000; // the second disk is full
    };
    std::string out;
    std::string data = pattern(6000);
    out = capture([&] {
        userdiskPrt f("b.cap");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(6020), 0);
        EXPECT_EQ(f.writeBytes(data.data(), 6000), 0);
        EXPECT_EQ(f.header().capacity, 5000 - 1044 - (6000 - 2980));
    });
    EXPECT_EQ(out, "Please insert another disk\n(number 2 )\nContinue? (y/n) \n"
                   "This disk is full!\nPlease insert another disk (# 2)\nContinue? (y/n) \n");
    EXPECT_EQ(dir.read("b.cap").substr(20), data.substr(2980));

    floppyBytes = 3000;
    console = Console{};
    console.answers = {"y\n", "n\n"};
    console.onPrompt = [&](size_t) { floppyBytes = 100; };
    Status st = 0;
    capture([&] {
        userdiskPrt f("c.cap");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(6020), 0);
        st = f.writeBytes(data.data(), 6000);
    });
    EXPECT_EQ(st, 1);
}

// "Yes" without a new disk: the segment just written (the same file, or a
// copy whose header says so) is not written over; the prompt comes again, and
// ends with an error after kMaxUnchangedDisks answers.
TEST_F(DiskTest, UnchangedDiskAtTheWritePromptIsNeverWrittenOver) {
    const std::string data = pattern(6000);
    const std::string kAgain = "The disk was not changed!\nPlease insert another disk (# 2)\n"
                               "Continue? (y/n) \n";
    auto copyOfDisk1 = [&] {
        eject("u.cap", 1);
        insert("u.cap", 1);
    };
    for (bool copy : {false, true}) {
        floppyBytes = 3000;
        fs::remove_all("disk1");
        fs::remove_all("disk2");
        console = Console{};
        console.answers = {"y\n", "y\n"};
        console.onPrompt = [&](size_t k) {
            if (k == 0 && copy) copyOfDisk1();
            if (k == 1) {
                eject("u.cap", 1); // now the disk is changed, one with room
                floppyBytes = 5000;
            }
        };
        std::string first;
        std::string out = capture([&] {
            userdiskPrt f("u.cap");
            ASSERT_EQ(f.openWithChecks(100), 0);
            ASSERT_EQ(f.startSpanningWrite(6020), 0);
            EXPECT_EQ(f.writeBytes(data.data(), 6000), 0);
        });
        EXPECT_EQ(out, "Please insert another disk\n(number 2 )\nContinue? (y/n) \n" + kAgain);
        EXPECT_TRUE(dir.read("disk1/u.cap").substr(20) == data.substr(0, 2980)) << copy;
        EXPECT_TRUE(dir.read("u.cap").substr(20) == data.substr(2980)) << copy;
    }

    fs::remove("u.cap");
    floppyBytes = 3000;
    console = Console{};
    console.answers.assign(vx::kMaxUnchangedDisks + 1, "y\n");
    Status st = 0;
    std::string out = capture([&] {
        userdiskPrt f("u.cap");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(6020), 0);
        st = f.writeBytes(data.data(), 6000);
    });
    EXPECT_EQ(st, 1);
    EXPECT_EQ(console.index, size_t(vx::kMaxUnchangedDisks));
    EXPECT_NE(out.find("No usable disk was inserted: Process aborted\n"), std::string::npos);
    EXPECT_TRUE(dir.read("u.cap").substr(20) == data.substr(0, 2980));
}

TEST_F(DiskTest, FailedReopenOnTheNewDiskReportsFalse) {
    fs::create_directory("drive");
    floppyBytes = 3000;
    console.answers = {"y\n"};
    console.onPrompt = [&](size_t) { fs::remove_all("drive"); };
    Status st = 0;
    std::string data = pattern(4000);
    std::string out = capture([&] {
        userdiskPrt f("drive/d.cap");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(4020), 0);
        st = f.writeBytes(data.data(), 4000);
    });
    EXPECT_EQ(st, 1);
    EXPECT_NE(out.find("False FAILED: \n../Code/Src/base/DISK_M.cpp line "), std::string::npos)
        << out;
}

TEST_F(DiskTest, HugeFreeSpaceGivesTheLargestCapacity) {
    vx::platform::setFreeBytesFunction([](const std::string&) { return int64_t(1) << 45; });
    userdiskPrt f("big.cap");
    ASSERT_EQ(f.openWithChecks(100), 0);
    ASSERT_EQ(f.startSpanningWrite(100), 0);
    EXPECT_EQ(f.header().capacity, 2147483647 - 20);
    EXPECT_EQ(f.writeBytes("abc", 3), 0);
    EXPECT_EQ(f.header().capacity, 2147483647 - 23);
}

// ------------------------------------------------------------ spanning read

// Writes a two-segment file: disk1/two.cap and disk2/two.cap.
void makeTwoSegments(const std::string& data, size_t split) {
    fs::create_directories("disk1");
    fs::create_directories("disk2");
    uint32_t total = uint32_t(data.size() + 20);
    std::FILE* f = std::fopen("disk1/two.cap", "wb");
    std::string s1 = header(1, total, 0, int32_t(split)) + data.substr(0, split);
    std::fwrite(s1.data(), 1, s1.size(), f);
    std::fclose(f);
    f = std::fopen("disk2/two.cap", "wb");
    std::string s2 = header(2, total, uint32_t(split), 100000) + data.substr(split);
    std::fwrite(s2.data(), 1, s2.size(), f);
    std::fclose(f);
}

struct SpanRead {
    Status open = 0, start = 0, read = 0;
    std::string bytes;
    std::string out;
};

SpanRead readAll(size_t n) {
    SpanRead r;
    r.bytes.assign(n, '\0');
    r.out = capture([&] {
        userdiskPrt f("two.cap");
        f.setMode(vx::socket::eRead);
        r.open = f.openWithChecks(100);
        if (r.open.failed()) return;
        r.start = f.startSpanningRead();
        if (r.start.failed()) return;
        r.read = f.readBytes(&r.bytes[0], uint32_t(n));
    });
    return r;
}

TEST_F(DiskTest, FirstDiskAgainIsOutOfSequenceUntilTheRightOneComes) {
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    insert("two.cap", 1);
    console.answers = {"y\n", "y\n", "y\n"};
    console.onPrompt = [&](size_t k) {
        if (k == 0) fs::remove("two.cap"); // no disk with the file
        if (k == 1) insert("two.cap", 1);  // the first disk again
        if (k == 2) insert("two.cap", 2);
    };
    SpanRead r = readAll(5000);
    EXPECT_EQ(r.read, 0);
    EXPECT_EQ(r.bytes, data);
    EXPECT_EQ(r.out,
              "Please insert disk number 2\nContinue? (y/n) \n"
              "Incorrect disk: File not found\nPlease insert disk number 2\nContinue? (y/n) \n"
              "Incorrect disk: Out of sequence\nPlease insert disk number 2\n"
              "Continue? (y/n) \n");
}

TEST_F(DiskTest, ReadPromptAnsweredYesWithoutTheDiskEnds) {
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    insert("two.cap", 1);
    console.answers.assign(100, "y\n");
    SpanRead r = readAll(5000);
    EXPECT_EQ(r.read, 1);
    EXPECT_EQ(console.index, size_t(vx::kMaxUnchangedDisks));
    EXPECT_NE(r.out.find("Disk number 2 was not inserted: Process aborted\n"), std::string::npos)
        << r.out;
}

TEST_F(DiskTest, DecliningOrEndOfInputAtTheReadPromptFails) {
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    for (std::string answer : {"n\n", ""}) {
        insert("two.cap", 1);
        console = Console{};
        console.answers = {answer};
        SpanRead r = readAll(5000);
        EXPECT_EQ(r.read, 1);
    }
}

TEST_F(DiskTest, ClosedStandardInputAnswersNo) {
    vx::platform::setReadCharFunction(nullptr);
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    insert("two.cap", 1);
    SpanRead r = readAll(5000);
    EXPECT_EQ(r.read, 1);
    EXPECT_EQ(r.out, "Please insert disk number 2\nContinue? (y/n) \n");
}

TEST_F(DiskTest, WrongFirstSegmentPromptsBeforeTheRead) {
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    insert("two.cap", 2);
    console.answers = {"y\n"};
    console.onPrompt = [&](size_t) { insert("two.cap", 1); };
    SpanRead r = readAll(3000);
    EXPECT_EQ(r.start, 0);
    EXPECT_EQ(r.read, 0);
    EXPECT_EQ(r.bytes, data.substr(0, 3000));
    EXPECT_EQ(r.out, "Incorrect disk: Out of sequence\nPlease insert disk number 1\n"
                     "Continue? (y/n) \n");
    dir.write("two.cap", "plain text, no header");
    console = Console{};
    r = readAll(10);
    EXPECT_EQ(r.start, 1);
    EXPECT_EQ(r.out, "Incorrect disk: File not found\nPlease insert disk number 1\n"
                     "Continue? (y/n) \n");
}

// Damaged headers end the read with a status and a message, without a loop.
TEST_F(DiskTest, DamagedSegmentHeadersAreRefused) {
    const std::string data = pattern(100);
    struct Case {
        std::string second;
        const char* message;
    } cases[] = {
        {header(2, 120, 60, -5) + data.substr(60), "Incorrect disk: Invalid header"},
        {header(2, 120, 60, 0) + data.substr(60), "Incorrect disk: Invalid header"},
        {header(3, 120, 60, 40) + data.substr(60), "Incorrect disk: Out of sequence"},
        {header(2, 120, 61, 40) + data.substr(60), "Incorrect disk: Out of sequence"},
        {header(2, 120, 60, 40).substr(0, 12), "Incorrect disk: File not found"},
    };
    for (const Case& c : cases) {
        dir.write("two.cap", header(1, 120, 0, 60) + data.substr(0, 60));
        console = Console{};
        console.answers = {"y\n"}; // the damaged disk is inserted; then input ends
        console.onPrompt = [&](size_t) { dir.write("two.cap", c.second); };
        SpanRead r = readAll(100);
        EXPECT_EQ(r.read, 1) << c.message;
        EXPECT_EQ(r.out, std::string("Please insert disk number 2\nContinue? (y/n) \n") +
                             c.message + "\nPlease insert disk number 2\nContinue? (y/n) \n");
    }
    // A first segment whose capacity exceeds its data: the read stops at the end.
    dir.write("two.cap", header(1, 120, 0, 0x7FFFFFFF) + data.substr(0, 60));
    SpanRead r = readAll(100);
    EXPECT_EQ(r.start, 0);
    EXPECT_EQ(r.read, 1);
    EXPECT_EQ(r.out, "");
}

// ------------------------------------------------------------ probe

TEST_F(DiskTest, ProbeTellsFirstSegmentOtherSegmentAndNoHeader) {
    std::string data = pattern(5000);
    makeTwoSegments(data, 3000);
    auto probe = [](uint32_t* pos = nullptr) -> std::optional<SpanningProbe> {
        userdiskPrt f("two.cap");
        f.setMode(vx::socket::eRead);
        if (f.openWithChecks(100).failed()) return std::nullopt;
        const SpanningProbe found = f.probeSpanningHeader();
        if (found == SpanningProbe::eFirstSegment) {
            EXPECT_TRUE(f.spanning());
            EXPECT_EQ(f.probeSpanningHeader(), SpanningProbe::eAlreadySpanning);
            char buf[3000];
            EXPECT_EQ(f.readBytes(buf, 3000), 0);
            EXPECT_EQ(f.header().capacity, 0);
        } else {
            EXPECT_FALSE(f.spanning());
            EXPECT_EQ(f.seek(0), 0); // detection rewinds and goes on
            EXPECT_EQ(f.header().dataPosition, 0u);
        }
        if (pos) *pos = f.header().dataPosition;
        return found;
    };
    insert("two.cap", 1);
    uint32_t pos = 0;
    EXPECT_EQ(probe(&pos), SpanningProbe::eFirstSegment);
    EXPECT_EQ(pos, 3000u);
    insert("two.cap", 2);
    EXPECT_EQ(probe(), SpanningProbe::eOtherSegment);
    dir.write("two.cap", "VX560 Display File\x1av1 and more bytes");
    EXPECT_EQ(probe(), SpanningProbe::eNoHeader);
    dir.write("two.cap", "QRB\x1a");
    EXPECT_EQ(probe(), SpanningProbe::eNoHeader);
    dir.write("two.cap", header(1, 100, 0, 0) + "data");
    EXPECT_EQ(probe(), SpanningProbe::eNoHeader);
}

// ------------------------------------------------------------ read token

TEST_F(DiskTest, ReadTokenSplitsNumberLists) {
    dir.write("l.txt", " 1.5,2\t-3e2\r\n\n4");
    userdiskPrt f("l.txt");
    f.setMode(vx::socket::eRead);
    ASSERT_EQ(f.openWithChecks(100), 0);
    char tok[8];
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eToken);
    EXPECT_STREQ(tok, "1.5");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eToken);
    EXPECT_STREQ(tok, "2");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eToken);
    EXPECT_STREQ(tok, "-3e2");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eEndOfFile); // the last token runs to the end
    EXPECT_STREQ(tok, "4");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eEndOfFile);
    EXPECT_STREQ(tok, "");
}

TEST_F(DiskTest, ReadTokenLimits) {
    dir.write("l.txt", "1234567 12345678 ,\n");
    userdiskPrt f("l.txt");
    f.setMode(vx::socket::eRead);
    ASSERT_EQ(f.openWithChecks(100), 0);
    char tok[8];
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eToken); // exactly size - 1 characters fit
    EXPECT_STREQ(tok, "1234567");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eTooLong);
    EXPECT_STREQ(tok, "1234567");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eToken);
    EXPECT_STREQ(tok, "8");
    EXPECT_EQ(f.readToken(tok, sizeof tok), TokenEnd::eEndOfFile); // only separators left
    EXPECT_STREQ(tok, "");
    userdiskPrt closed("l.txt");
    EXPECT_EQ(closed.readToken(tok, sizeof tok), TokenEnd::eReadFailed);
    EXPECT_EQ(closed.readToken(tok, 0), TokenEnd::eTooLong);
}

} // namespace
