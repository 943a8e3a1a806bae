// Job construction: the option loop, the format restriction of options, the
// handlers that the option table names, and the job error report.
#include "run/OptionMgr.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "run/CommandLine.h"
#include "run/ConvRun.h"
#include "run/Help.h"
#include "run/OptionLists.h"
#include "run/OutputGuards.h"

namespace vx {

namespace {

static_assert(msg::optionError(eErrLogFile) == msg::eCannotOpenLog,
              "the option errors' texts follow their indices");

void lowerInPlace(char* text) {
    for (; *text; ++text)
        *text = static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
}

void copyCut(char* dest, size_t size, const char* text) {
    std::snprintf(dest, size, "%s", text);
}

// A decimal integer at the start of the text, saturated one short of the range
// of long, so that raising an odd value to the next even one cannot overflow.
bool readInteger(const char* text, long& value) {
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    constexpr long kLimit = LONG_MAX - 1;
    value = std::clamp(std::strtol(text, nullptr, 10), -kLimit, kLimit);
    return true;
}

bool hasControlCharacter(const char* text) {
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) < 0x20 || *text == 0x7f) return true;
    return false;
}

} // namespace

COptionMgr::COptionMgr(CModel& model, int argc, char** argv, const char* settingsFile)
    : model_(model) {
    resetJobOptions(model_.options);
    platform::forgetTypedNames();
    commandLine_ = "vxconv";
    for (int i = 1; i < argc; ++i)
        commandLine_.append(" ").append(argv[i]);
    parse(argc, argv, settingsFile);
}

void COptionMgr::showFilesAs(std::string input, std::string output, std::string commandLine) {
    // Lower-cased as the command line's own names are.
    lowerInPlace(input.data());
    lowerInPlace(output.data());
    shownInput_ = std::move(input);
    shownOutput_ = std::move(output);
    commandLine_ = std::move(commandLine);
}

void COptionMgr::parse(int argc, char** argv, const char* settingsFile) {
    static const std::string letters = optionLetterString();
    CCommandLine tokens(argc, argv, letters.c_str(), settingsFile);
    int last = CCommandLine::kEnd;
    char* lastParam = nullptr;
    while (errorIndex_ == eErrNone) {
        char* param = nullptr;
        int c = tokens.next(param);
        if (c == CCommandLine::kEnd) break;
        last = c;
        lastParam = param;
        if (c >= 'a' && c <= 'z') c = std::toupper(c);
        if (c >= 'A' && c <= 'Z' && !restrictFormats(static_cast<char>(c), param)) break;
        typedParam_ = param ? param : "";
        if (param) lowerInPlace(param);
        actOnOption(c, param);
    }
    if (formatMask_ != 0) {
        if (formatMask_ & formatBit(eFmtAsc)) {
            outputFormat_ = eFmtAsc;
        } else {
            outputFormat_ = 0;
            while (!(formatMask_ & (1u << outputFormat_)))
                ++outputFormat_;
        }
    }
    if (last == '?') {
        if (lastParam)
            errLog() << consoleOnly << msg::eUseHelp << endLine;
        else
            printHelp();
    } else if (errorIndex_ == eErrNone) {
        checkLog();
        if (!keepLog_ && errorIndex_ == eErrNone) errLog().clearLogFile();
    }
}

void COptionMgr::checkLog() {
    const char* why = logRefusal(*this);
    if (!why) return;
    // Not a line for the log: the log is the file this protects.
    errLog() << consoleOnly << msg::eErrorPrefix << why << errLog().logFileName() << endLine;
    errorIndex_ = eErrLogFile;
}

// Intersects the option's allowed formats with those of the options so far.
bool COptionMgr::restrictFormats(char letter, const char* param) {
    const OptionDescriptor* option = findOption(letter);
    const uint32_t allowed = option ? option->formats : 0;
    if (allowed == 0) return true;
    if (formatMask_ == 0) {
        formatMask_ = allowed;
    } else if (formatMask_ & allowed) {
        formatMask_ &= allowed;
    } else {
        reportError(eErrNotAllowed, letter, param);
        return false;
    }
    return true;
}

void COptionMgr::actOnOption(int c, const char* param) {
    if (c == ' ') {
        takeFileArgument(param);
    } else if (c == '?') {
        if (param)
            reportError(eErrInvalidOption, param[0], param[0] ? param + 1 : nullptr);
        else
            errorIndex_ = eErrAborted;
    } else if (c >= 'A' && c <= 'Z') {
        actOnLetter(static_cast<char>(c), param);
    } else {
        reportError(eErrAborted, ' ');
        printHelp();
    }
}

