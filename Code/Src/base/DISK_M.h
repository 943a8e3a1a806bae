// Byte streams: the socket base of every stream, files on disk, and files that
// span several floppies behind a multi-disk header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>

#include "base/DosFile.h"
#include "base/FileBuffer.h"
#include "base/SafeOutput.h"
#include "base/Status.h"

namespace vx {

// How a read of a character or of a number-list token ended.
enum class TokenEnd : int16_t {
    eToken = 0,      // read; a token ended by a separator
    eEndOfFile = 1,  // the token ran to the end of the file, or nothing was left
    eReadFailed = 2, // the stream failed
    eTooLong = 3,    // a token longer than size - 1; the rest stays for the next read
};

// What the probe for a multi-disk header found at the start of a file.
enum class SpanningProbe : int16_t {
    eFirstSegment = 0, // the header of disk 1: spanning read started
    eNoHeader = 1,     // no multi-disk header, or a damaged first one
    eOtherSegment = 2, // the header of a later disk
    eAlreadySpanning = 12,
};

// Base of all streams. Virtual operations are in the order of the stream
// family's table; derived streams override by position.
class socket {
  public:
    enum : int16_t { eRead = 0, eWrite = 1, eAppend = 2 };

    virtual ~socket() = default;
    virtual Status open() = 0;
    virtual Status writeBytes(const void* buf, uint32_t len) = 0;
    // Writes a zero-terminated string without its terminator.
    virtual Status writeText(const char* text) = 0;
    // Writes a string through the formatted insertion (honours the field width).
    virtual Status writeFormatted(const char* text) = 0;
    virtual void close() = 0;
    virtual void reset() = 0;
    virtual void closeAndReset() {}
    virtual Status setName(const char*) { return kStatusOk; }
    virtual int16_t setMode(int16_t mode) { return mode_ = mode; }
    virtual Status readBytes(void*, uint32_t) { return kStatusOk; }
    virtual Status readWord(std::string& word) {
        word.clear();
        return kStatusOk;
    }
    virtual TokenEnd readToken(char* buf, size_t size) {
        if (buf && size) buf[0] = '\0';
        return TokenEnd::eToken;
    }
    virtual int isOpen() { return 1; }

    int16_t mode() const { return mode_; }

  protected:
    int32_t word_ = 0;
    int16_t mode_ = eWrite;
};

// A file on disk, opened by the actual name of its name record (resolved
// case-insensitively).
class diskPrt : public socket {
  public:
    diskPrt() = default;
    explicit diskPrt(const char* name) : file_(name) {}
    ~diskPrt() override;

    // Mode 0 reads an existing file, 1 creates or empties, 2 appends; 0 when open.
    Status open() override;
    Status writeBytes(const void* buf, uint32_t len) override;
    Status writeText(const char* text) override;
    // Honours the width set by setWidth (once, like a stream's field width).
    Status writeFormatted(const char* text) override;
    // Closes the file when it is open (a failed stream too, so it can be reopened).
    void close() override;
    void reset() override {}
    Status setName(const char* name) override;
    // Exactly len bytes; 1 when the stream fails (a short read included).
    Status readBytes(void* buf, uint32_t len) override;
    // Skips white space and reads up to the next white space; 1 when no word.
    Status readWord(std::string& word) override;
    int isOpen() override;

    // Sets the read position to an absolute offset.
    Status seek(uint32_t offset);
    void setWidth(int width) { width_ = width; }
    const CDosFile& nameRecord() const { return file_; }
    // errno of the last failure to open or write, 0 when none.
    int systemError() const { return systemError_; }

  protected:
    // Opens the given path (the name as it is on disk) in the current mode.
    Status openAt(const std::string& path);
    // Writes through a descriptor that its owner keeps open, from its position.
    Status openDescriptor(int fd);
    // Flushes and closes; 1 when the flush or the close failed.
    Status closeChecked();
    // The stream's status after an operation, keeping the system's error.
    Status streamStatus();

    // One character (eToken when read). Straight from the stream's buffer:
    // number lists are read one character at a time.
    TokenEnd readChar(char& c) {
        using traits = std::iostream::traits_type;
        if (!stream_.fail()) {
            traits::int_type ch = stream_.rdbuf()->sbumpc();
            if (!traits::eq_int_type(ch, traits::eof())) {
                c = traits::to_char_type(ch);
                return TokenEnd::eToken;
            }
        }
        return endOfChars();
    }
    // readChar found no character: the end of the file or a stream failure.
    TokenEnd endOfChars();

