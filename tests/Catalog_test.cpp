// The parameter catalogue: every list's members against the catalogue tables
// (priority, bytes, version, groups, twin), the length of each list in a
// settings block, the exhaustive dump of the defaults, the display-B
// measurement, and the modal options.
#include "params/Catalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Options.h"
#include "params/CatalogTexts.h"
#include "params/STARTUP.h"
#include "support/Catalogue.h"
#include "support/MemStream.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

namespace {

using namespace vx;
using vxtest::MemStream;

struct Member {
    int16_t priority;
    int16_t bytes;
    uint8_t version;
    uint16_t groups; // 0 = all groups
    bool twin;
};

// Members of lists 1 to 14 in settings-block order.
const std::map<int16_t, std::vector<Member>> kLists = {
    {1, {{250, 2, 1, 0x3F, true},  {240, 2, 5, 0x3F, true},  {235, 2, 5, 0x3F, true},
         {210, 4, 5, 0x3F, true},  {205, 4, 5, 0x3F, true},  {202, 8, 5, 0x20, true},
         {201, 4, 5, 0x27, false}, {200, 2, 1, 0x3F, true},  {195, 36, 1, 0x23, true},
         {190, 18, 1, 0x23, true}, {185, 2, 1, 0x23, true},  {184, 2, 1, 0x20, true},
         {180, 4, 1, 0x13, true},  {179, 2, 5, 0x11, false}, {178, 2, 5, 0x11, false},
         {175, 2, 1, 0x23, true},  {171, 2, 1, 0x04, true},  {170, 8, 5, 0x11, true},
         {165, 4, 5, 0x11, true},  {150, 2, 5, 0x13, true},  {149, 2, 1, 0x04, true},
         {145, 2, 1, 0x13, true},  {140, 4, 1, 0x01, true},  {135, 2, 1, 0x03, true},
         {134, 2, 1, 0x01, false}, {131, 4, 1, 0x01, false}, {110, 2, 1, 0x04, true},
         {105, 2, 1, 0x04, true},  {100, 2, 1, 0x04, true},  {95, 4, 1, 0x04, true},
         {90, 4, 1, 0x04, true},   {85, 2, 1, 0x04, true},   {80, 2, 1, 0x08, true},
         {75, 2, 1, 0x08, true},   {70, 4, 1, 0x08, true},   {65, 4, 1, 0x08, true},
         {60, 4, 1, 0x08, true},   {55, 4, 1, 0x08, true},   {50, 4, 1, 0x08, true},
         {45, 4, 1, 0x08, true},   {40, 2, 1, 0x08, true},   {35, 2, 1, 0x08, true},
         {30, 4, 1, 0x08, true},   {25, 4, 1, 0x08, true},   {21, 4, 5, 0x10, true},
         {20, 2, 1, 0x08, true},   {19, 4, 5, 0x10, true},   {18, 4, 5, 0x10, true},
         {17, 4, 5, 0x10, true},   {14, 4, 5, 0x10, true},   {13, 2, 5, 0x10, true},
         {12, 4, 5, 0x10, true},   {11, 2, 5, 0x10, true},   {9, 2, 5, 0x10, true}}},
    {2,
     {{130, 4, 1, 0x37, true},
      {129, 2, 5, 0x37, true},
      {125, 2, 1, 0x37, true},
      {120, 2, 1, 0x33, true},
      {115, 4, 1, 0x04, true},
      {16, 2, 5, 0x10, true},
      {8, 2, 5, 0x10, true}}},
    {3,
     {{245, 4, 1, 0x3F, true},
      {160, 2, 5, 0x13, true},
      {155, 4, 5, 0x13, true},
      {5, 41, 1, 0x37, true},
      {4, 41, 1, 0x37, true}}},
    {4, {{100, 108, 1, 0x00, true}, {90, 4, 1, 0x00, true}, {82, 2, 1, 0x00, true},
         {80, 2, 1, 0x00, true},    {78, 2, 1, 0x00, true}, {76, 2, 1, 0x00, true},
         {74, 2, 1, 0x00, true},    {72, 2, 1, 0x00, true}, {70, 2, 1, 0x00, true},
         {68, 2, 1, 0x00, true},    {66, 2, 1, 0x00, true}, {64, 2, 1, 0x00, true},
         {62, 2, 1, 0x00, true},    {60, 2, 1, 0x00, true}, {58, 4, 1, 0x00, true},
         {56, 4, 1, 0x00, true},    {54, 2, 1, 0x00, true}, {53, 2, 1, 0x00, true},
         {52, 2, 1, 0x00, true},    {50, 2, 1, 0x00, true}, {49, 2, 1, 0x00, true},
         {48, 2, 1, 0x00, true},    {46, 4, 5, 0x00, true}, {44, 2, 1, 0x00, true},
         {42, 2, 1, 0x00, true},    {40, 2, 1, 0x00, true}, {38, 8, 1, 0x00, true},
         {36, 8, 1, 0x00, true},    {34, 8, 1, 0x00, true}, {32, 4, 1, 0x00, true},
         {30, 2, 1, 0x00, true},    {29, 2, 5, 0x00, true}, {28, 2, 1, 0x00, true},
         {26, 2, 1, 0x00, true},    {24, 2, 1, 0x00, true}, {22, 2, 1, 0x00, true},
         {20, 2, 5, 0x19, true},    {19, 2, 5, 0x19, true}, {18, 4, 1, 0x00, true},
         {15, 4, 1, 0x09, true},    {13, 2, 5, 0x00, true}, {11, 2, 5, 0x00, true},
         {9, 2, 5, 0x00, true},     {8, 2, 5, 0x3F, true},  {7, 2, 5, 0x3F, true},
         {6, 7, 5, 0x3F, true},     {5, 7, 5, 0x3F, true}}},
    {5, {{100, 2, 1, 0x37, false}, {91, 4, 1, 0x14, false},  {90, 2, 1, 0x37, false},
         {60, 12, 1, 0x37, false}, {58, 12, 1, 0x37, false}, {56, 4, 1, 0x37, false},
         {55, 4, 3, 0x3F, false},  {54, 4, 1, 0x37, false},  {52, 4, 1, 0x37, false},
         {50, 4, 1, 0x37, false},  {48, 2, 1, 0x37, false},  {46, 4, 1, 0x23, false},
         {44, 4, 1, 0x23, false},  {42, 2, 1, 0x23, false},  {40, 4, 1, 0x37, false},
         {38, 2, 1, 0x37, false},  {36, 18, 1, 0x37, false}, {34, 4, 1, 0x37, false},
         {32, 2, 1, 0x37, false},  {30, 4, 1, 0x08, false},  {28, 4, 1, 0x08, false},
         {26, 4, 1, 0x08, false},  {24, 4, 1, 0x08, false},  {22, 4, 1, 0x08, false},
         {20, 2, 1, 0x08, false},  {18, 4, 1, 0x08, false},  {2, 2, 1, 0x3F, false},
         {1, 2, 1, 0x08, false}}},
    {6, {{10, 2, 1, 0x00, true}, {5, 2, 1, 0x00, true}, {2, 2, 1, 0x00, true}}},
    {7, {{65, 2, 5, 0x00, false}, {62, 4, 5, 0x00, false}, {61, 2, 5, 0x00, false},
         {60, 4, 5, 0x00, false}, {59, 2, 5, 0x00, false}, {58, 4, 5, 0x00, false},
         {57, 2, 5, 0x00, false}, {56, 2, 5, 0x00, false}, {40, 4, 1, 0x00, false},
         {38, 2, 1, 0x00, false}, {36, 2, 1, 0x00, false}, {34, 2, 1, 0x00, false},
         {32, 4, 1, 0x00, false}, {30, 2, 1, 0x00, false}, {28, 2, 1, 0x00, false},
         {26, 4, 1, 0x00, false}, {24, 2, 1, 0x00, false}, {22, 2, 1, 0x00, false},
         {20, 2, 1, 0x00, false}, {18, 2, 1, 0x00, false}, {16, 2, 1, 0x00, false},
         {14, 2, 1, 0x00, false}, {12, 4, 1, 0x00, false}, {10, 2, 1, 0x00, false},
         {8, 2, 1, 0x00, false},  {6, 2, 1, 0x00, false},  {2, 6, 1, 0x00, false},
         {1, 6, 1, 0x00, false}}},
    {8,
     {{41, 2, 5, 0x00, false},
      {40, 4, 5, 0x00, false},
      {30, 2, 5, 0x00, false},
      {29, 4, 5, 0x00, false},
      {28, 4, 5, 0x00, false},
      {11, 2, 1, 0x00, false},
      {6, 2, 1, 0x00, false},
      {5, 2, 1, 0x00, false},
      {4, 6, 1, 0x00, false},
      {3, 2, 1, 0x00, false},
      {2, 8, 5, 0x23, false},
      {1, 8, 5, 0x23, false}}},
    {9, {{33, 4, 1, 0x00, false},  {32, 2, 1, 0x00, false}, {31, 2, 1, 0x00, false},
         {30, 2, 1, 0x00, false},  {29, 2, 1, 0x00, false}, {28, 2, 1, 0x00, false},
         {27, 2, 1, 0x00, false},  {26, 2, 1, 0x00, false}, {25, 2, 1, 0x00, false},
         {24, 2, 1, 0x00, false},  {23, 2, 1, 0x00, false}, {22, 2, 1, 0x00, false},
         {21, 2, 1, 0x00, false},  {20, 2, 1, 0x00, false}, {19, 2, 1, 0x00, false},
         {18, 2, 1, 0x00, false},  {17, 2, 1, 0x00, false}, {16, 2, 1, 0x00, false},
         {15, 2, 1, 0x00, false},  {14, 2, 1, 0x00, false}, {13, 2, 1, 0x00, false},
         {12, 41, 1, 0x00, false}, {11, 2, 1, 0x00, false}, {10, 2, 1, 0x00, false},
         {9, 2, 1, 0x00, false},   {8, 2, 1, 0x00, false},  {7, 2, 1, 0x00, false},
         {6, 2, 1, 0x00, false},   {5, 2, 1, 0x00, false},  {4, 2, 1, 0x00, false},
         {3, 2, 1, 0x00, false},   {2, 2, 1, 0x00, false}}},
    {11,
     {{5, 2, 1, 0x00, false},
      {4, 2, 1, 0x00, false},
      {3, 18, 1, 0x00, false},
      {2, 2, 1, 0x00, false},
      {1, 2, 1, 0x00, false}}},
    {12,
     {{6, 2, 1, 0x00, false},
      {5, 2, 1, 0x00, false},
      {4, 2, 1, 0x00, false},
      {3, 2, 1, 0x00, false},
      {2, 2, 1, 0x00, false},
      {1, 2, 1, 0x00, false}}},
    {13, {{8, 2, 1, 0x00, false}, {7, 2, 1, 0x00, false}, {6, 2, 1, 0x00, false}}},
    {14,
     {{20, 2, 4, 0x00, false},
      {10, 11, 4, 0x00, true},
      {9, 2, 4, 0x00, true},
      {8, 2, 4, 0x00, true},
      {5, 11, 4, 0x00, true},
      {4, 2, 4, 0x00, true},
      {3, 2, 4, 0x00, true}}},
};

struct CatalogueTest : ::testing::Test {
    vxtest::TempDir dir; // messages also go to the log file
    void SetUp() override { vxtest::resetCatalogue(); }
    void TearDown() override { vxtest::resetCatalogue(); }
};

TEST_F(CatalogueTest, EveryListHoldsItsMembersInPriorityOrder) {
    for (const auto& [list, members] : kLists) {
        ASSERT_EQ(MainPAOlist().listCnt(list), static_cast<int16_t>(members.size())) << list;
        for (size_t i = 0; i < members.size(); ++i) {
            const PaoListEntry& e = MainPAOlist().entry(list, static_cast<int16_t>(i));
            const Member& m = members[i];
            const std::string where = "list " + std::to_string(list) + " #" + std::to_string(i);
            EXPECT_EQ(e.priority, m.priority) << where;
            EXPECT_EQ(e.object->getSerSize(), m.bytes) << where;
            EXPECT_EQ(e.version, m.version) << where;
            EXPECT_EQ(e.groupMask, m.groups) << where;
            EXPECT_EQ(e.twoDisplay, m.twin) << where;
            if (!m.twin) continue;
            paramActionObj* b = e.object->next(1);
            EXPECT_EQ(b->displayIndex(), 1) << where;
            EXPECT_EQ(b->getSerSize(), m.bytes) << where;
        }
    }
    EXPECT_EQ(MainPAOlist().listCnt(userMathLst), 0);
}

// Title, version word, group word when filtered, then the bytes of the members
// that pass the group filter; a second pass for display B of two-display lists.
size_t expectedLength(int16_t list, int16_t ch, int group, bool filtered) {
    const size_t header = std::strlen(listTitle[list]) + 2;
    size_t members = filtered ? 2 : 0;
    for (const Member& m : kLists.at(list))
        if (!filtered || m.groups == 0 || (m.groups >> group & 1)) members += m.bytes;
    const int passes = ch == 2 && twoChLst[list] ? 2 : 1;
    return header + passes * members;
}

TEST_F(CatalogueTest, ListLengthInASettingsBlockFollowsTheTables) {
    for (const auto& [list, members] : kLists) {
        for (int group = 0; group < 6; ++group) {
            (void)cat::measureGroup[0].setData(static_cast<int16_t>(group), 0);
            (void)cat::measureGroup[1].setData(static_cast<int16_t>(group), 0);
            for (int16_t filter = 0; filter <= 1; ++filter) {
                for (int16_t ch = 0; ch <= 2; ++ch) {
                    if (ch == 1 && !twoChLst[list]) continue;
                    MemStream out;
                    ASSERT_EQ(serializeList(list, &out, 1, ch, 1, filter), 0);
                    EXPECT_EQ(out.bytes().size(), expectedLength(list, ch, group, filter != 0))
                        << "list " << list << " group " << group << " filter " << filter << " ch "
                        << ch;
                }
            }
        }
    }
}

TEST_F(CatalogueTest, MeasureSettingsOfTheFftGroupTake110Bytes) {
    MemStream out;
    ASSERT_EQ(serializeList(measLst, &out, 1, 0, 1, 1), 0);
    EXPECT_EQ(out.bytes().size(), 110u);
    EXPECT_EQ(out.bytes().substr(0, 14), "Meas Settings:");
}

TEST_F(CatalogueTest, DisplayBPassWritesTheTwins) {
    (void)cat::measureGroup[1].setData(2, 0);
    (void)cat::octaveResolution[1].setData(2, 0);
    MemStream out;
    ASSERT_EQ(serializeList(filterLst, &out, 1, 1, 1, 1), 0);
    const std::string& b = out.bytes();
    const size_t title = std::strlen(listTitle[filterLst]);
    EXPECT_EQ(b.size(), expectedLength(filterLst, 1, 2, true));
    EXPECT_EQ(b[title + 2], 2); // display B's group word
    EXPECT_EQ(b[title + 4], 2); // its Measure Group member
}

TEST_F(CatalogueTest, ABlockOfVersion3HasNoFileList) {
    (void)cat::refNumber[0].setData(42);
    std::string block = listTitle[fileLst];
    block += std::string("\x03\x00", 2);
    block += "Next list";
    MemStream in(block);
    ASSERT_EQ(serializeList(fileLst, &in, 0, 2, 1, 0), 0);
    EXPECT_EQ(in.position(), std::strlen(listTitle[fileLst]) + 2);
    EXPECT_EQ(cat::refNumber[0].getData(1), 42);
}

TEST_F(CatalogueTest, EveryListReadsBackWhatItWrote) {
    (void)cat::measureGroup[0].setData(3, 0);
    (void)cat::sweptPoints[0].setData(77);
    (void)cat::refName[1].setData("MODAL-B");
    (void)cat::inputRange2.setData(-12);
    std::map<int16_t, std::string> written;
    for (const auto& entry : kLists) {
        MemStream out;
        ASSERT_EQ(serializeList(entry.first, &out, 1, 2, 1, 0), 0);
        written[entry.first] = out.bytes();
    }
    vxtest::resetCatalogue();
    for (const auto& [list, bytes] : written) {
        MemStream in(bytes);
        ASSERT_EQ(serializeList(list, &in, 0, 2, 1, 0), 0) << list;
        EXPECT_EQ(in.position(), bytes.size()) << list;
        applyList(list, 2);
    }
    EXPECT_EQ(cat::measureGroup[0].getData(1), 3);
    EXPECT_EQ(cat::sweptPoints[0].getData(1), 77);
    EXPECT_STREQ(cat::refName[1].getStr(1), "MODAL-B");
    EXPECT_EQ(cat::inputRange2.range(1), -12);
    for (const auto& [list, bytes] : written) {
        MemStream again;
        ASSERT_EQ(serializeList(list, &again, 1, 2, 1, 0), 0);
        EXPECT_EQ(again.bytes(), bytes) << list;
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(CatalogueTest, ExhaustiveDumpOfTheDefaultsMatchesTheGoldenFile) {
    MemStream out;
    for (int16_t list : {measLst, filterLst, delayLst, inputLst, triggerLst, sourceLst}) {
        ASSERT_EQ(listLabelCount(list), MainPAOlist().listCnt(list));
        ASSERT_EQ(printList(&out, list, listLabels(list), 0xFF), 0);
    }
    const std::string golden = readFile(std::string(VX_GOLDEN_DIR) + "/catalogue_defaults.txt");
    EXPECT_EQ(out.bytes(), golden);
}

TEST_F(CatalogueTest, FileListIsPrintedWithItsLabels) {
    (void)cat::refDirection[0].setData(9, 0);
    MemStream out;
    ASSERT_EQ(printList(&out, fileLst, listLabels(fileLst), 0xFF), 0);
    EXPECT_EQ(out.bytes(), "Ref. Name: NONE\r\nRef. Number:    1\r\nRef. Direction: +Z\r\n"
                           "Resp. Name: NONE\r\nResp. Number:    1\r\nResp. Direction: Scalar\r\n");
}

TEST_F(CatalogueTest, DisplayBMeasurementFollowsItsMeasureGroup) {
    EXPECT_STREQ(cat::measurement[0].getStr(1), "FFT 1");
    EXPECT_STREQ(cat::measurement[1].getStr(1), "FFT 2");
    EXPECT_EQ(cat::measurement[0].next(1), &cat::measurement[1]);
    ASSERT_EQ(cat::measurement[1].setRange(2), 0);
    EXPECT_STREQ(cat::measurement[1].getStr(1), "Oct. ch2");
    EXPECT_STREQ(cat::measurement[1].getRealStr(1), "Oct. ch2");
    EXPECT_STREQ(cat::measurement[0].getStr(1), "FFT 1");
    ASSERT_EQ(cat::measurement[1].setRange(0), 0);
    EXPECT_STREQ(cat::measurement[1].getStr(1), "FFT 2");
    EXPECT_EQ(cat::measurement[1].setRange(6), 1); // no such group
}

TEST_F(CatalogueTest, TakingAMeasurementShowsItsRememberedViewAndUnits) {
    EXPECT_EQ(cat::view[0].getData(1), 0);
    EXPECT_EQ(cat::units[0].getData(1), 5);  // FFT 1: dB of peak values
    (void)cat::measurement[1].setData(8, 0); // Orbit
    cat::measurement[1].setParam(0);
    EXPECT_STREQ(cat::view[1].getStr(1), "Nyquist");
    EXPECT_EQ(cat::units[1].getData(1), 4);
    EXPECT_EQ(*cat::units[1].realVal(), 4);
    EXPECT_EQ(cat::view[0].getData(1), 0); // display A untouched
    (void)cat::measurement[0].setData(86, 0);
    cat::measurement[0].setParam(0);
    EXPECT_STREQ(cat::view[0].getStr(1), "Log Mag");
    (void)cat::measurement[0].setData(300, 0); // damaged: views stay
    cat::measurement[0].setParam(0);
    EXPECT_STREQ(cat::measurement[0].getStr(1), "?");
    EXPECT_STREQ(cat::view[0].getStr(1), "Log Mag");
}

TEST_F(CatalogueTest, ModalOptionsGoIntoTheFileList) {
    vxtest::testModel().options.modalFlags = 0;
    applyModalOptions(vxtest::testModel().options);
    EXPECT_EQ(cat::modalData.getData(1), 0);

    vxtest::testModel().options.modalFlags = eModalRefName | eModalRefDirection | eModalRespNumber;
    std::snprintf(vxtest::testModel().options.modalValues.refName,
                  sizeof vxtest::testModel().options.modalValues.refName, "%s", "ACCELEROMETER-12");
    vxtest::testModel().options.modalValues.refDirection = 9;
    vxtest::testModel().options.modalValues.respNumber = 31000;
    vxtest::testModel().options.modalValues.respDirection = 2; // not given: not applied
    applyModalOptions(vxtest::testModel().options);
    EXPECT_STREQ(cat::modalData.getRealStr(1), "Yes");
    EXPECT_STREQ(cat::refName[0].getRealStr(1), "ACCELEROME");
    EXPECT_STREQ(cat::refDirection[0].getRealStr(1), "+Z");
    EXPECT_EQ(*cat::respNumber[0].realVal(), 31000);
    EXPECT_STREQ(cat::respDirection[0].getStr(1), "Scalar");
    EXPECT_STREQ(cat::respName[0].getStr(1), "NONE");
    vx::resetJobOptions(vxtest::testModel().options);
}

} // namespace
