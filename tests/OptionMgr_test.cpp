// The job's effect on the option block, the tokenizer and the list options.
#include "run/OptionMgr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "run/CommandLine.h"
#include "run/OptionLists.h"
#include "run/OptionTable.h"
#include "support/TempDir.h"
#include "support/TestModel.h"

using namespace vx;

namespace {

// Builds a job from words; keeps the argument strings alive and mutable.
struct Job {
    std::vector<std::string> words;
    std::vector<char*> argv;
    std::unique_ptr<COptionMgr> job;
    std::string console;

    explicit Job(std::vector<std::string> w, const char* settings = nullptr) : words(std::move(w)) {
        words.insert(words.begin(), "vxconv");
        for (std::string& s : words) argv.push_back(s.data());
        testing::internal::CaptureStdout();
        job = std::make_unique<COptionMgr>(vxtest::testModel(), static_cast<int>(argv.size()),
                                           argv.data(), settings);
        console = testing::internal::GetCapturedStdout();
    }
    COptionMgr* operator->() { return job.get(); }
};

struct OptionTest : ::testing::Test {
    vxtest::TempDir dir;
};

TEST_F(OptionTest, DefaultsAreRestoredByEveryJob) {
    Job ascii({"/P7", "/Fx%5.1f", "/K1", "/T2,8"});
    ASSERT_EQ(ascii->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.pointsPerLine, 7);
    EXPECT_STREQ(vxtest::testModel().options.dataFormat, "x%5.1f");
    EXPECT_STREQ(vxtest::testModel().options.separator, ",");
    EXPECT_EQ(vxtest::testModel().options.transducer[1], 7);
    EXPECT_EQ(ascii->outputFormat(), eFmtAsc);
    Job first({"/Ocap", "/I-10", "/L6", "/N3", "/B0"});
    ASSERT_EQ(first->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.listCapture.inputRange[0], -10);
    EXPECT_EQ(vxtest::testModel().options.listCapture.inputRange[1], -10);
    EXPECT_EQ(vxtest::testModel().options.listCapture.recordKpts, 6);
    EXPECT_EQ(vxtest::testModel().options.listCapture.spanCode, 16);
    EXPECT_EQ(vxtest::testModel().options.listCapture.baseFreqId, 0);
    EXPECT_EQ(first->outputFormat(), eFmtCap);

    Job second({});
    EXPECT_EQ(vxtest::testModel().options.pointsPerLine, 1);
    EXPECT_STREQ(vxtest::testModel().options.dataFormat, "%14.6e");
    EXPECT_STREQ(vxtest::testModel().options.separator, " ");
    EXPECT_EQ(vxtest::testModel().options.transducer[0], -1);
    EXPECT_EQ(vxtest::testModel().options.transducer[1], -1);
    EXPECT_EQ(vxtest::testModel().options.listCapture.recordKpts, 2);
    EXPECT_EQ(vxtest::testModel().options.listCapture.baseFreqId, 1);
    EXPECT_EQ(vxtest::testModel().options.listCapture.spanCode, 19);
    EXPECT_EQ(vxtest::testModel().options.columns[0], eColX);
    EXPECT_EQ(vxtest::testModel().options.columns[1], eColView);
    EXPECT_EQ(vxtest::testModel().options.columns[2], eColEnd);
    EXPECT_EQ(vxtest::testModel().options.wfCount, -1);
    EXPECT_EQ(second->outputFormat(), eFmtNone);
    // The capture header is time-stamped with a plausible local date.
    EXPECT_GE(vxtest::testModel().options.listCapture.timeStamp.month(), 1);
    EXPECT_LE(vxtest::testModel().options.listCapture.timeStamp.month(), 12);
    EXPECT_GE(vxtest::testModel().options.listCapture.timeStamp.year(), 126);
}

TEST_F(OptionTest, GroupedSwitchesAndParametersInTheNextToken) {
    Job ad({"/AD", "in.56d"});
    EXPECT_EQ(ad->errorIndex(), 0);
    EXPECT_EQ(ad->jobFlags() & eJobAppend, eJobAppend);
    EXPECT_EQ(vxtest::testModel().options.headerMode, 0);
    EXPECT_EQ(ad->fileCount(), 1);
    EXPECT_EQ(ad->outputFormat(), eFmtAsc);

    Job da({"/Da", "/O", "asc", "In.56D", "OUT.ASC"});
    EXPECT_EQ(da->errorIndex(), 0);
    EXPECT_EQ(da->jobFlags() & eJobAppend, eJobAppend);
    EXPECT_EQ(da->fileCount(), 2);
    // File names and parameters are lower-cased.
    EXPECT_STREQ(da->file(0).name(), "in.56d");
    EXPECT_STREQ(da->file(1).name(), "out.asc");
}

TEST_F(OptionTest, MatSetsItsColumnsUnlessColumnsWereGiven) {
    Job mat({"/Omat"});
    EXPECT_EQ(vxtest::testModel().options.columns[0], eColX);
    EXPECT_EQ(vxtest::testModel().options.columns[1], eColReal);
    EXPECT_EQ(vxtest::testModel().options.columns[2], eColImag);
    EXPECT_EQ(vxtest::testModel().options.columns[3], eColEnd);
    Job given({"/Cmag", "/Omat", "/Gmy_array_name_that_is_longer_than_thirty_nine_chars"});
    EXPECT_EQ(given->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.columns[0], eColMag);
    EXPECT_EQ(vxtest::testModel().options.columns[1], eColEnd);
    EXPECT_EQ(std::strlen(vxtest::testModel().options.arrayName), 39u);
}

TEST_F(OptionTest, UnitsTransducersAndModalValues) {
    Job units({"/Urms,dbspl,rad"});
    EXPECT_EQ(vxtest::testModel().options.peakUnits, 2);
    EXPECT_EQ(vxtest::testModel().options.dbMode, 3);
    EXPECT_EQ(vxtest::testModel().options.phaseUnits, 1);
    Job partial({"/Urad,db"});
    EXPECT_EQ(vxtest::testModel().options.peakUnits, -1);
    EXPECT_EQ(vxtest::testModel().options.dbMode, 1);
    EXPECT_EQ(vxtest::testModel().options.phaseUnits, 1);

    Job modal({"/Mri" + std::string(40, 'a'), "/Mrn-5", "/Mrd9", "/Msiresp", "/Msn70000", "/Msd0"});
    EXPECT_EQ(modal->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.modalFlags, 63);
    EXPECT_EQ(std::strlen(vxtest::testModel().options.modalValues.refName), 31u);
    EXPECT_EQ(vxtest::testModel().options.modalValues.refNumber, -5);
    EXPECT_EQ(vxtest::testModel().options.modalValues.refDirection, 9);
    EXPECT_STREQ(vxtest::testModel().options.modalValues.respName, "resp");
    EXPECT_EQ(vxtest::testModel().options.modalValues.respNumber, static_cast<int16_t>(70000));
    EXPECT_EQ(vxtest::testModel().options.modalFlags & eModalRespDirection, eModalRespDirection);
}

TEST_F(OptionTest, RangesOfTheNumericOptions) {
    struct Case {
        std::string option;
        int32_t error;
    };
    const Case cases[] = {
        {"/B2", eErrOutOfRange},     {"/Bx", eErrInvalidOption}, {"/K3", eErrOutOfRange},
        {"/N20", eErrOutOfRange},    {"/R0", eErrOutOfRange},    {"/R2048", eErrNone},
        {"/S2049", eErrOutOfRange},  {"/S0", eErrNone},          {"/I-52", eErrOutOfRange},
        {"/I-50", eErrNone},         {"/I30", eErrNone},         {"/L2048", eErrNone},
        {"/L2049", eErrOutOfRange},  {"/L-3", eErrOutOfRange},   {"/P32767", eErrNone},
        {"/P32768", eErrOutOfRange}, {"/V209", eErrNone},        {"/V208", eErrOutOfRange},
        {"/L70000", eErrOutOfRange}, {"/S65536", eErrOutOfRange}, {"/Tx", eErrInvalidOption},
        {"/T1,", eErrInvalidOption}, {"/T2,9", eErrNone},        {"/H2", eErrNone},
        {"/F%e%e", eErrInvalidOption}, {"/F%n", eErrInvalidOption}, {"/F%d", eErrInvalidOption},
        {"/F%*e", eErrInvalidOption}, {"/F%le", eErrInvalidOption}, {"/F%-+#012.4e%%", eErrNone},
        {"/F%99.99f", eErrNone}, {"/F%100e", eErrInvalidOption}, {"/F%.100e", eErrInvalidOption},
        {"/F%1000000e", eErrInvalidOption}, {"/F%.1000000e", eErrInvalidOption},
        // Modal names go into line records: no control characters.
        {"/Mria\nb", eErrInvalidOption}, {"/Msi\tx", eErrInvalidOption},
        {"/Msia\x7f", eErrInvalidOption}, {"/Mria b", eErrNone},
    };
    for (const Case& c : cases) {
        Job job({c.option});
        EXPECT_EQ(job->errorIndex(), c.error) << c.option << ": " << job.console;
    }
}

// Walks the option table: each numeric option takes both ends of its range and
// refuses the values beyond them (two below: an odd value is raised first), and
// each option is refused after an /O of a format that does not take it. The
// expected letters and formats are the documented ones, not the table's.
TEST_F(OptionTest, EveryOptionKeepsItsRangeAndItsFormats) {
    const std::map<char, std::string> formatsOf = {
        {'A', "asc uff"}, {'B', "cap arb"}, {'C', "asc mat"}, {'D', "asc"},     {'E', ""},
        {'F', "asc"},     {'G', "mat"},     {'H', "asc"},     {'I', "cap"},     {'J', ""},
        {'K', "asc"},     {'L', "cap arb"}, {'M', "uff sdf"}, {'N', "cap arb"}, {'O', ""},
        {'P', "asc"},     {'Q', "56d"},     {'R', "asc"},     {'S', "asc"},     {'T', "asc sdf"},
        {'U', "asc mat"}, {'V', "56d"},     {'W', "asc"}};
    ASSERT_EQ(COptionMgr::optionTable().size(), formatsOf.size());
    for (const OptionDescriptor& option : COptionMgr::optionTable()) {
        const std::string o = std::string("/") + option.letter;
        ASSERT_EQ(formatsOf.count(option.letter), 1u) << o;
        EXPECT_EQ(option.arg == EOptionArg::eNone, std::strchr("ADJ", option.letter) != nullptr);
        if (option.arg == EOptionArg::eInteger || option.arg == EOptionArg::eNumber) {
            EXPECT_EQ(Job({o + std::to_string(option.lo)})->errorIndex(), eErrNone) << o;
            EXPECT_EQ(Job({o + std::to_string(option.hi)})->errorIndex(), eErrNone) << o;
            EXPECT_EQ(Job({o + std::to_string(option.hi + 1)})->errorIndex(), eErrOutOfRange) << o;
            EXPECT_EQ(Job({o + std::to_string(option.lo - 2)})->errorIndex(), eErrOutOfRange) << o;
            EXPECT_EQ(Job({o + "x"})->errorIndex(),
                      option.arg == EOptionArg::eInteger ? eErrInvalidOption : eErrOutOfRange)
                << o;
        }
        const std::string& allowed = formatsOf.at(option.letter);
        for (const char* keyword : {"56d", "wat", "asc", "sdf", "cap", "arb", "uff", "mat"}) {
            const bool takes = allowed.empty() || allowed.find(keyword) != std::string::npos;
            Job job(
                {std::string("/O") + keyword, o + (option.arg == EOptionArg::eNone ? "" : "1")});
            EXPECT_EQ(job->errorIndex() == eErrNotAllowed, !takes) << keyword << ' ' << o;
        }
    }
    (void)errLog().setLogFileName("qrblog.txt");
}

TEST_F(OptionTest, OddValuesAreRaisedBeforeClamping) {
    Job range({"/I-51"});
    EXPECT_EQ(range->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.listCapture.inputRange[0], -50);
    EXPECT_EQ(range.console, "Warning, only even Input ranges allowed\nRange set to: -50 dBVpk\n");
    Job length({"/L2047"});
    EXPECT_EQ(vxtest::testModel().options.listCapture.recordKpts, 2048);
    // Values beyond the range of long are raised without overflowing.
    Job huge({"/L99999999999999999999"});
    EXPECT_EQ(huge->errorIndex(), eErrOutOfRange);
    EXPECT_EQ(vxtest::testModel().options.listCapture.recordKpts, 2048);
    Job hugeRange({"/I99999999999999999999"});
    EXPECT_EQ(hugeRange->errorIndex(), eErrOutOfRange);
    EXPECT_EQ(vxtest::testModel().options.listCapture.inputRange[0], 30);
}

TEST_F(OptionTest, VersionIsNotRaisedAboveTheCurrentOne) {
    Job lower({"/V210"});
    EXPECT_STREQ(vxtest::testModel().options.platformVersion, "210");
    Job fresh({});
    EXPECT_STREQ(vxtest::testModel().options.platformVersion, "218");
}

TEST_F(OptionTest, FormatStringIsCutAtItsField) {
    Job job({"/F%14.6e" + std::string(20, 'x')});
    EXPECT_EQ(job->errorIndex(), 0);
    EXPECT_EQ(std::strlen(vxtest::testModel().options.dataFormat), 14u);
}

TEST_F(OptionTest, AbsolutePathsUnderRootDirectoriesAreFileNames) {
    Job job({"/tmp/run1.56d", "/Oasc"});
    EXPECT_EQ(job->errorIndex(), 0);
    EXPECT_EQ(job->fileCount(), 1);
    EXPECT_STREQ(job->file(0).name(), "/tmp/run1.56d");
    Job param({"/E", "/tmp/vx-log-name.txt"});
    EXPECT_EQ(param->errorIndex(), 0);
    EXPECT_EQ(std::remove("/tmp/vx-log-name.txt"), 0);
    (void)errLog().setLogFileName("qrblog.txt");
}

TEST_F(OptionTest, SettingsFileTokensComeFirstAndAreBounded) {
    std::string ini;
    for (int i = 0; i < 49; ++i) ini += "/A ";
    ini += "/P" + std::string(100, '9') + "\n/P5\n"; // 50th token is cut at 80 chars; the 51st is ignored
    dir.write("opts.ini", ini);
    Job job({}, "opts.ini");
    EXPECT_EQ(job->errorIndex(), eErrOutOfRange);
    EXPECT_NE(job.console.find("/P" + std::string(78, '9') + "\n"), std::string::npos);
    EXPECT_EQ(job.console.find("/P" + std::string(79, '9')), std::string::npos);

    dir.write("long.ini", "/P3\n" + std::string(600, 'x') + "\n/P4\n");
    Job stopped({}, "long.ini");
    EXPECT_EQ(stopped->errorIndex(), 0);
    EXPECT_EQ(vxtest::testModel().options.pointsPerLine,
              3); // reading stopped at the over-long line
}

// Only a regular settings file is read (a FIFO would block, a link to
// /dev/zero never end a line); a NUL byte ends a line.
TEST_F(OptionTest, SettingsFileOnlyWhenRegularAndANulEndsALine) {
    dir.write("nul.ini", std::string("/P3\0/P7\n", 8));
    Job nul({}, "nul.ini");
    EXPECT_EQ(vxtest::testModel().options.pointsPerLine, 7);
    ASSERT_EQ(mkfifo("fifo.ini", 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", "zero.ini"), 0);
    for (const char* name : {"fifo.ini", "zero.ini"}) {
        Job none({}, name);
        EXPECT_EQ(none->errorIndex(), 0) << name;
        EXPECT_EQ(vxtest::testModel().options.pointsPerLine, 1) << name;
    }
}

TEST(CommandLineTest, TokenizerErrorsAndParameters) {
    std::string a0 = "p", a1 = "/oasc/x", a2 = "/q", a3 = "-c", a4 = "x,v", a5 = "file";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data()};
    CCommandLine cl(6, argv, "c+o+q+?", nullptr);
    char* param = nullptr;
    EXPECT_EQ(cl.next(param), 'o');
    EXPECT_STREQ(param, "asc/x");
    EXPECT_EQ(cl.next(param), '?'); // missing parameter: the next token is an option
    EXPECT_STREQ(param, "q");
    EXPECT_EQ(cl.statusIndex(), CCommandLine::eMissingParameter);
    EXPECT_EQ(cl.next(param), 'c');
    EXPECT_STREQ(param, "x,v");
    EXPECT_EQ(cl.next(param), ' ');
    EXPECT_STREQ(param, "file");
    EXPECT_EQ(cl.next(param), CCommandLine::kEnd);
}

TEST(OptionListTest, ColumnLists) {
    int32_t cols[20];
    ASSERT_TRUE(parseColumnList("x,mag m2\tr,,i p up v", cols));
    const int32_t expected[] = {7, 1, 2, 3, 4, 5, 6, 8, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(cols[i], expected[i]) << i;
    ASSERT_TRUE(parseColumnList("xmagr", cols)); // tokens may follow each other directly
    EXPECT_EQ(cols[0], 7);
    EXPECT_EQ(cols[1], 1);
    EXPECT_EQ(cols[2], 3);
    std::string twenty = "x,r,i,x,r,i,x,r,i,x,r,i,x,r,i,x,r,i,x,r";
    ASSERT_TRUE(parseColumnList(twenty.c_str(), cols));
    EXPECT_EQ(cols[18], 7);
    EXPECT_EQ(cols[19], 0);
    ASSERT_TRUE(parseColumnList((twenty + ",junk").c_str(), cols)); // the rest is ignored
    EXPECT_FALSE(parseColumnList("x,q", cols));
    EXPECT_FALSE(parseColumnList("m", cols));
}

TEST(OptionListTest, UnitListsTakeTheLongestToken) {
    UnitChoice u{-1, -1, -1};
    ASSERT_TRUE(parseUnitList("dbm", u));
    EXPECT_EQ(u.dbMode, 2);
    ASSERT_TRUE(parseUnitList("pp,lin,deg", u));
    EXPECT_EQ(u.peakUnits, 3);
    EXPECT_EQ(u.dbMode, 0);
    EXPECT_EQ(u.phaseUnits, 0);
    UnitChoice before = u;
    EXPECT_FALSE(parseUnitList("rms,dbx", u));
    EXPECT_EQ(u.peakUnits, before.peakUnits);
}

} // namespace
