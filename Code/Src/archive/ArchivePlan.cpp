// Planning a run from the walk, the multi-disk headers and the last catalog.
#include "archive/ArchivePlan.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/Segments.h"
#include "run/FileKind.h"

namespace vx {

namespace {

// What a file's leading bytes say: a multi-disk header, or surely no
// instrument file (its bytes read, and they are none). A file that cannot be
// read is neither: a worker reports it.
struct LeadingBytes {
    bool hasHeader = false;
    MultiDiskHeader header;
    bool noInstrumentFile = false;
};

LeadingBytes readLeadingBytes(const std::string& path) {
    LeadingBytes found;
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return found;
    uint8_t raw[kLeadingBytesForKind];
    const ssize_t got = ::read(fd, raw, sizeof raw);
    ::close(fd);
    if (got < 0) return found;
    found.hasHeader = size_t(got) >= MultiDiskHeader::kSize && found.header.decode(raw);
    found.noInstrumentFile = !mayBeInstrumentFile(raw, size_t(got));
    return found;
}

// The last run's row counts when it converted the same segments, of the same
// size and time, into every format asked, and those outputs are all there.
bool stillConverted(const ConvertSetup& setup, const CatalogRow& row,
                    const std::vector<const WalkedFile*>& files) {
    if (!row.converted() || row.segments.size() + 1 != files.size()) return false;
    int64_t size = 0, mtime = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && row.segments[i - 1] != files[i]->path) return false;
        size += files[i]->size;
        mtime = std::max(mtime, files[i]->mtimeNs);
    }
    if (size != row.size || mtime != row.mtimeNs) return false;
    for (const ArchiveFormat& format : setup.formats) {
        const std::string wanted = outputPathFor(row.path, format.extension);
        const auto out = std::find_if(row.outputs.begin(), row.outputs.end(),
                                      [&](const CatalogOutput& o) { return o.path == wanted; });
        struct stat st;
        if (out == row.outputs.end() || ::lstat((setup.dest + "/" + wanted).c_str(), &st) != 0 ||
            st.st_size != out->size)
            return false;
    }
    return true;
}

} // namespace

ArchivePlan planArchive(const ConvertSetup& setup,
                        const std::map<std::string, CatalogRow>& previous) {
    ArchivePlan plan;
    TreeListing listing;
    if (!walkTree(setup.source, listing)) {
        plan.warnings.push_back("warning: the source folder cannot be read");
        plan.incomplete = true;
        return plan;
    }
    plan.warnings = listing.warnings;
    plan.incomplete = listing.missedFiles;
    std::vector<FileUnit> units;
    std::vector<Segment> segments;
    for (size_t i = 0; i < listing.files.size(); ++i) {
        const WalkedFile& file = listing.files[i];
        const LeadingBytes lead = readLeadingBytes(setup.source + "/" + file.path);
        // What is surely no instrument file is left out here, as the catalog
        // leaves it out, without a worker opening it again.
        if (lead.noInstrumentFile) continue;
        if (lead.hasHeader && needsOtherDisks(lead.header, file.size))
            segments.push_back({i, file.path, file.size, lead.header});
        else
            units.push_back({{i}, ""});
    }
    for (FileUnit& unit : groupSegments(std::move(segments)))
        units.push_back(std::move(unit));
    std::sort(units.begin(), units.end(), [&](const FileUnit& a, const FileUnit& b) {
        return listing.files[a.files.front()].path < listing.files[b.files.front()].path;
    });
    for (const FileUnit& unit : units) {
        ArchiveTask task;
        std::vector<const WalkedFile*> files;
        for (size_t i : unit.files) {
            files.push_back(&listing.files[i]);
            task.paths.push_back(listing.files[i].path);
        }
        task.failure = unit.failure;
        const auto last = previous.find(task.paths.front());
        if (last != previous.end() && stillConverted(setup, last->second, files)) {
            task.hasPrevious = true;
            task.previous = last->second;
        }
        plan.tasks.push_back(std::move(task));
    }
    return plan;
}

} // namespace vx
