// Opening helpers of the reader and writer bases.
#include "base/FileIO.h"

#include "base/ErrLogger.h"

namespace vx {

namespace {

Status openStream(std::unique_ptr<userdiskPrt>& file, const char* name, int16_t mode) {
    file = std::make_unique<userdiskPrt>(name);
    file->setMode(mode);
    Status st = file->openWithChecks(CFileWriter::kMinFreeBytes);
    if (st.failed()) return st;
    return file->isOpen() ? Status(kStatusOk) : Status(kStatusFailed);
}

} // namespace

Status CFileReader::openInput(const char* name) {
    return openStream(file_, name, socket::eRead);
}

Status CFileWriter::openOutput(const char* name) {
    systemError_ = 0;
    return openStream(file_, name, append_ ? socket::eAppend : socket::eWrite);
}

Status CFileWriter::finish(bool complete) {
    if (!file_) return kStatusOk;
    Status st = kStatusOk;
    if (complete)
        st = file_->commitOutput();
    else
        file_->discardOutput();
    systemError_ = file_->systemError();
    file_.reset();
    return st;
}

Status CFileWriter::messageLine(const char* text) {
    errLog() << consoleOnly << text << endLine;
    if (!file_) return kStatusFailed;
    Status st = file_->writeText(text);
    if (st.failed()) return st;
    return file_->writeText("\r\n");
}

} // namespace vx
