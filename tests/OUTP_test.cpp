// Instrument file framing: time stamps, file-type tags, labels, memPrt and
// checked blocks, and the bulk buffer.
#include "base/OUTP.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "base/Platform.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "base/TimeStamp.h"
#include "base/VX550.h"

using vx::memPrt;
using vxtest::MemStream;

namespace {

std::string capture(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

// ------------------------------------------------------------ time stamp

TEST(TimeStamp, LayoutFromLocalTime) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    vx::TimeStamp ts = vx::timeStampFromTime(1346423111); // Fri 2012-08-31 14:25:11 UTC
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    const uint8_t expected[14] = {11, 11, 25, 25, 14, 14, 6, 31, 8, 112, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(ts.bytes.data(), expected, 14), 0);
    EXPECT_EQ(ts.hours(), 14);
    EXPECT_EQ(ts.month(), 8);
    // Years beyond 2155 keep their low 8 bits; Sunday is 1.
    vx::TimeStamp late = vx::makeTimeStamp(0, 5, 23, 1, 2, 12, 400);
    EXPECT_EQ(late.year(), 144);
    EXPECT_EQ(late.dayOfWeek(), 1);
    vx::TimeStamp now = vx::currentTimeStamp();
    EXPECT_GE(now.month(), 1);
    EXPECT_LE(now.month(), 12);
    EXPECT_EQ(now.bytes[0], now.bytes[1]);
}

// ------------------------------------------------------------ tags and labels

TEST(FileTag, EachTagRoundTripsAsTwentyThreeBytes) {
    for (int16_t i = 0; i < vx::eTagCount; ++i) {
        MemStream s;
        ASSERT_EQ(vx::writeTag(s, i), 0);
        ASSERT_EQ(s.bytes().size(), 23u);
        EXPECT_EQ(s.bytes().substr(0, 21), std::string(vx::tagText(i), 21));
        EXPECT_EQ(s.bytes()[21], char(i));
        EXPECT_EQ(s.bytes()[22], '\0');
        EXPECT_EQ(vx::readTag(s), i);
    }
    EXPECT_EQ(std::string(vx::tagText(1), 21), std::string("VX560 Cap/Arb File\x1av1"));
    MemStream none;
    EXPECT_EQ(vx::writeTag(none, 4), 1);
    EXPECT_EQ(vx::writeTag(none, -1), 1);
    EXPECT_TRUE(none.bytes().empty());
}

std::string tagBytes(const std::string& text, int16_t index) {
    return text + char(index & 0xFF) + char((index >> 8) & 0xFF);
}

TEST(FileTag, Vx550DisplayTagOnlyWithIndexZeroAndOtherInvalidTags) {
    const std::string vx550 = "VX550 Display File\x1av1";
    MemStream old(tagBytes(vx550, 0));
    EXPECT_EQ(vx::readTag(old), 0);
    for (int16_t i = 1; i <= 3; ++i) {
        MemStream s(tagBytes(vx550, i));
        EXPECT_EQ(vx::readTag(s), -1) << i;
    }
    const std::string display(vx::tagText(0), 21);
    for (int16_t i : {1, 4, -1, 256}) { // right text, wrong index
        MemStream s(tagBytes(display, i));
        EXPECT_EQ(vx::readTag(s), -1) << i;
    }
    MemStream shortTag(display);
    EXPECT_EQ(vx::readTag(shortTag), -1);
    std::string changed = display;
    changed[20] = '2';
    MemStream other(tagBytes(changed, 0));
    EXPECT_EQ(vx::readTag(other), -1);
}

TEST(Label, WrittenWithoutTerminatorAndCompared) {
    MemStream s;
    ASSERT_EQ(vx::writeLabel(s, "Vector Header:"), 0);
    EXPECT_EQ(s.bytes(), "Vector Header:");
    EXPECT_EQ(vx::readLabel(s, "Vector Header:"), 0);
    MemStream wrong("Vector Data:xx");
    EXPECT_EQ(vx::readLabel(wrong, "Vector Header:"), 1);
    MemStream shortLabel("Vector");
    EXPECT_EQ(vx::readLabel(shortLabel, "Vector Header:"), 1);
}

// ------------------------------------------------------------ checked blocks

TEST(CheckedBlock, EmptyBlockIsLengthZeroAndB1) {
    memPrt m(100);
    MemStream s;
    ASSERT_EQ(m.writeBlock(s), 0);
    EXPECT_EQ(s.bytes(), std::string("\0\0\0\0\xB1", 5));
    memPrt r(10);
    EXPECT_EQ(r.readBlock(s), 0);
    EXPECT_EQ(r.count(), 0u);
}

TEST(CheckedBlock, RoundTripAndRunningCheckByte) {
    memPrt m(64);
    ASSERT_EQ(m.writeBytes("\x01\x02\x04", 3), 0);
    ASSERT_EQ(m.writeText("AB"), 0);
    EXPECT_EQ(m.count(), 5u);
    EXPECT_EQ(m.checkByte(), 0xB1 ^ 0x01 ^ 0x02 ^ 0x04 ^ 'A' ^ 'B');
    MemStream s;
    ASSERT_EQ(m.writeBlock(s), 0);
    EXPECT_EQ(s.bytes(), std::string("\x05\0\0\0\x01\x02\x04"
                                     "AB",
                                     9) +
                             char(m.checkByte()));

    memPrt r(5);
    ASSERT_EQ(r.readBlock(s), 0);
    EXPECT_EQ(r.position(), 5u); // left at the end of the data
    r.rewind();
    char out[5];
    ASSERT_EQ(r.readBytes(out, 5), 0);
    EXPECT_EQ(std::string(out, 5), std::string("\x01\x02\x04"
                                               "AB"));
    EXPECT_EQ(r.readBytes(out, 1), 1); // nothing beyond the block's data
    EXPECT_EQ(out[0], 0);
}

TEST(CheckedBlock, FlippingAnyByteMakesTheReadFail) {
    memPrt m(300);
    for (int i = 0; i < 256; ++i) {
        uint8_t b = uint8_t(i * 7 + 3);
        ASSERT_EQ(m.writeBytes(&b, 1), 0);
    }
    MemStream good;
    ASSERT_EQ(m.writeBlock(good), 0);
    for (size_t at = 4; at < good.bytes().size(); ++at) { // every data byte and the check
        for (uint8_t bit : {0x01, 0x80}) {
            std::string bad = good.bytes();
            bad[at] = char(bad[at] ^ bit);
            MemStream s(bad);
            memPrt r(300);
            EXPECT_EQ(r.readBlock(s), 1) << at;
            char c;
            EXPECT_EQ(r.readBytes(&c, 1), 1); // a failed block leaves nothing to read
        }
    }
}

TEST(CheckedBlock, LengthBeyondCapacityOrShortDataFails) {
    memPrt m(10);
    ASSERT_EQ(m.writeText("0123456789"), 0);
    MemStream s;
    ASSERT_EQ(m.writeBlock(s), 0);
    memPrt small(9);
    EXPECT_EQ(small.readBlock(s), 1);
    std::string huge("\xff\xff\xff\xff", 4);
    MemStream h(huge + "abc");
    memPrt r(200);
    EXPECT_EQ(r.readBlock(h), 1);
    for (size_t cut = 0; cut < s.bytes().size(); ++cut) {
        MemStream t(s.bytes().substr(0, cut));
        memPrt r2(10);
        EXPECT_EQ(r2.readBlock(t), 1) << cut;
    }
}

TEST(CheckedBlock, StreamFailuresAreReturned) {
    memPrt m(10);
    ASSERT_EQ(m.writeText("abc"), 0);
    for (int n = 1; n <= 3; ++n) {
        MemStream s;
        s.failWriteAt(n);
        EXPECT_EQ(m.writeBlock(s), 1) << n;
    }
    MemStream good;
    ASSERT_EQ(m.writeBlock(good), 0);
    for (int n = 1; n <= 3; ++n) {
        MemStream s(good.bytes());
        s.failReadAt(n);
        memPrt r(10);
        EXPECT_EQ(r.readBlock(s), 1) << n;
    }
}

TEST(CheckedBlock, WritingPastCapacityIsReportedAndStopsAtTheEnd) {
    uint8_t area[12];
    std::memset(area, 0xEE, sizeof area);
    memPrt m(8, area + 2); // guard bytes on both sides
    std::string out = capture([&] {
        EXPECT_EQ(m.writeText("12345"), 0);
        EXPECT_EQ(m.writeText("6789"), 1);
    });
    EXPECT_EQ(out.rfind("len <= bufSz FAILED: \n../Code/Src/base/OUTP.cpp line ", 0), 0u) << out;
    EXPECT_EQ(m.count(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(area + 2), 8), "12345678");
    EXPECT_EQ(area[0], 0xEE);
    EXPECT_EQ(area[1], 0xEE);
    EXPECT_EQ(area[10], 0xEE);
    EXPECT_EQ(area[11], 0xEE);
    MemStream s;
    ASSERT_EQ(m.writeBlock(s), 0); // what was written is a consistent block
    memPrt r(8);
    EXPECT_EQ(r.readBlock(s), 0);
}

TEST(CheckedBlock, RewindStartsANewBlockAndOldBytesAreNotRead) {
    memPrt m(20);
    ASSERT_EQ(m.writeText("long old block"), 0);
    m.rewind();
    EXPECT_EQ(m.checkByte(), 0xB1);
    ASSERT_EQ(m.writeText("new"), 0);
    m.rewind();
    char buf[6];
    EXPECT_EQ(m.readBytes(buf, 3), 0);
    EXPECT_EQ(std::string(buf, 3), "new");
    EXPECT_EQ(m.readBytes(buf, 6), 1);
}

// ------------------------------------------------------------ bulk buffer

TEST(BulkBuffer, ClaimWhileInUseIsReportedAndProceeds) {
    ASSERT_FALSE(vx::bulkBufferInUse());
    uint8_t* a = vx::claimBulkBuffer();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(vx::bulkBufferInUse());
    a[vx::kBulkBufferBytes - 1] = 1;
    uint8_t* b = nullptr;
    std::string out = capture([&] { b = vx::claimBulkBuffer(); });
    EXPECT_EQ(b, a);
    EXPECT_EQ(out.rfind("!bigBuffInUse FAILED: \n../Code/Src/base/VX550.cpp line ", 0), 0u) << out;
    vx::releaseBulkBuffer();
    EXPECT_FALSE(vx::bulkBufferInUse());
    {
        vx::CBulkBufferClaim claim;
        EXPECT_EQ(claim.data(), a);
        EXPECT_TRUE(vx::bulkBufferInUse());
        // The waterfall reader lays a memPrt of capacity 20000 over it.
        memPrt over(20000, claim.data());
        ASSERT_EQ(over.writeText("in the bulk buffer"), 0);
        EXPECT_EQ(std::memcmp(a, "in the bulk buffer", 18), 0);
    }
    EXPECT_FALSE(vx::bulkBufferInUse());
}

// ------------------------------------------------------------ across disks

// A tag and a checked block that cross a disk boundary span like other data.
TEST(Framing, TagAndBlockSpanDisks) {
    namespace fs = std::filesystem;
    vxtest::TempDir dir;
    vx::platform::setFreeBytesFunction([](const std::string& path) -> int64_t {
        std::error_code ec;
        auto size = fs::file_size(vx::platform::resolvePath(path), ec);
        return 2100 - (ec ? 0 : int64_t(size));
    });
    int prompts = 0;
    vx::platform::setReadCharFunction([&]() -> int {
        static const char answer[] = "y\n";
        int k = prompts++;
        if (k % 2 == 0) {
            fs::create_directories("disk" + std::to_string(k / 2 + 1));
            fs::rename("f.wfl", "disk" + std::to_string(k / 2 + 1) + "/f.wfl");
        }
        return answer[k % 2];
    });
    memPrt block(5000);
    for (int i = 0; i < 3500; ++i) {
        uint8_t b = uint8_t(i);
        ASSERT_EQ(block.writeBytes(&b, 1), 0);
    }
    capture([&] {
        vx::userdiskPrt f("f.wfl");
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningWrite(20 + 23 + 3505), 0);
        ASSERT_EQ(vx::writeTag(f, vx::eWaterfallTag), 0);
        ASSERT_EQ(block.writeBlock(f), 0);
    });
    EXPECT_EQ(prompts, 2 * 2); // two disk changes
    fs::create_directories("disk3");
    fs::rename("f.wfl", "disk3/f.wfl");
    fs::copy_file("disk1/f.wfl", "f.wfl");
    prompts = 0;
    vx::platform::setReadCharFunction([&]() -> int {
        static const char answer[] = "y\n";
        int k = prompts++;
        if (k % 2 == 0) {
            fs::remove("f.wfl");
            fs::copy_file("disk" + std::to_string(k / 2 + 2) + "/f.wfl", "f.wfl");
        }
        return answer[k % 2];
    });
    capture([&] {
        vx::userdiskPrt f("f.wfl");
        f.setMode(vx::socket::eRead);
        ASSERT_EQ(f.openWithChecks(100), 0);
        ASSERT_EQ(f.startSpanningRead(), 0);
        EXPECT_EQ(vx::readTag(f), vx::eWaterfallTag);
        memPrt back(5000);
        ASSERT_EQ(back.readBlock(f), 0);
        EXPECT_EQ(back.count(), 3500u);
        EXPECT_EQ(std::memcmp(back.data(), block.data(), 3500), 0);
    });
    vx::platform::setReadCharFunction(nullptr);
    vx::platform::setFreeBytesFunction(nullptr);
}

} // namespace
