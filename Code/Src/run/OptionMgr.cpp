// Job construction: the option loop, the format restriction of options, the
// option table with its ranges and warnings, and the job error report.
#include "run/OptionMgr.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

const char* const kOptionLetters =
    "aAb+B+c+C+dDe+E+f+F+g+G+h+H+i+I+jJl+L+k+K+m+M+n+N+o+O+p+P+q+Q+r+R+s+S+t+T+u+U+v+V+w+W+?";

const char* const kErrorMessages[] = {
    "",
    "Error: Option not allowed: /",
    "Error: Invalid option: /",
    "Error: Process aborted",
    "Error: Too many files",
    "Error: Invalid output file type: /",
    "Error: Parameter out of range: /",
    "Error: Invalid column options: /",
    "Error: Invalid unit options: /",
    "Error: Invalid input file",
    "Error: Can not convert to output file type",
    "Error: Problem with output file",
    "Error: Can' open log file: ",
};

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

COptionMgr::COptionMgr(int argc, char** argv, const char* settingsFile) {
    resetJobOptions();
    platform::forgetTypedNames();
    parse(argc, argv, settingsFile);
}

void COptionMgr::parse(int argc, char** argv, const char* settingsFile) {
    CCommandLine tokens(argc, argv, kOptionLetters, settingsFile);
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
            errLog() << consoleOnly << "  Use /? for help" << endLine;
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
    errLog() << consoleOnly << "Error: " << why << errLog().logFileName() << endLine;
    errorIndex_ = eErrLogFile;
}

