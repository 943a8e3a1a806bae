// The pairing table. Each row names the input types and output formats it
// serves and builds its reader and writer.
#include "driver/Pairing.h"

#include <vector>

#include "driver/OptionMgr.h"

namespace vx {

namespace {

struct PairingRow {
    uint32_t inputTypes;    // bit per input type
    uint32_t outputFormats; // bit per output format number
    std::unique_ptr<CFileReader> (*makeReader)(COptionMgr& job);
    std::unique_ptr<CFileWriter> (*makeWriter)(COptionMgr& job);
};

// Rows are added as the readers and writers of each format are built.
const std::vector<PairingRow>& pairingTable() {
    static const std::vector<PairingRow> rows;
    return rows;
}

} // namespace

ReaderWriterPair makeReaderWriterPair(COptionMgr& job) {
    uint32_t typeBit = 1u << job.inputType();
    uint32_t formatBit = 1u << job.outputFormat();
    for (const PairingRow& row : pairingTable()) {
        if (!(row.inputTypes & typeBit) || !(row.outputFormats & formatBit)) continue;
        return {row.makeReader(job), row.makeWriter(job)};
    }
    return {};
}

} // namespace vx
