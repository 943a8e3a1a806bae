// Temporary directories for tests.
#include "support/TempDir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace vxtest {

std::string makeTempDirectory(const std::string& prefix, const std::string& base) {
    std::string root = base;
    if (root.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        root = tmp && *tmp ? tmp : "/tmp";
    }
    const std::string pattern = root + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        throw std::runtime_error("cannot make a temporary directory " + pattern + ": " +
                                 std::strerror(errno));
    return name.data();
}

ScratchDir::ScratchDir(const std::string& prefix, const std::string& base)
    : path_(makeTempDirectory(prefix, base)) {}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
}

TempDir::TempDir() : previous_(fs::current_path().string()), scratch_("vxtest") {
    fs::current_path(scratch_.path());
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path() + "/" + name, std::ios::binary);
    out << bytes;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(path() + "/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempDir::exists(const std::string& name) const {
    return std::filesystem::exists(path() + "/" + name);
}

} // namespace vxtest
