// The header lines of a trace by measure group (window, averaging and
// engineering-unit lines) or as the exhaustive list dumps, and the lines of
// a Capture/Arb. header.
#include "settings/HeaderLines.h"

#include <algorithm>
#include <cstdio>

#include "params/Catalog.h"
#include "params/CatalogTexts.h"
#include "params/STARTUP.h"
#include "params/UTIL.h"
#include "timebuf/CapArb.h"

namespace vx {

namespace {

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

// The text a parameter shows for its entry value.
std::string text(paramActionObj& p) {
    return p.getStr(ePaoEntry);
}

// The text of a parameter shown through another interface (a span as sample
// time, the second band of an octave span); the interface is restored.
std::string textAs(enumParAction& p, int16_t iface) {
    int16_t saved = p.getInterface();
    p.setInterface(iface);
    std::string t = p.getStr(ePaoEntry);
    p.setInterface(saved);
    return t;
}

constexpr int16_t kForceExp = 5;
constexpr int16_t kEqualConfidence = 3;

class CTraceHeader {
  public:
    CTraceHeader(CModel& model, const std::string& sliceText)
        : m_(model), cat_(model.cat), sliceText_(sliceText) {}

    std::vector<HeaderLine> build(int16_t headerMode) {
        const int16_t group = std::clamp<int16_t>(m_.trace.measGroup, 0, 5);
        const int16_t groupMask = static_cast<int16_t>(1 << group);
        if (headerMode == 2) {
            for (int16_t list : {3, 1, 2, 7, 8, 5})
                dumpList(list, groupMask);
        } else {
            standardHeader();
        }
        if (entry(cat_.modalData) == 1) dumpList(14, groupMask);
        return std::move(lines_);
    }

  private:
    void line(const std::string& label, const std::string& value) {
        lines_.push_back({label, value, true});
    }

    // The list's labelled members of the group, as printList prints them:
    // only the measurement (the first member of its list) is echoed.
    void dumpList(int16_t listId, int16_t groupMask) {
        (void)cat_.lists.visitPrinted(listId, listLabels(listId), groupMask,
                                      [&](int i, const char* label, paramActionObj& object) {
                                          bool echo = listId == measLst && i == 0;
                                          lines_.push_back({label, text(object), echo});
                                      });
    }

    void standardHeader() {
        line("Measure Group: ", text(cat_.measureGroup[0]));
        if (m_.trace.measDesc.axisKind() == eWFTimeSliceAxis)
            line("A waterfall slice at: ", sliceText_);
        line("Measurement: ", text(cat_.measurement[0]));
        line("Num of extracted Points: ", std::to_string(m_.trace.extractedPoints()));
        switch (m_.trace.measGroup) {
        case 0:
            fftBlock();
            break;
        case 1:
            correlationBlock();
            break;
        case 2:
            octaveBlock();
            break;
        case 3:
            sweptSineBlock();
            break;
        case 4:
            orderBlock();
            break;
        case 5:
            histogramBlock();
            break;
        default:
            break;
        }
        euLines();
    }

    void windowBlock() {
        if (!m_.trace.measDesc.windowed()) return;
        line("Window: ", text(cat_.window[0]));
        int16_t group = m_.trace.measGroup;
        if ((group != 0 && group != 4) || entry(cat_.window[0]) != kForceExp) return;
        bool dual = entry(cat_.channelMode) == 1;
        line(dual ? "Display A Window" : "Channel 1 Window", text(cat_.forceExp1));
        line(dual ? "Display B Window" : "Channel 2 Window", text(cat_.forceExp2));
        line("Force Len: ", text(cat_.forceLength[0]));
        line("Expo TC: ", text(cat_.expoTC[0]));
    }

    void averagingBlock() {
        if (!m_.trace.measDesc.averaged()) return;
        line("Averaging Mode: ", text(cat_.measAveragingType[0]));
        if (entry(cat_.measAveragingType[0]) == 0) return;
        line("Averaging Type: ", text(cat_.averaging[0]));
        line("Number of Avg: ", text(cat_.numAverages[0]));
        line("Overload reject: ", text(cat_.overloadReject[0]));
    }

    void fftBlock() {
        line("Start Freq: ", text(cat_.startFreq[0]));
        line("Span: ", text(cat_.span[0]));
        line("FFT Lines: ", text(cat_.fftLines[0]));
        windowBlock();
        averagingBlock();
    }

    void correlationBlock() {
        line("Span: ", text(cat_.span[0]));
        line("FFT Lines: ", text(cat_.fftLines[0]));
        if (m_.trace.measDesc.windowed()) line("Window: ", text(cat_.window[0]));
        averagingBlock();
    }

    void octaveBlock() {
        line("Low Band: ", textAs(cat_.octaveSpan[0], 0));
        line("High Band: ", textAs(cat_.octaveSpan[0], 1));
        line("Resolution: ", text(cat_.octaveResolution[0]));
        line("Averaging Type: ", text(cat_.octAveragingType[0]));
        if (entry(cat_.octAveragingType[0]) == kEqualConfidence)
            line("Confidence Level: ", text(cat_.confidence[0]));
        else
            line("Integration Time: ", text(cat_.octIntegrationTime[0]));
        line("Power Bin: ", text(cat_.powerBin[0]));
    }

