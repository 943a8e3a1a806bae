// The walk over the source tree: every regular file under it, by its path
// under the top, in byte order; symbolic links are never followed, and what
// cannot be walked is a warning, not a stop.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

struct WalkedFile {
    std::string path; // under the top, '/' separated
    int64_t size = 0;
    int64_t mtimeNs = 0;
};

struct TreeListing {
    std::vector<WalkedFile> files;     // sorted by path
    std::vector<std::string> warnings; // one line each, in walk order
    bool missedFiles = false;          // a folder or file could not be read
};

// Folders deeper than this are a warning and are not entered.
constexpr int kMaxWalkDepth = 400;

// Lists the tree under top (a folder); false when top itself cannot be read.
bool walkTree(const std::string& top, TreeListing& out);

// A path shown in a message: quoted, its line breaks and bytes that are not
// UTF-8 escaped, so one message stays one line.
std::string shownPath(const std::string& path);

} // namespace vx
