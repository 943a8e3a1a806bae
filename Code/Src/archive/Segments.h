// Files spread over several floppies: their segments, found anywhere under
// the source, are put together by their multi-disk headers (the same total
// size, each disk's data starting where the one before ended) in disk order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/DISK_M.h"

namespace vx {

struct Segment {
    size_t file = 0;  // the caller's index of the file
    std::string path; // for choosing between candidates and for the order
    int64_t size = 0; // of the whole segment, header included
    MultiDiskHeader header;
};

// One file of the archive: its segments in disk order (one for most files),
// and why it cannot be converted (empty when it can).
struct FileUnit {
    std::vector<size_t> files;
    std::string failure;
};

// True when a file behind this header needs other disks: it is not disk 1,
// or disk 1 is full and the data it announces goes on.
bool needsOtherDisks(const MultiDiskHeader& header, int64_t size);

// Groups segments (files for which needsOtherDisks holds) into files. Where
// several segments could follow, the one whose name is most like disk 1's
// is taken. A broken chain, and segments no disk 1 leads to, give units
// with a failure naming the missing disk numbers.
std::vector<FileUnit> groupSegments(std::vector<Segment> segments);

} // namespace vx
