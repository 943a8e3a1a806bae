// POSIX equivalents of the file-system services the converter needs.
#include "base/Platform.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <iterator>
#include <map>
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

bool hasWildcards(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Case-insensitive match of a name against a pattern with '*' and '?'.
bool wildMatch(const char* pat, const char* name) {
    const char* starPat = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pat == '*') {
            starPat = pat++;
            starName = name;
        } else if (*pat == '?' ||
                   std::tolower((unsigned char)*pat) == std::tolower((unsigned char)*name)) {
            ++pat;
            ++name;
        } else if (starPat) {
            pat = starPat + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pat == '*')
        ++pat;
    return *pat == '\0';
}

// The answers of stat kept while reuseStats is on. They are asked with lstat,
// which answers for stat too unless the name is a symbolic link.
struct StatAnswer {
    bool found = false;
    bool link = false;
    struct stat st {};  // what stat says
    struct stat lst {}; // what lstat says, when link
};
struct StatMemo {
    bool on = false;
    std::map<std::string, StatAnswer> answers;
    std::map<std::string, std::string> realFolders; // folder -> realpath, for the run
};

StatMemo& statMemo() {
    thread_local StatMemo memo; // per thread, as the job
    return memo;
}

} // namespace

namespace {

const StatAnswer& memoAnswer(const std::string& path) {
    std::map<std::string, StatAnswer>& answers = statMemo().answers;
    auto it = answers.find(path);
    if (it != answers.end()) return it->second;
    StatAnswer answer;
    struct stat lst;
    if (::lstat(path.c_str(), &lst) == 0) {
        answer.link = S_ISLNK(lst.st_mode);
        answer.found = !answer.link || stat(path.c_str(), &answer.st) == 0;
        if (answer.link)
            answer.lst = lst;
        else
            answer.st = lst;
    }
    return answers.emplace(path, answer).first->second;
}

} // namespace

bool statReused(const std::string& path, struct stat& st) {
    if (!statMemo().on) return stat(path.c_str(), &st) == 0;
    const StatAnswer& answer = memoAnswer(path);
    st = answer.st;
    return answer.found;
}

bool lstatReused(const std::string& path, struct stat& st) {
    if (!statMemo().on) return ::lstat(path.c_str(), &st) == 0;
    const StatAnswer& answer = memoAnswer(path);
    st = answer.link ? answer.lst : answer.st;
    return answer.found || answer.link;
}

namespace {

// The names in a folder, with the kind of file (DT_REG ...) where the file
// system tells it (DT_UNKNOWN where not).
struct DirEntry {
    std::string name;
    unsigned char type = DT_UNKNOWN;
};

std::vector<DirEntry> listEntries(const std::string& dir) {
    std::vector<DirEntry> entries;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return entries;
    while (dirent* e = readdir(d))
        entries.push_back({e->d_name, e->d_type});
    closedir(d);
    return entries;
}

std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    for (DirEntry& e : listEntries(dir))
        names.push_back(std::move(e.name));
    return names;
}

// Directory listings for name resolution, each kept while its directory is
// unchanged: a run resolves every output name several times, and a wildcard
// run writes all its outputs into one or two directories.
struct Listing {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    std::vector<std::string> names;
};

constexpr size_t kMaxListings = 16;

