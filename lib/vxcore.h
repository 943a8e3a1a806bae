/* vxcore: the VX560/VX550 file converter as a shared library (libvxcore.so).
 *
 * Every entry point returns a 16-bit status, 0 for success (VX560_STATUS_*
 * below). Messages are text lines: each goes to standard output, or to the
 * host's message hook (VX560_SETMESSAGEHOOK), and errors and warnings also
 * go to the error log file (default "qrblog.txt" in the current folder,
 * chosen with VX560_SETERRORLOGFILE). The entry points share one
 * process-wide model: call them from one thread at a time, and never from
 * inside a hook (such a call is refused with VX560_STATUS_BUSY). Records are
 * little-endian and packed; each begins with its length and a layout
 * version, which the library fills in. File names are used in lower case,
 * and a file is found whatever the case of its name. */
#ifndef VXCORE_H
#define VXCORE_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define VX560_API __attribute__((visibility("default")))
/* A flexible array member is standard C99; in C++ it is an extension. */
#define VX560_FLEXIBLE_ARRAY __extension__
#else
#define VX560_API
#define VX560_FLEXIBLE_ARRAY
#endif

/* The version of this header; VX560_VERSION() gives the library's. */
#define VXCORE_VERSION_MAJOR 3
#define VXCORE_VERSION_MINOR 0
#define VXCORE_VERSION_PATCH 0
#define VXCORE_VERSION_STRING "3.0.0"

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses, each with its text (VX560_STRERROR). Other nonzero values are
 * the status of the engine's part that failed; every failure has been
 * reported as a message line. */
enum {
    VX560_STATUS_OK = 0,
    VX560_STATUS_FAILED = 1,           /* a failure, already reported */
    VX560_STATUS_READ_ERROR = 2,       /* a Capture block or Waterfall slice could not be read */
    VX560_STATUS_TOKEN_TOO_LONG = 3,   /* a number in an ASCII list longer than 48 characters */
    VX560_STATUS_NO_DISK_SPACE = 10,   /* "Insufficient Disk Space:" */
    VX560_STATUS_CANNOT_READ = 11,     /* "Error Reading File: ": missing or empty */
    VX560_STATUS_ACCESS_DENIED = 12,   /* read-only output, or a floppy prompt declined */
    VX560_STATUS_BAD_FILE = 26,        /* damaged or unwritable Display, SDF, MAT, UFF file */
    VX560_STATUS_BUFFER_TOO_SMALL = 40, /* the sized reads: the buffer cannot hold the data */
    VX560_STATUS_BUSY = 41 /* "another call is running": a call made from inside a hook,
                              or from another thread, while a call runs; refused without
                              a message, nothing changed */
};

/* Measure groups (VX560_INFO.measGroup). */
enum {
    VX560_GROUP_FFT = 0,
    VX560_GROUP_CORRELATION = 1,
    VX560_GROUP_OCTAVE = 2,
    VX560_GROUP_SWEPT_SINE = 3,
    VX560_GROUP_ORDER = 4,
    VX560_GROUP_TIME_HISTOGRAM = 5
};

/* Views (VX560_INFO.view). */
enum {
    VX560_VIEW_LOG_MAG = 0,
    VX560_VIEW_LINEAR_MAG = 1,
    VX560_VIEW_MAG_SQUARED = 2,
    VX560_VIEW_REAL = 3,
    VX560_VIEW_IMAG = 4,
    VX560_VIEW_PHASE = 5,
    VX560_VIEW_UNWRAPPED_PHASE = 6,
    VX560_VIEW_NYQUIST = 7,
    VX560_VIEW_NICHOLS = 8
};

/* Units (VX560_INFO and VX560_DATAREQ). VX560_UNITS_AS_SAVED in a request
 * keeps the unit saved in the file. */
enum { VX560_UNITS_AS_SAVED = -1 };
enum { VX560_PEAK_OFF = 0, VX560_PEAK_PK = 1, VX560_PEAK_RMS = 2, VX560_PEAK_PP = 3 };
enum { VX560_DB_OFF = 0, VX560_DB_ON = 1, VX560_DB_DBM = 2, VX560_DB_DBSPL = 3 };
enum { VX560_PHASE_DEG = 0, VX560_PHASE_RAD = 1 };

