// The option table: one row per letter, in alphabetical order.
#include "run/OptionTable.h"

#include <cctype>

#include "base/Options.h"
#include "run/OptionMgr.h"

namespace vx {

namespace {

constexpr uint32_t k56d = formatBit(eFmt56d);
constexpr uint32_t kAsc = formatBit(eFmtAsc);
constexpr uint32_t kSdf = formatBit(eFmtSdf);
constexpr uint32_t kCap = formatBit(eFmtCap);
constexpr uint32_t kArb = formatBit(eFmtArb);
constexpr uint32_t kUff = formatBit(eFmtUff);
constexpr uint32_t kMat = formatBit(eFmtMat);
constexpr uint32_t kCsv = formatBit(eFmtCsv);
// The JSON output takes the columns, units and slices as CSV does.
constexpr uint32_t kJson = formatBit(eFmtJson);
constexpr uint32_t kNc = formatBit(eFmtNc);
constexpr uint32_t kEvery = 0;

using Arg = EOptionArg;
using Job = COptionMgr;

void storeBaseFrequency(ConvOptions& o, long v) {
    o.listCapture.baseFreqId = static_cast<int16_t>(v);
}
void storeDataOnly(ConvOptions& o, long) {
    o.writeData = 1;
    o.headerMode = 0;
}
void storeInputRange(ConvOptions& o, long v) {
    CapArbHeader& h = o.listCapture;
    h.inputRange[0] = h.inputRange[1] = static_cast<int16_t>(v);
}
void storeSeparator(ConvOptions& o, long v) {
    o.separator[0] = v == 0 ? ' ' : v == 1 ? ',' : '\t';
}
void storeRecordLength(ConvOptions& o, long v) {
    o.listCapture.recordKpts = static_cast<int16_t>(v);
}
// The sample frequency is base clock / 2^n; the header keeps 19 - n.
void storeSpanCode(ConvOptions& o, long v) {
    o.listCapture.spanCode = static_cast<int16_t>(19 - v);
}
void storePointsPerLine(ConvOptions& o, long v) {
    o.pointsPerLine = static_cast<uint16_t>(v);
}
void storeSliceCount(ConvOptions& o, long v) {
    o.wfCount = static_cast<int16_t>(v);
}
void storeFirstSlice(ConvOptions& o, long v) {
    o.wfFirst = static_cast<uint16_t>(v);
}

} // namespace

const std::vector<OptionDescriptor>& COptionMgr::optionTable() {
    static const std::vector<OptionDescriptor> rows = {
        {'A', Arg::eNone, 0, 0, kAsc | kUff, &Job::takeAppend, nullptr},
        {'B', Arg::eInteger, 0, 1, kCap | kArb, &Job::takeNumber, storeBaseFrequency},
        {'C', Arg::eText, 0, 0, kAsc | kMat | kCsv | kJson | kNc, &Job::takeColumns, nullptr},
        {'D', Arg::eNone, 0, 0, kAsc, &Job::takeSwitch, storeDataOnly},
        {'E', Arg::eText, 0, 0, kEvery, &Job::takeLogName, nullptr},
        {'F', Arg::eText, 0, 0, kAsc, &Job::takeFormat, nullptr},
        {'G', Arg::eText, 0, 0, kMat, &Job::takeArrayName, nullptr},
        {'H', Arg::eText, 0, 0, kAsc, &Job::takeHeaderMode, nullptr},
        {'I', Arg::eInteger, -50, 30, kCap, &Job::takeInputRange, storeInputRange},
        {'J', Arg::eNone, 0, 0, kEvery, &Job::takeKeepLog, nullptr},
        {'K', Arg::eInteger, 0, 2, kAsc, &Job::takeNumber, storeSeparator},
        {'L', Arg::eInteger, 2, 2048, kCap | kArb, &Job::takeRecordLength, storeRecordLength},
        {'M', Arg::eText, 0, 0, kUff | kSdf, &Job::takeModal, nullptr},
        {'N', Arg::eInteger, 0, 19, kCap | kArb, &Job::takeNumber, storeSpanCode},
        {'O', Arg::eText, 0, 0, kEvery, &Job::takeOutputFormat, nullptr},
        {'P', Arg::eNumber, 1, 32767, kAsc, &Job::takeNumber, storePointsPerLine},
        {'Q', Arg::eText, 0, 0, k56d, &Job::takeReplacementFile, nullptr},
        {'R', Arg::eInteger, 1, 2048, kAsc | kCsv | kJson | kNc, &Job::takeNumber, storeSliceCount},
        {'S', Arg::eInteger, 0, 2048, kAsc | kCsv | kJson | kNc, &Job::takeNumber, storeFirstSlice},
        {'T', Arg::eText, 0, 0, kAsc | kSdf, &Job::takeTransducer, nullptr},
        {'U', Arg::eText, 0, 0, kAsc | kMat | kCsv | kJson | kNc, &Job::takeUnits, nullptr},
        // Up to the default version; the handler narrows it to the current one.
        {'V', Arg::eInteger, kLowestPlatformVersion, kDefaultPlatformVersion, k56d,
         &Job::takeVersion, nullptr},
        {'W', Arg::eText, 0, 0, kAsc | kCsv | kJson | kNc, &Job::takeChannel, nullptr},
    };
    return rows;
}

const OptionDescriptor* findOption(char letter) {
    for (const OptionDescriptor& option : COptionMgr::optionTable())
        if (option.letter == letter) return &option;
    return nullptr;
}

std::string optionLetterString() {
    std::string letters;
    for (const OptionDescriptor& option : COptionMgr::optionTable()) {
        const bool takesParam = option.arg != EOptionArg::eNone;
        for (char c : {static_cast<char>(std::tolower(option.letter)), option.letter}) {
            letters += c;
            if (takesParam) letters += '+';
        }
    }
    return letters + '?';
}

} // namespace vx
