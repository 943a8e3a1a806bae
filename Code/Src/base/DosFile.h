// The file name record: a name as given (possibly a wildcard pattern), its
// parts, the current match of a wildcard search and the file queries on it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "base/Status.h"

namespace vx {

class CDosFile {
  public:
    static constexpr size_t kMaxName = 259;

    CDosFile() = default;
    explicit CDosFile(const char* name) { set(name); }

    // Stores the first 259 characters as both the actual and the given name;
    // a longer name is marked as cut (see tooLong).
    void set(const char* name);
    void clear() { *this = CDosFile(); }
    // Replaces the extension and makes the merged name the actual name and pattern.
    void replaceExtension(const char* ext);
    // Continues (or starts) the wildcard search; 0 when a file was found.
    Status nextMatch();
    // Takes the first match without marking the search as started; 0 when a
    // file matches.
    Status firstMatch();
    // The files the pattern matches (their names), searched once for this
    // name: the checks before a run, its detection and its loop see one list.
    const std::vector<platform::FoundFile>& matches();
    // Maps a wildcard pattern onto the given source name ("*.txt" on run1.56d).
    void mapOnto(const char* sourceName);
    // The file of the actual name as it is on disk; size 0 when there is none.
    platform::FoundFile find() const;
    uint64_t fileSize() const { return find().size; }
    bool isReadOnly() const { return find().readOnly; }
    int drive() const { return 0; }
    // Size of an existing file of the actual name plus the free bytes of its disk.
    int64_t freeSpace() const { return freeSpace(fileSize()); }
    int64_t freeSpace(uint64_t existingSize) const;

    const char* name() const { return actual_.c_str(); }
    const char* pattern() const { return pattern_.c_str(); }
    const platform::PathParts& parts() const { return parts_; }
    bool hasWildcards() const { return parts_.flags & platform::eHasWildcards; }
    bool empty() const { return pattern_.empty(); }
    // The whole name when the name set or mapped was longer than 259
    // characters and had to be cut; empty otherwise. A cut name is never used.
    const std::string& tooLong() const { return uncut_; }

  private:
    void takeMatch(const platform::FoundFile& f);

    std::string actual_;
    std::string pattern_;
    std::string uncut_;
    platform::PathParts parts_;
    std::vector<platform::FoundFile> matches_;
    size_t nextIndex_ = 0;
    bool searchStarted_ = false;
    bool searched_ = false;
};

// True when the name has at most limit characters; otherwise writes
// "Error: Name longer than <limit> characters: " and the name.
bool nameFits(const char* name, size_t limit);

// Wildcard mapping of one name part: '*' copies the rest of the source, '?'
// the source character at the same position, other characters themselves.
std::string mapWildcardPart(const std::string& pattern, const std::string& source);

} // namespace vx
