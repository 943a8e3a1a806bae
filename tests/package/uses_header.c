/* Uses every declaration of vxcore.h; compiled as C99 and as C++. */
#include "vxcore.h"

static void onMessage(const char* line, void* context) {
    (void)line;
    (void)context;
}

static int onPrompt(const char* prompt, void* context) {
    (void)prompt;
    (void)context;
    return 0;
}

int main(void) {
    VX560_INFO info;
    VX560_DATAREQ request = {VX560_COLUMN_MAG, VX560_UNITS_AS_SAVED, VX560_DB_ON, VX560_PHASE_DEG};
    const char* tokens[] = {"in.56d", "/Omat"};
    size_t needed = 0;
    int16_t status = VX560_SETMESSAGEHOOK(onMessage, 0);
    status |= VX560_GETINFO(&info, "in.56d");
    status |= VX560_LOADDISPLAY("in.56d");
    status |= VX560_LOADWATERFALL(0, 'A', "in.56w");
    status |= VX560_READDISPLAYDATA_SIZED(0, 0, &request, &needed);
    status |= VX560_READDISPLAYDATA((VX560_DATA*)0, &request);
    status |= VX560_READCAPTUREDATA_SIZED(0, 0, "in.56c", &needed);
    status |= VX560_READCAPTUREDATA((VX560_CAPDATA*)0, "in.56c");
    status |= VX560_SETERRORLOGFILE("log.txt");
    status |= VX560_CMDLINE("in.56d /Omat");
    status |= VX560_CMDARGS(2, tokens);
    status |= VX560_SETPROMPTHOOK(onPrompt, 0);
    const char* texts[] = {VX560_STRERROR(status), VX560_VERSION(), VXCORE_VERSION_STRING};
    return VXCORE_VERSION_MAJOR + VXCORE_VERSION_MINOR + VXCORE_VERSION_PATCH > 0 && texts[0][0] &&
           (status == VX560_STATUS_OK || status == VX560_STATUS_BUSY) && info.view == VX560_VIEW_LOG_MAG &&
           info.xAxisKind != VX560_AXIS_CAPTURE && info.measGroup == VX560_GROUP_FFT;
}
