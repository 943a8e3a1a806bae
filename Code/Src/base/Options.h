// The option block of a job: what the readers and writers consult for a
// conversion, held in the model that they are given.
#pragma once
#include <cstdint>

#include "base/TimeStamp.h"

namespace vx {

// The 26-byte capture header record, as held in memory; its file encoding is
// done field by field by the Capture/Arb. reader and writer.
struct CapArbHeader {
    int16_t recordKpts = 2;      // record length in kilopoints, even
    int16_t baseFreqId = 1;      // 0 = 100 kHz, 1 = 102.4 kHz
    int16_t spanCode = 19;       // 19 - n, sample rate = base clock / 2^n
    int16_t inputRange[2] = {0, 0}; // dBV peak of channels 1 and 2
    TimeStamp timeStamp;
    int16_t reserved = 0;
};

// Column codes of the /C list.
enum EColumnCode : int32_t {
    eColEnd = 0,
    eColMag = 1,
    eColMagSq = 2,
    eColReal = 3,
    eColImag = 4,
    eColPhase = 5,
    eColUnwrapped = 6,
    eColX = 7,
    eColView = 8,
};

constexpr int kMaxColumns = 19;

// Modal values of /M; bits of `modalFlags` say which were given.
enum EModalFlag : uint16_t {
    eModalRefName = 1,
    eModalRefNumber = 2,
    eModalRefDirection = 4,
    eModalRespName = 8,
    eModalRespNumber = 16,
    eModalRespDirection = 32,
};

struct ModalValues {
    char refName[32] = "";
    char respName[32] = "";
    int16_t refNumber = 0;
    int16_t refDirection = 0;
    int16_t respNumber = 0;
    int16_t respDirection = 0;
};

constexpr int kLowestPlatformVersion = 209;
constexpr int kDefaultPlatformVersion = 218;

struct ConvOptions {
    // The header of a Capture or Arb. file made from a number list (/B /I /K
    // /S), time-stamped when the job starts.
    CapArbHeader listCapture;
    uint8_t headerMode = 1; // 0 data only, 1 standard, 2 exhaustive
    uint8_t writeData = 1;
    uint16_t pointsPerLine = 1;
    char dataFormat[15] = "%14.6e";
    char separator[2] = " ";
    int32_t columns[kMaxColumns + 1] = {eColX, eColView, eColEnd};
    int16_t peakUnits = -1;  // -1 as saved, 1 pk, 2 rms, 3 pp
    int16_t dbMode = -1;     // -1 as saved, 0 lin, 1 dB, 2 dBm, 3 dB SPL
    int16_t phaseUnits = -1; // -1 as saved, 0 deg, 1 rad
    uint8_t wfChannel = 0;   // 0 channel A, 1 channel B
    uint16_t wfFirst = 0;
    int16_t wfCount = -1; // -1 to the end of the buffer
    char inputName[256] = "";
    char arrayName[40] = "";
    // Transducer codes of input channels 1 and 2: -1 none, else 0 to 8 (/T).
    int16_t transducer[2] = {-1, -1};
    // Platform code version as three digits (/V).
    char platformVersion[4] = "218";
    uint16_t modalFlags = 0; // which modal values /M gave
    ModalValues modalValues;
};

// Every option back to its default, the list capture header time-stamped, as
// each job does before reading its options.
void resetJobOptions(ConvOptions& options);

} // namespace vx
