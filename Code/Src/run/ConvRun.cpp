// The run over the input files, with its console trace and failure messages.
#include "run/ConvRun.h"

#include <cstdio>
#include <sys/stat.h>

#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/OUTP.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "interchange/SdfParse.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"

namespace vx {

namespace {

// Detection failures.
enum EDetectFailure {
    eDetectOk = 0,
    eDetectFailed = 1,
    eDetectOutOfSequence = 2,
    eDetectUnknown = 3,
    eDetectBadTagAfterHeader = 4
};

int detectInputType(COptionMgr& job) {
    if (job.fileCount() == 0) {
        errLog() << "No input file name" << endLine;
        return eDetectFailed;
    }
    CDosFile& input = job.file(0);
    (void)input.firstMatch();
    userdiskPrt file(input.name());
    file.setMode(socket::eRead);
    if (file.openWithChecks(CFileWriter::kMinFreeBytes).failed() || !file.isOpen()) {
        errLog() << "Error opening input file: Process aborted" << endLine;
        return eDetectFailed;
    }
    int16_t tag = readTag(file);
    if (tag != eInvalidTag) {
        job.setInputType(tag);
        return eDetectOk;
    }
    if (file.seek(0).failed()) return eDetectUnknown;
    const SpanningProbe probe = file.probeSpanningHeader();
    if (probe == SpanningProbe::eFirstSegment) {
        tag = readTag(file);
        if (tag == eInvalidTag) return eDetectBadTagAfterHeader;
        job.setInputType(tag);
        return eDetectOk;
    }
    if (probe == SpanningProbe::eOtherSegment) return eDetectOutOfSequence;
    if (file.seek(0).failed()) return eDetectUnknown;
    int sdfType = sdfInputType(file);
    if (sdfType == 0) return eDetectUnknown;
    job.setInputType(sdfType);
    return eDetectOk;
}

} // namespace

bool detectAndCheck(COptionMgr& job) {
    int failure = detectInputType(job);
    int32_t format = job.outputFormat();
    if (failure == eDetectUnknown && (format == eFmtCap || format == eFmtArb)) {
        job.setInputType(eInNumberList);
        return true;
    }
    if (failure == eDetectOutOfSequence) {
        errLog() << "Out of sequence Multi-disk file: Process aborted" << endLine;
        return false;
    }
    if (failure != eDetectOk) {
        errLog() << "Unknown input file format: Process aborted" << endLine;
        return false;
    }
    int32_t type = job.inputType();
    if (type < eInDisplay || type > eInSdf) return false;
    if (type == eInSettings) {
        job.reportError(eErrInvalidInputFile, ' ');
        return false;
    }
    if (format == eFmtNone) job.setOutputFormat(defaultOutputFor(type));
    if (!converts(type, job.outputFormat())) {
        job.reportError(eErrCannotConvert, ' ');
        return false;
    }
    return true;
}

namespace {

// Names the output for the current input file.
void nameOutput(COptionMgr& job) {
    CDosFile& input = job.file(0);
    CDosFile& output = job.file(1);
    if (job.fileCount() == 1) {
        output.set(input.name());
        output.replaceExtension(defaultExtension(job.outputFormat()));
    } else if (output.hasWildcards()) {
        output.mapOnto(input.name());
    }
}

// True when both names are one existing file (same device and inode).
bool sameFile(const char* a, const char* b) {
    struct stat sa, sb;
    if (!platform::statOnDisk(a, sa) || !platform::statOnDisk(b, sb)) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

// Both displays' copies come first: applying one list may set members of
// another (a measurement sets its display's view and units).
void resetParameterModel() {
    for (int16_t list = 1; list <= 14; ++list)
        copyListSlots(ePaoDefault, ePaoEntry, list, 2);
    for (int16_t list = 1; list <= 14; ++list)
        applyList(list, 2);
}

namespace {

Status convertOne(COptionMgr& job, ReaderWriterPair& pair) {
    resetParameterModel();
    applyModalOptions();
    const char* in = job.file(0).name();
    const char* out = job.file(1).name();
    errLog() << "Processing " << in << " ==> " << out << endLine;
    std::snprintf(convOptions.inputName, sizeof convOptions.inputName, "%s", in);
    Status st = 0;
    if (sameFile(in, out)) {
        errLog() << "Error: Output file is the input file: " << out << endLine;
        st = 1;
    } else if ((st = pair.reader->open(in)).failed()) {
        job.reportError(eErrInvalidInputFile, ' ');
    } else {
        // A Display file brings its own modal settings: those of /M win.
        applyModalOptions();
        if ((st = pair.writer->write(out)).failed()) job.reportError(eErrOutputFile, ' ');
    }
    errLog() << endLine;
    pair.reader->close();
    pair.writer->close();
    return st;
}

} // namespace

Status runConversion(COptionMgr& job) {
    if (!detectAndCheck(job)) return kStatusFailed;
    ReaderWriterPair pair = makeReaderWriterPair(job);
    Status st = 0;
    if (!pair.reader || !pair.writer) {
        job.reportError(eErrAborted, ' ');
        st = 1;
    } else {
        pair.writer->setAppend(job.jobFlags() & eJobAppend);
        while (st.ok() && job.fileCount() > 0 && job.file(0).nextMatch() == 0) {
            nameOutput(job);
            st = convertOne(job, pair);
        }
    }
    errLog() << consoleOnly << "Finished" << endLine;
    return st;
}

} // namespace vx
