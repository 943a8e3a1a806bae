// The console program's entry.
#include "run/ConsoleMain.h"

#include <memory>

#include "params/STARTUP.h"
#include "run/OptionMgr.h"

namespace vx {

int consoleMain(int argc, char** argv) {
    initLists();
    auto job = std::make_unique<COptionMgr>(argc, argv, COptionMgr::kSettingsFile);
    if (job->errorIndex() != eErrNone) return kStatusFailed;
    if (job->fileCount() != 1 && job->fileCount() != 2) {
        job->printHelp();
        return kStatusOk;
    }
    return job->run().code();
}

} // namespace vx
