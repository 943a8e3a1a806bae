// The table of output formats: each format's keyword, extension and help
// page, and the conversions that serve it (the input types it accepts,
// with the reader and writer of each). Everything else asks this table.
#pragma once
#include <cstdint>
#include <memory>

#include "base/FileIO.h"

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
};

constexpr uint32_t formatBit(int32_t format) {
    return 1u << format;
}

// The format mask that an /O keyword selects; 0 for an unknown keyword.
uint32_t formatMaskOfKeyword(const char* keyword);
// Default output extension of a format number (no dot); "" for none.
const char* defaultExtension(int32_t format);
// Prints the help page of a format; false when the number names none.
bool printFormatHelp(int32_t format);

// Whether the table converts the input type to the format.
bool converts(int32_t inputType, int32_t format);
// The format an input type converts to when the job names none.
int32_t defaultOutputFor(int32_t inputType);
// The reader that serves the input type in its conversion to the format;
// null when the table has no such conversion.
std::unique_ptr<CFileReader> readerFor(int32_t inputType, int32_t format);

struct ReaderWriterPair {
    std::unique_ptr<CFileReader> reader;
    std::unique_ptr<CFileWriter> writer;
};

// The pair for the job's input type and output format; both empty when the
// table has no entry for them.
ReaderWriterPair makeReaderWriterPair(COptionMgr& job);

} // namespace vx
