// vxarchive's command line: SRC, DEST and the long options.
#pragma once
#include <string>
#include <vector>

#include "archive/Convert.h"

namespace vx {

struct ArchiveOptions {
    std::string source;
    std::string dest;
    std::vector<ArchiveFormat> formats;
    int jobs = 1;
    bool force = false;
    bool quiet = false;
    bool progress = false;
    bool help = false;
    bool version = false;
};

// The formats when --to is not given: what analysis tools read.
constexpr const char* kDefaultFormats = "csv,json";

// Parses argv[1..]; false with the reason in why on a usage error.
bool parseArchiveOptions(int argc, char** argv, ArchiveOptions& options, std::string& why);

// The formats of a --to list of /O keywords; false with the reason in why.
bool parseFormatList(const std::string& list, std::vector<ArchiveFormat>& formats,
                     std::string& why);

// The help text, with the default number of jobs.
std::string archiveHelp(int defaultJobs);

} // namespace vx
