// Waterfall files: the reader that loads their settings and hands out the
// slices of one channel, the ASCII writer of a run of slices, and the copy
// reader and writer that join or split a file spread over floppies.
#pragma once
#include <cstdint>
#include <string>

#include "ascii/AsciiTraceWriter.h"
#include "base/FileIO.h"
#include "base/OUTP.h"
#include "base/TimeStamp.h"
#include "trace/Model.h"

namespace vx {

constexpr uint32_t kWfHeaderCapacity = 20000; // the header block's memPrt
constexpr uint32_t kWfRawBlockBytes = 8192;   // one block of raw working data
constexpr uint32_t kWfSliceHeadersPerBlock = 204;
constexpr uint32_t kWfChannelRecordBytes = 262;
constexpr uint32_t kWfCopyChunk = 30000;
constexpr int16_t kWfSelectorCount = 6;

// The mask of working-data blocks that follow the slice headers, by block-set
// selector (0..5) and input mode (0 independent channels, 1 dual channel).
uint8_t wfBlockMask(int16_t selector, int16_t inputMode);

// Fills the model's trace and the parameters, for the slices that the
// model's options select.
class CWaterFallReader : public CFileReader {
  public:
    explicit CWaterFallReader(CModel& model) : model_(model) {}
    // Loads the settings of both channels (swapped with /WB), passes over the
    // working data and positions the file at slice /S of the /W channel.
    // 0 success, 1 failure (reported where it was found).
    Status open(const char* name) override;
    // Reads the next slice into the trace: 0, 1 when none is left, 2 when the
    // slice cannot be read ("File Read Error: process aborted").
    Status nextSlice();
    // The slices still to hand out: after open, the number to extract.
    int16_t count() const { return slicesLeft_; }
    // The slices in the selected channel's vector section (N).
    int16_t sliceCount() const override { return sliceCount_; }
    const TimeStamp& timeStamp() const { return timeStamp_; }

  private:
    struct Layout;
    Status readHeaderBlock(uint8_t* bulk, Layout& layout);
    Status readChannelSettings(memPrt& block, int16_t display);
    Status passOverWorkingBlocks(uint8_t* bulk, const Layout& layout);
    Status passOverRawData(uint8_t* bulk, const Layout& layout);
    Status positionAtFirstSlice(uint8_t* bulk, const Layout& layout);
    Status readSectionStart(int16_t& slices);
    Status passOverSlices(uint8_t* bulk, int32_t slices);
    Status passOver(uint8_t* bulk, uint64_t bytes);

    CModel& model_;
    int16_t sliceCount_ = 0;
    int16_t slicesLeft_ = 0;
    TimeStamp timeStamp_;
};

class CWfAsciiWriter : public CAsciiTraceWriter {
  public:
    CWfAsciiWriter(CModel& model, CWaterFallReader* reader)
        : CAsciiTraceWriter(model), reader_(reader) {}
    Status write(const char* name) override;

  protected:
    // The trace header, then the channel and the first and last slice index.
    void writeHeader() override;
    // Every slice to extract, each as a trace's data under its "Trace # " line.
    Status writeData() override;
    // The index of the first slice extracted.
    std::string sliceText() override;

  private:
    CWaterFallReader* reader_;
    int16_t count_ = 0;
};

class CWfCopyReader : public CFileReader {
  public:
    // Starts the spanning read and takes the announced total size; 1 when it
    // is 0 (or too small for the multi-disk header).
    Status open(const char* name) override;
    // Exactly len bytes of the logical file; the stream's status.
    Status readChunk(uint8_t* buf, uint32_t len);
    uint32_t totalSize() const { return totalSize_; }

  private:
    uint32_t totalSize_ = 0;
};

class CWfCopyWriter : public CFileWriter {
  public:
    explicit CWfCopyWriter(CWfCopyReader* reader) : reader_(reader) {}
    // Announces the reader's total and copies its bytes in 30000-byte chunks.
    Status write(const char* name) override;

  private:
    CWfCopyReader* reader_;
};

} // namespace vx
