// The library's entry points: each builds a job from its arguments, does its
// operation on the engine's model and returns the status.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "DllOutputer.h"
#include "LibFrame.h"
#include "base/DosFile.h"
#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/VX550.h"
#include "params/Catalog.h"
#include "run/ConvRun.h"
#include "run/OutputGuards.h"
#include "run/Pairing.h"
#include "timebuf/CapArb.h"
#include "trace/DISP_M.h"
#include "trace/TRACE.h"
#include "vxcore.h"
#include "waterfall/Waterfall.h"
#include "settings/SettingsDocument.h"

static_assert(sizeof(VX560_INFO) == 62, "VX560_INFO is 62 bytes");
static_assert(offsetof(VX560_INFO, points) == 6 && offsetof(VX560_INFO, measurement) == 10 &&
                  offsetof(VX560_INFO, measGroup) == 42 && offsetof(VX560_INFO, view) == 46 &&
                  offsetof(VX560_INFO, xAxisKind) == 54 &&
                  offsetof(VX560_INFO, waterfallSlices) == 60,
              "VX560_INFO layout");
static_assert(sizeof(VX560_DATAREQ) == 8, "VX560_DATAREQ is four int16");
static_assert(sizeof(VX560_DATA) == 42 && offsetof(VX560_DATA, points) == 6 &&
                  offsetof(VX560_DATA, unit) == 10 && offsetof(VX560_DATA, values) == 42,
              "VX560_DATA layout");
static_assert(sizeof(VX560_CAPDATA) == 14 && offsetof(VX560_CAPDATA, kpoints) == 6 &&
                  offsetof(VX560_CAPDATA, samplingFreq) == 8 &&
                  offsetof(VX560_CAPDATA, inputRange) == 12 &&
                  offsetof(VX560_CAPDATA, values) == 14,
              "VX560_CAPDATA layout");

// The statuses vxcore.h names are the engine's.
static_assert(VX560_STATUS_OK == vx::kStatusOk && VX560_STATUS_FAILED == vx::kStatusFailed &&
                  VX560_STATUS_READ_ERROR == vx::kStatusReadFailed &&
                  VX560_STATUS_TOKEN_TOO_LONG == vx::kStatusTokenTooLong &&
                  VX560_STATUS_NO_DISK_SPACE == vx::kStatusNoSpace &&
                  VX560_STATUS_CANNOT_READ == vx::kStatusNoInput &&
                  VX560_STATUS_ACCESS_DENIED == vx::kStatusAccessDenied &&
                  VX560_STATUS_BAD_FILE == vx::kStatusBadFile,
              "vxcore.h statuses");

