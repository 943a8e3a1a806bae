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
#include <set>
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
    unsigned session = 0; // counts the times reuse was turned on
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

void rememberStat(const std::string& path, const struct stat* st) {
    if (!statMemo().on) return;
    StatAnswer answer;
    answer.found = st != nullptr;
    if (st) answer.st = *st;
    statMemo().answers[path] = answer;
}

namespace {

std::string lowered(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A name in a folder, with the kind of file (DT_REG ...) where the file
// system tells it (DT_UNKNOWN where not).
struct DirEntry {
    std::string name;
    std::string key; // lowered, the order of a listing
    unsigned char type = DT_UNKNOWN;
};

bool byKey(const DirEntry& a, const DirEntry& b) {
    return a.key < b.key;
}

std::vector<DirEntry> listEntries(const std::string& dir) {
    std::vector<DirEntry> entries;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return entries;
    while (dirent* e = readdir(d))
        entries.push_back({e->d_name, lowered(e->d_name), e->d_type});
    closedir(d);
    std::sort(entries.begin(), entries.end(), byKey);
    return entries;
}

// Directory listings for name resolution and wildcard searches, each kept
// while its directory is unchanged: a run resolves every output name several
// times, and a wildcard run writes all its outputs into one or two directories.
struct Listing {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    unsigned session = 0; // the reuse of stats it was read or checked in (0: none)
    std::vector<DirEntry> entries;
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

unsigned currentSession() {
    return statMemo().on ? statMemo().session : 0;
}

// The folder's listing read now, and kept.
const std::vector<DirEntry>& freshListing(const std::string& dir, const struct stat& st) {
    std::map<std::string, Listing>& all = listings();
    if (all.find(dir) == all.end() && all.size() >= kMaxListings) all.clear();
    Listing& listing = all[dir];
    listing = Listing{st.st_dev, st.st_ino, st.st_mtim, currentSession(), listEntries(dir)};
    return listing.entries;
}

// The kept listing of the folder where it still holds, else a fresh one
// (none when only a kept one is wanted); nullptr when the folder cannot be asked.
const std::vector<DirEntry>* cachedListing(const std::string& dir,
                                           ListingUse use = ListingUse::eReadWhenNeeded) {
    std::map<std::string, Listing>& all = listings();
    struct stat st;
    if (!statDir(dir, st)) {
        all.erase(dir);
        return nullptr;
    }
    auto it = all.find(dir);
    // While stats are reused a listing read or checked in that reuse stands
    // for the run, kept up to date with the files the run creates (noteCreated).
    const unsigned session = currentSession();
    const bool sameDir =
        it != all.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino;
    if (sameDir && ((session != 0 && it->second.session == session) ||
                    sameTime(it->second.mtime, st.st_mtim))) {
        it->second.session = session;
        return &it->second.entries;
    }
    return use == ListingUse::eKeptOnly ? nullptr : &freshListing(dir, st);
}

using EntryRange =
    std::pair<std::vector<DirEntry>::const_iterator, std::vector<DirEntry>::const_iterator>;

// The entries named as name is, but for case.
EntryRange entriesNamed(const std::vector<DirEntry>& entries, const std::string& name) {
    return std::equal_range(entries.begin(), entries.end(), DirEntry{{}, lowered(name)}, byKey);
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
            if (const std::vector<DirEntry>* entries = cachedListing(resolved))
                for (auto [e, end] = entriesNamed(*entries, comp); e != end; ++e)
                    if (!match || e->name < *match) match = &e->name;
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
    if (on) ++statMemo().session;
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
    const EntryRange named = entriesNamed(listing.entries, name);
    if (std::any_of(named.first, named.second, [&](const DirEntry& e) { return e.name == name; }))
        return;
    struct stat st;
    if (!statDir(parts.dir, st) || listing.dev != st.st_dev || listing.ino != st.st_ino) {
        listings().erase(it);
        return;
    }
    listing.entries.insert(named.second, DirEntry{name, lowered(name), DT_REG});
    if (!statMemo().on) listing.mtime = st.st_mtim;
}

namespace {

// Undoes the octal escapes (\040 for a space ...) of a path in mountinfo.
std::string unescapedMountPath(const char* field) {
    std::string path;
    for (const char* c = field; *c; ++c) {
        const bool escape = c[0] == '\\' && c[1] >= '0' && c[1] <= '7' && c[2] >= '0' &&
                            c[2] <= '7' && c[3] >= '0' && c[3] <= '7';
        if (!escape) {
            path += *c;
            continue;
        }
        path += static_cast<char>((c[1] - '0') * 64 + (c[2] - '0') * 8 + (c[3] - '0'));
        c += 3;
    }
    return path;
}

// The mount points of this process (absolute paths), read once in a reuse
// of stats; known false when the system does not tell them.
struct MountPoints {
    unsigned session = 0;
    bool known = false;
    std::set<std::string> paths;
    std::set<std::string> names; // their final components
};

const MountPoints& mountPoints() {
    thread_local MountPoints mounts;
    if (mounts.session == statMemo().session) return mounts;
    mounts = MountPoints{statMemo().session, false, {}, {}};
    FILE* info = std::fopen("/proc/self/mountinfo", "re");
    if (!info) return mounts;
    char* line = nullptr;
    size_t capacity = 0;
    while (getline(&line, &capacity, info) > 0) {
        // The fifth field of a line is the mount point.
        char* field = line;
        for (int skipped = 0; skipped < 4 && field; ++skipped)
            if ((field = std::strchr(field, ' '))) ++field;
        if (!field) continue;
        field[std::strcspn(field, " \n")] = '\0';
        const std::string path = unescapedMountPath(field);
        mounts.paths.insert(path);
        mounts.names.insert(path.substr(path.rfind('/') + 1));
    }
    std::free(line);
    mounts.known = std::feof(info) != 0;
    std::fclose(info);
    return mounts;
}

// True when something may be mounted on the name in the folder: the
// folder's listing then tells of the file below it, not of the one seen there.
bool mayBeMountedOn(const std::string& dir, const std::string& name) {
    const MountPoints& mounts = mountPoints();
    if (!mounts.known) return true;
    if (mounts.names.count(name) == 0) return false;
    std::string folder = realFolder(dir.empty() ? "." : dir);
    if (folder.empty() || folder.back() != '/') folder += '/';
    return mounts.paths.count(folder + name) != 0;
}

} // namespace

Listed listedKind(const std::string& path, ListingUse use) {
    if (!statMemo().on || !typedNames().empty()) return Listed::eUnknown;
    const PathParts parts = splitPath(path);
    const std::string name = parts.base + parts.ext;
    if (name.empty() || name == "." || name == "..") return Listed::eUnknown;
    const std::vector<DirEntry>* entries = cachedListing(parts.dir, use);
    if (!entries) return Listed::eUnknown;
    const EntryRange named = entriesNamed(*entries, name);
    const auto exact =
        std::find_if(named.first, named.second, [&](const DirEntry& e) { return e.name == name; });
    // Without the name itself, stat finds a name differing in case only.
    if (exact == named.second)
        return named.first == named.second ? Listed::eAbsent : Listed::eUnknown;
    return exact->type == DT_REG && !mayBeMountedOn(parts.dir, name) ? Listed::eRegular
                                                                     : Listed::eUnknown;
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
    // Read anew (a file made a moment ago is found), and kept for the run's name checks.
    struct stat folder;
    if (!statDir(dir, folder)) return found;
    for (const DirEntry& e : freshListing(dir, folder)) {
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
