// The job: one conversion request built from an argument vector and the
// settings file; it fills the option block of its model, holds the file names
// and runs the conversion through that model.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/DosFile.h"
#include "base/Status.h"
#include "run/OptionTable.h"
#include "run/Pairing.h"
#include "trace/Model.h"

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
    COptionMgr(CModel& model, int argc, char** argv, const char* settingsFile);
    COptionMgr(const COptionMgr&) = delete;
    COptionMgr& operator=(const COptionMgr&) = delete;

    CModel& model() { return model_; }
    int32_t inputType() const { return inputType_; }
    void setInputType(int32_t type) { inputType_ = type; }
    int32_t outputFormat() const { return outputFormat_; }
    void setOutputFormat(int32_t format) { outputFormat_ = format; }
    int32_t errorIndex() const { return errorIndex_; }
    uint8_t fileCount() const { return fileCount_; }
    CDosFile& file(int index) { return files_[index]; }
    uint32_t jobFlags() const { return jobFlags_; }
    // The command line as given, before any lower-casing ("vxconv" and the
    // arguments), for outputs that record how they were made.
    const std::string& commandLine() const { return commandLine_; }
    // For a caller that hands the run its one input and output under staged
    // names: the names the run reports and writes for them instead (an empty
    // output: the staged one), lower-cased as the command line's names are,
    // and the command line its outputs record.
    void showFilesAs(std::string input, std::string output, std::string commandLine);
    // The names the run reports and writes for the current input and output.
    const char* shownInputName() {
        return shownInput_.empty() ? files_[0].name() : shownInput_.c_str();
    }
    const char* shownOutputName() {
        return shownOutput_.empty() ? files_[1].name() : shownOutput_.c_str();
    }

    // Sets the error index and writes the error's message, the character and
    // the text (if any) as one line on the console and in the log.
    void reportError(int32_t index, char c, const char* text = nullptr);
    void printHelp();
    Status run();

    // The options, one descriptor per letter (defined in OptionTable.cpp,
    // where the rows name the handlers below).
    static const std::vector<OptionDescriptor>& optionTable();

  private:
    void parse(int argc, char** argv, const char* settingsFile);
    bool restrictFormats(char letter, const char* param);
    void actOnOption(int c, const char* param);
    void actOnLetter(char letter, const char* param);
    // True when the value lies in [lo, hi]; otherwise reports error 6.
    bool checkRange(char letter, const char* param, long value, long lo, long hi);
    bool readNumber(const OptionDescriptor& option, const char* param, long& value);
    void checkAndStore(const OptionDescriptor& option, const char* param, long value);
    void takeFileArgument(const char* name);
    // A name of at most limit characters is remembered as typed; a longer one
    // is refused. False after the refusal.
    bool takeName(size_t limit);
    // Refuses a log that is a file of the run, before it is cleared or written.
    void checkLog();

    // Option handlers, named by the option table.
    void takeSwitch(const OptionDescriptor& option, const char* param);
    void takeNumber(const OptionDescriptor& option, const char* param);
    void takeAppend(const OptionDescriptor& option, const char* param);
    void takeKeepLog(const OptionDescriptor& option, const char* param);
    void takeColumns(const OptionDescriptor& option, const char* param);
    void takeUnits(const OptionDescriptor& option, const char* param);
    void takeLogName(const OptionDescriptor& option, const char* name);
    void takeFormat(const OptionDescriptor& option, const char* param);
    void takeArrayName(const OptionDescriptor& option, const char* param);
    void takeHeaderMode(const OptionDescriptor& option, const char* param);
    void takeChannel(const OptionDescriptor& option, const char* param);
    void takeReplacementFile(const OptionDescriptor& option, const char* param);
    void takeOutputFormat(const OptionDescriptor& option, const char* keyword);
    void takeInputRange(const OptionDescriptor& option, const char* param);
    void takeRecordLength(const OptionDescriptor& option, const char* param);
    void takeTransducer(const OptionDescriptor& option, const char* param);
    void takeModal(const OptionDescriptor& option, const char* param);
    void takeVersion(const OptionDescriptor& option, const char* param);

    CModel& model_;
    std::string commandLine_;
    std::string shownInput_;  // empty: the input's own name
    std::string shownOutput_; // empty: the output's own name
    int32_t inputType_ = -2;
    int32_t outputFormat_ = eFmtNone;
    int32_t errorIndex_ = eErrNone;
    uint8_t fileCount_ = 0;
    CDosFile files_[3];
    uint32_t jobFlags_ = 0;
    uint32_t formatMask_ = 0;
    bool keepLog_ = false;
    // The current parameter as typed, before lower-casing.
    std::string typedParam_;
};

} // namespace vx
