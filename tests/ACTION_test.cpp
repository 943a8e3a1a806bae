// Parameter objects: the pool, slots and real values, text forms, serialized
// bytes, ranges, and damaged values read from a file.
#include "params/ACTION.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "params/STARTUP.h"
#include "support/MemStream.h"
#include "support/TempDir.h"

namespace {

using namespace vx;
using vxtest::MemStream;

constexpr uint32_t kNoList = 15u << 16; // built like the catalogue's, registered nowhere
const char* const kTexts[] = {"Zero", "One", "Two", "Three"};

TEST(Pool, RequestEndingAtTheBlockEndOpensANewBlock) {
    (void)paramActionObj::getBlk(100); // fills a block of its own
    const int32_t blocks = paramActionObj::blockCount;
    char* first = static_cast<char*>(paramActionObj::getBlk(98));
    EXPECT_EQ(paramActionObj::blockCount, blocks + 1);
    (void)paramActionObj::getBlk(2); // would end exactly at byte 100
    EXPECT_EQ(paramActionObj::blockCount, blocks + 2);
    EXPECT_EQ(paramActionObj::sCurMemOffset, 2);

    first = static_cast<char*>(paramActionObj::getBlk(96)); // opens a block
    EXPECT_EQ(static_cast<char*>(paramActionObj::getBlk(3)), first + 96);
    EXPECT_EQ(paramActionObj::blockCount, blocks + 3);

    char* big = static_cast<char*>(paramActionObj::getBlk(300));
    EXPECT_EQ(paramActionObj::blockCount, blocks + 4);
    big[299] = 1; // the whole request is usable
    (void)paramActionObj::getBlk(2);
    EXPECT_EQ(paramActionObj::blockCount, blocks + 5);
}

TEST(Pool, ValuesAreAlignedForTheirSize) {
    (void)paramActionObj::getBlk(41);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(paramActionObj::getBlk(2)) % 2, 0u);
    (void)paramActionObj::getBlk(1);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(paramActionObj::getBlk(4)) % 4, 0u);
}

TEST(EnumParAction, ReadIntoEntryShowsRealValueOnlyAfterSetParam) {
    enumParAction e(1, 3, kTexts, nullptr, kNoList, 0, 0, 0);
    MemStream in(std::string("\x03\x00", 2));
    ASSERT_EQ(e.Serialize(&in, 0, ePaoEntry), 0);
    EXPECT_STREQ(e.getStr(1), "Three");
    EXPECT_STREQ(e.getRealStr(1), "One");
    EXPECT_EQ(*e.realVal(), 1);
    e.setParam(0);
    EXPECT_STREQ(e.getRealStr(1), "Three");

    MemStream out;
    e.slotToSlot(ePaoEntry, ePaoDefault);
    (void)e.setData(2, 0);
    ASSERT_EQ(e.Serialize(&out, 1, ePaoEntry), 0);
    ASSERT_EQ(e.Serialize(&out, 1, ePaoDefault), 0);
    EXPECT_EQ(out.bytes(), std::string("\x02\x00\x03\x00", 4));
}

TEST(EnumParAction, DamagedIndexRendersAsQuestionMark) {
    enumParAction e(0, 3, kTexts, nullptr, kNoList, 0, 0, 0);
    MemStream in(std::string("\x04\x00\xff\xff", 4));
    ASSERT_EQ(e.Serialize(&in, 0, ePaoEntry), 0);
    EXPECT_EQ(e.getData(1), 4); // stored as read
    EXPECT_STREQ(e.getStr(1), "?");
    ASSERT_EQ(e.Serialize(&in, 0, ePaoFile), 0);
    EXPECT_STREQ(e.getStr(2), "?");
    e.setParam(0);
    EXPECT_STREQ(e.getRealStr(1), "?");
}

TEST(EnumParAction, FailedReadChangesNothing) {
    enumParAction e(2, 3, kTexts, nullptr, kNoList, 0, 0, 0);
    MemStream in(std::string("\x01", 1));
    EXPECT_NE(e.Serialize(&in, 0, ePaoEntry), 0);
    EXPECT_EQ(e.getData(1), 2);
}

struct RangeFixture : ::testing::Test {
    // ranges: 0 = indices 0-2, 1 = indices 2-3
    int16_t table[2][3] = {{0, 2, 1}, {2, 3, 3}};
    const char* const texts[4] = {"a", "b", "c", "d"};
    rngEnumAction r{table, 0, 1, 3, texts, nullptr, kNoList, 0, 0, 0};
};