/* x-axis kinds (VX560_INFO.xAxisKind), with the x unit text. */
enum {
    VX560_AXIS_ORDER_TIME = -2, /* order-domain time record, "Rev" */
    VX560_AXIS_TIME = -1,       /* time record, "s" */
    VX560_AXIS_NONE = 0,        /* user function without a stored descriptor: no x */
    VX560_AXIS_FREQ = 1,        /* spectra and frequency responses, "Hz" */
    VX560_AXIS_ORDER_FREQ = 2,  /* order spectra, "Order" */
    VX560_AXIS_CORRELATION = 3, /* correlation lag, "s" */
    VX560_AXIS_CAPTURE = 4,     /* Capture file samples: no x */
    VX560_AXIS_SWEEP = 5,       /* swept sine, "Hz"; log spaced when sweepType is 1 */
    VX560_AXIS_HISTOGRAM = 6,   /* histogram amplitude, "V" */
    VX560_AXIS_RPM = 7,         /* RPM profile, "Rpm" */
    VX560_AXIS_TRACK = 8,       /* order track, "Rpm" */
    VX560_AXIS_OCTAVE = 9,      /* octave band centres, "Hz" */
    VX560_AXIS_TIME_SLICE = 11  /* waterfall time slice, "Index" */
};

/* Data columns (VX560_DATAREQ.column), the /C names of vxconv. */
enum {
    VX560_COLUMN_MAG = 1,       /* "mag": magnitude (Log Mag with dB units) */
    VX560_COLUMN_MAG2 = 2,      /* "m2": magnitude squared */
    VX560_COLUMN_REAL = 3,      /* "r" */
    VX560_COLUMN_IMAG = 4,      /* "i" */
    VX560_COLUMN_PHASE = 5,     /* "p" */
    VX560_COLUMN_UNWRAPPED = 6, /* "up": unwrapped phase */
    VX560_COLUMN_X = 7          /* "x": the x value of each point */
};

#pragma pack(push, 1)
#if defined(__cplusplus) && defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wc99-extensions"
#endif

/* What VX560_GETINFO finds in a file (62 bytes, version 10). */
typedef struct VX560_INFO {
    uint32_t length;         /* 62 */
    uint16_t version;        /* 10 */
    uint32_t points;         /* points of the trace; for a Capture file kpoints x 1024 */
    char measurement[32];    /* text of the measurement, zero-terminated */
    int16_t measGroup;       /* VX560_GROUP_* */
    int16_t measNumber;      /* index into the measurement catalogue (0 to 86) */
    int16_t view;            /* VX560_VIEW_*, the view saved in the file */
    int16_t peakUnits;       /* VX560_PEAK_*: 0 off, 1 pk, 2 rms, 3 pp */
    int16_t dbUnits;         /* VX560_DB_*: 0 off, 1 on, 2 dBm, 3 dBspl */
    int16_t phaseUnits;      /* VX560_PHASE_*: 0 deg, 1 rads */
    int16_t xAxisKind;       /* VX560_AXIS_* (4 for a Capture file) */
    int16_t sweepType;       /* Swept Sine group: 0 Linear, 1 Log; otherwise 0 */
    int16_t isWaterfall;     /* 1 for a Waterfall file */
    int16_t waterfallSlices; /* slices of channel A in a Waterfall file, else 0 */
} VX560_INFO;

/* A request to VX560_READDISPLAYDATA; VX560_UNITS_AS_SAVED (-1) keeps the
 * unit saved in the file. */
typedef struct VX560_DATAREQ {
    int16_t column;     /* VX560_COLUMN_*: 1 mag, 2 m2, 3 r, 4 i, 5 p, 6 up, 7 x */
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
    char unit[32];    /* unit of the view, or of the x-axis for column 7, as
                         vxconv's ASCII column heading shows it */
    VX560_FLEXIBLE_ARRAY float values[];
} VX560_DATA;

/* A Capture file's samples in volts (header 14 bytes, version 12). The
 * caller provides 14 + 4096 x kpoints bytes. */
typedef struct VX560_CAPDATA {
    uint32_t length;                     /* 14 */
    uint16_t version;                    /* 12 */
    uint16_t kpoints;                    /* record length in kpoints */
    float samplingFreq;                  /* Hz */
    int16_t inputRange;                  /* dBV of the captured channel */
    VX560_FLEXIBLE_ARRAY float values[]; /* kpoints x 1024 samples */
} VX560_CAPDATA;

#if defined(__cplusplus) && defined(__clang__)
#pragma clang diagnostic pop
#endif
#pragma pack(pop)

/* Runs a command line as vxconv would (without the settings file); at most
 * 49 white-space separated tokens. A name longer than vxconv takes (259
 * characters) is refused, never cut. Clears the log file first. */
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
 * a successful load, with nothing but VX560_READDISPLAYDATA (either form),
 * VX560_SETERRORLOGFILE and the hooks' VX560_SETMESSAGEHOOK and
 * VX560_SETPROMPTHOOK called since. The buffer
 * must hold 42 + 4 x points bytes; VX560_READDISPLAYDATA_SIZED checks that. */
VX560_API int16_t VX560_READDISPLAYDATA(VX560_DATA* data, const VX560_DATAREQ* request);

