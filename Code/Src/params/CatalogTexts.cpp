// Label tables and range tables of the parameter catalogue.
#include "params/CatalogTexts.h"

#include <iterator>

#include "params/STARTUP.h"

namespace vx {

namespace {

const char* const filterLabels[] = {"Measure Group: ",
                                    "Ch1 Eng. Units: ",
                                    "Ch2 Eng. Units: ",
                                    "Ch1 EU/Volt: ",
                                    "Ch2 EU/Volt: ",
                                    "Histogram Len: ",
                                    "",
                                    "Base Freq.: ",
                                    "Start Freq.: ",
                                    "Span: ",
                                    "FFT Lines: ",
                                    "Histogram Bins: ",
                                    "Window: ",
                                    "",
                                    "",
                                    "Linear Avg. Mode: ",
                                    "Linear Avg. Mode: ",
                                    "Force Length: ",
                                    "Expo TC: ",
                                    "Averaging: ",
                                    "Power Bin: ",
                                    "# Avgs: ",
                                    "Time Record Incr.: ",
                                    "Overload Reject: ",
                                    "",
                                    "",
                                    "Octave Resolution: ",
                                    "Octave Channels: ",
                                    "Confidence: ",
                                    "Octave Span: ",
                                    "Integration Time: ",
                                    "Averaging Type: ",
                                    "# of Points: ",
                                    "",
                                    "Settle Cycles: ",
                                    "Integration Cycles: ",
                                    "Start: ",
                                    "Stop: ",
                                    "Settle Time: ",
                                    "Integration Time: ",
                                    "Auto Resolution: ",
                                    "Max Skip Size: ",
                                    "Faster Threshold: ",
                                    "Slower Threshold: ",
                                    "Min RPM: ",
                                    "Type: ",
                                    "Max RPM: ",
                                    "Max Order: ",
                                    "Delta Order: ",
                                    "Track 1 Val: ",
                                    "Track 1 BNC: ",
                                    "Track 2 Val: ",
                                    "Track 2 BNC: ",
                                    "# Track Pts: "};

const char* const delayLabels[] = {"", "", "", "", "", "", ""};

const char* const measLabels[] = {"Measurement: ", "", "Averaging Type: ", "", ""};

const char* const sourceLabels[] = {
    "Source: ",       "Source Period: ",      "Source Type: ",        "Sine Freq 1: ",
    "Sine Freq 2: ",  "Sine Amp 1: ",         "Src Offset: ",         "Sine Amp 2: ",
    "Noise Amp: ",    "Noise Burst: ",        "Noise Type: ",         "Chirp Amp: ",
    "Chirp Burst: ",  "Chirp Source: ",       "Arb Src Amp: ",        "Arb Src Buf: ",
    "Arb Src Rate: ", "Arb Src Start: ",      "Arb Src Len: ",        "SS Amp: ",
    "SS Ideal Ref: ", "SS Ref Upper Limit: ", "SS Ref Lower Limit: ", "SS Max Source: ",
    "SS Ramping: ",   "SS Ramp Rate: ",       "Input Source: ",       "SS Auto Level: "};

const char* const inputLabels[] = {"",
                                   "Tach Holdoff: ",
                                   "Holdoff Enable: ",
                                   "Pulses Per Rev: ",
                                   "Tach Trig: ",
                                   "Tach Level: ",
                                   "Tach Slope: ",
                                   "",
                                   "dBm Ref. Imped.: ",
                                   "Auto Offset: ",
                                   "Ch1 Input Mode: ",
                                   "Ch1 Grounding: ",
                                   "Ch1 Coupling: ",
                                   "Ch2 Input Mode: ",
                                   "Ch2 Grounding: ",
                                   "Ch2 Coupling: ",
                                   "Ch1 AA Filter: ",
                                   "Ch2 AA Filter: ",
                                   "Ch1 A-Wt Fitler: ",
                                   "Ch2 A-Wt Filter: ",
                                   "Ch1 AutoRange: ",
                                   "Ch2 AutoRange: ",
                                   "Playback Start: ",
                                   "Playback Length: ",
                                   "Playback Mode: ",
                                   "Playback Speed: ",
                                   "Ch1 Input Range: ",
                                   "Ch2 Input Range: "};

const char* const triggerLabels[] = {"",
                                     "Time Arm Step: ",
                                     "RPM Delta Enable: ",
                                     "Start RPM arm: ",
                                     "Stop  RPM arm: ",
                                     "Trig'd Source Mode: ",
                                     "Trigger Mode: ",
                                     "Trigger Source: ",
                                     "Trigger Level: ",
                                     "Trigger Slope: ",
                                     "Delay A: ",
                                     "Delay B: "};

const char* const fileLabels[] = {"",
                                  "Ref. Name: ",
                                  "Ref. Number: ",
                                  "Ref. Direction: ",
                                  "Resp. Name: ",
                                  "Resp. Number: ",
                                  "Resp. Direction: "};

struct LabelTable {
    const char* const* labels;
    int16_t count;
};

template <size_t N> constexpr LabelTable table(const char* const (&labels)[N]) {
    return {labels, static_cast<int16_t>(N)};
}

LabelTable labelTable(int16_t listId) {
    switch (listId) {
    case filterLst:
        return table(filterLabels);
    case delayLst:
        return table(delayLabels);
    case measLst:
        return table(measLabels);
    case sourceLst:
        return table(sourceLabels);
    case inputLst:
        return table(inputLabels);
    case triggerLst:
        return table(triggerLabels);
    case fileLst:
        return table(fileLabels);
    default:
        return {nullptr, 0};
    }
}

} // namespace

const char* const* listLabels(int16_t listId) {
    return labelTable(listId).labels;
}

int16_t listLabelCount(int16_t listId) {
    return labelTable(listId).count;
}

} // namespace vx
