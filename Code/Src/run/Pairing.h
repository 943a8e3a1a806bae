// The table of output formats: each format's keyword, extension and help
// page, and the conversions that serve it (the input types it accepts,
// with the reader and writer of each). Everything else asks this table.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "base/FileIO.h"
#include "trace/Model.h"

namespace vx {

class COptionMgr;

// Input types found by detection.
enum EInputType : int32_t {
    eInDisplay = 0,
    eInCapArb = 1,
    eInWaterfall = 2,
    eInSettings = 3,
    eInNumberList = 4,
    eInSdfOld = 5,
    eInSdf = 6,
};

// Output format numbers (the index of the format's bit in a format mask).
enum EOutputFormat : int32_t {
    eFmtNone = -2,
    eFmt56d = 0,
    eFmtWat = 2,
    eFmtAsc = 4,
    eFmtSdfOld = 5,
    eFmtSdf = 6,
    eFmtCap = 7,
    eFmtArb = 8,
    eFmtUff = 9,
    eFmtMat = 10,
    eFmtCsv = 12,
    eFmtJson = 13,
    eFmtNc = 14,
};

constexpr uint32_t formatBit(int32_t format) {
    return 1u << format;
}

struct ReaderWriterPair {
    std::unique_ptr<CFileReader> reader;
    std::unique_ptr<CFileWriter> writer;
};

// One input type (or several read alike) converted to the format of its row.
struct Conversion {
    uint32_t inputTypes; // bit per input type
    std::unique_ptr<CFileReader> (*makeReader)(CModel& model);
    ReaderWriterPair (*makePair)(COptionMgr& job);
};

// A row of the table: everything that is particular to one output format.
struct OutputFormat {
    int32_t number;            // its bit in a format mask
    const char* keyword;       // null when /O cannot name the format
    const char* listText;      // its line of the general help's /O list; null for none
    const char* extension;     // of the output named after the input
    void (*helpPage)(const ConvOptions& options);
    int32_t writesType;            // input type of the files it writes; -1: not read back
    const int32_t* defaultColumns; // the /C columns when none are given; null: the usual
    uint32_t defaultFor;           // input types converted to this format when the job names none
    std::vector<Conversion> conversions;
};

// The table, in the order of the general help's /O list.
const std::vector<OutputFormat>& outputFormats();

// The format mask that an /O keyword selects; 0 for an unknown keyword.
uint32_t formatMaskOfKeyword(const char* keyword);
// Default output extension of a format number (no dot); "" for none.
const char* defaultExtension(int32_t format);
// Prints the help page of a format; false when the number names none.
bool printFormatHelp(int32_t format, const ConvOptions& options);

// Whether the table converts the input type to the format.
bool converts(int32_t inputType, int32_t format);
// The format an input type converts to when the job names none.
int32_t defaultOutputFor(int32_t inputType);
// The reader that serves the input type in its conversion to the format;
// null when the table has no such conversion.
std::unique_ptr<CFileReader> readerFor(CModel& model, int32_t inputType, int32_t format);

// The input type of the files a format writes (SDF as eInSdf); -1 for none.
int32_t typeWrittenBy(int32_t format);
// Sets the /C columns of the option block to the defaults of the format that
// the mask selects, when it has its own.
void applyDefaultColumns(uint32_t formatMask, ConvOptions& options);

// The pair for the job's input type and output format; both empty when the
// table has no entry for them.
ReaderWriterPair makeReaderWriterPair(COptionMgr& job);

} // namespace vx
