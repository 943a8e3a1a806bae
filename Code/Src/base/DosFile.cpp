// File name records on the POSIX platform layer.
#include "base/DosFile.h"

#include <algorithm>
#include <cstring>

#include "base/ErrLogger.h"

namespace vx {

void CDosFile::set(const char* name) {
    std::string text(name ? name : "");
    uncut_.clear();
    if (text.size() > kMaxName) {
        uncut_ = text;
        text.resize(kMaxName);
    }
    actual_ = pattern_ = text;
    parts_ = platform::splitPath(text);
    matches_.clear();
    nextIndex_ = 0;
    searchStarted_ = searched_ = false;
}

void CDosFile::replaceExtension(const char* ext) {
    std::string e(ext ? ext : "");
    if (e.size() > 255) e.resize(255);
    set(platform::mergePath(parts_.drive, parts_.dir, parts_.base, e).c_str());
}

void CDosFile::takeMatch(const platform::FoundFile& f) {
    if (hasWildcards()) actual_ = parts_.drive + parts_.dir + f.name;
}

const std::vector<platform::FoundFile>& CDosFile::matches() {
    if (!searched_) {
        matches_ = platform::findFiles(pattern_, platform::SearchDetails::eNamesOnly);
        searched_ = true;
    }
    return matches_;
}

Status CDosFile::nextMatch() {
    if (!searchStarted_) {
        searchStarted_ = true;
        nextIndex_ = 0;
        if (matches().empty()) {
            errLog() << msg::eErrorOpeningFile << actual_.c_str() << endLine;
            return kStatusFailed;
        }
    }
    if (nextIndex_ >= matches_.size()) return kStatusFailed;
    takeMatch(matches_[nextIndex_++]);
    return kStatusOk;
}

Status CDosFile::firstMatch() {
    if (!hasWildcards()) return kStatusOk;
    if (matches().empty()) return kStatusFailed;
    takeMatch(matches_.front());
    return kStatusOk;
}

void CDosFile::mapOnto(const char* sourceName) {
    if (!hasWildcards()) return;
    platform::PathParts src = platform::splitPath(sourceName ? sourceName : "");
    std::string base = mapWildcardPart(parts_.base, src.base);
    std::string ext = mapWildcardPart(parts_.ext, src.ext);
    actual_ = parts_.drive + parts_.dir + base + ext;
    uncut_.clear();
    if (actual_.size() > kMaxName) {
        uncut_ = actual_;
        actual_.resize(kMaxName);
    }
}

bool nameFits(const char* name, size_t limit) {
    if (std::strlen(name) <= limit) return true;
    errLog() << msg::eNameLongerThan << static_cast<unsigned long>(limit) << msg::eNameCharacters
             << name << endLine;
    return false;
}

platform::FoundFile CDosFile::find() const {
    std::vector<platform::FoundFile> found = platform::findFiles(actual_);
    return found.empty() ? platform::FoundFile{} : found.front();
}

int64_t CDosFile::freeSpace(uint64_t existingSize) const {
    int64_t total = static_cast<int64_t>(existingSize) + platform::freeBytesFor(actual_);
    return std::min<int64_t>(total, 2147483647);
}

std::string mapWildcardPart(const std::string& pattern, const std::string& source) {
    std::string out;
    size_t src = 0;
    for (char c : pattern) {
        if (c == '*') {
            if (src < source.size()) out += source.substr(src);
            return out;
        }
        if (c == '?') {
            if (src >= source.size()) return out; // the source's terminator ends the part
            out += source[src];
        } else {
            out += c;
        }
        if (src < source.size()) ++src;
    }
    return out;
}

} // namespace vx
