// Bases of every reader and writer: each opens its file through a stream
// that checks free space, read-only files and empty inputs.
#pragma once
#include <memory>

#include "base/DISK_M.h"
#include "base/Status.h"

namespace vx {

class CFileReader {
  public:
    virtual ~CFileReader() = default;
    // Reads the whole file; 0 for success.
    virtual Status open(const char* name) = 0;
    virtual void close() { file_.reset(); }
    // The slices of the open file: a waterfall's, in the selected channel; 0
    // for a file of one trace or none.
    virtual int16_t sliceCount() const { return 0; }
    // The record length in kpoints of the open time buffer (a Capture/Arb.
    // file's header); 0 for a file of traces.
    virtual int16_t recordKpts() const { return 0; }

  protected:
    // Creates the stream for the name in read mode and opens it; 1 (or the
    // stream's refusal) when it is not open afterwards.
    Status openInput(const char* name);
    std::unique_ptr<userdiskPrt> file_;
};

class CFileWriter {
  public:
    static constexpr int32_t kMinFreeBytes = 100;

    // Keeps an output that was written without failure (see close).
    virtual ~CFileWriter() { CFileWriter::close(); }
    // Writes the whole file from the model; 0 for success.
    virtual Status write(const char* name) = 0;
    // Keeps the output when it was written without a stream failure.
    virtual void close() { (void)finish(true); }
    // Ends the output: a complete one replaces the target (its status: the
    // final flush, close and rename may fail); an incomplete one leaves the
    // target as it was before.
    Status finish(bool complete);
    // errno of the output's last failure to open or write, 0 when none.
    int systemError() const { return systemError_; }
    void setAppend(bool append) { append_ = append ? 1 : 0; }

  protected:
    // Creates the stream in append or write mode and opens it with checks.
    Status openOutput(const char* name);
    // A line on the console only, and the same text with CR LF in the output.
    Status messageLine(const char* text);
    std::unique_ptr<userdiskPrt> file_;
    uint8_t append_ = 0;
    int systemError_ = 0;
};

} // namespace vx
