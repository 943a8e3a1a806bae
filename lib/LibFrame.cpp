// The shared frame of the library's entry points.
#include "LibFrame.h"

#include <atomic>
#include <cstdio>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "run/ConvRun.h"
#include "run/Pairing.h"

namespace vx::lib {

LibState& libState() {
    static LibState state;
    return state;
}

VX560_PROMPTHOOK promptHook = nullptr;
void* promptContext = nullptr;

namespace {

// Set while an entry point runs.
std::atomic_flag callRunning = ATOMIC_FLAG_INIT;

bool answerFromHost(const std::string& question) {
    if (promptHook) return promptHook(question.c_str(), promptContext) != 0;
    errLog() << msg::eNoPromptHook << endLine;
    return false;
}

} // namespace

EntryCall::EntryCall() : claimed_(!callRunning.test_and_set()) {
    if (!claimed_) return;
    numbersInC_.emplace();
    consoleAnswerer_ = setPromptAnswerer(answerFromHost);
}

EntryCall::~EntryCall() {
    if (!claimed_) return;
    setPromptAnswerer(std::move(consoleAnswerer_));
    numbersInC_.reset();
    callRunning.clear();
}

ArgVector::ArgVector(const std::vector<std::string>& args) {
    texts_.reserve(args.size() + 1);
    texts_.emplace_back(kProgramName);
    texts_.insert(texts_.end(), args.begin(), args.end());
    for (std::string& t : texts_)
        pointers_.push_back(t.data());
    pointers_.push_back(nullptr);
}

std::unique_ptr<COptionMgr> fileJob(const char* fileName) {
    ArgVector args(fileName ? std::vector<std::string>{fileName} : std::vector<std::string>{});
    return std::make_unique<COptionMgr>(libState().model, args.count(), args.argv(), nullptr);
}

// The library reads each input type as its conversion to ASCII does.
std::unique_ptr<CFileReader> infoReader(CModel& model, int32_t inputType) {
    if (inputType == eInWaterfall) model.options.wfCount = 1;
    return readerFor(model, inputType, eFmtAsc);
}

// The inputs that convert to a Display file are the ones that load a trace.
std::unique_ptr<CFileReader> displayReader(CModel& model, int32_t inputType) {
    return readerFor(model, inputType, eFmt56d);
}

std::unique_ptr<CWaterFallReader> waterfallReader(CModel& model, int32_t inputType) {
    if (inputType != eInWaterfall) return nullptr;
    return std::make_unique<CWaterFallReader>(model);
}

Status openFirstMatch(COptionMgr& job, CFileReader& reader) {
    if (job.fileCount() == 0 || job.file(0).nextMatch().failed()) return kStatusFailed;
    job.model().cat.reset();
    const char* name = job.file(0).name();
    ConvOptions& o = job.model().options;
    std::snprintf(o.inputName, sizeof o.inputName, "%s", name);
    return reader.open(name);
}

void reportNoReader() {
    errLog() << msg::eInvalidInputType << endLine;
}

} // namespace vx::lib