TEST_F(RangeFixture, SetRangeAwayAndBackRestoresEachRangesIndex) {
    (void)r.setData(2, 0);
    ASSERT_EQ(r.setRange(1), 0);
    EXPECT_EQ(r.getData(1), 3);
    EXPECT_EQ(*r.realVal(), 3);
    EXPECT_EQ(r.getRange(1), 1);
    ASSERT_EQ(r.setRange(0), 0);
    EXPECT_EQ(r.getData(1), 2);
    EXPECT_EQ(table[1][eRangeRemembered], 3);
}

TEST_F(RangeFixture, IndexAndRangeTravelTogether) {
    MemStream in(std::string("\x03\x00\x01\x00", 4));
    ASSERT_EQ(r.Serialize(&in, 0, ePaoEntry), 0);
    EXPECT_EQ(r.getRange(1), 1);
    EXPECT_EQ(table[1][eRangeRemembered], 3);
    r.setParam(0);
    MemStream out;
    ASSERT_EQ(r.Serialize(&out, 1, ePaoEntry), 0);
    EXPECT_EQ(out.bytes(), in.bytes());
    EXPECT_EQ(r.getSerSize(), 4);

    r.slotToSlot(ePaoEntry, ePaoFile); // from slot 1: the current range
    EXPECT_EQ(r.getRange(2), 1);
    ASSERT_EQ(r.setRange(0), 0);
    r.slotToSlot(ePaoFile, ePaoEntry); // into slot 1: range switched and remembered
    EXPECT_EQ(r.getRange(1), 1);
    EXPECT_EQ(r.getData(1), 3);
    EXPECT_EQ(table[0][eRangeRemembered], 1);
}

TEST_F(RangeFixture, RangeOutsideTheTableIsRefusedAndNeverIndexed) {
    EXPECT_EQ(r.setRange(2), 1);
    EXPECT_EQ(r.setRange(-1), 1);
    EXPECT_EQ(r.getRange(1), 0);
    EXPECT_EQ(r.getData(1), 1);

    MemStream in(std::string("\x09\x00\x07\x00", 4)); // damaged index and range
    ASSERT_EQ(r.Serialize(&in, 0, ePaoEntry), 0);
    EXPECT_EQ(r.getRange(1), 7);
    r.setParam(0);
    EXPECT_STREQ(r.getRealStr(1), "?");
    ASSERT_EQ(r.setRange(1), 0); // a valid range recovers
    EXPECT_EQ(r.getData(1), 3);
    EXPECT_EQ(table[0][eRangeRemembered], 1);
}

TEST(NumericParActions, TextFormsAndLittleEndianBytes) {
    intParAction i(-2, nullptr, "%4d dB", 10, -10, 1, kNoList, 0, 0, 0);
    longParAction l(70000, nullptr, "%ld", 0, 0, 0, kNoList, 0, 0, 0);
    floatParAction f(1.0f, nullptr, "%.2f%%", 0, 0, 0, kNoList, 0, 0, 0);
    floatUnitAction u(0.1f, nullptr, timeUnits, 0, 0, 0, kNoList, 0, 0, 0);
    intActionObj a(7, nullptr, kNoList, 0, 0, 0);
    EXPECT_STREQ(i.getStr(1), "  -2 dB");
    EXPECT_STREQ(l.getStr(1), "70000");
    EXPECT_STREQ(f.getStr(1), "1.00%");
    EXPECT_STREQ(u.getStr(1), "100 ms");
    EXPECT_STREQ(a.getStr(1), "7");

    MemStream out;
    ASSERT_EQ(i.Serialize(&out, 1, 1), 0);
    ASSERT_EQ(l.Serialize(&out, 1, 1), 0);
    ASSERT_EQ(f.Serialize(&out, 1, 1), 0);
    EXPECT_EQ(out.bytes(), std::string("\xfe\xff\x70\x11\x01\x00\x00\x00\x80\x3f", 10));
    EXPECT_EQ(i.getSerSize() + l.getSerSize() + f.getSerSize(), 10);

    MemStream in(std::string("\x00\x00\x20\x41", 4)); // 10.0f
    ASSERT_EQ(f.Serialize(&in, 0, 1), 0);
    EXPECT_EQ(f.getData(1), 10.0f);
    EXPECT_EQ(f.getRealData(1), 1.0f);
    (void)l.setData(-5, 0);
    EXPECT_EQ(*l.realVal(), -5);
}

