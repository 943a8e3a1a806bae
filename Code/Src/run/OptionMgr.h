// The job: one conversion request built from an argument vector and the
// settings file; it fills the option block and holds the file names.
#pragma once
#include <cstdint>

#include "base/DosFile.h"
#include "base/Status.h"
#include "run/Pairing.h"

namespace vx {

// Option error indexes; the messages are in the job's error table.
enum EOptionError : int32_t {
    eErrNone = 0,
    eErrNotAllowed = 1,
    eErrInvalidOption = 2,
    eErrAborted = 3,
    eErrTooManyFiles = 4,
    eErrInvalidOutputType = 5,
    eErrOutOfRange = 6,
    eErrInvalidColumns = 7,
    eErrInvalidUnits = 8,
    eErrInvalidInputFile = 9,
    eErrCannotConvert = 10,
    eErrOutputFile = 11,
    eErrLogFile = 12,
};

enum EJobFlag : uint32_t { eJobAppend = 1, eJobColumnsGiven = 2 };

class COptionMgr {
  public:
    static constexpr const char* kSettingsFile = "vxt560.ini";

    // Parses the settings file (if named) and then argv[1..argc-1]; parameters
    // and file names are lower-cased in place.
    COptionMgr(int argc, char** argv, const char* settingsFile);
    COptionMgr(const COptionMgr&) = delete;
    COptionMgr& operator=(const COptionMgr&) = delete;

    int32_t inputType() const { return inputType_; }
    void setInputType(int32_t type) { inputType_ = type; }
    int32_t outputFormat() const { return outputFormat_; }
    void setOutputFormat(int32_t format) { outputFormat_ = format; }
    int32_t errorIndex() const { return errorIndex_; }
    uint8_t fileCount() const { return fileCount_; }
    CDosFile& file(int index) { return files_[index]; }
    uint32_t jobFlags() const { return jobFlags_; }

    // Sets the error index and writes the error's message, the character and
    // the text (if any) as one line on the console and in the log.
    void reportError(int32_t index, char c, const char* text = nullptr);
    void printHelp();
    Status run();

  private:
    void parse(int argc, char** argv, const char* settingsFile);
    bool restrictFormats(char letter, const char* param);
    void actOnOption(int c, char* param);
    void actOnLetter(char letter, char* param);
    void checkRange(char letter, const char* param, long value, long lo, long hi);
    bool parseInteger(char letter, const char* param, long& value);
    void takeFileArgument(const char* name);
    void takeOutputFormat(const char* keyword);
    void takeInputRange(char letter, const char* param);
    void takeRecordLength(char letter, const char* param);
    void takeTransducer(const char* param);
    void takeModal(const char* param);
    void takeVersion(char letter, const char* param);
    void takeFormat(const char* param);

    int32_t inputType_ = -2;
    int32_t outputFormat_ = eFmtNone;
    int32_t errorIndex_ = eErrNone;
    uint8_t fileCount_ = 0;
    CDosFile files_[3];
    uint32_t jobFlags_ = 0;
    uint32_t formatMask_ = 0;
    bool keepLog_ = false;
};

} // namespace vx