    CDosFile file_;
    CFileBuffer buffer_;
    std::iostream stream_{&buffer_};
    int width_ = 0;
    int systemError_ = 0;
};

// The 20-byte header at the start of every segment of a multi-disk file.
struct MultiDiskHeader {
    static constexpr size_t kSize = 20;
    static constexpr int32_t kMaxCapacity = 0x7FFFFFFF;

    uint16_t diskNumber = 1;
    uint32_t totalSize = 0;
    uint32_t dataPosition = 0;
    int32_t capacity = kMaxCapacity; // in memory: data bytes still left in the segment

    void encode(uint8_t out[kSize]) const;
    // False when the identifier ("QRB", 0x1A, 0) does not match.
    bool decode(const uint8_t in[kSize]);
};

// A file that may span several disks.
class userdiskPrt : public diskPrt {
  public:
    explicit userdiskPrt(const char* name);
    ~userdiskPrt() override;

    // Files of this class are opened with openWithChecks; this returns 1.
    Status open() override { return kStatusFailed; }
    Status writeBytes(const void* buf, uint32_t len) override;
    void close() override;
    // Default header, spanning off.
    void reset() override;
    void closeAndReset() override;
    Status readBytes(void* buf, uint32_t len) override;
    TokenEnd readToken(char* buf, size_t size) override;

    // 0, 1 (open failed, or the output's folder does not exist), 10 (free
    // space below minFree), 11 (empty or missing input), 12 (read-only
    // output). An output goes to a temporary until commitOutput (see
    // CSafeOutput); one that spans disks is written in place.
    Status openWithChecks(int32_t minFree);
    // The output complete: flushed, closed and put in place of the target.
    Status commitOutput();
    // The output failed: closed, and the target left as it was before.
    void discardOutput();
    Status startSpanningWrite(uint32_t totalSize);
    Status startSpanningRead();
    SpanningProbe probeSpanningHeader();
    // Sets the read position and records it as the header's data position.
    Status seek(uint32_t offset);

    // The path the open output is written to (a temporary until
    // commitOutput), for a library that writes the file by its path; the
    // file is empty from then on.
    const std::string& outputPath() {
        output_.emptyTemporary();
        return outputPath_;
    }
    const MultiDiskHeader& header() const { return header_; }
    bool spanning() const { return spanning_ != 0; }

  private:
    // Opens the path that output_ chose (empty: it failed); on failure the
    // output is discarded.
    Status openOutput(const std::string& path);
    Status writeDirect(const uint8_t* buf, uint32_t len);
    Status writeHeader();
    // Closes the full segment (a temporary becomes the file on this disk).
    Status finishSegment();
    Status changeDiskForWrite();
    // True when the file at the path is still the segment just written.
    bool isLastSegment() const;
    // Checks the segment in the drive against the expected disk number and data
    // position; prompts first when prompting is set.
    Status checkSegment(bool prompting);
    // readChar after the character that an overlong token left behind.
    TokenEnd nextChar(char& c);

    MultiDiskHeader header_;
    uint8_t spanning_ = 0;
    int pending_ = -1;
    CSafeOutput output_;
    bool outputPending_ = false;
    std::string outputPath_;
    // The segment written last: its file and the data position it starts at.
    dev_t segmentDevice_ = 0;
    ino_t segmentInode_ = 0;
    uint32_t segmentStart_ = 0;
};

// Disk prompts answered yes without a usable disk end with an error after this many.
constexpr int kMaxUnchangedDisks = 5;

// Asks the user a yes/no question on the console: the message, the second line
// when not empty, then "Continue? (y/n) ". End of input answers no.
bool askContinue(const std::string& message, const std::string& second);

// Answers the questions of askContinue instead of standard input (the
// library's host): given the question's lines joined by '\n', true for yes.
// An empty answerer leaves the answer to standard input. Returns the answerer
// it replaces.
using PromptAnswerer = std::function<bool(const std::string& question)>;
PromptAnswerer setPromptAnswerer(PromptAnswerer answerer);

} // namespace vx
