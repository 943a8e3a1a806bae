// The settings block inside a Display file: built from the parameter lists,
// and applied back to them (VX560 layout, or the older VX550 records).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "params/Catalog.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"
#include "trace/DISP_M.h"
#include "params/Vx550Settings.h"
#include "trace/TRACE.h"

namespace vx {

namespace {

constexpr int kVersionTextLen = 20;

// The lists of a settings block in file order, and whether the group filter applies.
struct ListInBlock {
    int16_t id;
    int16_t groupFilter;
};
const ListInBlock kBlockLists[] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};

int systemPaoVersion() { return paoVersion.getData(ePaoEntry); }

// The PAO version of a "plat%d pao%d" text, 0 when it cannot be parsed.
int paoVersionOf(const uint8_t text[kVersionTextLen]) {
    char buf[kVersionTextLen + 1] = {};
    std::memcpy(buf, text, kVersionTextLen);
    int plat = 0, pao = 0;
    return std::sscanf(buf, "plat%d pao%d", &plat, &pao) == 2 ? pao : 0;
}

void put16(memPrt& m, int16_t v) {
    uint8_t b[2];
    putLe16(b, static_cast<uint16_t>(v));
    (void)m.writeBytes(b, 2);
}

void put32(memPrt& m, uint32_t v) {
    uint8_t b[4];
    putLe32(b, v);
    (void)m.writeBytes(b, 4);
}

int16_t get16(memPrt& m) {
    uint8_t b[2] = {};
    (void)m.readBytes(b, 2);
    return static_cast<int16_t>(getLe16(b));
}

int32_t get32(memPrt& m) {
    uint8_t b[4] = {};
    (void)m.readBytes(b, 4);
    return static_cast<int32_t>(getLe32(b));
}

} // namespace

bool TraceMgr::settingsVersionAcceptable() {
    settings_->rewind();
    if (get16(*settings_) != -1) return true;
    uint8_t text[kVersionTextLen];
    (void)settings_->readBytes(text, kVersionTextLen);
    return paoVersionOf(text) <= systemPaoVersion();
}

void TraceMgr::buildSettingsBlock() {
    memPrt& m = *settings_;
    m.rewind();
    char text[kVersionTextLen + 1] = {};
    std::snprintf(text, sizeof text, "plat%d pao%d", std::atoi(platformVersion), systemPaoVersion());
    oldFormat = 0;
    computeLengths();
    put16(m, -1);
    (void)m.writeBytes(text, kVersionTextLen);
    put16(m, measGroup);
    put16(m, xDispLen);
    put32(m, static_cast<uint32_t>(nPts));
    (void)m.writeBytes(measDesc.bytes, MeasDesc::kSize);
    put16(m, 0);
    (void)m.writeBytes(timeStamp.bytes.data(), TimeStamp::kSize);
    for (const ListInBlock& l : kBlockLists)
        (void)serializeList(l.id, &m, 1, 0, ePaoEntry, l.groupFilter);
    const float trailer[3] = {0.0f, 10.0f, 0.0f};
    for (float f : trailer) put32(m, floatBits(f));
    put16(m, 0);
    int8_t kind = measDesc.axisKind();
    vectorCode = kind == 7 || kind == 8 ? 2 : 0;
}

Status TraceMgr::applySettingsBlock() {
    memPrt& m = *settings_;
    m.rewind();
    int16_t first = get16(m);
    if (first == -1) {
        uint8_t text[kVersionTextLen];
        (void)m.readBytes(text, kVersionTextLen);
        measGroup = get16(m);
        oldFormat = paoVersionOf(text) <= 4 ? 1 : 0;
    } else {
        measGroup = first;
        oldFormat = 1;
    }
    if (oldFormat) {
        oldTraceKind = get16(m);
        uint8_t unused;
        (void)m.readBytes(&unused, 1);
        xDispLen = get16(m);
        nPts = get32(m);
    } else {
        xDispLen = get16(m);
        nPts = get32(m);
        (void)m.readBytes(measDesc.bytes, MeasDesc::kSize);
    }
    int16_t selector = get16(m);
    Status st = oldFormat ? applyVx550Settings(selector) : applyVx560Settings();
    if (st.failed()) return 1;
    finishApplyingSettings();
    uint8_t trailer[14];
    (void)m.readBytes(trailer, sizeof trailer);
    return 0;
}