    void sweptSineBlock() {
        line("Start Freq.: ", text(cat_.sweptStart[0]));
        line("Stop  Freq.: ", text(cat_.sweptStop[0]));
        line("Sweep Type: ", text(cat_.sweptType[0]));
        line("Auto Level: ", text(cat_.sweptAutoLevel));
        if (entry(cat_.sweptAutoLevel) == 1) {
            line("Ideal Ref.: ", text(cat_.sweptIdealRef));
            line("Ref. Upper Limit: ", text(cat_.sweptRefUpper));
            line("Ref. Lower Limit: ", text(cat_.sweptRefLower));
            line("Max Source: ", text(cat_.sweptMaxSource));
        } else {
            line("Amplitude: ", text(cat_.sweptAmp));
        }
        line("Source Ramping: ", text(cat_.sweptRamping));
        if (entry(cat_.sweptRamping) == 1) line("Ramp Rate: ", text(cat_.sweptRampRate));
        line("Source Offset: ", text(cat_.sourceOffset));
        line("Settle Time:   ", text(cat_.settleTime[0]));
        line("Settle Cycles: ", text(cat_.settleCycles[0]));
        line("Integration Time:   ", text(cat_.sweptIntegrationTime[0]));
        line("Integration Cycles: ", text(cat_.integrationCycles[0]));
    }

    void orderBlock() {
        line("Max Order:   ", text(cat_.maxOrder[0]));
        line("Delta Order: ", text(cat_.deltaOrder[0]));
        windowBlock();
        int16_t m = entry(cat_.measurement[0]);
        if (m == 63) {
            line("Track of: ", text(cat_.track1Bnc[0]));
            line("Track Order: ", text(cat_.track1Value[0]));
        } else if (m == 64) {
            line("Track of: ", text(cat_.track2Bnc[0]));
            line("Tracked Order: ", text(cat_.track2Value[0]));
        } else {
            averagingBlock();
        }
    }

    void histogramBlock() {
        line("Sample Time: ", textAs(cat_.span[0], 3));
        line("Histogram Length: ", text(cat_.histogramLength[0]));
        line("Number of Bins: ", text(cat_.histogramBins[0]));
        bool second = m_.trace.measDesc.channelMask() & 2;
        line("Input Rng: ", text(second ? cat_.inputRange2 : cat_.inputRange1));
    }

    void euLines() {
        uint8_t mask = m_.trace.measDesc.channelMask();
        struct Channel {
            enumParAction& euSwitch;
            euSensAct& perVolt;
            enumParAction& label;
            strActionObj& userLabel;
            const char* perVoltLabel;
            uint8_t bit;
        };
        Channel channels[] = {
            {cat_.engUnits1[0], cat_.euPerVolt1[0], cat_.euLabel1[0], cat_.euUserLabel1[0],
             "EU's/Volt (Ch 1): ", 1},
            {cat_.engUnits2[0], cat_.euPerVolt2[0], cat_.euLabel2[0], cat_.euUserLabel2[0],
             "EU's/Volt (Ch 2): ", 2},
        };
        constexpr int16_t kUserLabel = 14;
        for (Channel& c : channels) {
            if (entry(c.euSwitch) != 1 || !(mask & c.bit)) continue;
            line(c.perVoltLabel, text(c.perVolt));
            line("EU Label: ", entry(c.label) == kUserLabel ? text(c.userLabel) : text(c.label));
        }
    }

    CModel& m_;
    Catalogue& cat_;
    const std::string& sliceText_;
    std::vector<HeaderLine> lines_;
};

std::string formatted(const char* format, int a, int b = 0, int c = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

} // namespace

std::vector<HeaderLine> traceHeaderLines(CModel& model, int16_t headerMode,
                                         const std::string& sliceText) {
    return CTraceHeader(model, sliceText).build(headerMode);
}

std::vector<HeaderLine> capArbHeaderLines(const CapArbHeader& h, int16_t kind,
                                          const enumParAction& rpmSwitch) {
    const TimeStamp& ts = h.timeStamp;
    std::vector<HeaderLine> lines;
    lines.push_back(
        {"Time: ", formatted("%02d : %02d : %02d", ts.hours(), ts.minutes(), ts.seconds())});
    lines.push_back(
        {"Date: ", formatted("%2d / %2d / %02d", ts.month(), ts.day(), ts.yearOfCentury())});
    lines.push_back({"Length = ", formatted("%d kPts", h.recordKpts)});
    lines.push_back({"Base Freq. = ", h.baseFreqId == 0 ? "100 kHz" : "102.4 kHz"});
    FreqValue rate = sampleRate(h.spanCode);
    char text[64];
    formatFrequency(&rate, text, sizeof text, h.baseFreqId, 4, true, &rpmSwitch);
    lines.push_back({"Sampling Freq = ", text});
    if (kind != eKindArb)
        lines.push_back({"Input Range = ", formatted("%d dBVpk", capturedInputRange(h, kind))});
    return lines;
}

} // namespace vx