/* Chooses the error log file; 1 when it cannot be opened for appending. */
VX560_API int16_t VX560_SETERRORLOGFILE(const char* fileName);

/* Reads a Capture file's samples as volts (an Arb. Waveform file's as
 * fractions of full scale). The buffer must hold 14 + 4096 x kpoints bytes;
 * VX560_READCAPTUREDATA_SIZED checks that. */
VX560_API int16_t VX560_READCAPTUREDATA(VX560_CAPDATA* data, const char* fileName);

/* VX560_READDISPLAYDATA for a buffer of `capacity` bytes. `*bytesNeeded`
 * receives the size the read needs (42 + 4 x points). With data NULL the call
 * only tells that size (status 0); a buffer smaller than that is refused with
 * VX560_STATUS_BUFFER_TOO_SMALL and left untouched. bytesNeeded may be NULL
 * when data is given. */
VX560_API int16_t VX560_READDISPLAYDATA_SIZED(VX560_DATA* data, size_t capacity,
                                              const VX560_DATAREQ* request, size_t* bytesNeeded);

/* VX560_READCAPTUREDATA for a buffer of `capacity` bytes, checked as
 * VX560_READDISPLAYDATA_SIZED checks it (14 + 4096 x kpoints bytes). */
VX560_API int16_t VX560_READCAPTUREDATA_SIZED(VX560_CAPDATA* data, size_t capacity,
                                              const char* fileName, size_t* bytesNeeded);

/* Receives one message line, without its line end. */
typedef void (*VX560_MESSAGEHOOK)(const char* line, void* context);

/* Hands every message line that would go to standard output to `hook`
 * (with `context`) instead; NULL puts them back on standard output. The
 * error log file is unaffected. Returns 0. */
VX560_API int16_t VX560_SETMESSAGEHOOK(VX560_MESSAGEHOOK hook, void* context);

/* Answers a disk prompt (a Capture or Waterfall file spread over floppies
 * asks for its next disk): receives the question's lines, joined by '\n',
 * for example "Please insert disk number 2"; returns nonzero for yes, after
 * the next disk's file has been put at the same path. */
typedef int (*VX560_PROMPTHOOK)(const char* prompt, void* context);

/* Hands every disk prompt to `hook` (with `context`). The library never reads
 * standard input: without a hook (NULL, the default) every prompt is
 * declined, and the read or write fails. The prompt's lines also go out as
 * messages. Returns 0. */
VX560_API int16_t VX560_SETPROMPTHOOK(VX560_PROMPTHOOK hook, void* context);

/* Runs a command line given as `count` separate tokens (without the program
 * name), as vxconv would run them, without the settings file: a token may
 * hold blanks and is not cut. Clears the log file first. */
VX560_API int16_t VX560_CMDARGS(int count, const char* const* tokens);

/* The text of a status, for a host's own messages: a fixed text for each
 * VX560_STATUS_* code, "unknown status" for any other, never NULL:
 *   0 "OK"
 *   1 "the call failed"
 *   2 "a Capture block or Waterfall slice could not be read"
 *   3 "a number in an ASCII list is longer than 48 characters"
 *  10 "not enough free space for the output"
 *  11 "a file could not be read (missing or empty)"
 *  12 "access denied: a read-only output, or a disk prompt declined"
 *  26 "a damaged Display, Waterfall or HP SDF file, or an output that could
 *      not be written"
 *  40 "the buffer is too small for the data"
 *  41 "another call is running: this one was refused and changed nothing"
 * A failed call's message lines, where it wrote any, say more. Callable at
 * any time, also from inside a hook and from any thread. */
VX560_API const char* VX560_STRERROR(int status);

/* The settings of a file (any that VX560_GETINFO takes) as zero-terminated
 * UTF-8 JSON text: the document vxconv /Ojson writes for it, without its
 * "data" member (doc/vxconv-json.schema.json): "identity" (kind, measurement,
 * time stamp, points, x-axis, units) and "settings", one record per setting
 * (key, label, value in SI base units, unit, text). `*bytesNeeded` receives
 * the text's length + 1; with text NULL the call only tells that size
 * (status 0); a buffer smaller than that is refused with
 * VX560_STATUS_BUFFER_TOO_SMALL and left untouched. bytesNeeded may be NULL
 * when text is given. */
VX560_API int16_t VX560_GETSETTINGS(char* text, size_t capacity, const char* fileName,
                                    size_t* bytesNeeded);
/* The library's version, "MAJOR.MINOR.PATCH" (VXCORE_VERSION_STRING of the
 * header it was built with). Callable at any time, like VX560_STRERROR. */
VX560_API const char* VX560_VERSION(void);

#ifdef __cplusplus
}
#endif

#endif /* VXCORE_H */
