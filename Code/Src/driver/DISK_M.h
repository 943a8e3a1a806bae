// Byte streams: the socket base of every stream, files on disk, and files that
// span several floppies behind a multi-disk header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/Status.h"

namespace vx {

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
    virtual int setName(const char*) { return 0; }
    virtual int16_t setMode(int16_t mode) { return mode_ = mode; }
    virtual Status readBytes(void*, uint32_t) { return 0; }
    virtual Status readWord(std::string& word) {
        word.clear();
        return 0;
    }
    virtual Status readToken(char* buf, size_t size) {
        if (buf && size) buf[0] = '\0';
        return 0;
    }
    virtual int isOpen() { return 1; }

    int16_t mode() const { return mode_; }

  protected:
    int32_t word_ = 0;
    int16_t mode_ = eWrite;
};

} // namespace vx
