// An output replaces its file only when the conversion is complete: a run
// killed while it writes, or one that fails, leaves the old file byte for byte.
#include "base/SafeOutput.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Fixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace {

const std::string kOld = "old complete output\r\n";

// The console of a started vxconv up to `until` (or 20 s without new output).
std::string readUntil(const vxtest::Child& child, const std::string& until) {
    std::string out;
    pollfd p{child.stdoutFd, POLLIN, 0};
    char buf[4096];
    while (out.find(until) == std::string::npos && poll(&p, 1, 20000) > 0) {
        ssize_t n = read(child.stdoutFd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

// Answers the child, reads the rest of its console and waits for its end.
vxtest::RunResult finish(const vxtest::Child& child, const std::string& answer) {
    vxtest::RunResult r;
    if (!answer.empty()) (void)!write(child.stdinFd, answer.data(), answer.size());
    close(child.stdinFd);
    r.out = readUntil(child, "\x01never");
    close(child.stdoutFd);
    int status = 0;
    waitpid(child.pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// vxconv in dir, stopped where it asks for disk 2 of first.56c.
vxtest::Child startAtPrompt(const std::vector<std::string>& args, const std::string& dir) {
    vxtest::Child child = vxtest::spawnProgram(VX_CONV_PATH, args, dir);
    std::string out = readUntil(child, "Continue? (y/n)");
    EXPECT_NE(out.find("Please insert disk number 2\nContinue? (y/n)"), std::string::npos) << out;
    return child;
}

// The names of the temporaries in dir.
std::vector<std::string> temporaries(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) {
        std::string name = e->d_name;
        if (name.size() > 12 && name.compare(name.size() - 12, 12, ".vxconv-part") == 0)
            names.push_back(name);
    }
    if (d) closedir(d);
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

struct SafeOutputTest : ::testing::Test {
    vxtest::TempDir dir;
    vxtest::CapArbFixture capture;
    std::string whole; // whole.56c converted alone

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
        ASSERT_EQ(vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "ref.asc"}, dir.path(), "").status,
                  0);
        whole = dir.read("ref.asc");
        dir.write("out.asc", kOld);
    }
    std::string path(const std::string& name) const { return dir.path() + "/" + name; }
};

TEST_F(SafeOutputTest, KilledRunLeavesTheOldOutputAndATemporaryOfItsOwnNoWiderThanIt) {
    ASSERT_EQ(chmod(path("out.asc").c_str(), 0600), 0);
    vxtest::Child child = startAtPrompt({"first.56c", "out.asc"}, dir.path());
    const std::vector<std::string> left = temporaries(dir.path());
    kill(child.pid, SIGKILL);
    finish(child, "");
    EXPECT_EQ(dir.read("out.asc"), kOld);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind("out.asc." + std::to_string(child.pid) + "-", 0), 0u) << left[0];
    EXPECT_EQ(modeOf(path(left[0])), 0600u);

    // The next run writes its own temporary and leaves the leftover alone.
    ASSERT_EQ(chmod(path("out.asc").c_str(), 0640), 0);
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "out.asc"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(dir.read("out.asc"), whole);
    EXPECT_EQ(temporaries(dir.path()), left);
    EXPECT_EQ(modeOf(path("out.asc")), 0640u); // the replaced file's permissions stay
}

TEST_F(SafeOutputTest, FailedReplaceOrAppendLeavesTheFileAsItWas) {
    for (std::vector<std::string> args : {std::vector<std::string>{"first.56c", "out.asc"},
                                          std::vector<std::string>{"first.56c", "out.asc", "/A"},
                                          std::vector<std::string>{"first.56c", "new.asc", "/A"}}) {
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "n\n");
        EXPECT_NE(r.status, 0) << r.out;
        EXPECT_EQ(dir.read("out.asc"), kOld) << args.back();
        EXPECT_TRUE(temporaries(dir.path()).empty());
        EXPECT_FALSE(dir.exists("new.asc")); // an append that created its file removes it
    }
}