std::map<std::string, Listing>& listings() {
    thread_local std::map<std::string, Listing> all; // per thread: no lock needed
    return all;
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool statDir(const std::string& dir, struct stat& st) {
    return statReused(dir.empty() ? "." : dir, st);
}

const std::vector<std::string>& cachedListing(const std::string& dir) {
    static const std::vector<std::string> none;
    std::map<std::string, Listing>& all = listings();
    struct stat st;
    if (!statDir(dir, st)) {
        all.erase(dir);
        return none;
    }
    auto it = all.find(dir);
    // While stats are reused the listing stands for the run, kept up to date
    // with the files the run creates (noteCreated).
    const bool sameDir =
        it != all.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino;
    if (sameDir && (statMemo().on || sameTime(it->second.mtime, st.st_mtim)))
        return it->second.names;
    if (it == all.end() && all.size() >= kMaxListings) all.clear();
    Listing& listing = all[dir];
    listing = Listing{st.st_dev, st.st_ino, st.st_mtim, listDir(dir)};
    return listing.names;
}

bool exists(const std::string& path) {
    struct stat st;
    return statReused(path, st);
}

// Lower-cased name -> the name as typed, for names and their folders.
std::map<std::string, std::string>& typedNames() {
    thread_local std::map<std::string, std::string> names; // per thread, as the job
    return names;
}

std::string lowered(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The typed form of the path, or of its longest typed folder, when it exists;
// empty when there is none.
std::string typedFormOf(const std::string& path) {
    const std::map<std::string, std::string>& names = typedNames();
    if (names.empty()) return {};
    auto whole = names.find(path);
    if (whole != names.end()) return exists(whole->second) ? whole->second : std::string();
    for (size_t slash = path.rfind('/'); slash != std::string::npos && slash > 0;
         slash = path.rfind('/', slash - 1)) {
        auto dir = names.find(path.substr(0, slash + 1));
        if (dir != names.end() && exists(dir->second)) return dir->second + path.substr(slash + 1);
    }
    return {};
}

bool regularFile(const struct stat& st, FoundFile& out) {
    if (!S_ISREG(st.st_mode)) return false;
    out.size = static_cast<uint64_t>(st.st_size);
    out.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return true;
}

bool statRegular(const std::string& path, FoundFile& out) {
    struct stat st;
    return statReused(path, st) && regularFile(st, out);
}

int64_t realFreeBytes(const std::string& path) {
    // The directory as it is on disk: the job lower-cases the names it is given.
    std::string dir = splitPath(path).dir;
    struct statvfs vfs;
    if (statvfs(dir.empty() ? "." : dir.c_str(), &vfs) != 0) {
        dir = resolvePath(dir);
        if (statvfs(dir.empty() ? "." : dir.c_str(), &vfs) != 0) return 0;
    }
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

void preferTypedName(const std::string& typed) {
    std::string key = lowered(typed);
    if (key == typed) return;
    typedNames()[key] = typed;
    size_t slash = typed.rfind('/');
    if (slash != std::string::npos && slash > 0)
        typedNames()[key.substr(0, slash + 1)] = typed.substr(0, slash + 1);
}

void forgetTypedNames() {
    typedNames().clear();
}

std::string resolvePath(const std::string& path) {
    std::string typed = typedFormOf(path);
    if (!typed.empty()) return typed;
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

std::string resolveOutputPath(const std::string& path) {
    std::string typed = typedFormOf(path);
    if (!typed.empty()) return typed;
    PathParts parts = splitPath(path);
    std::string dir = parts.dir.empty() ? parts.dir : resolvePath(parts.dir);
    return dir + parts.base + parts.ext;
}

bool statOutput(const std::string& path, struct stat& st) {
    return statReused(resolveOutputPath(path), st);
}

void reuseStats(bool on) {
    statMemo().on = on;
    statMemo().answers.clear();
    statMemo().realFolders.clear();
}

std::string realFolder(const std::string& dir) {
    StatMemo& memo = statMemo();
    auto known = memo.realFolders.find(dir);
    if (memo.on && known != memo.realFolders.end()) return known->second;
    char buf[PATH_MAX];
    std::string real = realpath(dir.c_str(), buf) ? std::string(buf) : dir;
    if (memo.on) memo.realFolders[dir] = real;
    return real;
}

void forgetStats(bool folders) {
    if (folders) statMemo().realFolders.clear();
    std::map<std::string, StatAnswer>& answers = statMemo().answers;
    for (auto it = answers.begin(); it != answers.end();) {
        const bool folder = it->second.found && S_ISDIR(it->second.st.st_mode);
        it = folders || !folder ? answers.erase(it) : std::next(it);
    }
}

FoundFile findOutput(const std::string& path) {
    FoundFile f;
    return statRegular(resolveOutputPath(path), f) ? f : FoundFile{};
}

void noteCreated(const std::string& path) {
    PathParts parts = splitPath(path);
    std::string name = parts.base + parts.ext;
    forgetStats(false);
    auto it = listings().find(parts.dir);
    if (it == listings().end() || name.empty()) return;
    Listing& listing = it->second;
    if (std::find(listing.names.begin(), listing.names.end(), name) != listing.names.end()) return;
    struct stat st;
    if (!statDir(parts.dir, st) || listing.dev != st.st_dev || listing.ino != st.st_ino) {
        listings().erase(it);
        return;
    }
    listing.names.push_back(name);
    if (!statMemo().on) listing.mtime = st.st_mtim;
}

bool statOnDisk(const std::string& path, struct stat& st, std::string* real) {
    std::string typed = typedFormOf(path);
    if (!typed.empty() && statReused(typed, st)) {
        if (real) *real = typed;
        return true;
    }
    if (statReused(path, st)) {
        if (real) *real = path;
        return true;
    }
    std::string resolved = resolvePath(path);
    if (!statReused(resolved, st)) return false;
    if (real) *real = resolved;
    return true;
}

std::vector<FoundFile> findFiles(const std::string& pattern, SearchDetails details) {
    std::vector<FoundFile> found;
    PathParts parts = splitPath(pattern);
    std::string name = parts.base + parts.ext;
    if (!(parts.flags & eHasWildcards)) {
        FoundFile f;
        struct stat st;
        std::string real;
        if (statOnDisk(pattern, st, &real) && regularFile(st, f)) {
            PathParts realParts = splitPath(real);
            f.name = realParts.base + realParts.ext;
            found.push_back(f);
        }
        return found;
    }
    std::string dir = resolvePath(parts.dir);
    for (const DirEntry& e : listEntries(dir)) {
        FoundFile f;
        const std::string& n = e.name;
        if (n[0] == '.' || !wildMatch(name.c_str(), n.c_str())) continue;
        // A regular file by the folder's own word needs no stat when only its name is wanted.
        const bool known = details == SearchDetails::eNamesOnly && e.type == DT_REG;
        if (!known && (e.type == DT_DIR || !statRegular(dir + n, f))) continue;
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
    if (freeBytesHook()) return std::clamp<int64_t>(freeBytesHook()(path), 0, kMaxFreeBytes);
    constexpr int64_t kStandingAnswer = int64_t(1) << 30;
    thread_local std::map<std::string, int64_t> plenty; // folder -> free bytes, this run
    const std::string dir = splitPath(path).dir;
    if (!statMemo().on) plenty.clear();
    auto known = plenty.find(dir);
    if (known != plenty.end()) return known->second;
    int64_t bytes = std::clamp<int64_t>(realFreeBytes(path), 0, kMaxFreeBytes);
    if (statMemo().on && bytes >= kStandingAnswer) plenty[dir] = bytes;
    return bytes;
}

void setFreeBytesFunction(FreeBytesFunction fn) {
    freeBytesHook() = std::move(fn);
}

int readConsoleChar() {
    if (readCharHook()) return readCharHook()();
    int c = std::fgetc(stdin);
    return c == EOF ? -1 : c;
}

void setReadCharFunction(ReadCharFunction fn) {
    readCharHook() = std::move(fn);
}

} // namespace vx::platform
