// Walking the source tree through folder descriptors, so that depth is
// limited by the walk and not by the length of a path.
#include "archive/TreeWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/JsonText.h"

namespace vx {

namespace {

// A warning; one with a system error, or a folder not entered, may hide files.
void warn(TreeListing& out, const std::string& path, const char* what, int error = 0,
          bool missed = false) {
    out.missedFiles = out.missedFiles || missed || error != 0;
    std::string line = "warning: " + shownPath(path) + ": " + what;
    if (error) line += std::string(": ") + std::strerror(error);
    out.warnings.push_back(line);
}

std::vector<std::string> namesIn(int dirFd) {
    std::vector<std::string> names;
    int listFd = ::dup(dirFd);
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!dir) {
        if (listFd >= 0) ::close(listFd);
        return names;
    }
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void walkFolder(int dirFd, const std::string& prefix, int depth, TreeListing& out) {
    for (const std::string& name : namesIn(dirFd)) {
        const std::string path = prefix.empty() ? name : prefix + "/" + name;
        struct stat st;
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            warn(out, path, "vanished or cannot be examined", errno);
        } else if (S_ISLNK(st.st_mode)) {
            warn(out, path, "symbolic link not followed");
        } else if (S_ISREG(st.st_mode)) {
            out.files.push_back({path, int64_t(st.st_size),
                                 int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
        } else if (!S_ISDIR(st.st_mode)) {
            warn(out, path, "not a regular file or folder: left out");
        } else if (depth >= kMaxWalkDepth) {
            warn(out, path, "folder too deep: not entered", 0, true);
        } else {
            int sub =
                ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0) {
                warn(out, path, "folder cannot be read", errno);
                continue;
            }
            walkFolder(sub, path, depth + 1, out);
            ::close(sub);
        }
    }
}

} // namespace

std::string shownPath(const std::string& path) {
    return jsonQuoted(path);
}

bool walkTree(const std::string& top, TreeListing& out) {
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    walkFolder(fd, "", 0, out);
    ::close(fd);
    std::sort(out.files.begin(), out.files.end(),
              [](const WalkedFile& a, const WalkedFile& b) { return a.path < b.path; });
    return true;
}

} // namespace vx
