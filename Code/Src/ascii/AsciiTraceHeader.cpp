// The header of the ASCII trace output: the standard header by measure group
// (window, averaging and engineering-unit lines) or the exhaustive list dumps.
#include <algorithm>
#include <cstdio>

#include "ascii/AsciiTraceWriter.h"
#include "base/Options.h"
#include "params/Catalog.h"
#include "params/CatalogTexts.h"
#include "params/STARTUP.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

int16_t entry(const enumParAction& p) { return p.getData(ePaoEntry); }

// The text a parameter shows for its entry value.
std::string text(paramActionObj& p) { return p.getStr(ePaoEntry); }

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

} // namespace

void CAsciiTraceWriter::headerLine(const std::string& label, const std::string& value) {
    (void)messageLine((label + value).c_str());
}

void CAsciiTraceWriter::dumpList(int16_t listId, int16_t groupMask) {
    (void)printList(file_.get(), listId, listLabels(listId), groupMask);
}

void CAsciiTraceWriter::writeHeader() {
    TraceMgr& t = model_.trace;
    int16_t groupMask = static_cast<int16_t>(1 << std::clamp<int16_t>(t.measGroup, 0, 5));
    if (model_.options.inputName[0]) headerLine("Input File: ", model_.options.inputName);
    if (model_.options.headerMode == 2) {
        for (int16_t list : {3, 1, 2, 7, 8, 5}) dumpList(list, groupMask);
    } else {
        writeStandardHeader();
    }
    if (entry(cat::modalData) == 1) dumpList(14, groupMask);
    (void)messageLine("");
}

void CAsciiTraceWriter::writeStandardHeader() {
    TraceMgr& t = model_.trace;
    headerLine("Measure Group: ", text(cat::measureGroup[0]));
    if (t.measDesc.axisKind() == eWFTimeSliceAxis) headerLine("A waterfall slice at: ", sliceText());
    headerLine("Measurement: ", text(cat::measurement[0]));
    char points[16];
    std::snprintf(points, sizeof points, "%d", t.extractedPoints());
    headerLine("Num of extracted Points: ", points);
    writeGroupBlock();
    writeEuLines();
}

void CAsciiTraceWriter::writeGroupBlock() {
    switch (model_.trace.measGroup) {
    case 0: writeFftBlock(); break;
    case 1: writeCorrelationBlock(); break;
    case 2: writeOctaveBlock(); break;
    case 3: writeSweptSineBlock(); break;
    case 4: writeOrderBlock(); break;
    case 5: writeHistogramBlock(); break;
    default: break;
    }
}

void CAsciiTraceWriter::writeWindowBlock() {
    if (!model_.trace.measDesc.windowed()) return;
    headerLine("Window: ", text(cat::window[0]));
    int16_t group = model_.trace.measGroup;
    if ((group != 0 && group != 4) || entry(cat::window[0]) != kForceExp) return;
    bool dual = entry(cat::channelMode) == 1;
    headerLine(dual ? "Display A Window" : "Channel 1 Window", text(cat::forceExp1));
    headerLine(dual ? "Display B Window" : "Channel 2 Window", text(cat::forceExp2));
    headerLine("Force Len: ", text(cat::forceLength[0]));
    headerLine("Expo TC: ", text(cat::expoTC[0]));
}

void CAsciiTraceWriter::writeAveragingBlock() {
    if (!model_.trace.measDesc.averaged()) return;
    headerLine("Averaging Mode: ", text(cat::measAveragingType[0]));
    if (entry(cat::measAveragingType[0]) == 0) return;
    headerLine("Averaging Type: ", text(cat::averaging[0]));
    headerLine("Number of Avg: ", text(cat::numAverages[0]));
    headerLine("Overload reject: ", text(cat::overloadReject[0]));
}

void CAsciiTraceWriter::writeFftBlock() {
    headerLine("Start Freq: ", text(cat::startFreq[0]));
    headerLine("Span: ", text(cat::span[0]));
    headerLine("FFT Lines: ", text(cat::fftLines[0]));
    writeWindowBlock();
    writeAveragingBlock();
}

void CAsciiTraceWriter::writeCorrelationBlock() {
    headerLine("Span: ", text(cat::span[0]));
    headerLine("FFT Lines: ", text(cat::fftLines[0]));
    if (model_.trace.measDesc.windowed()) headerLine("Window: ", text(cat::window[0]));
    writeAveragingBlock();
}

