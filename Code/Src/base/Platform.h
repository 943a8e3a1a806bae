// The platform layer: POSIX path splitting, case-insensitive name resolution,
// sorted wildcard search, free space (replaceable for tests) and console input.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vx::platform {

enum : uint16_t { eHasWildcards = 0x01, eDriveGiven = 0x10 };

struct PathParts {
    std::string drive; // always empty on this platform
    std::string dir;   // up to and including the last '/'
    std::string base;  // between the directory and the extension
    std::string ext;   // from the last '.' of the final component, with its dot
    uint16_t flags = 0;
};

PathParts splitPath(const std::string& path);
// Joins the parts; puts a '.' before an extension that lacks one.
std::string mergePath(const std::string& drive, const std::string& dir, const std::string& base,
                      const std::string& ext);

// The path as it exists on disk: a name as the user typed it (see
// preferTypedName) when that exists; otherwise each component that does not
// exist as given is matched case-insensitively in its directory. Components
// not found are kept.
std::string resolvePath(const std::string& path);

// Names are lower-cased for use; the name as typed, and its folder, are the
// files meant when they exist. Remembered until forgetTypedNames.
void preferTypedName(const std::string& typed);
void forgetTypedNames();

// stat of the file as it is on disk: as given, else as resolvePath finds it;
// real, when given, takes the name that was found.
bool statOnDisk(const std::string& path, struct stat& st, std::string* real = nullptr);

// Tells the name resolution that the converter has just created this file (a
// resolved path): the directory's cached listing takes the name and the
// directory's new time instead of being read again, so a run writing many
// files into one directory lists it once.
void noteCreated(const std::string& path);

// While a run converts its files, what stat said of a name is reused: of a
// folder for the whole run, of anything else until forgetStats. Off by default
// (every query asks the system); reuseStats(false) forgets everything.
void reuseStats(bool on);
// Forgets the reused answers: those of files (a new file of the run, a file
// this process created or opened for writing), or all (a disk was changed).
void forgetStats(bool folders);
// stat of the path, answered from the reused answers where there is one.
bool statReused(const std::string& path, struct stat& st);
// The folder's absolute path with its links resolved (the folder as given
// when that fails); while stats are reused, asked once per folder for the run.
std::string realFolder(const std::string& dir);
// lstat of the path, likewise.
bool lstatReused(const std::string& path, struct stat& st);
// While stats are reused: what the caller learned of the path from a
// descriptor opened without following links (st; nullptr: nothing is there)
// is the answer of statReused and lstatReused until forgotten.
void rememberStat(const std::string& path, const struct stat* st);

// What the folder's listing says of a name, without a stat of the file: no
// such name (nor one differing in case only), a regular file (not a link,
// nothing mounted there), or unknown (ask stat). Only while stats are
// reused, and never for a name typed in other case (preferTypedName):
// eUnknown then. The listing is read at most once in a reuse of stats; with
// eKeptOnly only a listing read before and still standing is asked (eUnknown
// when there is none).
enum class Listed { eAbsent, eRegular, eUnknown };
enum class ListingUse { eReadWhenNeeded, eKeptOnly };
Listed listedKind(const std::string& path, ListingUse use = ListingUse::eReadWhenNeeded);

struct FoundFile {
    std::string name; // final component as it is on disk
    uint64_t size = 0;
    bool readOnly = false;
};

// Regular files matching the final component of the pattern (wildcards '*' and
// '?', case-insensitive), sorted by name; wildcard searches skip names that
// begin with '.'. With eNamesOnly a wildcard search may leave size and
// read-only state unset (it asks no stat of a file the folder calls regular).
enum class SearchDetails { eFull, eNamesOnly };
std::vector<FoundFile> findFiles(const std::string& pattern,
                                 SearchDetails details = SearchDetails::eFull);

// Where an output of this name is written: its folder as resolvePath finds
// it, its final name exactly as given (or as typed, when that file exists).
// A file whose name differs only in case is another file, never the output.
std::string resolveOutputPath(const std::string& path);

// The file an output of this name replaces, if any (resolveOutputPath):
// stat, and the size and read-only state of a regular file.
bool statOutput(const std::string& path, struct stat& st);
FoundFile findOutput(const std::string& path);

// True when the token names an absolute path whose first component is an
// existing directory of the root ("/tmp/a.56d"): such a token is a file name.
bool isRootedFileName(const char* token);

// Free bytes of the file system holding the given file, clamped to 2147483647.
// While stats are reused, an answer of at least 1 GiB for a folder stands for
// the run: a run that fills the disk meanwhile fails on writing, and an
// answer near a floppy's size is always asked anew.
// Every free-space query goes through here; tests may replace the function
// (an empty function restores the real query).
using FreeBytesFunction = std::function<int64_t(const std::string& path)>;
int64_t freeBytesFor(const std::string& path);
void setFreeBytesFunction(FreeBytesFunction fn);

// One character from standard input, or -1 at its end (disk prompts).
using ReadCharFunction = std::function<int()>;
int readConsoleChar();
void setReadCharFunction(ReadCharFunction fn);

} // namespace vx::platform
