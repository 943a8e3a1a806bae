// Matching the segments of files over floppies.
#include "archive/Segments.h"

#include <algorithm>
#include <map>
#include <set>

namespace vx {

namespace {

int64_t dataBytes(const Segment& s) {
    return std::max<int64_t>(0, s.size - int64_t(MultiDiskHeader::kSize));
}

bool expectsMore(const Segment& s) {
    const int64_t data = dataBytes(s);
    return data >= s.header.capacity &&
           int64_t(s.header.dataPosition) + data + int64_t(MultiDiskHeader::kSize) <
               int64_t(s.header.totalSize);
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

size_t commonPrefix(const std::string& a, const std::string& b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

std::string missingText(const std::set<int>& missing) {
    std::string text = missing.size() == 1 ? "missing disk " : "missing disks ";
    bool first = true;
    for (int n : missing) {
        text += (first ? "" : ", ") + std::to_string(n);
        first = false;
    }
    return text + " of a file over several floppies";
}

// The unused segment that follows s, preferring the name most like first's.
int follower(const std::vector<Segment>& all, const std::vector<bool>& used, const Segment& s,
             const Segment& first) {
    int best = -1;
    size_t bestScore = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const Segment& c = all[i];
        if (used[i] || c.header.diskNumber != s.header.diskNumber + 1 ||
            c.header.totalSize != s.header.totalSize ||
            int64_t(c.header.dataPosition) != int64_t(s.header.dataPosition) + dataBytes(s))
            continue;
        const std::string a = baseName(first.path), b = baseName(c.path);
        const size_t score = (a == b ? 1000000 : 0) + commonPrefix(a, b);
        if (best < 0 || score > bestScore) {
            best = int(i);
            bestScore = score;
        }
    }
    return best;
}

} // namespace

bool needsOtherDisks(const MultiDiskHeader& header, int64_t size) {
    Segment s;
    s.size = size;
    s.header = header;
    return header.diskNumber != 1 || header.dataPosition != 0 || expectsMore(s);
}

std::vector<FileUnit> groupSegments(std::vector<Segment> all) {
    std::sort(all.begin(), all.end(),
              [](const Segment& a, const Segment& b) { return a.path < b.path; });
    std::vector<bool> used(all.size(), false);
    std::vector<FileUnit> units;
    std::vector<size_t> broken; // units whose chain stopped early
    std::vector<int> lastDisk;  // of those units
    for (size_t i = 0; i < all.size(); ++i) {
        if (used[i] || all[i].header.diskNumber != 1 || all[i].header.dataPosition != 0) continue;
        used[i] = true;
        FileUnit unit;
        unit.files.push_back(all[i].file);
        size_t at = i;
        while (expectsMore(all[at])) {
            int next = follower(all, used, all[at], all[i]);
            if (next < 0) break;
            used[size_t(next)] = true;
            unit.files.push_back(all[size_t(next)].file);
            at = size_t(next);
        }
        if (expectsMore(all[at])) {
            broken.push_back(units.size());
            lastDisk.push_back(all[at].header.diskNumber);
        }
        units.push_back(unit);
    }
    // Segments no disk 1 led to: a broken chain of the same total size takes
    // them; the others make failed units of their own, one per total size.
    std::map<uint32_t, std::vector<size_t>> leftovers;
    for (size_t i = 0; i < all.size(); ++i)
        if (!used[i]) leftovers[all[i].header.totalSize].push_back(i);
    for (size_t b = 0; b < broken.size(); ++b) {
        FileUnit& unit = units[broken[b]];
        std::set<int> present;
        int highest = lastDisk[b] + 1;
        for (size_t j = 0; j < unit.files.size(); ++j)
            present.insert(int(j) + 1);
        uint32_t total = 0;
        for (const Segment& s : all)
            if (s.file == unit.files.front()) total = s.header.totalSize;
        auto found = leftovers.find(total);
        if (found != leftovers.end()) {
            for (size_t i : found->second) {
                unit.files.push_back(all[i].file);
                present.insert(all[i].header.diskNumber);
                highest = std::max<int>(highest, all[i].header.diskNumber);
            }
            leftovers.erase(found);
        }
        std::set<int> missing;
        for (int n = lastDisk[b] + 1; n <= highest; ++n)
            if (!present.count(n) || n == lastDisk[b] + 1) missing.insert(n);
        unit.failure = missingText(missing);
    }
    for (const auto& [total, members] : leftovers) {
        (void)total;
        FileUnit unit;
        std::set<int> present;
        int highest = 1;
        std::vector<size_t> ordered = members;
        std::stable_sort(ordered.begin(), ordered.end(), [&](size_t a, size_t b) {
            return all[a].header.diskNumber < all[b].header.diskNumber;
        });
        for (size_t i : ordered) {
            unit.files.push_back(all[i].file);
            present.insert(all[i].header.diskNumber);
            highest = std::max<int>(highest, all[i].header.diskNumber);
        }
        std::set<int> missing;
        for (int n = 1; n <= highest; ++n)
            if (!present.count(n)) missing.insert(n);
        if (missing.empty()) missing.insert(1); // every disk there, but out of sequence
        unit.failure = missingText(missing);
        units.push_back(unit);
    }
    return units;
}

} // namespace vx
