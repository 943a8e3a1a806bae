// Real analyzer files from the shared test data beside the clone.
#include "support/SharedFiles.h"

#include <fstream>
#include <sstream>

namespace vxtest {

std::string sharedPath(const std::string& relative) {
    return std::string(VX_SHARED_DIR) + "/" + relative;
}

std::optional<std::string> sharedFile(const std::string& relative) {
    std::ifstream in(sharedPath(relative), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes.str();
}

std::string missingSharedFile(const std::string& relative) {
    return "needs the real analyzer file " + sharedPath(relative) +
           " (the shared test data beside the clone), which is not there";
}

} // namespace vxtest
