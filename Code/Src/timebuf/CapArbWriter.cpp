// Writing Capture/Arb. Waveform files block by block through the bulk buffer.
#include "timebuf/CapArbWriter.h"

#include <algorithm>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Messages.h"
#include "base/OUTP.h"
#include "base/VX550.h"

namespace vx {

namespace {

constexpr uint32_t kWriteBlockCapacity = 100;
constexpr uint8_t kFileEnd = 0x0A;

uint32_t announcedSize(const CapArbHeader& header) {
    return kBytesPerKpt * static_cast<uint32_t>(std::max<int16_t>(header.recordKpts, 0)) +
           kCapArbOverhead;
}

Status writeFailed() {
    errLog() << msg::eErrorWritingFile << endLine;
    return kStatusFailed;
}

} // namespace

Status CCapArbWriter::fillBlock(uint8_t* block) {
    if (list_) return list_->readBlock(block);
    if (copy_) return copy_->readBlock(block, false);
    return kStatusFailed;
}

Status CCapArbWriter::writeSamples(const CapArbHeader& header) {
    CBulkBufferClaim bulk;
    for (int n = header.recordKpts / kBlockKpts; n > 0; --n) {
        if (fillBlock(bulk.data()).failed()) return kStatusFailed;
        if (file_->writeBytes(bulk.data(), kBlockBytes).failed()) return kStatusFailed;
    }
    return file_->writeBytes(&kFileEnd, 1);
}

Status CCapArbWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    const CapArbHeader& header = list_ ? list_->header() : copy_->header();
    memPrt block(kWriteBlockCapacity);
    uint8_t raw[kCapArbBlockLength];
    encodeCapArbHeader(header, raw);
    putLe16(raw + kCapArbHeaderSize, static_cast<uint16_t>(kind_));
    if (block.writeBytes(raw, sizeof raw).failed()) return writeFailed();
    if (file_->startSpanningWrite(announcedSize(header)).failed()) return writeFailed();
    if (writeTag(*file_, eCapArbTag).failed() || block.writeBlock(*file_).failed() ||
        writeSamples(header).failed())
        return writeFailed();
    return kStatusOk;
}

} // namespace vx
