// File name records: wildcard mapping and search, name resolution, file queries.
#include "base/DosFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/Platform.h"
#include "support/TempDir.h"

using vx::CDosFile;

namespace {

TEST(WildcardMapping, MapsBaseAndExtensionParts) {
    CDosFile out("*.txt");
    out.mapOnto("data/run1.56d");
    EXPECT_STREQ(out.name(), "run1.txt");
    CDosFile xq("x?.*");
    xq.mapOnto("run1.56d");
    EXPECT_STREQ(xq.name(), "xu.56d");
    CDosFile a("out/a*");
    a.mapOnto("run1");
    EXPECT_STREQ(a.name(), "out/aun1");
    // A '?' past the end of the source part ends the part there.
    EXPECT_EQ(vx::mapWildcardPart("ab??", "xyz"), "abz");
    EXPECT_EQ(vx::mapWildcardPart("????x", "ab"), "ab");
    CDosFile fixed("fixed.asc");
    fixed.mapOnto("run1.56d");
    EXPECT_STREQ(fixed.name(), "fixed.asc");
}

TEST(PathParts, SplitAndReplaceExtension) {
    CDosFile f("dir/sub/run.1.56d");
    EXPECT_EQ(f.parts().dir, "dir/sub/");
    EXPECT_EQ(f.parts().base, "run.1");
    EXPECT_EQ(f.parts().ext, ".56d");
    EXPECT_FALSE(f.hasWildcards());
    f.replaceExtension("asc");
    EXPECT_STREQ(f.name(), "dir/sub/run.1.asc");
    EXPECT_STREQ(f.pattern(), "dir/sub/run.1.asc");
    CDosFile w("d.x/*.56?");
    EXPECT_TRUE(w.hasWildcards());
    EXPECT_EQ(w.parts().dir, "d.x/");
    CDosFile longName(std::string(300, 'n').c_str());
    EXPECT_EQ(std::string(longName.name()).size(), CDosFile::kMaxName);
}

struct SearchTest : ::testing::Test {
    vxtest::TempDir dir;
    void SetUp() override {
        mkdir("Data", 0755);
        mkdir("Data/sub.56d", 0755);
        dir.write("Data/RUN2.56D", "22");
        dir.write("Data/run1.56d", "1");
        dir.write("Data/.hidden.56d", "h");
        dir.write("Data/run3.asc", "3");
    }
};

TEST_F(SearchTest, WildcardSearchIsSortedCaseInsensitiveAndSkipsHiddenAndDirectories) {
    CDosFile in("data/*.56d");
    std::vector<std::string> names;
    while (in.nextMatch() == 0)
        names.push_back(in.name());
    EXPECT_EQ(names, (std::vector<std::string>{"data/RUN2.56D", "data/run1.56d"}));
}

TEST_F(SearchTest, NamesResolveCaseInsensitively) {
    CDosFile f("data/run2.56d");
    EXPECT_EQ(f.fileSize(), 2u);
    EXPECT_EQ(f.nextMatch(), 0);
    EXPECT_STREQ(f.name(), "data/run2.56d");
    EXPECT_NE(f.nextMatch(), 0);
    EXPECT_EQ(vx::platform::resolvePath("data/run2.56d"), "Data/RUN2.56D");
    EXPECT_EQ(vx::platform::resolvePath("data/new.asc"), "Data/new.asc");
}

TEST_F(SearchTest, ResolutionFollowsTheDirectoryAndPrefersByteOrder) {
    EXPECT_EQ(vx::platform::resolvePath("data/new.asc"), "Data/new.asc");
    dir.write("Data/nEw.asc", "b");
    dir.write("Data/NEW.ASC", "a");
    // A directory changed within one clock tick keeps its time: set it apart.
    const timespec past[2] = {{1000, 0}, {1000, 0}};
    utimensat(AT_FDCWD, "Data", past, 0);
    EXPECT_EQ(vx::platform::resolvePath("data/new.asc"), "Data/NEW.ASC");
    EXPECT_EQ(CDosFile("data/new.asc").fileSize(), 1u);
}

TEST_F(SearchTest, FilesTheRunCreatesAndOthersCreateResolveInAnotherCase) {
    const timespec listed[2] = {{1000, 0}, {1000, 0}};
    utimensat(AT_FDCWD, "Data", listed, 0);
    EXPECT_EQ(vx::platform::resolvePath("data/out.asc"), "Data/out.asc"); // listed now
    vx::diskPrt created("data/Out.asc");
    created.setMode(vx::socket::eWrite);
    ASSERT_EQ(created.open(), 0);
    created.close();
    // As if the file came within the clock tick of the listing.
    utimensat(AT_FDCWD, "Data", listed, 0);
    EXPECT_EQ(vx::platform::resolvePath("data/out.asc"), "Data/Out.asc");
    // Another program's file, the directory's time set apart from the run's.
    dir.write("Data/OTHER.ASC", "o");
    const timespec later[2] = {{2000, 0}, {2000, 0}};
    utimensat(AT_FDCWD, "Data", later, 0);
    EXPECT_EQ(vx::platform::resolvePath("data/other.asc"), "Data/OTHER.ASC");
    EXPECT_EQ(vx::platform::resolvePath("data/out.asc"), "Data/Out.asc");
}

TEST_F(SearchTest, FreeSpaceOfADirectoryNamedInAnotherCase) {
    // The job lower-cases names: the disk must still be found.
    EXPECT_GT(CDosFile("data/none.asc").freeSpace(), 0);
}

TEST_F(SearchTest, FailedFirstSearchIsReported) {
    CDosFile none("data/*.xyz");
    testing::internal::CaptureStdout();
    EXPECT_NE(none.nextMatch(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error opening file: data/*.xyz\n");
    CDosFile first("data/*.asc");
    EXPECT_EQ(first.firstMatch(), 0);
    EXPECT_STREQ(first.name(), "data/run3.asc");
    CDosFile miss("data/q*");
    EXPECT_NE(miss.firstMatch(), 0);
    EXPECT_STREQ(miss.name(), "data/q*");
}

TEST_F(SearchTest, ReadOnlyFromPermissionBitsAndFreeSpaceThroughTheHook) {
    CDosFile f("data/run1.56d");
    EXPECT_FALSE(f.isReadOnly());
    chmod("Data/run1.56d", 0444);
    EXPECT_TRUE(f.isReadOnly());
    vx::platform::setFreeBytesFunction([](const std::string&) { return int64_t(1000); });
    EXPECT_EQ(f.freeSpace(), 1001);
    EXPECT_EQ(CDosFile("data/none").freeSpace(), 1000);
    vx::platform::setFreeBytesFunction([](const std::string&) { return int64_t(1) << 40; });
    EXPECT_EQ(f.freeSpace(), 2147483647);
    vx::platform::setFreeBytesFunction(nullptr);
    EXPECT_GT(f.freeSpace(), 0);
}

} // namespace
