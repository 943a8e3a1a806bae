// The pairing table. Each row names the input types and output formats it
// serves and builds its reader and writer.
#include "run/Pairing.h"

#include <vector>

#include "ascii/AsciiCapArbWriter.h"
#include "ascii/AsciiTraceWriter.h"
#include "display/DisplayFile.h"
#include "interchange/MatWriter.h"
#include "interchange/SdfReader.h"
#include "interchange/SdfWriter.h"
#include "interchange/UffWriter.h"
#include "run/OptionMgr.h"
#include "timebuf/CapArbWriter.h"
#include "timebuf/NumberList.h"
#include "waterfall/Waterfall.h"

namespace vx {

namespace {

struct PairingRow {
    uint32_t inputTypes;    // bit per input type
    uint32_t outputFormats; // bit per output format number
    std::unique_ptr<CFileReader> (*makeReader)(COptionMgr& job);
    // The writer of the row reads from the reader that the row made.
    std::unique_ptr<CFileWriter> (*makeWriter)(COptionMgr& job, CFileReader& reader);
};

constexpr uint32_t bit(int32_t n) {
    return 1u << n;
}

// The kind word of a written Capture/Arb. file follows the output format alone.
int16_t kindFor(const COptionMgr& job) {
    return job.outputFormat() == eFmtArb ? eKindArb : eKindCaptureCh1;
}

template <class Reader> std::unique_ptr<CFileReader> make(COptionMgr&) {
    return std::make_unique<Reader>();
}

std::unique_ptr<CFileWriter> capArbToAscii(COptionMgr&, CFileReader& reader) {
    return std::make_unique<CAsciiCapArbWriter>(static_cast<CCapArbReader*>(&reader));
}

std::unique_ptr<CFileWriter> capArbCopy(COptionMgr& job, CFileReader& reader) {
    return std::make_unique<CCapArbWriter>(static_cast<CCapArbReader*>(&reader), kindFor(job));
}

std::unique_ptr<CFileWriter> numberListToCapArb(COptionMgr& job, CFileReader& reader) {
    return std::make_unique<CCapArbWriter>(static_cast<CAsciiReader*>(&reader), kindFor(job));
}

std::unique_ptr<CFileWriter> waterfallToAscii(COptionMgr&, CFileReader& reader) {
    return std::make_unique<CWfAsciiWriter>(static_cast<CWaterFallReader*>(&reader));
}

std::unique_ptr<CFileWriter> waterfallCopy(COptionMgr&, CFileReader& reader) {
    return std::make_unique<CWfCopyWriter>(static_cast<CWfCopyReader*>(&reader));
}

template <class Writer> std::unique_ptr<CFileWriter> makeWriter(COptionMgr&, CFileReader&) {
    return std::make_unique<Writer>();
}

// The Display writer replaces the trace data from the /Q list when given.
std::unique_ptr<CFileWriter> traceToDisplay(COptionMgr& job, CFileReader&) {
    auto writer = std::make_unique<CTraceWriter>();
    if (job.inputType() == eInDisplay) writer->setReplacementFile(job.file(2).name());
    return writer;
}

// Rows are added as the readers and writers of each format are built.
const std::vector<PairingRow>& pairingTable() {
    static const std::vector<PairingRow> rows = {
        {bit(eInDisplay), bit(eFmt56d), make<CTraceReader>, traceToDisplay},
        {bit(eInDisplay), bit(eFmtAsc), make<CTraceReader>, makeWriter<CAsciiTraceWriter>},
        {bit(eInDisplay), bit(eFmtMat), make<CTraceReader>, makeWriter<CMatLabWriter>},
        {bit(eInDisplay), bit(eFmtUff), make<CTraceReader>, makeWriter<CUffWriter>},
        {bit(eInDisplay), bit(eFmtSdfOld) | bit(eFmtSdf), make<CTraceReader>,
         makeWriter<CSdfWriter>},
        {bit(eInCapArb), bit(eFmtAsc), make<CCapArbReader>, capArbToAscii},
        {bit(eInCapArb), bit(eFmtCap) | bit(eFmtArb), make<CCapArbReader>, capArbCopy},
        {bit(eInSdfOld) | bit(eInSdf), bit(eFmt56d), make<CSdfReader>, traceToDisplay},
        {bit(eInSdfOld) | bit(eInSdf), bit(eFmtAsc), make<CSdfReader>,
         makeWriter<CAsciiTraceWriter>},
        {bit(eInNumberList), bit(eFmtCap) | bit(eFmtArb), make<CAsciiReader>, numberListToCapArb},
        {bit(eInWaterfall), bit(eFmtAsc), make<CWaterFallReader>, waterfallToAscii},
        {bit(eInWaterfall), bit(eFmtWat), make<CWfCopyReader>, waterfallCopy},
    };
    return rows;
}

} // namespace

ReaderWriterPair makeReaderWriterPair(COptionMgr& job) {
    uint32_t typeBit = 1u << job.inputType();
    uint32_t formatBit = 1u << job.outputFormat();
    for (const PairingRow& row : pairingTable()) {
        if (!(row.inputTypes & typeBit) || !(row.outputFormats & formatBit)) continue;
        std::unique_ptr<CFileReader> reader = row.makeReader(job);
        std::unique_ptr<CFileWriter> writer = row.makeWriter(job, *reader);
        return {std::move(reader), std::move(writer)};
    }
    return {};
}

} // namespace vx