Status TraceMgr::applyVx560Settings() {
    memPrt& m = *settings_;
    (void)m.readBytes(timeStamp.bytes.data(), TimeStamp::kSize);
    int failed = 0;
    for (const ListInBlock& l : kBlockLists)
        failed |= serializeList(l.id, &m, 0, 0, ePaoEntry, l.groupFilter).code();
    return failed ? 1 : 0;
}

void TraceMgr::rebuildFromSettings(const TimeStamp& stamp) {
    timeStamp = stamp;
    buildSettingsBlock();
    (void)applySettingsBlock();
    data_[0].clear();
    present_[0] = false;
}

} // namespace vx

namespace vx {

namespace {

int16_t entry(const enumParAction& p) { return p.getData(ePaoEntry); }

// The channel mask of an order track follows the BNC its track is taken from.
void setTrackChannel(MeasDesc& desc, int16_t measurement) {
    const enumParAction& bnc = measurement == 63 ? cat::track1Bnc[0] : cat::track2Bnc[0];
    uint8_t mask = static_cast<uint8_t>(1u << std::clamp<int16_t>(entry(bnc), 0, 1));
    desc.setChannelMask(mask);
    measDescriptor(measurement).setChannelMask(mask);
}

// An averages count above what the trace completed is lowered to it.
void limitAverages(uint32_t completedWord) {
    int16_t completed = static_cast<int16_t>(completedWord & 0xFFFF);
    if (entry(cat::measAveraging[0]) == 1 && cat::numAverages[0].getData(ePaoEntry) > completed)
        (void)cat::numAverages[0].setData(completed);
}

} // namespace

Status TraceMgr::applyVx550Settings(int16_t windowSelector) {
    int16_t failed = readOldSettings(*settings_);
    measDesc = measDescriptor(entry(cat::measurement[0]));
    measGroup = entry(cat::measureGroup[0]);
    if (oldTraceKind == 7) measDesc.setAxisKind(11);
    if (windowSelector == 1) (void)cat::window[0].setData(entry(cat::window[1]), 0);
    return failed ? 1 : 0;
}

void TraceMgr::finishApplyingSettings() {
    int16_t m = entry(cat::measurement[0]);
    if (measDesc.axisKind() == 8) setTrackChannel(measDesc, m);
    static const int16_t kApplyOrder[] = {1, 2, 3, 4, 14, 5, 7, 8};
    for (int16_t list : kApplyOrder) applyList(list, 0);
    applyTransducerSettings();
    if (isUserFunction(m)) measDescriptor(m) = measDesc;
    refreshUnitTexts(0);
}

void TraceMgr::applyTransducerSettings() {
    enumParAction* euLabel[2] = {&cat::euLabel1[0], &cat::euLabel2[0]};
    enumParAction* euSwitch[2] = {&cat::engUnits1[0], &cat::engUnits2[0]};
    enumParAction* output[2] = {&cat::transducerOut1[0], &cat::transducerOut2[0]};
    int8_t k = measDesc.axisKind();
    bool spectrum = k == 1 || k == 5 || k == 2;
    for (int c = 0; c < 2; ++c) {
        int16_t eu = entry(*euLabel[c]);
        int16_t u = eu > 7 || eu < 0 ? 0 : eu;
        if (spectrum && entry(*euSwitch[c]) == 1 && eu >= 0 && eu < 8 && transducer[c] >= 0)
            u = transducer[c] < 8 ? transducer[c] : entry(*output[c]);
        (void)output[c]->setData(u, 0);
    }
}

void TraceMgr::postReadAdjustments() {
    const uint32_t* h = header_[0];
    switch (measGroup) {
    case 0:
    case 1: limitAverages(h[12]); break;
    case 4: {
        int16_t m = entry(cat::measurement[0]);
        if (m == 63 || m == 64) {
            int16_t points = static_cast<int16_t>(h[0] & 0xFFFF);
            if (cat::trackPoints[0].getData(ePaoEntry) > points)
                (void)cat::trackPoints[0].setData(points);
            (void)cat::measAveragingType[0].setData(0, 0);
        }
        limitAverages(h[12]);
        break;
    }
    case 2: {
        float completed = static_cast<float>(static_cast<int32_t>(h[12])) * 0.004f;
        if (cat::octIntegrationTime[0].getData(ePaoEntry) > completed)
            (void)cat::octIntegrationTime[0].setData(completed);
        break;
    }
    default: break;
    }
}

} // namespace vx