TEST(NumericParActions, TextIsCutToTheBuffer) {
    intParAction i(12345, nullptr, "%30d", 0, 0, 0, kNoList, 0, 0, 0);
    EXPECT_EQ(std::string(i.getStr(1)).size(), 19u);
}

TEST(StrActionObj, TextsAreCutAtMaxLen) {
    strActionObj s("INITIAL-TOO-LONG", 6, 0, nullptr, nullptr, kNoList, 0, 0);
    EXPECT_STREQ(s.getStr(0), "INITIA");
    (void)s.setData("abcdefghij");
    EXPECT_STREQ(s.getStr(1), "abcdef");
    EXPECT_STREQ(s.getRealStr(1), "abcdef");
    EXPECT_EQ(s.getSerSize(), 7);

    MemStream out;
    (void)s.setData("xy");
    ASSERT_EQ(s.Serialize(&out, 1, 1), 0);
    EXPECT_EQ(out.bytes(), std::string("xy\0\0\0\0\0", 7));

    MemStream in(std::string("1234567", 7)); // no terminator in the file
    ASSERT_EQ(s.Serialize(&in, 0, 2), 0);
    EXPECT_STREQ(s.getStr(2), "123456");
    s.slotToSlot(ePaoFile, ePaoEntry);
    EXPECT_STREQ(s.getRealStr(1), "xy");
    s.setParam(0);
    EXPECT_STREQ(*s.realVal(), "123456");
}

TEST(StrActionObj, PersistentTextKeepsItsRealBufferInThePool) {
    (void)MainPAOlist(); // its version value is in the pool before the count starts
    (void)paramActionObj::getBlk(100);
    const int32_t blocks = paramActionObj::blockCount;
    strActionObj s("NONE", 10, 1, nullptr, nullptr, kNoList, 1, 0);
    EXPECT_EQ(paramActionObj::blockCount, blocks + 1);
    EXPECT_EQ(paramActionObj::sCurMemOffset, 11);
    EXPECT_STREQ(s.getRealStr(1), "NONE");
    EXPECT_EQ(s.displayIndex(), 1);
}

TEST(ParamActionObj, TwinsAndMortalBits) {
    Twin<enumParAction> twins(
        [](int16_t d) { return enumParAction(d, 3, kTexts, nullptr, kNoList, 0, 0, d); });
    EXPECT_EQ(twins[0].next(1), &twins[1]);
    EXPECT_EQ(twins[0].next(0), &twins[0]);
    EXPECT_EQ(twins[1].next(-1), &twins[0]);
    EXPECT_EQ(twins[0].next(1)->displayIndex(), 1);
    twins[0].setMortal(1, 0x04);
    twins[0].setMortal(0, 0x01);
    EXPECT_EQ(twins[0].mortal(), 0);
    EXPECT_EQ(twins[0].groups(), 0x05);
}

TEST(ParamActionObj, AStepOutOfThePairIsReportedAndGivesTheObject) {
    vxtest::TempDir dir;
    Twin<enumParAction> twins(
        [](int16_t d) { return enumParAction(d, 3, kTexts, nullptr, kNoList, 0, 0, d); });
    enumParAction single(0, 3, kTexts, nullptr, kNoList, 0, 0, -1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(single.next(1), &single);
    EXPECT_EQ(twins[1].next(1), &twins[1]);
    EXPECT_EQ(twins[0].next(-1), &twins[0]);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string report = "twinObj && ((target == 0) || (target == 1)) FAILED: ";
    size_t reports = 0;
    for (size_t at = out.find(report); at != std::string::npos; at = out.find(report, at + 1))
        ++reports;
    EXPECT_EQ(reports, 3u) << out;
}

TEST(ParamActionObj, ConstructorsRegisterInTheirList) {
    vxtest::TempDir dir;
    const int16_t before = MainPAOlist().listCnt(dbgLst);
    static intActionObj plain; // lives as long as the registry that holds it
    ASSERT_EQ(MainPAOlist().listCnt(dbgLst), before + 1);
    EXPECT_EQ(MainPAOlist().entry(dbgLst, before).object, &plain);
    EXPECT_STREQ(plain.getStr(1), "");

    testing::internal::CaptureStdout();
    enumParAction stray(0, 3, kTexts, nullptr, 20u << 16, 0, 0, 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("(listID >= dbgLst) && (listID <= nlLst) FAILED: "), 0u) << out;
}

} // namespace
