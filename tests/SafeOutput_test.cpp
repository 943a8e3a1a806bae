// An output replaces its file only when the conversion is complete: a run
// killed while it writes, or one that fails, leaves the old file byte for byte.
#include "base/SafeOutput.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Fixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

const std::string kOld = "old complete output\r\n";

// vxconv in dir with a standard input that stays open, killed as soon as its
// console shows `until` (or after 20 s without new output); its console.
std::string runUntilThenKill(const std::vector<std::string>& args, const std::string& dir,
                             const std::string& until) {
    const vxtest::Child child = vxtest::spawnProgram(VX_CONV_PATH, args, dir);
    if (child.pid < 0) return {};
    std::string out;
    pollfd p{child.stdoutFd, POLLIN, 0};
    char buf[4096];
    while (out.find(until) == std::string::npos && poll(&p, 1, 20000) > 0) {
        ssize_t n = read(child.stdoutFd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    kill(child.pid, SIGKILL);
    waitpid(child.pid, nullptr, 0);
    close(child.stdinFd);
    close(child.stdoutFd);
    return out;
}

struct SafeOutputTest : ::testing::Test {
    vxtest::TempDir dir;
    vxtest::CapArbFixture capture;

    void SetUp() override {
        capture.kpts = 4;
        for (int i = 0; i < 4096; ++i)
            capture.samples.push_back(i * 1000);
        dir.write("whole.56c", vxtest::capArbFile(capture));
        // The first disk of two: the reader asks for disk 2 after one block.
        std::string first = vxtest::capArbFile(capture);
        const uint32_t capacity = uint32_t(vxtest::kCapArbSamplesAt - 20 + 8192);
        for (int i = 0; i < 4; ++i)
            first[16 + i] = char(capacity >> (8 * i));
        dir.write("first.56c", first.substr(0, 20 + capacity));
        dir.write("out.asc", kOld);
    }
};

TEST_F(SafeOutputTest, KilledRunLeavesTheOldOutputAndTheNextRunItsTemporaryGone) {
    std::string out = runUntilThenKill({"first.56c", "out.asc"}, dir.path(), "Continue? (y/n)");
    ASSERT_NE(out.find("Please insert disk number 2\nContinue? (y/n)"), std::string::npos) << out;
    EXPECT_EQ(dir.read("out.asc"), kOld);
    EXPECT_TRUE(dir.exists("out.asc.vxconv-part"));

    ASSERT_EQ(chmod((dir.path() + "/out.asc").c_str(), 0640), 0);
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "out.asc"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(dir.read("out.asc"), kOld);
    EXPECT_FALSE(dir.exists("out.asc.vxconv-part"));
    struct stat st;
    ASSERT_EQ(stat((dir.path() + "/out.asc").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the replaced file's permissions stay
}

TEST_F(SafeOutputTest, FailedReplaceOrAppendLeavesTheFileAsItWas) {
    for (std::vector<std::string> args : {std::vector<std::string>{"first.56c", "out.asc"},
                                          std::vector<std::string>{"first.56c", "out.asc", "/A"},
                                          std::vector<std::string>{"first.56c", "new.asc", "/A"}}) {
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "n\n");
        EXPECT_NE(r.status, 0) << r.out;
        EXPECT_EQ(dir.read("out.asc"), kOld) << args.back();
        EXPECT_FALSE(dir.exists("out.asc.vxconv-part"));
        EXPECT_FALSE(dir.exists("new.asc")); // an append that created its file removes it
    }
}

TEST_F(SafeOutputTest, ALinkedOutputReplacesTheFileItPointsAt) {
    ASSERT_EQ(mkdir((dir.path() + "/data").c_str(), 0755), 0);
    dir.write("data/real.asc", kOld);
    ASSERT_EQ(symlink("data/real.asc", (dir.path() + "/link.asc").c_str()), 0);
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "link.asc"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    char target[64] = {};
    ASSERT_GT(readlink((dir.path() + "/link.asc").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "data/real.asc");
    EXPECT_NE(dir.read("data/real.asc"), kOld);
    EXPECT_FALSE(dir.exists("data/real.asc.vxconv-part"));
}

TEST(SafeOutput, TemporaryNamesFitTheFileSystemLimit) {
    EXPECT_EQ(vx::temporaryPathFor("dir/out.asc"), "dir/out.asc.vxconv-part");
    std::string longName(250, 'a');
    std::string temp = vx::temporaryPathFor("d/" + longName);
    EXPECT_EQ(temp.size(), 2u + 255u);
    EXPECT_EQ(temp.substr(temp.size() - 12), ".vxconv-part");
}

} // namespace
