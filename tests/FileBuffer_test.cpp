// The descriptor stream buffer: reads that go back keep their bytes, writes of
// every size come out whole and in order, a handed-in descriptor stays open.
#include "base/FileBuffer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <istream>
#include <string>
#include <unistd.h>

#include "support/TempDir.h"

namespace {

std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return s;
}

TEST(FileBuffer, SeeksBackAndForthReadTheFileAsItIs) {
    vxtest::TempDir dir;
    const std::string bytes = pattern(20000);
    dir.write("in.bin", bytes);
    vx::CFileBuffer buffer;
    ASSERT_TRUE(buffer.open("in.bin", std::ios::in));
    std::istream in(&buffer);
    // Offset, length: inside the first buffer, past it, back to the start.
    for (auto [offset, length] : {std::pair<size_t, size_t>{0, 10},
                                  {3, 5000},
                                  {0, 10},
                                  {15000, 5000},
                                  {8191, 2},
                                  {100, 9000},
                                  {19990, 10}}) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        std::string got(length, '\0');
        in.read(got.data(), static_cast<std::streamsize>(length));
        ASSERT_TRUE(in.good()) << offset;
        EXPECT_EQ(got, bytes.substr(offset, length)) << offset;
    }
    std::string past(1, '\0');
    EXPECT_FALSE(in.read(past.data(), 1));
}

TEST(FileBuffer, WritesOfEverySizeThroughAHandedInDescriptor) {
    vxtest::TempDir dir;
    const std::string bytes = pattern(70000);
    int fd = ::open("out.bin", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    vx::CFileBuffer buffer;
    buffer.attach(fd);
    std::ostream out(&buffer);
    size_t at = 0;
    for (size_t size : {1, 1023, 1024, 5000, 8192, 3, 20000, 8191, 26566}) {
        out.write(bytes.data() + at, static_cast<std::streamsize>(size));
        at += size;
    }
    ASSERT_EQ(at, bytes.size());
    EXPECT_TRUE(buffer.close());
    EXPECT_EQ(::write(fd, "!", 1), 1) << "the owner's descriptor was closed";
    ::close(fd);
    EXPECT_EQ(dir.read("out.bin"), bytes + "!");
}

TEST(FileBuffer, AFailedReadIsNoEndOfFile) {
    vxtest::TempDir dir;
    vx::CFileBuffer folder, empty;
    dir.write("empty.bin", "");
    ASSERT_TRUE(folder.open(".", std::ios::in));
    ASSERT_TRUE(empty.open("empty.bin", std::ios::in));
    EXPECT_EQ(folder.sgetc(), EOF);
    EXPECT_EQ(empty.sgetc(), EOF);
    EXPECT_TRUE(folder.readFailed());
    EXPECT_FALSE(empty.readFailed());
}

TEST(FileBuffer, AFailedWriteIsReported) {
    vx::CFileBuffer buffer;
    ASSERT_TRUE(buffer.open("/dev/full", std::ios::out));
    std::ostream out(&buffer);
    out << "short";
    EXPECT_TRUE(out.good());
    EXPECT_FALSE(buffer.close());
    EXPECT_EQ(errno, ENOSPC);
}

} // namespace
