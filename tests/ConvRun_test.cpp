// The conversion run over fixture Display files: wildcard inputs and output
// names, the 56d round trip of every measure group, the same-file refusal, and
// two models converting at once.
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

#include "base/ErrLogger.h"
#include "run/OptionMgr.h"

#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "trace/Model.h"

namespace {

struct RunTest : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        vxtest::writeGroupDisplayFiles(dir);
    }
    vxtest::RunResult run(const std::vector<std::string>& args) {
        return vxtest::runProgram(VX_CONV_PATH, args, dir.path(), "");
    }
    // The bytes after the settings block: vector count, headers and points.
    static std::string vectorPart(const std::string& file) {
        return file.substr(file.find("Vector Header:") - 2);
    }
};

TEST_F(RunTest, WildcardInputsGetTheirOwnOutputNames) {
    vxtest::RunResult r = run({"g*.56d"});
    EXPECT_EQ(r.status, 0) << r.out;
    for (int g = 0; g < 6; ++g) EXPECT_TRUE(dir.exists("g" + std::to_string(g) + ".asc")) << g;
    EXPECT_NE(r.out.find("Processing g0.56d ==> g0.asc\n"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 9), "Finished\n");

    r = run({"g?.56d", "x?.*", "/D"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(dir.exists("x0.56d")); // x?.* maps g0.56d to x0.56d
    EXPECT_EQ(dir.read("x0.56d").substr(0, 14), dir.read("g0.asc").substr(dir.read("g0.asc").find("  0.0")).substr(0, 14));

    r = run({"g*.56d", "all.asc", "/D", "/A"});
    EXPECT_EQ(r.status, 0);
    std::string all = dir.read("all.asc");
    r = run({"g5.56d", "last.asc", "/D"});
    r = run({"g*.56d", "one.asc", "/D"}); // without /A each conversion replaces the file
    EXPECT_EQ(dir.read("one.asc"), dir.read("last.asc"));
    EXPECT_GT(all.size(), dir.read("one.asc").size());
}

TEST_F(RunTest, DisplayToDisplayKeepsTheVectorsOfEveryGroup) {
    for (int g = 0; g < 6; ++g) {
        std::string in = "g" + std::to_string(g) + ".56d";
        std::string out = "copy" + std::to_string(g) + ".56d";
        vxtest::RunResult r = run({in, out, "/O56d"});
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(vectorPart(dir.read(out)), vectorPart(dir.read(in))) << g;
        // Converted again, the copy gives the same ASCII as the original.
        EXPECT_EQ(run({in, "a.asc", "/D"}).status, 0);
        EXPECT_EQ(run({out, "b.asc", "/D"}).status, 0);
        EXPECT_EQ(dir.read("a.asc"), dir.read("b.asc")) << g;
    }
}

TEST_F(RunTest, OutputNamingAnInputIsRefusedAndTheInputStaysIntact) {
    dir.write("list.txt", "2\n1 0\n2 0\n");
    struct Case {
        std::vector<std::string> args;
        std::string input;
    };
    const Case cases[] = {
        {{"g0.56d", "G0.56D", "/O56d"}, "g0.56d"},
        {{"g0.56d", "list.txt", "/O56d", "/Qlist.txt"}, "list.txt"},
        {{"g0.56d", "List.txt", "/O56d", "/QLIST.TXT"}, "list.txt"},
    };
    for (const Case& c : cases) {
        const std::string before = dir.read(c.input);
        vxtest::RunResult r = run(c.args);
        EXPECT_NE(r.status, 0) << c.args[1];
        EXPECT_NE(r.out.find("Error: Output file is the input file: " + c.input), std::string::npos)
            << r.out;
        EXPECT_EQ(dir.read(c.input), before) << c.args[1];
    }
}

// A wildcard run meets its log under every name that leads to it (its own in
// the searched folder, reached through a linked folder, another link, a
// symbolic link, an output's name) and refuses before clearing it; a file of
// the log's name in another folder is no reason to refuse.
TEST_F(RunTest, ALogThatIsOneOfAWildcardRunsFilesIsRefusedWhateverItsName) {
    const std::string earlier = "earlier log\n";
    const auto folderWithDisplays = [&](const std::string& folder) {
        ASSERT_EQ(::mkdir((dir.path() + "/" + folder).c_str(), 0755), 0);
        for (const char* name : {"/g0.56d", "/g1.56d"})
            dir.write(folder + name, dir.read("g0.56d"));
    };
    const auto at = [&](const std::string& name) { return dir.path() + "/" + name; };
    struct Case {
        const char* what;
        std::function<void()> setUp;
        std::vector<std::string> args;
        std::string log, refusal;
    };
    const Case cases[] = {
        {"own name",
         [&] {
             folderWithDisplays("c1");
             dir.write("c1/run.log", earlier);
         },
         {"c1/*", "/Ec1/run.log"},
         "c1/run.log",
         "input"},
        {"linked folder",
         [&] {
             folderWithDisplays("c2");
             dir.write("c2/run.log", earlier);
             ASSERT_EQ(::symlink("c2", at("to2").c_str()), 0);
         },
         {"c2/*", "/Eto2/run.log"},
         "c2/run.log",
         "input"},
        {"another link",
         [&] {
             folderWithDisplays("c3");
             dir.write("c3.log", earlier);
             ASSERT_EQ(::link(at("c3.log").c_str(), at("c3/z.56d").c_str()), 0);
         },
         {"c3/*.56d", "/Ec3.log"},
         "c3.log",
         "input"},
        {"symbolic link",
         [&] {
             folderWithDisplays("c4");
             dir.write("c4.log", earlier);
             ASSERT_EQ(::symlink("../c4.log", at("c4/z.56d").c_str()), 0);
         },
         {"c4/*.56d", "/Ec4.log"},
         "c4.log",
         "input"},
        {"output",
         [&] {
             folderWithDisplays("c5");
             dir.write("c5.log", earlier);
             ASSERT_EQ(::link(at("c5.log").c_str(), at("c5/g1.asc").c_str()), 0);
         },
         {"c5/*.56d", "/Ec5.log"},
         "c5.log",
         "output"},
        {"same name elsewhere",
         [&] {
             folderWithDisplays("c6");
             ASSERT_EQ(::mkdir(at("log6").c_str(), 0755), 0);
             dir.write("log6/g1.asc", earlier);
         },
         {"c6/*.56d", "/Elog6/g1.asc"},
         "log6/g1.asc",
         ""},
    };
    for (const Case& c : cases) {
        c.setUp();
        vxtest::RunResult r = run(c.args);
        if (c.refusal.empty()) {
            EXPECT_EQ(r.status, 0) << c.what << r.out;
            EXPECT_NE(dir.read(c.log).find("Processing c6/g1.56d"), std::string::npos) << c.what;
            continue;
        }
        EXPECT_EQ(r.status, 1) << c.what;
        const std::string named = c.args[1].substr(2); // as /E gives it
        EXPECT_NE(r.out.find("Error: Log file is the " + c.refusal + " file: " + named),
                  std::string::npos)
            << c.what << r.out;
        EXPECT_EQ(dir.read(c.log), earlier) << c.what;
    }
}

TEST_F(RunTest, ALaterFileThatIsNoDisplayFileEndsTheRunWithItsStatus) {
    dir.write("g9.56d", "not a display file at all, just text");
    vxtest::RunResult r = run({"g*.56d", "/D"});
    EXPECT_EQ(r.status, 26);
    EXPECT_NE(r.out.find("Invalid file format: process aborted\nError: Invalid input file \n"),
              std::string::npos);
    EXPECT_TRUE(dir.exists("g5.asc"));
}

// Two models convert different files on two threads at once, many times over,
// and each output is byte for byte that of the file converted alone.
TEST(ParallelRun, TwoModelsOnTwoThreadsEachGiveTheirOwnFilesOutput) {
    vxtest::TempDir dir;
    vxtest::writeGroupDisplayFiles(dir);
    vx::errLog().setConsoleSink([](const char*, void*) {}, nullptr);
    const auto convert = [&dir](const std::string& in, const std::string& out) {
        vx::CModel model;
        std::string input = in, output = out;
        char program[] = "vxconv";
        char* argv[] = {program, input.data(), output.data(), nullptr};
        vx::COptionMgr job(model, 3, argv, nullptr);
        EXPECT_EQ(job.run().code(), 0) << in;
        return dir.read(out);
    };
    const std::string fft = convert("g0.56d", "fft.asc");
    const std::string octave = convert("g2.56d", "octave.asc");
    ASSERT_NE(fft, octave);
    constexpr int kRounds = 12;
    const auto worker = [&](const std::string& in, const std::string& stem,
                            const std::string& expected, int& matches) {
        for (int i = 0; i < kRounds; ++i)
            matches += convert(in, stem + std::to_string(i) + ".asc") == expected;
    };
    int fftMatches = 0, octaveMatches = 0;
    std::thread a(worker, "g0.56d", "a", std::cref(fft), std::ref(fftMatches));
    std::thread b(worker, "g2.56d", "b", std::cref(octave), std::ref(octaveMatches));
    a.join();
    b.join();
    vx::errLog().setConsoleSink(nullptr, nullptr);
    EXPECT_EQ(fftMatches, kRounds);
    EXPECT_EQ(octaveMatches, kRounds);
}

} // namespace
