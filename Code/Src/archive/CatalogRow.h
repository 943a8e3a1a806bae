// One file of the archive as the catalog records it, as a JSON Lines row and
// as a CSV row, and read back from its JSON row.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

struct CatalogOutput {
    std::string path; // under DEST
    int64_t size = 0;
};

struct CatalogRow {
    static constexpr const char* kConverted = "converted";
    static constexpr const char* kFailed = "failed";

    std::string path;                  // under SRC (of disk 1 for a file over floppies)
    std::vector<std::string> segments; // disks 2, 3 ... of a file over floppies
    std::string kind;
    int64_t size = -1; // bytes of every segment; -1 unknown
    int64_t mtimeNs = 0;
    std::string sha256;
    std::string status = kFailed;
    std::string message;
    std::string measurement;
    std::string measureGroup;
    int64_t points = -1;        // -1: none
    double spanHz = -1.0;       // negative: none
    double sampleRateHz = -1.0; // negative: none
    std::string time;
    std::vector<CatalogOutput> outputs;

    bool converted() const { return status == kConverted; }
};

// The row as one line of JSON without its line end.
std::string rowJson(const CatalogRow& row);
// False when the text is not a row of the catalog.
bool rowFromJson(const std::string& line, CatalogRow& row);

// The CSV header line and a row's line, each ending in "\n". Bytes of a
// name that are not UTF-8 are written as \xNN; the JSON row has them exact.
std::string csvHeader();
std::string rowCsv(const CatalogRow& row);

} // namespace vx
