// Parsing vxarchive's command line.
#include "archive/ArchiveOptions.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "run/Pairing.h"

namespace vx {

namespace {

constexpr int kMaxJobs = 256;

int defaultJobs() {
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    return cores < 1 ? 1 : cores > kMaxJobs ? kMaxJobs : int(cores);
}

// The option's value: after "=" in the same argument, or the next argument.
bool valueOf(int argc, char** argv, int& i, const char* name, std::string& value) {
    const size_t len = std::strlen(name);
    if (std::strncmp(argv[i], name, len) != 0) return false;
    if (argv[i][len] == '=') {
        value = argv[i] + len + 1;
        return true;
    }
    if (argv[i][len] != '\0') return false;
    value = i + 1 < argc ? argv[++i] : "";
    return true;
}

} // namespace

bool parseFormatList(const std::string& list, std::vector<ArchiveFormat>& formats,
                     std::string& why) {
    formats.clear();
    size_t from = 0;
    for (;;) {
        const size_t comma = list.find(',', from);
        const std::string keyword = list.substr(from, comma - from);
        const uint32_t mask = formatMaskOfKeyword(keyword.c_str());
        int32_t number = 0;
        while (number < 32 && mask != formatBit(number))
            ++number;
        if (keyword.empty() || number == 32 || !*defaultExtension(number)) {
            why = "--to: '" + keyword + "' is not an output format (vxconv's /O keywords)";
            return false;
        }
        bool known = false;
        for (const ArchiveFormat& f : formats)
            known = known || f.number == number;
        if (!known) formats.push_back({number, keyword, defaultExtension(number)});
        if (comma == std::string::npos) return true;
        from = comma + 1;
    }
}

bool parseArchiveOptions(int argc, char** argv, ArchiveOptions& options, std::string& why) {
    options = ArchiveOptions();
    options.jobs = defaultJobs();
    std::string formats = kDefaultFormats, value;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--progress") {
            options.progress = true;
        } else if (valueOf(argc, argv, i, "--to", value)) {
            formats = value;
        } else if (valueOf(argc, argv, i, "--jobs", value)) {
            char* end = nullptr;
            const long jobs = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || jobs < 1 || jobs > kMaxJobs) {
                why =
                    "--jobs: '" + value + "' is not a number from 1 to " + std::to_string(kMaxJobs);
                return false;
            }
            options.jobs = int(jobs);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
            why = "unknown option '" + arg + "'";
            return false;
        } else {
            names.push_back(arg);
        }
    }
    if (options.help || options.version) return true;
    if (names.size() != 2) {
        why = "give a source folder and a destination folder (SRC DEST)";
        return false;
    }
    options.source = names[0];
    options.dest = names[1];
    return parseFormatList(formats, options.formats, why);
}

std::string archiveHelp(int jobs) {
    if (jobs <= 0) jobs = defaultJobs();
    return "Usage: vxarchive SRC DEST [options]\n"
           "Converts every instrument and HP SDF file under the folder SRC (found by\n"
           "content; files over several floppies joined) into the same tree under DEST,\n"
           "and lists them in DEST/catalog.jsonl and DEST/catalog.csv. SRC is only read.\n"
           "  --to LIST    output formats, vxconv's /O keywords separated by commas\n"
           "               (default: " +
           std::string(kDefaultFormats) +
           ")\n"
           "  --jobs N     worker processes (default: the number of cores, " +
           std::to_string(jobs) +
           ")\n"
           "  --force      convert again the files the catalog says are converted\n"
           "  --quiet      print errors only\n"
           "  --progress   show the progress line when standard error is not a terminal\n"
           "  --help       print this help\n"
           "  --version    print the version\n"
           "Exit status: 0 every file converted, 1 some files failed or could not be\n"
           "read, 2 usage error, 3 DEST cannot be written, 128+n ended by signal n.\n";
}

} // namespace vx
