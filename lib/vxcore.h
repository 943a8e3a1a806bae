/* vxcore: the VX560/VX550 file converter as a shared library (libvxcore.so).
 *
 * Every entry point returns a 16-bit status, 0 for success; messages go to
 * standard output and to the error log file (default "qrblog.txt"). The
 * entry points share one process-wide model: call them from one thread at a
 * time. Records are little-endian and packed; each begins with its length and
 * a layout version, which the library fills in. */
#ifndef VXCORE_H
#define VXCORE_H

#include <stdint.h>

#if defined(__GNUC__)
#define VX560_API __attribute__((visibility("default")))
#else
#define VX560_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

/* What VX560_GETINFO finds in a file (62 bytes, version 10). */
typedef struct VX560_INFO {
    uint32_t length;         /* 62 */
    uint16_t version;        /* 10 */
    uint32_t points;         /* points of the trace; for a Capture file kpoints x 1024 */
    char measurement[32];    /* text of the measurement, zero-terminated */
    int16_t measGroup;       /* 0 FFT, 1 Correlation, 2 Octave, 3 Swept Sine, 4 Order,
                                5 Time Histogram */
    int16_t measNumber;      /* index into the measurement catalogue */
    int16_t view;            /* 0 Log Mag ... 8 Nichols */
    int16_t peakUnits;       /* 0 off, 1 pk, 2 rms, 3 pp */
    int16_t dbUnits;         /* 0 off, 1 on, 2 dBm, 3 dBspl */
    int16_t phaseUnits;      /* 0 deg, 1 rads */
    int16_t xAxisKind;       /* x-axis kind of the trace (4 for a Capture file) */
    int16_t sweepType;       /* Swept Sine group: 0 Linear, 1 Log; otherwise 0 */
    int16_t isWaterfall;     /* 1 for a Waterfall file */
    int16_t waterfallSlices; /* slices of channel A in a Waterfall file, else 0 */
} VX560_INFO;

/* A request to VX560_READDISPLAYDATA; -1 keeps the unit saved in the file. */
typedef struct VX560_DATAREQ {
    int16_t column;     /* 1 mag, 2 m2, 3 r, 4 i, 5 p, 6 up, 7 x */
    int16_t peakUnits;  /* -1 to 3, as in VX560_INFO */
    int16_t dbUnits;    /* -1 to 3 */
    int16_t phaseUnits; /* -1 to 1 */
} VX560_DATAREQ;

/* The values of the loaded trace (header 42 bytes, version 11). The caller
 * provides 42 + 4 x points bytes, points from VX560_INFO. */
typedef struct VX560_DATA {
    uint32_t length;  /* 42 */
    uint16_t version; /* 11 */
    uint32_t points;  /* number of values that follow */
    char unit[32];    /* unit of the view, or of the x-axis for column 7 */
    float values[];
} VX560_DATA;

/* A Capture file's samples in volts (header 14 bytes, version 12). The
 * caller provides 14 + 4096 x kpoints bytes. */
typedef struct VX560_CAPDATA {
    uint32_t length;    /* 14 */
    uint16_t version;   /* 12 */
    uint16_t kpoints;   /* record length in kpoints */
    float samplingFreq; /* Hz */
    int16_t inputRange; /* dBV of the captured channel */
    float values[];     /* kpoints x 1024 samples */
} VX560_CAPDATA;

#pragma pack(pop)

/* Runs a command line as vxconv would (without the settings file); at most
 * 49 white-space separated tokens. */
VX560_API int16_t VX560_CMDLINE(const char* commandLine);

/* Describes a Display, HP SDF, Capture/Arb. Waveform or Waterfall file (for
 * a Waterfall file also the number of slices of channel A). */
VX560_API int16_t VX560_GETINFO(VX560_INFO* info, const char* fileName);

/* Loads a Display or HP SDF file's trace and settings into the model for
 * VX560_READDISPLAYDATA. */
VX560_API int16_t VX560_LOADDISPLAY(const char* fileName);

/* Loads one slice of a Waterfall file into the model for
 * VX560_READDISPLAYDATA: slice index (0 to 2048, larger values are clamped)
 * of channel 'B' or 'b', otherwise of channel A. */
VX560_API int16_t VX560_LOADWATERFALL(int16_t index, char channel, const char* fileName);

/* Reads the loaded trace in one column and the requested units. Only after
 * a successful load, with nothing but VX560_READDISPLAYDATA and
 * VX560_SETERRORLOGFILE called since. */
VX560_API int16_t VX560_READDISPLAYDATA(VX560_DATA* data, const VX560_DATAREQ* request);

/* Chooses the error log file; 1 when it cannot be opened for appending. */
VX560_API int16_t VX560_SETERRORLOGFILE(const char* fileName);

/* Reads a Capture file's samples as volts (an Arb. Waveform file's as
 * fractions of full scale). */
VX560_API int16_t VX560_READCAPTUREDATA(VX560_CAPDATA* data, const char* fileName);

#ifdef __cplusplus
}
#endif

#endif /* VXCORE_H */