namespace vx::lib {

namespace {

constexpr int kMaxCommandTokens = 49; // the vector holds 50 with the program name

constexpr uint32_t kInfoLength = 62;
constexpr uint16_t kInfoVersion = 10;
constexpr uint32_t kCapDataLength = 14;
constexpr uint16_t kCapDataVersion = 12;
constexpr int16_t kOrderGroup = 4;
constexpr int16_t kSweptSineGroup = 3;
constexpr int16_t kOrderCapture1 = 65;
constexpr int16_t kFftCapture1 = 12;
constexpr int16_t kMaxWaterfallIndex = 2048;
constexpr uint32_t kSamplesPerKpt = 1024;
// The capacity of a buffer the caller vouches for (the unsized reads).
constexpr size_t kUnchecked = SIZE_MAX;

bool given(const void* pointer, const char* what) {
    if (pointer) return true;
    errLog() << msg::eNoArgument << what << msg::eArgumentGiven << endLine;
    return false;
}

// White-space separated tokens, whole: the job refuses a name longer than its
// field, where a cut name would name another file.
std::vector<std::string> splitCommandLine(const char* line) {
    std::vector<std::string> tokens;
    const char* const blanks = " \t\n\v\f\r";
    for (const char* p = line; *p;) {
        p += std::strspn(p, blanks);
        const size_t n = std::strcspn(p, blanks);
        if (n > 0) tokens.emplace_back(p, n);
        p += n;
    }
    return tokens;
}

void setText(char (&field)[32], const char* text) {
    std::snprintf(field, sizeof field, "%s", text ? text : "");
}

// The record of an open input: the settings first, then what the type adds.
void fillInfo(VX560_INFO& info, const TraceMgr& trace, int32_t inputType,
              const CFileReader& reader) {
    const bool capture = inputType == eInCapArb;
    const bool waterfall = inputType == eInWaterfall;
    const int16_t units = trace.cat.units[0].getData(ePaoEntry);
    info.measGroup = trace.cat.measureGroup[0].getData(ePaoEntry);
    info.measNumber = trace.cat.measurement[0].getData(ePaoEntry);
    info.peakUnits = UnitsCode::peakUnits(units);
    info.dbUnits = UnitsCode::dbMode(units);
    info.phaseUnits = UnitsCode::phaseUnits(units);
    info.isWaterfall = waterfall ? 1 : 0;
    info.waterfallSlices = reader.sliceCount();
    if (capture) {
        if (info.measGroup == kOrderGroup) {
            info.measNumber = kOrderCapture1;
        } else {
            info.measGroup = 0;
            info.measNumber = kFftCapture1;
        }
        const int16_t kpts = reader.recordKpts();
        info.points = kpts > 0 ? static_cast<uint32_t>(kpts) * kSamplesPerKpt : 0;
        info.xAxisKind = eCaptureAxis;
        info.view = eViewReal;
        // The name of the capture measurement, not that of the default one.
        setText(info.measurement, trace.cat.measurement[0].text(info.measNumber));
    } else {
        // A waterfall's slices are read later: the length each will have.
        const int32_t points =
            waterfall ? std::max<int32_t>(0, trace.extractedPoints()) : trace.pointsToWrite();
        info.points = static_cast<uint32_t>(points);
        info.xAxisKind = static_cast<int16_t>(trace.measDesc.axisKind());
        info.view = trace.cat.view[0].getData(ePaoEntry);
        setText(info.measurement, trace.cat.measurement[0].getStr(ePaoEntry));
    }
    info.sweepType =
        info.measGroup == kSweptSineGroup ? trace.cat.sweptType[0].getData(ePaoEntry) : 0;
}

// Fills the buffer block by block; the header and scale come from the open file.
Status readCaptureSamples(VX560_CAPDATA& data, CCapArbReader& reader) {
    const CapArbHeader& h = reader.header();
    const int16_t kpts = h.recordKpts > 0 ? h.recordKpts : 0;
    data.kpoints = static_cast<uint16_t>(kpts);
    data.samplingFreq =
        static_cast<float>(sampleRate(h.spanCode).count * freqResolution(h.baseFreqId));
    data.inputRange = capturedInputRange(h, reader.kind());
    const float scale = voltsPerFraction(h, reader.kind());
    CBulkBufferClaim bulk;
    uint32_t at = 0;
    for (int b = 0; b < kpts / kBlockKpts; ++b) {
        Status st = reader.readBlock(bulk.data(), true);
        if (st.failed()) return st;
        for (int i = 0; i < kBlockSamples; ++i)
            data.values[at++] = blockFraction(bulk.data(), i) * scale;
    }
    // An odd length leaves a last kpoint that no block holds.
    while (at < static_cast<uint32_t>(kpts) * kSamplesPerKpt)
        data.values[at++] = 0.0f;
    return kStatusOk;
}

// A command line's job, run when its options are sound.
Status runCommand(const std::vector<std::string>& tokens) {
    ArgVector args(tokens);
    COptionMgr job(libState().model, args.count(), args.argv(), nullptr);
    if (job.errorIndex() != eErrNone) return kStatusFailed;
    return job.run();
}

// A sized read's check: tells the size and refuses a buffer below it.
Status fits(size_t capacity, size_t needed, size_t* bytesNeeded) {
    if (bytesNeeded) *bytesNeeded = needed;
    if (capacity >= needed) return kStatusOk;
    errLog() << msg::eBufferTooSmall << static_cast<unsigned long>(needed) << msg::eBytesNeeded
             << endLine;
    return VX560_STATUS_BUFFER_TOO_SMALL;
}

// The loaded trace in the requested column and units; with no buffer only
// the size it needs.
Status readDisplayData(VX560_DATA* data, size_t capacity, const VX560_DATAREQ* request,
                       size_t* bytesNeeded) {
    if (!given(request, "data request")) return kStatusFailed;
    std::unique_ptr<COptionMgr> job = fileJob(nullptr);
    if (request->column < eColMag || request->column > eColX) {
        errLog() << msg::eDataRequestRange << request->column << endLine;
        return kStatusFailed;
    }
    if (request->peakUnits < -1 || request->peakUnits > 3) {
        errLog() << msg::ePeakUnitRange << endLine;
        return kStatusFailed;
    }
    if (request->dbUnits < -1 || request->dbUnits > 3) {
        errLog() << msg::eMagUnitRange << endLine;
        return kStatusFailed;
    }
    if (request->phaseUnits < -1 || request->phaseUnits > 1) {
        errLog() << msg::ePhaseUnitRange << endLine;
        return kStatusFailed;
    }
    CModel& model = job->model();
    const size_t points = static_cast<size_t>(std::max(0, model.trace.pointsToWrite()));
    Status st = fits(data ? capacity : kUnchecked, sizeof(VX560_DATA) + 4 * points, bytesNeeded);
    if (st.failed() || !data) return st;
    ConvOptions& o = model.options;
    o.columns[0] = request->column;
    o.columns[1] = eColEnd;
    o.peakUnits = request->peakUnits;
    o.dbMode = request->dbUnits;
    o.phaseUnits = request->phaseUnits;
    CDllOutputer outputer(model);
    return outputer.extract(data);
}

// A Capture file's samples as volts; with no buffer only the size it needs.
Status readCaptureData(VX560_CAPDATA* data, size_t capacity, const char* fileName,
                       size_t* bytesNeeded) {
    std::unique_ptr<COptionMgr> job = fileJob(fileName);
    if (!detectAndCheck(*job)) return kStatusFailed;
    if (job->inputType() != eInCapArb) return kStatusFailed;
    OpenedInput<CCapArbReader> in = openWith(*job, std::make_unique<CCapArbReader>());
    if (in.status.failed()) return in.status;
    const size_t kpts = static_cast<size_t>(std::max<int16_t>(in.reader->header().recordKpts, 0));
    const size_t needed = sizeof(VX560_CAPDATA) + 4 * kSamplesPerKpt * kpts;
    Status st = fits(data ? capacity : kUnchecked, needed, bytesNeeded);
    if (st.failed() || !data) return st;
    data->length = kCapDataLength;
    data->version = kCapDataVersion;
    return readCaptureSamples(*data, *in.reader);
}

// The settings model of the first matching file as JSON text, written with
// its terminator; with no buffer only the size it needs.
Status settingsText(char* text, size_t capacity, const char* fileName, size_t* bytesNeeded) {
    std::unique_ptr<COptionMgr> job = fileJob(fileName);
    OpenedInput<> in = openFirstInput(*job, infoReader);
    if (in.status.failed()) return in.status;
    CModel& model = job->model();
    std::string json;
    switch (job->inputType()) {
    case eInCapArb: {
        const auto* capture = dynamic_cast<const CCapArbReader*>(in.reader.get());
        if (!capture) return kStatusFailed;
        json = capArbSettingsJson(capture->header(), capture->kind(), model.cat.rpmDisplaySwitch);
        break;
    }
    case eInWaterfall:
        json = traceSettingsJson(model, "Waterfall");
        break;
    case eInSdf:
    case eInSdfOld:
        json = traceSettingsJson(model, "HP SDF");
        break;
    default:
        json = traceSettingsJson(model, "");
        break;
    }
    Status st = fits(text ? capacity : kUnchecked, json.size() + 1, bytesNeeded);
    if (st.failed() || !text) return st;
    std::memcpy(text, json.c_str(), json.size() + 1);
    return kStatusOk;
}

} // namespace

} // namespace vx::lib

