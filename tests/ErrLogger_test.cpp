// The message stream: destinations, the per-line log file, assertion reports.
#include "base/ErrLogger.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

using vx::errLog;

namespace {

struct LogFixture : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override { ASSERT_EQ(errLog().setLogFileName("log.txt"), 0); }
    void TearDown() override { (void)errLog().setLogFileName("qrblog.txt"); }
};

TEST_F(LogFixture, LinesGoToConsoleAndLogUnlessConsoleOnly) {
    testing::internal::CaptureStdout();
    errLog() << "err " << 42 << ' ' << int16_t(-3) << ' ' << 7u << ' ' << 1.5 << vx::endLine;
    errLog() << vx::consoleOnly << "help line" << vx::endLine;
    errLog() << vx::consoleOnly << vx::endLine << vx::endLine;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "err 42 -3 7 1.5\nhelp line\n\n\n");
    EXPECT_EQ(dir.read("log.txt"), "err 42 -3 7 1.5\n\n");
    EXPECT_EQ(errLog().destinations(), vx::CErrLogger::eBoth);
}

TEST_F(LogFixture, LogIsCompleteAfterEachLineAndSurvivesDeletion) {
    testing::internal::CaptureStdout();
    errLog() << "first" << vx::endLine;
    EXPECT_EQ(dir.read("log.txt"), "first\n");
    std::remove("log.txt");
    errLog() << "second" << vx::endLine;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(dir.read("log.txt"), "second\n");
}

// Two processes append long lines to one log and are killed right after the
// last: every line is there, whole, each written with one append.
TEST_F(LogFixture, ConcurrentWritersKeepWholeLinesThroughAKill) {
    constexpr int kLines = 200;
    constexpr size_t kLength = 9000; // beyond any stdio buffer
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            (void)std::freopen("/dev/null", "w", stdout);
            const std::string text(kLength, c == 0 ? 'a' : 'b');
            for (int i = 0; i < kLines; ++i)
                errLog() << text.c_str() << vx::endLine;
            raise(SIGKILL);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
    }
    std::istringstream log(dir.read("log.txt"));
    int counts[2] = {0, 0};
    for (std::string line; std::getline(log, line);) {
        ASSERT_EQ(line.size(), kLength);
        ASSERT_EQ(line.find_first_not_of(line[0]), std::string::npos);
        ++counts[line[0] == 'a' ? 0 : 1];
    }
    EXPECT_EQ(counts[0], kLines);
    EXPECT_EQ(counts[1], kLines);
}

TEST_F(LogFixture, ClearEmptiesTheLog) {
    testing::internal::CaptureStdout();
    errLog() << "old" << vx::endLine;
    errLog().clearLogFile();
    errLog() << "new" << vx::endLine;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(dir.read("log.txt"), "new\n");
}

TEST_F(LogFixture, UnopenableNameFailsButIsKept) {
    EXPECT_EQ(errLog().setLogFileName("no/such/dir/log.txt"), 1);
    EXPECT_STREQ(errLog().logFileName(), "no/such/dir/log.txt");
    testing::internal::CaptureStdout();
    errLog() << "still shown" << vx::endLine;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still shown\n");
}

// Only a regular file (or /dev/null) is a log: a FIFO would block the run,
// another device swallow it or fail; neither is opened, cleared or written.
TEST_F(LogFixture, FifoAndDeviceLogsAreRefusedAndNeverOpened) {
    ASSERT_EQ(mkfifo("fifo.txt", 0600), 0);
    for (const char* name : {"fifo.txt", "/dev/full"}) {
        EXPECT_EQ(errLog().setLogFileName(name), 1) << name;
        errLog().clearLogFile();
        testing::internal::CaptureStdout();
        errLog() << "shown" << vx::endLine;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "shown\n");
    }
}

TEST_F(LogFixture, FloatsUseSixSignificantDigits) {
    testing::internal::CaptureStdout();
    errLog() << 3.14159265 << ' ' << 100000.0 << ' ' << 1234567.0 << vx::endLine;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "3.14159 100000 1.23457e+06\n");
}

TEST_F(LogFixture, AssertionReportsExpressionAndModuleAndCarriesOn) {
    testing::internal::CaptureStdout();
    int line = __LINE__ + 1;
    VX_ASSERT(1 == 2, "len <= bufSz");
    std::string out = testing::internal::GetCapturedStdout();
    std::string expected =
        "len <= bufSz FAILED: \n../tests/ErrLogger_test.cpp line " + std::to_string(line) + "\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(dir.read("log.txt"), expected);
}

} // namespace
