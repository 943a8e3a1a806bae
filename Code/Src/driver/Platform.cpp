// POSIX equivalents of the file-system services the converter needs.
#include "driver/Platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace vx::platform {

namespace {

constexpr int64_t kMaxFreeBytes = 2147483647;

FreeBytesFunction& freeBytesHook() {
    static FreeBytesFunction fn;
    return fn;
}

ReadCharFunction& readCharHook() {
    static ReadCharFunction fn;
    return fn;
}

bool hasWildcards(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Case-insensitive match of a name against a pattern with '*' and '?'.
bool wildMatch(const char* pat, const char* name) {
    const char* starPat = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pat == '*') {
            starPat = pat++;
            starName = name;
        } else if (*pat == '?' || std::tolower((unsigned char)*pat) == std::tolower((unsigned char)*name)) {
            ++pat;
            ++name;
        } else if (starPat) {
            pat = starPat + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pat == '*') ++pat;
    return *pat == '\0';
}

std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
    closedir(d);
    return names;
}

// The last directory listed for name resolution, kept while the directory is
// unchanged: a run resolves each output name several times before creating it.
const std::vector<std::string>& cachedListing(const std::string& dir) {
    struct Listing {
        std::string dir;
        dev_t dev = 0;
        ino_t ino = 0;
        timespec mtime{};
        std::vector<std::string> names;
    };
    static Listing last;
    struct stat st;
    if (stat(dir.empty() ? "." : dir.c_str(), &st) != 0) {
        last = Listing{};
        return last.names;
    }
    if (last.dir != dir || last.dev != st.st_dev || last.ino != st.st_ino ||
        last.mtime.tv_sec != st.st_mtim.tv_sec || last.mtime.tv_nsec != st.st_mtim.tv_nsec) {
        last = Listing{dir, st.st_dev, st.st_ino, st.st_mtim, listDir(dir)};
    }
    return last.names;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool statRegular(const std::string& path, FoundFile& out) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out.size = static_cast<uint64_t>(st.st_size);
    out.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return true;
}

int64_t realFreeBytes(const std::string& path) {
    // The directory as it is on disk: the job lower-cases the names it is given.
    std::string dir = resolvePath(splitPath(path).dir);
    struct statvfs vfs;
    if (statvfs(dir.empty() ? "." : dir.c_str(), &vfs) != 0) return 0;
    long double bytes = static_cast<long double>(vfs.f_bavail) * vfs.f_frsize;
    return bytes > kMaxFreeBytes ? kMaxFreeBytes : static_cast<int64_t>(bytes);
}

} // namespace

PathParts splitPath(const std::string& path) {
    PathParts p;
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    p.dir = path.substr(0, nameStart);
    std::string name = path.substr(nameStart);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        p.base = name;
    } else {
        p.base = name.substr(0, dot);
        p.ext = name.substr(dot);
    }
    if (hasWildcards(name)) p.flags |= eHasWildcards;
    return p;
}

std::string mergePath(const std::string& drive, const std::string& dir, const std::string& base,
                      const std::string& ext) {
    std::string out = drive + dir;
    if (!out.empty() && out.back() != '/') out += '/';
    out += base;
    if (!ext.empty() && ext[0] != '.') out += '.';
    return out + ext;
}

std::string resolvePath(const std::string& path) {
    if (path.empty() || exists(path)) return path;
    std::string resolved;
    size_t pos = 0;
    if (path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        std::string comp = path.substr(pos, end - pos);
        std::string candidate = resolved + comp;
        if (!comp.empty() && comp != "." && comp != ".." && !exists(candidate)) {
            // Of several names differing in case only, the first in byte order.
            const std::string* match = nullptr;
            for (const std::string& n : cachedListing(resolved))
                if (strcasecmp(n.c_str(), comp.c_str()) == 0 && (!match || n < *match)) match = &n;
            if (match) candidate = resolved + *match;
        }
        resolved = candidate;
        if (end == path.size()) break;
        resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

std::vector<FoundFile> findFiles(const std::string& pattern) {
    std::vector<FoundFile> found;
    PathParts parts = splitPath(pattern);
    std::string name = parts.base + parts.ext;
    std::string dir = resolvePath(parts.dir);
    if (!(parts.flags & eHasWildcards)) {
        FoundFile f;
        std::string real = resolvePath(pattern);
        if (statRegular(real, f)) {
            f.name = splitPath(real).base + splitPath(real).ext;
            found.push_back(f);
        }
        return found;
    }
    for (const std::string& n : listDir(dir)) {
        FoundFile f;
        if (n[0] == '.' || !wildMatch(name.c_str(), n.c_str())) continue;
        if (!statRegular(dir + n, f)) continue;
        f.name = n;
        found.push_back(f);
    }
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
    return found;
}

bool isRootedFileName(const char* token) {
    if (!token || token[0] != '/') return false;
    const char* end = std::strchr(token + 1, '/');
    if (!end || end == token + 1) return false;
    std::string first(token, end);
    struct stat st;
    return stat(first.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t freeBytesFor(const std::string& path) {
    int64_t bytes = freeBytesHook() ? freeBytesHook()(path) : realFreeBytes(path);
    return std::clamp<int64_t>(bytes, 0, kMaxFreeBytes);
}

void setFreeBytesFunction(FreeBytesFunction fn) { freeBytesHook() = std::move(fn); }

int readConsoleChar() {
    if (readCharHook()) return readCharHook()();
    int c = std::fgetc(stdin);
    return c == EOF ? -1 : c;
}

void setReadCharFunction(ReadCharFunction fn) { readCharHook() = std::move(fn); }

} // namespace vx::platform