using namespace vx;
using namespace vx::lib;

extern "C" {

VX560_API int16_t VX560_CMDLINE(const char* commandLine) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!logHoldsMeasurement()) errLog().clearLogFile();
    std::vector<std::string> tokens = splitCommandLine(commandLine ? commandLine : "");
    if (tokens.size() > static_cast<size_t>(kMaxCommandTokens)) {
        errLog() << msg::eTooManyItems << kMaxCommandTokens << endLine;
        return kStatusFailed;
    }
    return runCommand(tokens).code();
}

VX560_API int16_t VX560_GETINFO(VX560_INFO* info, const char* fileName) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!given(info, "information record")) return kStatusFailed;
    info->length = kInfoLength;
    info->version = kInfoVersion;
    std::unique_ptr<COptionMgr> job = fileJob(fileName);
    OpenedInput<> in = openFirstInput(*job, infoReader);
    if (in.status.ok()) fillInfo(*info, job->model().trace, job->inputType(), *in.reader);
    return in.status.code();
}

VX560_API int16_t VX560_LOADDISPLAY(const char* fileName) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    std::unique_ptr<COptionMgr> job = fileJob(fileName);
    Status st = openFirstInput(*job, displayReader).status;
    libState().displayLoaded = st.ok() ? 1 : 0;
    return st.code();
}

