// The one registry of readers and writers: which pair converts an input type
// to an output format.
#pragma once
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

struct ReaderWriterPair {
    std::unique_ptr<CFileReader> reader;
    std::unique_ptr<CFileWriter> writer;
};

// The pair for the job's input type and output format; both empty when the
// table has no entry for them.
ReaderWriterPair makeReaderWriterPair(COptionMgr& job);

} // namespace vx
