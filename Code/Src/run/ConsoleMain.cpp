// The console program's entry.
#include "run/ConsoleMain.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "params/STARTUP.h"
#include "run/Help.h"
#include "run/OptionMgr.h"

#ifndef VX_VERSION
#error "VX_VERSION names the project version"
#endif

namespace vx {

namespace {

// "--help" and "--version" as the only argument, the habit of Linux programs;
// the instrument's own options stay slash (or single dash) options.
bool longOption(int argc, char** argv, const char* name) {
    return argc == 2 && std::strcmp(argv[1], name) == 0;
}

} // namespace

int consoleMain(int argc, char** argv) {
    if (longOption(argc, argv, "--version")) {
        std::printf("vxconv %s\n", VX_VERSION);
        return kStatusOk;
    }
    initLists();
    if (longOption(argc, argv, "--help")) {
        printHelpText(0, eFmtNone);
        return kStatusOk;
    }
    auto job = std::make_unique<COptionMgr>(argc, argv, COptionMgr::kSettingsFile);
    if (job->errorIndex() != eErrNone) return kStatusFailed;
    if (job->fileCount() != 1 && job->fileCount() != 2) {
        job->printHelp();
        return kStatusOk;
    }
    return job->run().code();
}

} // namespace vx
