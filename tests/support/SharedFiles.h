// Real analyzer files from the shared test data beside the clone (../shared):
// a test that needs one skips, naming the file, when it is not there.
#pragma once
#include <optional>
#include <string>

namespace vxtest {

// The path of a file of the shared test data, e.g. "testdata/sdf/HP35665A.DAT".
std::string sharedPath(const std::string& relative);
// The file's bytes, or nothing when it is missing or unreadable.
std::optional<std::string> sharedFile(const std::string& relative);
// The reason given when a test skips for want of the file.
std::string missingSharedFile(const std::string& relative);

} // namespace vxtest

// Declares `var` holding the bytes of a shared file, or skips the test.
#define VX_SHARED_FILE_OR_SKIP(var, relative)                                                      \
    const std::optional<std::string> var##Bytes = vxtest::sharedFile(relative);                    \
    if (!var##Bytes) GTEST_SKIP() << vxtest::missingSharedFile(relative);                          \
    const std::string& var = *var##Bytes