void COptionMgr::actOnLetter(char letter, const char* param) {
    const OptionDescriptor* option = findOption(letter);
    if (!option) {
        reportError(eErrInvalidOption, letter, param);
        return;
    }
    (this->*option->take)(*option, param);
}

bool COptionMgr::checkRange(char letter, const char* param, long value, long lo, long hi) {
    if (value >= lo && value <= hi) return true;
    reportError(eErrOutOfRange, letter, param);
    errLog() << consoleOnly << msg::eUseHelp << endLine;
    return false;
}

bool COptionMgr::readNumber(const OptionDescriptor& option, const char* param, long& value) {
    if (option.arg == EOptionArg::eNumber) {
        value = std::strtol(param, nullptr, 10);
        return true;
    }
    if (readInteger(param, value)) return true;
    reportError(eErrInvalidOption, option.letter, param);
    return false;
}

// A value out of range is refused, and its field takes the nearest bound.
void COptionMgr::checkAndStore(const OptionDescriptor& option, const char* param, long value) {
    checkRange(option.letter, param, value, option.lo, option.hi);
    option.store(model_.options, std::clamp(value, option.lo, option.hi));
}

void COptionMgr::takeSwitch(const OptionDescriptor& option, const char*) {
    option.store(model_.options, 1);
}

void COptionMgr::takeNumber(const OptionDescriptor& option, const char* param) {
    long v = 0;
    if (readNumber(option, param, v)) checkAndStore(option, param, v);
}

void COptionMgr::takeAppend(const OptionDescriptor&, const char*) {
    jobFlags_ |= eJobAppend;
}

void COptionMgr::takeKeepLog(const OptionDescriptor&, const char*) {
    keepLog_ = true;
}

void COptionMgr::takeColumns(const OptionDescriptor&, const char* param) {
    if (!parseColumnList(param, model_.options.columns))
        reportError(eErrInvalidColumns, 'C', param);
    jobFlags_ |= eJobColumnsGiven;
}

void COptionMgr::takeUnits(const OptionDescriptor&, const char* param) {
    ConvOptions& o = model_.options;
    UnitChoice u{o.peakUnits, o.dbMode, o.phaseUnits};
    if (!parseUnitList(param, u)) {
        reportError(eErrInvalidUnits, 'U', param);
        return;
    }
    o.peakUnits = u.peakUnits;
    o.dbMode = u.dbMode;
    o.phaseUnits = u.phaseUnits;
}

void COptionMgr::takeArrayName(const OptionDescriptor&, const char* param) {
    copyCut(model_.options.arrayName, sizeof model_.options.arrayName, param);
}

// Exactly "1" (standard) or "2" (exhaustive): file information only.
void COptionMgr::takeHeaderMode(const OptionDescriptor& option, const char* param) {
    if (std::strcmp(param, "1") != 0 && std::strcmp(param, "2") != 0) {
        reportError(eErrInvalidOption, option.letter, param);
        return;
    }
    model_.options.headerMode = static_cast<uint8_t>(param[0] - '0');
    model_.options.writeData = 0;
}

// Exactly "a" or "b": the waterfall channel.
void COptionMgr::takeChannel(const OptionDescriptor& option, const char* param) {
    if (std::strcmp(param, "a") != 0 && std::strcmp(param, "b") != 0) {
        reportError(eErrInvalidOption, option.letter, param);
        return;
    }
    model_.options.wfChannel = param[0] == 'b';
}

void COptionMgr::takeReplacementFile(const OptionDescriptor&, const char* param) {
    if (takeName(CDosFile::kMaxName)) files_[2].set(param);
}

void COptionMgr::takeFileArgument(const char* name) {
    if (fileCount_ >= 2) {
        reportError(eErrTooManyFiles, ' ');
        return;
    }
    if (takeName(CDosFile::kMaxName)) files_[fileCount_++].set(name);
}

bool COptionMgr::takeName(size_t limit) {
    if (!nameFits(typedParam_.c_str(), limit)) {
        errorIndex_ = eErrAborted;
        return false;
    }
    platform::preferTypedName(typedParam_);
    return true;
}

void COptionMgr::takeLogName(const OptionDescriptor&, const char* name) {
    if (!takeName(CErrLogger::kMaxNameLen)) return;
    // The log as typed when that file exists, else the name as used.
    const char* log = platform::resolvePath(name) == typedParam_ ? typedParam_.c_str() : name;
    if (chooseLogFile(log).failed()) reportError(eErrLogFile, ' ', name);
}