// A run that fails while another finishes the same output leaves that output
// whole; an append waits for the one in progress and keeps what it wrote.
TEST_F(SafeOutputTest, TwoRunsAtOnceLeaveOneWholeOutput) {
    vxtest::Child failing = startAtPrompt({"first.56c", "out.asc"}, dir.path());
    vxtest::RunResult r =
        vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "out.asc"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(finish(failing, "n\n").status, 0);
    EXPECT_EQ(dir.read("out.asc"), whole);
    EXPECT_TRUE(temporaries(dir.path()).empty());

    dir.write("out.asc", kOld);
    failing = startAtPrompt({"first.56c", "out.asc", "/A"}, dir.path());
    vxtest::Child waiting =
        vxtest::spawnProgram(VX_CONV_PATH, {"whole.56c", "out.asc", "/A"}, dir.path());
    const std::string said = readUntil(waiting, "Waiting for another run writing ");
    EXPECT_NE(said.find("Waiting for another run writing "), std::string::npos) << said;
    EXPECT_NE(finish(failing, "n\n").status, 0);
    r = finish(waiting, "");
    EXPECT_EQ(r.status, 0) << said << r.out;
    EXPECT_EQ(dir.read("out.asc"), kOld + whole);
}

TEST_F(SafeOutputTest, SignalsLeaveTheOutputAsItWasAndEndWithTheShellsStatus) {
    const std::pair<int, const char*> signals[] = {
        {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};
    for (const auto& [signal, name] : signals) {
        for (bool append : {false, true}) {
            std::vector<std::string> args{"first.56c", "out.asc"};
            if (append) args.push_back("/A");
            vxtest::Child child = startAtPrompt(args, dir.path());
            kill(child.pid, signal);
            vxtest::RunResult r = finish(child, "");
            const std::string line = std::string("Interrupted (") + name + "): Process aborted\n";
            EXPECT_EQ(r.status, 128 + signal) << name;
            EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
            EXPECT_NE(dir.read("qrblog.txt").find(line), std::string::npos) << name;
            EXPECT_EQ(dir.read("out.asc"), kOld) << name << append;
            EXPECT_TRUE(temporaries(dir.path()).empty()) << name;
        }
    }
}

// Another user's file in a folder anyone may write is refused as read-only;
// a file the run may replace keeps its owner, group and mode.
TEST_F(SafeOutputTest, AnotherUsersFileIsRefusedOrKeepsItsOwner) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run vxconv as another user";
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    vxtest::RunResult r = vxtest::runProgram(
        "/usr/bin/setpriv",
        {"--reuid=65534", "--regid=65534", "--clear-groups", VX_CONV_PATH, "whole.56c", "out.asc"},
        dir.path(), "");
    EXPECT_NE(r.out.find("File access denied: Process aborted\n"), std::string::npos) << r.out;
    EXPECT_EQ(dir.read("out.asc"), kOld);
    // The same refusal as that of a file without write permission.
    dir.write("readonly.asc", kOld);
    ASSERT_EQ(chmod(path("readonly.asc").c_str(), 0444), 0);
    vxtest::RunResult readOnly =
        vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "readonly.asc"}, dir.path(), "");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.status, readOnly.status) << readOnly.out;

    ASSERT_EQ(chown(path("out.asc").c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(path("out.asc").c_str(), 0640), 0);
    r = vxtest::runProgram(VX_CONV_PATH, {"whole.56c", "out.asc"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(dir.read("out.asc"), whole);
    struct stat st {};
    ASSERT_EQ(stat(path("out.asc").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A link stays a link: the file it points at is replaced, or created when the
// link dangles.
TEST_F(SafeOutputTest, ALinkedOutputWritesTheFileItPointsAt) {
    ASSERT_EQ(mkdir(path("data").c_str(), 0755), 0);
    dir.write("data/real.asc", kOld);
    ASSERT_EQ(symlink("data/real.asc", path("link.asc").c_str()), 0);
    ASSERT_EQ(symlink("data/new.asc", path("dangling.asc").c_str()), 0);
    for (const char* link : {"link.asc", "dangling.asc"}) {
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"whole.56c", link}, dir.path(), "");
        EXPECT_EQ(r.status, 0) << r.out;
        struct stat st {};
        ASSERT_EQ(lstat(path(link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
    EXPECT_EQ(dir.read("data/real.asc"), whole);
    EXPECT_EQ(dir.read("data/new.asc"), whole);
    EXPECT_TRUE(temporaries(path("data")).empty());
}

// A wildcard run writes each replaced output's file again as the next one:
// never a file that another name or another process still sees.
TEST_F(SafeOutputTest, AWildcardRunLeavesLinkedOpenAndMappedOldOutputsAsTheyWere) {
    const std::vector<std::string> names = {"a1", "a2", "a3", "a4", "a5"};
    for (const std::string& n : names)
        dir.write(n + ".56c", dir.read("whole.56c"));
    ASSERT_EQ(vxtest::runProgram(VX_CONV_PATH, {"a*.56c"}, dir.path(), "").status, 0);
    std::vector<std::string> converted;
    for (const std::string& n : names) {
        converted.push_back(dir.read(n + ".asc"));
        dir.write(n + ".asc", "old " + n + "\r\n");
    }
    dir.write("a1.asc", std::string(200000, 'x')); // longer than the output written into it
    ASSERT_EQ(link(path("a2.asc").c_str(), path("second.asc").c_str()), 0);
    const int held = open(path("a3.asc").c_str(), O_RDONLY);
    const int mappedFd = open(path("a4.asc").c_str(), O_RDONLY);
    void* mapped = mmap(nullptr, 8, PROT_READ, MAP_SHARED, mappedFd, 0);
    close(mappedFd);
    ASSERT_GE(held, 0);
    ASSERT_NE(mapped, MAP_FAILED);

    vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"a*.56c"}, dir.path(), "");
    EXPECT_EQ(r.status, 0) << r.out;
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(dir.read(names[i] + ".asc"), converted[i]) << names[i];
    EXPECT_EQ(dir.read("second.asc"), "old a2\r\n");
    char buf[16] = {};
    EXPECT_EQ(pread(held, buf, sizeof buf, 0), 8);
    EXPECT_EQ(std::string(buf, 8), "old a3\r\n");
    EXPECT_EQ(std::string(static_cast<const char*>(mapped), 8), "old a4\r\n");
    EXPECT_TRUE(temporaries(dir.path()).empty());
    munmap(mapped, 8);
    close(held);
}

// In a wildcard run the file an output would replace is read once, from the
// descriptor kept for it: an instrument or HP SDF file of another kind there
// (by its file-type tag, its SDF header, or behind a multi-disk header) stays
// as it was; a text file is replaced.
TEST_F(SafeOutputTest, AWildcardRunReplacesNoInstrumentFileOfAnotherKind) {
    const auto example = [](const std::string& name) {
        std::ifstream in(std::string(VX_EXAMPLES_DIR) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const struct {
        const char* what;
        std::string old;
        bool kept;
    } cases[] = {{"Display", example("fft1.56d"), true},
                 {"HP SDF", example("meas.dat"), true},
                 {"Capture", dir.read("whole.56c"), true},
                 {"text", kOld, false}};
    for (const auto& c : cases) {
        dir.write("a1.56c", dir.read("whole.56c"));
        dir.write("a2.56c", dir.read("whole.56c"));
        dir.write("a1.asc", kOld);
        dir.write("a2.asc", c.old);
        vxtest::RunResult r = vxtest::runProgram(VX_CONV_PATH, {"a*.56c"}, dir.path(), "");
        EXPECT_EQ(r.status, c.kept ? 1 : 0) << c.what << r.out;
        EXPECT_EQ(r.out.find("of another kind: a2.asc") != std::string::npos, c.kept) << c.what;
        const std::string converted = whole.substr(whole.find('\r')); // after the input's name
        EXPECT_TRUE(dir.read("a1.asc") == "Input File: a1.56c" + converted) << c.what;
        EXPECT_TRUE(dir.read("a2.asc") == (c.kept ? c.old : "Input File: a2.56c" + converted))
            << c.what;
        EXPECT_TRUE(temporaries(dir.path()).empty()) << c.what;
    }
}

TEST(SafeOutput, TemporaryNamesFitTheFileSystemLimit) {
    EXPECT_EQ(vx::temporaryPathFor("dir/out.asc", "7-a1b2c3"), "dir/out.asc.7-a1b2c3.vxconv-part");
    std::string longName(250, 'a');
    std::string temp = vx::temporaryPathFor("d/" + longName, "7-a1b2c3");
    EXPECT_EQ(temp.size(), 2u + 255u);
    EXPECT_EQ(temp.substr(temp.size() - 21), ".7-a1b2c3.vxconv-part");
}

} // namespace
