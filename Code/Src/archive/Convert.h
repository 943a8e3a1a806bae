// One file of the archive converted inside a worker process: checksummed,
// detected by content, its settings read, each asked format written through
// the engine's own run under a short name staged in the worker's private
// folder, and the outputs moved to their place under DEST only when every
// one was made and the source did not change meanwhile.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/CatalogRow.h"

namespace vx {

struct ArchiveFormat {
    int32_t number = 0;
    std::string keyword; // as /O takes it
    std::string extension;
};

struct ArchiveTask {
    std::vector<std::string> paths; // under SRC, in disk order
    std::string failure;            // non-empty: the file cannot be converted, and why
    bool hasPrevious = false;       // the previous run converted it: skip when unchanged
    CatalogRow previous;
};

struct ConvertSetup {
    std::string source; // absolute SRC
    std::string dest;   // absolute DEST
    std::vector<ArchiveFormat> formats;
};

// The status of a row of a file that is no instrument or HP SDF file, which
// the catalog leaves out.
constexpr const char* kNotInstrumentFile = "none";
// The status of a row the previous run made and this one keeps.
constexpr const char* kSkipped = "skipped";

// Converts in the current folder, which is the worker's own; the engine's
// messages go to its log there.
CatalogRow convertUnit(const ConvertSetup& setup, const ArchiveTask& task);

// Prepares a worker in its folder (the current one): the engine's console
// lines go nowhere and its log to the folder, where convertUnit reads each
// job's messages; the name the engine reads each input under is set up.
void prepareWorker(const ConvertSetup& setup);

// The output path under DEST of a source path and an extension.
std::string outputPathFor(const std::string& sourcePath, const std::string& extension);

} // namespace vx
