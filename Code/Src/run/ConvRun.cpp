// The run over the input files, with its console trace and failure messages.
#include "run/ConvRun.h"

#include <cstdio>

#include "base/DISK_M.h"
#include "base/ErrLogger.h"
#include "base/Options.h"
#include "base/Platform.h"
#include "base/SafeOutput.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "run/FileKind.h"
#include "run/OptionMgr.h"
#include "run/OutputGuards.h"
#include "run/Pairing.h"

namespace vx {

namespace {

int detectInputType(COptionMgr& job) {
    if (job.fileCount() == 0) {
        errLog() << msg::eNoInputName << endLine;
        return eDetectFailed;
    }
    CDosFile& input = job.file(0);
    (void)input.firstMatch();
    userdiskPrt file(input.name());
    file.setMode(socket::eRead);
    if (file.openWithChecks(CFileWriter::kMinFreeBytes).failed() || !file.isOpen()) {
        errLog() << msg::eErrorOpeningInput << endLine;
        return eDetectFailed;
    }
    int32_t type = -2;
    int found = classifyFile(file, type);
    if (found == eDetectOk) job.setInputType(type);
    return found;
}

} // namespace

bool detectAndCheck(COptionMgr& job) {
    int failure = job.inputType() >= 0 ? int(eDetectOk) : detectInputType(job);
    int32_t format = job.outputFormat();
    if (failure == eDetectUnknown && (format == eFmtCap || format == eFmtArb)) {
        job.setInputType(eInNumberList);
        return true;
    }
    if (failure == eDetectOutOfSequence) {
        errLog() << msg::eOutOfSequence << endLine;
        return false;
    }
    if (failure != eDetectOk) {
        errLog() << msg::eUnknownInputFormat << endLine;
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

// Names the output for the current input file; false (reported) when the
// name made is too long to be used.
bool nameOutput(COptionMgr& job) {
    CDosFile& input = job.file(0);
    CDosFile& output = job.file(1);
    if (job.fileCount() == 1) {
        output.set(input.name());
        output.replaceExtension(defaultExtension(job.outputFormat()));
    } else if (output.hasWildcards()) {
        output.mapOnto(input.name());
    }
    return output.tooLong().empty() || nameFits(output.tooLong().c_str(), CDosFile::kMaxName);
}

// Writes the output and puts it in place only when complete; a failure to open
// or write it gets the system's reason after the run's own message.
Status writeOutput(COptionMgr& job, CFileWriter& writer, const char* out) {
    Status st = writer.write(out);
    Status finished = writer.finish(st.ok());
    if (st.ok()) st = finished;
    if (st.failed()) {
        job.reportError(eErrOutputFile, ' ');
        if (writer.systemError() != 0)
            errLog() << msg::eReason << systemReason(writer.systemError()) << endLine;
    }
    return st;
}

Status convertOne(COptionMgr& job, ReaderWriterPair& pair) {
    ConvOptions& options = job.model().options;
    job.model().cat.reset();
    job.model().cat.applyModalOptions(options);
    const char* in = job.file(0).name();
    const char* out = job.file(1).name();
    errLog().recheckLogFile();
    platform::forgetStats(false);
    const char* shown = job.shownInputName();
    errLog() << msg::eProcessing << shown << msg::eProcessingArrow << job.shownOutputName()
             << endLine;
    std::snprintf(options.inputName, sizeof options.inputName, "%s", shown);
    Status st = kStatusOk;
    if (!outputIsSafe(job.outputFormat(), in, out, job.file(2).name())) {
        st = kStatusFailed;
    } else if ((st = pair.reader->open(in)).failed()) {
        job.reportError(eErrInvalidInputFile, ' ');
    } else {
        // A Display file brings its own modal settings: those of /M win.
        job.model().cat.applyModalOptions(options);
        st = writeOutput(job, *pair.writer, out);
    }
    errLog() << endLine;
    pair.reader->close();
    pair.writer->close();
    errLog().flushConsoleSometimes();
    return st;
}

} // namespace

Status runConversion(COptionMgr& job) {
    if (!detectAndCheck(job)) return kStatusFailed;
    ReaderWriterPair pair = makeReaderWriterPair(job);
    Status st = kStatusOk;
    if (!pair.reader || !pair.writer) {
        job.reportError(eErrAborted, ' ');
        st = kStatusFailed;
    } else {
        pair.writer->setAppend(job.jobFlags() & eJobAppend);
        // The log's name is checked once a file, not once a line.
        errLog().setLogCheckedEachLine(false);
        platform::reuseStats(true);
        // Over many files, a replaced output's inode is written again as the
        // next one; a caller that converts many files one run at a time may
        // have asked for that already, across its runs.
        const bool keptByCaller = keepingReplacedFiles();
        if (!keptByCaller)
            keepReplacedFiles(job.fileCount() > 0 && job.file(0).matches().size() > 1);
        while (st.ok() && job.fileCount() > 0 && job.file(0).nextMatch().ok())
            st = nameOutput(job) ? convertOne(job, pair) : Status(kStatusFailed);
        if (!keptByCaller) keepReplacedFiles(false);
        platform::reuseStats(false);
        errLog().setLogCheckedEachLine(true);
    }
    errLog() << consoleOnly << msg::eFinished << endLine;
    return st;
}

} // namespace vx