// Intersects the option's allowed formats with those of the options so far.
bool COptionMgr::restrictFormats(char letter, const char* param) {
    uint32_t allowed = formatsTakingOption(letter);
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

void COptionMgr::actOnOption(int c, char* param) {
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

void COptionMgr::actOnLetter(char letter, char* param) {
    ConvOptions& o = convOptions;
    long v = 0;
    switch (letter) {
    case 'A':
        jobFlags_ |= eJobAppend;
        break;
    case 'B':
        if (parseInteger(letter, param, v)) checkRange(letter, param, v, 0, 1);
        o.capArbHeader.baseFreqId = static_cast<int16_t>(v);
        break;
    case 'C':
        if (!parseColumnList(param, o.columns)) reportError(eErrInvalidColumns, 'C', param);
        jobFlags_ |= eJobColumnsGiven;
        break;
    case 'D':
        o.writeData = 1;
        o.headerMode = 0;
        break;
    case 'E':
        takeLogName(param);
        break;
    case 'F':
        takeFormat(param);
        break;
    case 'G':
        copyCut(o.arrayName, sizeof o.arrayName, param);
        break;
    case 'H':
        if (std::strcmp(param, "1") != 0 && std::strcmp(param, "2") != 0) {
            reportError(eErrInvalidOption, letter, param);
            break;
        }
        o.headerMode = static_cast<uint8_t>(param[0] - '0');
        o.writeData = 0;
        break;
    case 'I':
        takeInputRange(letter, param);
        break;
    case 'J':
        keepLog_ = true;
        break;
    case 'K':
        if (parseInteger(letter, param, v)) checkRange(letter, param, v, 0, 2);
        o.separator[0] = v <= 0 ? ' ' : v == 1 ? ',' : '\t';
        break;
    case 'L':
        takeRecordLength(letter, param);
        break;
    case 'M':
        takeModal(param);
        break;
    case 'N':
        if (parseInteger(letter, param, v)) checkRange(letter, param, v, 0, 19);
        o.capArbHeader.spanCode = static_cast<int16_t>(19 - (v < 0 ? 0 : v > 19 ? 19 : v));
        break;
    case 'O':
        takeOutputFormat(param);
        break;
    case 'P':
        v = std::strtol(param, nullptr, 10);
        checkRange(letter, param, v, 1, 32767);
        o.pointsPerLine = static_cast<uint16_t>(v < 1 ? 1 : v > 32767 ? 32767 : v);
        break;
    case 'Q':
        if (takeName(CDosFile::kMaxName)) files_[2].set(param);
        break;
    case 'R':
        if (parseInteger(letter, param, v)) checkRange(letter, param, v, 1, 2048);
        o.wfCount = static_cast<int16_t>(v < 1 ? 1 : v > 2048 ? 2048 : v);
        break;
    case 'S':
        if (parseInteger(letter, param, v)) checkRange(letter, param, v, 0, 2048);
        o.wfFirst = static_cast<uint16_t>(v < 0 ? 0 : v > 2048 ? 2048 : v);
        break;
    case 'T':
        takeTransducer(param);
        break;
    case 'U': {
        UnitChoice u{o.peakUnits, o.dbMode, o.phaseUnits};
        if (!parseUnitList(param, u)) {
            reportError(eErrInvalidUnits, 'U', param);
            break;
        }
        o.peakUnits = u.peakUnits;
        o.dbMode = u.dbMode;
        o.phaseUnits = u.phaseUnits;
        break;
    }
    case 'V':
        takeVersion(letter, param);
        break;
    case 'W':
        if (std::strcmp(param, "a") != 0 && std::strcmp(param, "b") != 0) {
            reportError(eErrInvalidOption, letter, param);
            break;
        }
        o.wfChannel = param[0] == 'b';
        break;
    default:
        reportError(eErrInvalidOption, letter, param);
        break;
    }
}

bool COptionMgr::parseInteger(char letter, const char* param, long& value) {
    if (readInteger(param, value)) return true;
    reportError(eErrInvalidOption, letter, param);
    return false;
}

void COptionMgr::checkRange(char letter, const char* param, long value, long lo, long hi) {
    if (value >= lo && value <= hi) return;
    reportError(eErrOutOfRange, letter, param);
    errLog() << consoleOnly << "  Use /? for help" << endLine;
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

void COptionMgr::takeLogName(const char* name) {
    if (!takeName(CErrLogger::kMaxNameLen)) return;
    // The log as typed when that file exists, else the name as used.
    const char* log = platform::resolvePath(name) == typedParam_ ? typedParam_.c_str() : name;
    if (chooseLogFile(log) != 0) reportError(eErrLogFile, ' ', name);
}

void COptionMgr::takeOutputFormat(const char* keyword) {
    const uint32_t mask = formatMaskOfKeyword(keyword);
    if (mask == 0 || (formatMask_ != 0 && !(formatMask_ & mask))) {
        reportError(eErrInvalidOutputType, ' ', keyword);
        return;
    }
    formatMask_ = mask;
    if (!(jobFlags_ & eJobColumnsGiven)) applyDefaultColumns(mask);
}

void COptionMgr::takeInputRange(char letter, const char* param) {
    long v = 0;
    if (!parseInteger(letter, param, v)) return;
    if (v % 2 != 0) {
        ++v;
        errLog() << "Warning, only even Input ranges allowed" << endLine;
        errLog() << "Range set to: " << v << " dBVpk" << endLine;
    }
    checkRange(letter, param, v, -50, 30);
    int16_t range = static_cast<int16_t>(v < -50 ? -50 : v > 30 ? 30 : v);
    convOptions.capArbHeader.inputRange[0] = convOptions.capArbHeader.inputRange[1] = range;
}

void COptionMgr::takeRecordLength(char letter, const char* param) {
    long v = 0;
    if (!parseInteger(letter, param, v)) return;
    if (v > 0 && v % 2 != 0) {
        ++v;
        errLog() << "Warning, only even number of kpts allowed" << endLine;
        errLog() << "File increased to " << v << " kpts" << endLine;
    }
    checkRange(letter, param, v, 2, 2048);
    convOptions.capArbHeader.recordKpts = static_cast<int16_t>(v < 2 ? 2 : v > 2048 ? 2048 : v);
}

void COptionMgr::takeTransducer(const char* param) {
    // Exactly "<bnc>,<number>" with bnc 1 or 2 and number 1 to 9.
    if ((param[0] != '1' && param[0] != '2') || param[1] != ',' || param[2] < '1' ||
        param[2] > '9' || param[3] != '\0') {
        reportError(eErrInvalidOption, 'T', param);
        return;
    }
    transducer[param[0] - '1'] = static_cast<int16_t>(param[2] - '1');
}

void COptionMgr::takeModal(const char* param) {
    char who = param[0];
    char what = who ? param[1] : '\0';
    const char* value = what ? param + 2 : "";
    bool ref = who == 'r';
    if ((who != 'r' && who != 's') || (what != 'i' && what != 'n' && what != 'd')) {
        reportError(eErrInvalidOption, 'M', param);
        return;
    }
    ModalValues& m = modalValues;
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

void COptionMgr::takeVersion(char letter, const char* param) {
    long v = 0;
    if (!parseInteger(letter, param, v)) return;
    long current = std::atol(platformVersion);
    if (v < kLowestPlatformVersion || v > current) {
        checkRange(letter, param, v, kLowestPlatformVersion, current);
        return;
    }
    std::snprintf(platformVersion, sizeof platformVersion, "%u", static_cast<unsigned>(v) % 1000u);
}

void COptionMgr::takeFormat(const char* param) {
    char format[sizeof convOptions.dataFormat];
    copyCut(format, sizeof format, param);
    if (!isSafeDataFormat(format)) {
        reportError(eErrInvalidOption, 'F', param);
        return;
    }
    std::memcpy(convOptions.dataFormat, format, sizeof format);
}

void COptionMgr::printHelp() {
    printHelpText(fileCount_, outputFormat_);
}

Status COptionMgr::run() {
    return runConversion(*this);
}

void COptionMgr::reportError(int32_t index, char c, const char* text) {
    errorIndex_ = index;
    const char* message = index >= 0 && index <= eErrLogFile ? kErrorMessages[index] : "";
    errLog() << message << c;
    if (text) errLog() << text;
    errLog() << endLine;
}

} // namespace vx