void COptionMgr::takeOutputFormat(const OptionDescriptor&, const char* keyword) {
    const uint32_t mask = formatMaskOfKeyword(keyword);
    if (mask == 0 || (formatMask_ != 0 && !(formatMask_ & mask))) {
        reportError(eErrInvalidOutputType, ' ', keyword);
        return;
    }
    formatMask_ = mask;
    if (!(jobFlags_ & eJobColumnsGiven)) applyDefaultColumns(mask, model_.options);
}

void COptionMgr::takeInputRange(const OptionDescriptor& option, const char* param) {
    long v = 0;
    if (!readNumber(option, param, v)) return;
    if (v % 2 != 0) {
        ++v;
        errLog() << msg::eOddInputRange << endLine;
        errLog() << msg::eRangeSetTo << v << msg::eDbvpkUnit << endLine;
    }
    checkAndStore(option, param, v);
}

void COptionMgr::takeRecordLength(const OptionDescriptor& option, const char* param) {
    long v = 0;
    if (!readNumber(option, param, v)) return;
    if (v > 0 && v % 2 != 0) {
        ++v;
        errLog() << msg::eOddKpts << endLine;
        errLog() << msg::eFileIncreasedTo << v << msg::eKptsUnit << endLine;
    }
    checkAndStore(option, param, v);
}

void COptionMgr::takeTransducer(const OptionDescriptor&, const char* param) {
    // Exactly "<bnc>,<number>" with bnc 1 or 2 and number 1 to 9.
    if ((param[0] != '1' && param[0] != '2') || param[1] != ',' || param[2] < '1' ||
        param[2] > '9' || param[3] != '\0') {
        reportError(eErrInvalidOption, 'T', param);
        return;
    }
    model_.options.transducer[param[0] - '1'] = static_cast<int16_t>(param[2] - '1');
}

void COptionMgr::takeModal(const OptionDescriptor&, const char* param) {
    char who = param[0];
    char what = who ? param[1] : '\0';
    const char* value = what ? param + 2 : "";
    bool ref = who == 'r';
    if ((who != 'r' && who != 's') || (what != 'i' && what != 'n' && what != 'd')) {
        reportError(eErrInvalidOption, 'M', param);
        return;
    }
    ModalValues& m = model_.options.modalValues;
    uint16_t& modalFlags = model_.options.modalFlags;
    // A name goes into a line record: a line break or other control character
    // would split it.
    if (what == 'i' && hasControlCharacter(value)) {
        reportError(eErrInvalidOption, 'M', param);
        return;
    }
    if (what == 'i') {
        copyCut(ref ? m.refName : m.respName, sizeof m.refName, value);
        modalFlags |= ref ? eModalRefName : eModalRespName;
    } else if (what == 'n') {
        (ref ? m.refNumber : m.respNumber) = static_cast<int16_t>(std::strtol(value, nullptr, 10));
        modalFlags |= ref ? eModalRefNumber : eModalRespNumber;
    } else {
        long d = std::strtol(value, nullptr, 10);
        checkRange('M', param, d, 0, 12);
        (ref ? m.refDirection : m.respDirection) = static_cast<int16_t>(d < 0    ? 0
                                                                        : d > 12 ? 12
                                                                                 : d);
        modalFlags |= ref ? eModalRefDirection : eModalRespDirection;
    }
}

// Only the current version or an older one down to the lowest accepted.
void COptionMgr::takeVersion(const OptionDescriptor& option, const char* param) {
    long v = 0;
    if (!readNumber(option, param, v)) return;
    char* platformVersion = model_.options.platformVersion;
    const long current = std::min(option.hi, std::atol(platformVersion));
    if (!checkRange(option.letter, param, v, option.lo, current)) return;
    std::snprintf(platformVersion, sizeof model_.options.platformVersion, "%u",
                  static_cast<unsigned>(v) % 1000u);
}

void COptionMgr::takeFormat(const OptionDescriptor&, const char* param) {
    char format[sizeof model_.options.dataFormat];
    copyCut(format, sizeof format, param);
    if (!isSafeDataFormat(format)) {
        reportError(eErrInvalidOption, 'F', param);
        return;
    }
    std::memcpy(model_.options.dataFormat, format, sizeof format);
}

void COptionMgr::printHelp() {
    printHelpText(model_.options, fileCount_, outputFormat_);
}

Status COptionMgr::run() {
    return runConversion(*this);
}

void COptionMgr::reportError(int32_t index, char c, const char* text) {
    errorIndex_ = index;
    errLog() << msg::optionError(index) << c;
    if (text) errLog() << text;
    errLog() << endLine;
}

} // namespace vx
