/* A host program of libvxcore: prints a Display file's trace and the first
 * volts of a Capture file.
 *   host DISPLAY_FILE CAPTURE_FILE */
#include <stdio.h>
#include <stdlib.h>

#include "vxcore.h"

static int printTrace(const char* name) {
    VX560_INFO info;
    if (VX560_GETINFO(&info, name) != 0 || VX560_LOADDISPLAY(name) != 0) return 1;
    VX560_DATA* x = malloc(sizeof(VX560_DATA) + 4 * (size_t)info.points);
    VX560_DATA* y = malloc(sizeof(VX560_DATA) + 4 * (size_t)info.points);
    VX560_DATAREQ xReq = {7, -1, -1, -1};    /* x */
    VX560_DATAREQ magReq = {1, -1, 1, -1};   /* magnitude in dB */
    int status = !x || !y || VX560_READDISPLAYDATA(x, &xReq) != 0 ||
                 VX560_READDISPLAYDATA(y, &magReq) != 0;
    if (!status) {
        printf("trace %s: %u points, x in %s, values in %s\n", info.measurement,
               (unsigned)y->points, x->unit, y->unit);
        for (uint32_t i = 0; i < y->points && i < 5; ++i)
            printf("%g %g\n", x->values[i], y->values[i]);
    }
    free(x);
    free(y);
    return status;
}

static int printCapture(const char* name) {
    VX560_INFO info;
    if (VX560_GETINFO(&info, name) != 0) return 1;
    VX560_CAPDATA* data = malloc(sizeof(VX560_CAPDATA) + 4 * (size_t)info.points);
    int status = !data || VX560_READCAPTUREDATA(data, name) != 0;
    if (!status) {
        printf("capture: %u kpoints at %g Hz, range %d dBV\n", (unsigned)data->kpoints,
               data->samplingFreq, data->inputRange);
        for (int i = 0; i < 5; ++i) printf("%g V\n", data->values[i]);
    }
    free(data);
    return status;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: host DISPLAY_FILE CAPTURE_FILE\n");
        return 2;
    }
    return printTrace(argv[1]) || printCapture(argv[2]);
}
