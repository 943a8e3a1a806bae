// Parameter lists: registration and ordering, the settings block of a list
// (versions, group filter, twins, damaged headers), apply, copy and print.
#include "params/STARTUP.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/MemStream.h"
#include "support/TempDir.h"

namespace {

using namespace vx;
using vxtest::MemStream;

constexpr uint32_t kNoList = 15u << 16;

uint32_t paoId(int list, uint32_t groups = 0, uint32_t action = 0) {
    return static_cast<uint32_t>(list) << 16 | action << 10 | groups;
}

int16_t paoFlags(int priority, int version, bool twin) {
    return static_cast<int16_t>(version << 11 | (priority & 0x1FF) << 2 | (twin ? 2 : 0));
}

const char* const kGroups[] = {"FFT", "Correlation", "Octave", "Swept Sine", "Order", "Hist"};
const char* const kOffOn[] = {"Off", "On"};

// A small list 1 shaped like the catalogue's, registered out of priority order.
struct ListFixture : ::testing::Test {
    vxtest::TempDir dir; // messages also go to the log file
    CPaoRegistry reg;
    Twin<enumParAction> group{
        [](int16_t d) { return enumParAction(d, 5, kGroups, nullptr, kNoList, 0, 0, d); }};
    Twin<enumParAction> units{
        [](int16_t d) { return enumParAction(0, 1, kOffOn, nullptr, kNoList, 0, 0, d); }};
    Twin<intParAction> avgs{
        [](int16_t d) { return intParAction(2, nullptr, "%4d", 0, 0, 0, kNoList, 0, 0, d); }};
    Twin<floatParAction> octave{
        [](int16_t d) { return floatParAction(0.5f, nullptr, "%g", 0, 0, 0, kNoList, 0, 0, d); }};
    strActionObj name{"NONE", 10, 0, nullptr, nullptr, kNoList, 0, 0};

    void SetUp() override {
        reg.registerInList(&octave[0], paoFlags(110, 1, true), paoId(1, 0x04));
        reg.registerInList(&group[0], paoFlags(250, 1, true), paoId(1, 0x3F, 1));
        reg.registerInList(&name, paoFlags(100, 1, false), paoId(1));
        reg.registerInList(&units[0], paoFlags(240, 5, true), paoId(1, 0x3F));
        reg.registerInList(&avgs[0], paoFlags(145, 1, true), paoId(1, 0x13));
        reg.setMeasureGroup(&group[0]);
        reg.initLists();
    }

    std::string write(int16_t ch, int16_t groupFilter) {
        MemStream out;
        EXPECT_EQ(reg.serializeList(filterLst, &out, 1, ch, 1, groupFilter), 0);
        return out.bytes();
    }

