// Writing, journaling and reading back the catalog.
#include "archive/CatalogFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/SafeOutput.h"

namespace vx {

namespace {

// Writes a file through a temporary beside it, renamed over it when complete.
bool writeSafely(const std::string& target, const std::string& text, std::string& why) {
    CSafeOutput output;
    const std::string path = output.begin(target, false);
    FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file && std::fclose(file) != 0) written = false;
    if (written && output.commit().ok()) return true;
    const int error = output.systemError() ? output.systemError() : errno;
    output.abandon();
    why = target + ": " + systemReason(error);
    return false;
}

void readRows(const std::string& path, std::map<std::string, CatalogRow>& rows) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    CatalogRow row;
    while (std::getline(in, line))
        if (rowFromJson(line, row)) rows[row.path] = row;
}

// Removes a folder and everything in it (never following a link).
void removeTree(int parentFd, const char* name) {
    int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        DIR* dir = ::fdopendir(fd);
        if (dir) {
            std::vector<std::string> names;
            while (dirent* entry = ::readdir(dir))
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    names.emplace_back(entry->d_name);
            for (const std::string& entry : names)
                if (::unlinkat(::dirfd(dir), entry.c_str(), 0) != 0 && errno == EISDIR)
                    removeTree(::dirfd(dir), entry.c_str());
            ::closedir(dir);
        } else {
            ::close(fd);
        }
    }
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

// "NAME.<pid>-<hex>.vxconv-part" of a catalog file.
bool isCatalogTemporary(const std::string& name) {
    const std::string suffix = CSafeOutput::kTemporarySuffix;
    for (const char* file : {"catalog.jsonl.", "catalog.csv."}) {
        const size_t prefix = std::strlen(file);
        if (name.size() <= prefix + suffix.size() || name.compare(0, prefix, file) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string tag = name.substr(prefix, name.size() - prefix - suffix.size());
        const size_t dash = tag.find('-');
        if (dash != std::string::npos && dash > 0 && tag.find_first_not_of("0123456789") == dash &&
            tag.find_first_not_of("0123456789abcdef", dash + 1) == std::string::npos)
            return true;
    }
    return false;
}

} // namespace

ArchivePlaces::ArchivePlaces(const std::string& destination)
    : dest(destination), catalogJson(dest + "/catalog.jsonl"), catalogCsv(dest + "/catalog.csv"),
      privateDir(dest + "/.vxarchive"), journal(privateDir + "/journal.jsonl"),
      lock(privateDir + "/lock"), workDir(privateDir + "/work") {}

Status writeCatalog(const ArchivePlaces& places, const std::vector<const CatalogRow*>& rows,
                    std::string& why) {
    std::string json, csv = csvHeader();
    for (const CatalogRow* row : rows) {
        json += rowJson(*row) + "\n";
        csv += rowCsv(*row);
    }
    if (!writeSafely(places.catalogJson, json, why) || !writeSafely(places.catalogCsv, csv, why))
        return kStatusFailed;
    return kStatusOk;
}

std::map<std::string, CatalogRow> previousRows(const ArchivePlaces& places) {
    std::map<std::string, CatalogRow> rows;
    readRows(places.catalogJson, rows);
    readRows(places.journal, rows);
    return rows;
}

CJournal::CJournal(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644)) {}

CJournal::~CJournal() {
    if (fd_ >= 0) ::close(fd_);
}

void CJournal::append(const CatalogRow& row) {
    if (fd_ < 0) return;
    const std::string line = rowJson(row) + "\n";
    (void)!::write(fd_, line.data(), line.size());
}

void removeLeftovers(const ArchivePlaces& places) {
    removeTree(AT_FDCWD, places.workDir.c_str());
    DIR* dir = ::opendir(places.dest.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* entry = ::readdir(dir))
        if (isCatalogTemporary(entry->d_name)) stale.emplace_back(entry->d_name);
    for (const std::string& name : stale)
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    ::closedir(dir);
}

} // namespace vx
