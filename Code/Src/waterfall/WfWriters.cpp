// Writing Waterfall slices as ASCII tables, and copying Waterfall files
// through the multi-disk layer.
#include <algorithm>
#include <string>

#include "base/ErrLogger.h"
#include "base/Messages.h"
#include "base/Options.h"
#include "base/VX550.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"
#include "waterfall/Waterfall.h"

namespace vx {

namespace {

std::string decimal(int32_t v) {
    return std::to_string(v);
}

} // namespace

// ------------------------------------------------------------ ASCII

Status CWfAsciiWriter::write(const char* name) {
    count_ = reader_ ? reader_->count() : 0;
    return CAsciiTraceWriter::write(name);
}

std::string CWfAsciiWriter::sliceText() {
    return decimal(model_.options.wfFirst);
}

void CWfAsciiWriter::writeHeader() {
    CAsciiTraceWriter::writeHeader();
    int32_t first = model_.options.wfFirst;
    (void)messageLine(
        (std::string(msg::text(msg::eExtractingCh)) + (model_.options.wfChannel ? "B" : "A"))
            .c_str());
    (void)messageLine((msg::text(msg::eStartingFrom) + decimal(first)).c_str());
    (void)messageLine((msg::text(msg::eExtractingTo) + decimal(first + count_ - 1)).c_str());
    (void)messageLine("");
}

Status CWfAsciiWriter::writeData() {
    if (!reader_ || count_ <= 0) {
        errLog() << msg::eNoDataToExtract << endLine;
        return kStatusFailed;
    }
    // Every slice expands "v" under the saved view, not the last column's.
    CSavedView saved(model_.cat);
    for (int32_t i = 0; i < count_; ++i) {
        Status st = reader_->nextSlice();
        if (st.failed()) return st;
        if (model_.options.headerMode != 0)
            (void)file_->writeText(
                ("Trace # " + decimal(model_.options.wfFirst + i) + "\r\n").c_str());
        saved.restore();
        st = CAsciiTraceWriter::writeData();
        if (st.failed()) return st;
        (void)file_->writeText("\r\n");
    }
    return kStatusOk;
}

// ------------------------------------------------------------ copy

Status CWfCopyReader::open(const char* name) {
    totalSize_ = 0;
    if (openInput(name).failed() || file_->startSpanningRead().failed()) return kStatusFailed;
    uint32_t total = file_->header().totalSize;
    // The total counts the 20-byte multi-disk header; less than that is no file.
    if (total < MultiDiskHeader::kSize) return kStatusFailed;
    totalSize_ = total;
    errLog() << msg::eWaterfallType << endLine << endLine;
    return kStatusOk;
}

Status CWfCopyReader::readChunk(uint8_t* buf, uint32_t len) {
    if (!file_) return kStatusFailed;
    Status st = file_->readBytes(buf, len);
    if (st.failed()) errLog() << msg::eFileReadError << endLine;
    return st;
}

Status CWfCopyWriter::write(const char* name) {
    if (openOutput(name).failed()) return kStatusFailed;
    uint32_t total = reader_ ? reader_->totalSize() : 0;
    if (total < MultiDiskHeader::kSize || file_->startSpanningWrite(total).failed()) {
        errLog() << msg::eErrorWritingFile << endLine;
        return kStatusFailed;
    }
    CBulkBufferClaim bulk;
    for (uint32_t left = total - MultiDiskHeader::kSize; left > 0;) {
        uint32_t n = std::min(left, kWfCopyChunk);
        Status st = reader_->readChunk(bulk.data(), n);
        if (st.ok()) st = file_->writeBytes(bulk.data(), n);
        if (st.failed()) return st;
        left -= n;
    }
    return kStatusOk;
}

} // namespace vx