    Status read(const std::string& bytes, int16_t ch, int16_t groupFilter = 0) {
        MemStream in(bytes);
        return reg.serializeList(filterLst, &in, 0, ch, 1, groupFilter);
    }
};

TEST_F(ListFixture, InitSortsByPriorityAndRecordsDefaults) {
    ASSERT_EQ(reg.listCnt(filterLst), 5);
    const paramActionObj* order[] = {&group[0], &units[0], &avgs[0], &octave[0], &name};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(reg.entry(filterLst, i).object, order[i]) << i;
    EXPECT_EQ(group[1].groups(), 0x3F); // twins get their group bits too
    (void)avgs[1].setData(9);
    reg.copyListSlots(ePaoDefault, ePaoEntry, filterLst, 2);
    EXPECT_EQ(avgs[1].getData(1), 2);
    EXPECT_EQ(group[1].getData(ePaoDefault), 1);
}

TEST_F(ListFixture, WrittenListReadsBackToTheSameEntryValues) {
    (void)group[1].setData(3, 0);
    (void)units[0].setData(1, 0);
    (void)avgs[1].setData(64);
    (void)octave[0].setData(0.25f);
    (void)name.setData("rotor");
    const std::string block = write(2, 0);
    EXPECT_EQ(block.size(), 12 + 2 + 2 * (2 + 2 + 2 + 4 + 11));
    EXPECT_EQ(block.substr(0, 14), std::string("Filter List:\x05\x00", 14));

    reg.copyListSlots(ePaoDefault, ePaoEntry, filterLst, 2);
    reg.applyList(filterLst, 2);
    ASSERT_EQ(read(block, 2), 0);
    EXPECT_EQ(group[1].getData(1), 3);
    EXPECT_EQ(units[0].getData(1), 1);
    EXPECT_EQ(avgs[1].getData(1), 64);
    EXPECT_EQ(octave[0].getData(1), 0.25f);
    EXPECT_STREQ(name.getStr(1), "rotor");
    EXPECT_EQ(reg.paoVersion.getData(ePaoFile), 5);
}

TEST_F(ListFixture, OlderVersionSkipsNewerMembers) {
    const std::string v4 = std::string("Filter List:\x04\x00", 14) + std::string("\x02\x00", 2) +
                           std::string("\x07\x00", 2) + std::string("\x00\x00\x80\x3f", 4) +
                           std::string("eleven\0\0\0\0\0", 11);
    ASSERT_EQ(read(v4, 0), 0);
    EXPECT_EQ(group[0].getData(1), 2);
    EXPECT_EQ(units[0].getData(1), 0); // introduced in version 5: not in the file
    EXPECT_EQ(avgs[0].getData(1), 7);
    EXPECT_EQ(octave[0].getData(1), 1.0f);
    EXPECT_STREQ(name.getStr(1), "eleven");
}

TEST_F(ListFixture, NewerVersionFailsSilently) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(read(std::string("Filter List:\x06\x00\x02\x00", 16), 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(group[0].getData(1), 0);
}

TEST_F(ListFixture, ChangedTitleOrShortBlockIsAHeaderFault) {
    std::string block = write(0, 0);
    const std::string fault = "Error reading header parameters: Filter List:  (header fault)\n";
    std::string changed = block;
    changed[3] = 'X';
    testing::internal::CaptureStdout();
    EXPECT_EQ(read(changed, 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), fault);
    EXPECT_EQ(dir.read("qrblog.txt"), fault);

    testing::internal::CaptureStdout();
    EXPECT_EQ(read(block.substr(0, block.size() - 1), 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), fault);
}

TEST_F(ListFixture, GroupFilterKeepsExactlyTheMembersOfTheGroup) {
    (void)group[0].setData(2, 0); // Octave
    (void)avgs[0].setData(33);
    const std::string block = write(0, 1);
    const std::string expected = std::string("Filter List:\x05\x00", 14) +
                                 std::string("\x02\x00\x02\x00\x00\x00", 6) + // group twice
                                 std::string("\x00\x00\x00\x3f", 4) + std::string("NONE", 4) +
                                 std::string(7, '\0');
    EXPECT_EQ(block, expected);

    (void)avgs[0].setData(44);
    ASSERT_EQ(read(block, 0, 1), 0);
    EXPECT_EQ(avgs[0].getData(1), 44); // filtered out: keeps its value
}

TEST_F(ListFixture, WrongListOrDisplayIsReportedAndLeavesTheStream) {
    MemStream out;
    testing::internal::CaptureStdout();
    EXPECT_EQ(reg.serializeList(sourceLst, &out, 1, 1, 1, 0), 1);
    EXPECT_EQ(reg.serializeList(nlLst, &out, 1, 0, 1, 0), 1);
    reg.applyList(dbgLst, 2);
    const std::string msgs = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.bytes(), "");
    EXPECT_NE(msgs.find("twoChLst[listID] || (ch==0) FAILED: \n"), std::string::npos);
    EXPECT_NE(msgs.find("(listID>dbgLst) && (listID<nlLst) FAILED: \n../Code/Src/params/STARTUP"),
              std::string::npos);
}

// Records the action code that applyList hands to each object.
struct RecordingAct : intParAction {
    explicit RecordingAct(int16_t disp)
        : intParAction(0, nullptr, "%d", 0, 0, 0, kNoList, 0, 0, disp) {}
    void* setParam(actType action) override {
        actions.push_back(action);
        return intParAction::setParam(action);
    }
    std::vector<int> actions;
};

TEST_F(ListFixture, ApplyUsesTheActionCodeOnlyForTheCurrentGroup) {
    Twin<RecordingAct> fftOnly{[](int16_t d) { return RecordingAct(d); }};
    Twin<RecordingAct> all{[](int16_t d) { return RecordingAct(d); }};
    reg.registerInList(&fftOnly[0], paoFlags(5, 1, true), paoId(1, 0x01, 6));
    reg.registerInList(&all[0], paoFlags(4, 1, false), paoId(1, 0, 7));
    reg.applyList(filterLst, 2);
    (void)group[0].setData(4, 0);
    reg.applyList(filterLst, 1);
    EXPECT_EQ(fftOnly[0].actions, std::vector<int>({6}));
    EXPECT_EQ(fftOnly[1].actions, std::vector<int>({6, 3}));
    EXPECT_EQ(all[0].actions, std::vector<int>({7, 7}));
    EXPECT_TRUE(all[1].actions.empty());
}

TEST(Registry, GrowsInStepsAndKeepsConstructionOrder) {
    CPaoRegistry reg;
    std::vector<std::unique_ptr<intParAction>> members;
    for (int i = 0; i < 45; ++i) {
        members.push_back(
            std::make_unique<intParAction>(i, nullptr, "%d", 0, 0, 0, kNoList, 0, 0, 0));
        reg.registerInList(members.back().get(), paoFlags(i, 1, false), paoId(systemLst));
    }
    reg.registerInList(members[0].get(), 0, paoId(nlLst));
    ASSERT_EQ(reg.listCnt(systemLst), 45);
    EXPECT_EQ(reg.listCnt(nlLst), 0);
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(reg.entry(systemLst, i).object, members[i].get());
    reg.initLists();
    EXPECT_EQ(reg.entry(systemLst, 0).object, members[44].get());
    EXPECT_EQ(reg.entry(systemLst, 44).object, members[0].get());
}

TEST(Registry, EntryFieldsAndEqualPriorities) {
    const PaoListEntry e =
        decodeListEntry(nullptr, static_cast<int16_t>(0xFC07), 0xFFE0F123u); // priority -255
    EXPECT_TRUE(e.persistent);
    EXPECT_TRUE(e.twoDisplay);
    EXPECT_EQ(e.priority, -255);
    EXPECT_EQ(e.version, 31);
    EXPECT_EQ(e.groupMask, 0x123);
    EXPECT_EQ(e.actCode, 12);
    EXPECT_TRUE(e.mortal);
    EXPECT_TRUE(e.spare);
    EXPECT_EQ(e.listId, 0);
    EXPECT_EQ(e.spareBits, 0x7FF);

    vxtest::TempDir dir;
    CPaoRegistry reg;
    intParAction a(0, nullptr, "%d", 0, 0, 0, kNoList, 0, 0, 0);
    intParAction b(0, nullptr, "%d", 0, 0, 0, kNoList, 0, 0, 0);
    reg.registerInList(&a, paoFlags(7, 1, false), paoId(dramLst));
    reg.registerInList(&b, paoFlags(7, 1, false), paoId(dramLst));
    testing::internal::CaptureStdout();
    reg.initLists();
    EXPECT_EQ(testing::internal::GetCapturedStdout().find(
                  "MainPAOlist[listID][ix].priority != MainPAOlist[listID][j].priority FAILED: "),
              0u);
}

TEST(Registry, PrintListEchoesTheMeasurementToTheConsole) {
    vxtest::TempDir dir;
    CPaoRegistry reg;
    static const char* const meas[] = {"FFT 1", "FFT 2"};
    enumParAction m(1, 1, meas, nullptr, kNoList, 0, 0, 0);
    enumParAction hidden(0, 1, kOffOn, nullptr, kNoList, 0, 0, 0);
    intParAction octOnly(3, nullptr, "%d", 0, 0, 0, kNoList, 0, 0, 0);
    intParAction avgs(8, nullptr, "%4d", 0, 0, 0, kNoList, 0, 0, 0);
    reg.registerInList(&m, paoFlags(245, 1, false), paoId(measLst, 0x3F));
    reg.registerInList(&hidden, paoFlags(160, 1, false), paoId(measLst));
    reg.registerInList(&octOnly, paoFlags(150, 1, false), paoId(measLst, 0x04));
    reg.registerInList(&avgs, paoFlags(140, 1, false), paoId(measLst));
    reg.initLists();
    const char* const labels[] = {"Measurement: ", "", "Octave: ", "# Avgs: "};
    MemStream out;
    testing::internal::CaptureStdout();
    ASSERT_EQ(reg.printList(&out, measLst, labels, 0x01), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Measurement: FFT 2\n");
    EXPECT_EQ(out.bytes(), "Measurement: FFT 2\r\n# Avgs:    8\r\n");
    EXPECT_EQ(dir.read("qrblog.txt"), "");
}

} // namespace
