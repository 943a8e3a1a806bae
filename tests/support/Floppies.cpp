#include "support/Floppies.h"

#include <filesystem>

#include "base/Platform.h"

namespace fs = std::filesystem;

namespace vxtest {

void simulateFloppyDrive(int64_t floppyBytes, int64_t hardDiskBytes) {
    vx::platform::setFreeBytesFunction([=](const std::string& path) -> int64_t {
        if (path.rfind("hd/", 0) == 0) return hardDiskBytes;
        std::error_code ec;
        auto size = fs::file_size(vx::platform::resolvePath(path), ec);
        return floppyBytes - (ec ? 0 : int64_t(size));
    });
}

void storeOnDisk(const std::string& name, int k) {
    fs::create_directories("disk" + std::to_string(k));
    fs::rename(name, "disk" + std::to_string(k) + "/" + name);
}

void loadFromDisk(const std::string& name, int k) {
    std::error_code ec;
    fs::remove(name, ec);
    fs::copy_file("disk" + std::to_string(k) + "/" + name, name);
}

} // namespace vxtest
