// Temporary working directories for tests.
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vxtest {

TempDir::TempDir() {
    char tmpl[] = "/tmp/vxtest-XXXXXX";
    path_ = mkdtemp(tmpl);
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ + "/" + name, std::ios::binary);
    out << bytes;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempDir::exists(const std::string& name) const {
    return std::filesystem::exists(path_ + "/" + name);
}

} // namespace vxtest