void CAsciiTraceWriter::writeOctaveBlock() {
    headerLine("Low Band: ", textAs(cat::octaveSpan[0], 0));
    headerLine("High Band: ", textAs(cat::octaveSpan[0], 1));
    headerLine("Resolution: ", text(cat::octaveResolution[0]));
    headerLine("Averaging Type: ", text(cat::octAveragingType[0]));
    if (entry(cat::octAveragingType[0]) == kEqualConfidence)
        headerLine("Confidence Level: ", text(cat::confidence[0]));
    else
        headerLine("Integration Time: ", text(cat::octIntegrationTime[0]));
    headerLine("Power Bin: ", text(cat::powerBin[0]));
}

void CAsciiTraceWriter::writeSweptSineBlock() {
    headerLine("Start Freq.: ", text(cat::sweptStart[0]));
    headerLine("Stop  Freq.: ", text(cat::sweptStop[0]));
    headerLine("Sweep Type: ", text(cat::sweptType[0]));
    headerLine("Auto Level: ", text(cat::sweptAutoLevel));
    if (entry(cat::sweptAutoLevel) == 1) {
        headerLine("Ideal Ref.: ", text(cat::sweptIdealRef));
        headerLine("Ref. Upper Limit: ", text(cat::sweptRefUpper));
        headerLine("Ref. Lower Limit: ", text(cat::sweptRefLower));
        headerLine("Max Source: ", text(cat::sweptMaxSource));
    } else {
        headerLine("Amplitude: ", text(cat::sweptAmp));
    }
    headerLine("Source Ramping: ", text(cat::sweptRamping));
    if (entry(cat::sweptRamping) == 1) headerLine("Ramp Rate: ", text(cat::sweptRampRate));
    headerLine("Source Offset: ", text(cat::sourceOffset));
    headerLine("Settle Time:   ", text(cat::settleTime[0]));
    headerLine("Settle Cycles: ", text(cat::settleCycles[0]));
    headerLine("Integration Time:   ", text(cat::sweptIntegrationTime[0]));
    headerLine("Integration Cycles: ", text(cat::integrationCycles[0]));
}

void CAsciiTraceWriter::writeOrderBlock() {
    headerLine("Max Order:   ", text(cat::maxOrder[0]));
    headerLine("Delta Order: ", text(cat::deltaOrder[0]));
    writeWindowBlock();
    int16_t m = entry(cat::measurement[0]);
    if (m == 63) {
        headerLine("Track of: ", text(cat::track1Bnc[0]));
        headerLine("Track Order: ", text(cat::track1Value[0]));
    } else if (m == 64) {
        headerLine("Track of: ", text(cat::track2Bnc[0]));
        headerLine("Tracked Order: ", text(cat::track2Value[0]));
    } else {
        writeAveragingBlock();
    }
}

void CAsciiTraceWriter::writeHistogramBlock() {
    headerLine("Sample Time: ", textAs(cat::span[0], 3));
    headerLine("Histogram Length: ", text(cat::histogramLength[0]));
    headerLine("Number of Bins: ", text(cat::histogramBins[0]));
    bool second = model_.trace.measDesc.channelMask() & 2;
    headerLine("Input Rng: ", text(second ? cat::inputRange2 : cat::inputRange1));
}

void CAsciiTraceWriter::writeEuLines() {
    uint8_t mask = model_.trace.measDesc.channelMask();
    struct Channel {
        enumParAction& euSwitch;
        euSensAct& perVolt;
        enumParAction& label;
        strActionObj& userLabel;
        const char* perVoltLabel;
        uint8_t bit;
    };
    Channel channels[] = {
        {cat::engUnits1[0], cat::euPerVolt1[0], cat::euLabel1[0], cat::euUserLabel1[0],
         "EU's/Volt (Ch 1): ", 1},
        {cat::engUnits2[0], cat::euPerVolt2[0], cat::euLabel2[0], cat::euUserLabel2[0],
         "EU's/Volt (Ch 2): ", 2},
    };
    constexpr int16_t kUserLabel = 14;
    for (Channel& c : channels) {
        if (entry(c.euSwitch) != 1 || !(mask & c.bit)) continue;
        headerLine(c.perVoltLabel, text(c.perVolt));
        headerLine("EU Label: ", entry(c.label) == kUserLabel ? text(c.userLabel) : text(c.label));
    }
}

} // namespace vx