VX560_API int16_t VX560_LOADWATERFALL(int16_t index, char channel, const char* fileName) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    std::unique_ptr<COptionMgr> job = fileJob(fileName);
    ConvOptions& o = job->model().options;
    o.wfFirst = static_cast<uint16_t>(std::clamp<int16_t>(index, 0, kMaxWaterfallIndex));
    o.wfChannel = channel == 'B' || channel == 'b' ? 1 : 0;
    o.wfCount = 1;
    OpenedInput<CWaterFallReader> in = openFirstInput(*job, waterfallReader);
    Status st = in.status;
    if (st.ok()) st = in.reader->nextSlice();
    libState().displayLoaded = st.ok() ? 1 : 0;
    return st.code();
}

VX560_API int16_t VX560_READDISPLAYDATA(VX560_DATA* data, const VX560_DATAREQ* request) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    if (!libState().displayLoaded) {
        errLog() << msg::eNoDisplayLoaded << endLine;
        return kStatusFailed;
    }
    if (!given(data, "data buffer")) return kStatusFailed;
    return readDisplayData(data, kUnchecked, request, nullptr).code();
}

VX560_API int16_t VX560_SETERRORLOGFILE(const char* fileName) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    if (!fileName || !nameFits(fileName, CErrLogger::kMaxNameLen)) return kStatusFailed;
    return chooseLogFile(fileName).code();
}

VX560_API int16_t VX560_READCAPTUREDATA(VX560_CAPDATA* data, const char* fileName) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!given(data, "capture buffer")) return kStatusFailed;
    data->length = kCapDataLength;
    data->version = kCapDataVersion;
    return readCaptureData(data, kUnchecked, fileName, nullptr).code();
}

VX560_API int16_t VX560_READDISPLAYDATA_SIZED(VX560_DATA* data, size_t capacity,
                                              const VX560_DATAREQ* request, size_t* bytesNeeded) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    if (!libState().displayLoaded) {
        errLog() << msg::eNoDisplayLoaded << endLine;
        return kStatusFailed;
    }
    if (!data && !given(bytesNeeded, "size to tell")) return kStatusFailed;
    return readDisplayData(data, capacity, request, bytesNeeded).code();
}

VX560_API int16_t VX560_READCAPTUREDATA_SIZED(VX560_CAPDATA* data, size_t capacity,
                                              const char* fileName, size_t* bytesNeeded) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!data && !given(bytesNeeded, "size to tell")) return kStatusFailed;
    return readCaptureData(data, capacity, fileName, bytesNeeded).code();
}

VX560_API int16_t VX560_SETMESSAGEHOOK(VX560_MESSAGEHOOK hook, void* context) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    errLog().setConsoleSink(hook, context);
    return kStatusOk;
}

VX560_API int16_t VX560_SETPROMPTHOOK(VX560_PROMPTHOOK hook, void* context) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    promptHook = hook;
    promptContext = context;
    return kStatusOk;
}

VX560_API int16_t VX560_CMDARGS(int count, const char* const* tokens) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!logHoldsMeasurement()) errLog().clearLogFile();
    if (count < 0 || (count > 0 && !given(tokens, "command line items"))) return kStatusFailed;
    std::vector<std::string> items;
    for (int k = 0; k < count; ++k) {
        if (!given(tokens[k], "command line item")) return kStatusFailed;
        items.emplace_back(tokens[k]);
    }
    return runCommand(items).code();
}

VX560_API int16_t VX560_GETSETTINGS(char* text, size_t capacity, const char* fileName,
                                    size_t* bytesNeeded) {
    const EntryCall call;
    if (call.refused()) return VX560_STATUS_BUSY;
    libState().displayLoaded = 0;
    if (!text && !given(bytesNeeded, "size to tell")) return kStatusFailed;
    return settingsText(text, capacity, fileName, bytesNeeded).code();
}

} // extern "C"
