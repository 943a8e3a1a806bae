// The plan of a run: the files of the source tree put together into the
// files of the archive (one per file, one per file over floppies), each with
// the row of the last run when that run converted it and its outputs are
// still there.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "archive/Convert.h"
#include "archive/TreeWalk.h"

namespace vx {

struct ArchivePlan {
    std::vector<ArchiveTask> tasks; // sorted by path under SRC
    std::vector<std::string> warnings;
    bool incomplete = false; // a folder or file could not be read
};

// Walks the source and plans the tasks; previous rows are the last runs'
// (none with --force).
ArchivePlan planArchive(const ConvertSetup& setup,
                        const std::map<std::string, CatalogRow>& previous);

} // namespace vx
