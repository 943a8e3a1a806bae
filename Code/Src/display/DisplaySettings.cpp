// The settings block inside a Display file: built from the parameter lists,
// and applied back to them (VX560 layout, or the older VX550 records).
#include "display/DisplaySettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "base/Options.h"
#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "params/Vx550Settings.h"
#include "trace/DISP_M.h"

namespace vx {

namespace {

constexpr int kVersionTextLen = 20;

// The lists of a settings block in file order, and whether the group filter applies.
struct ListInBlock {
    int16_t id;
    int16_t groupFilter;
};
const ListInBlock kBlockLists[] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};

int systemPaoVersion(Catalogue& cat) {
    return cat.lists.paoVersion.getData(ePaoEntry);
}

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

int16_t entry(const enumParAction& p) {
    return p.getData(ePaoEntry);
}

// The channel mask of an order track follows the BNC its track is taken from.
void setTrackChannel(Catalogue& cat, MeasDesc& desc, int16_t measurement) {
    const enumParAction& bnc = measurement == 63 ? cat.track1Bnc[0] : cat.track2Bnc[0];
    uint8_t mask = static_cast<uint8_t>(1u << std::clamp<int16_t>(entry(bnc), 0, 1));
    desc.setChannelMask(mask);
    measDescriptor(measurement).setChannelMask(mask);
}

// An averages count above what the trace completed is lowered to it.
void limitAverages(Catalogue& cat, uint32_t completedWord) {
    int16_t completed = static_cast<int16_t>(completedWord & 0xFFFF);
    if (entry(cat.measAveraging[0]) == 1 && cat.numAverages[0].getData(ePaoEntry) > completed)
        (void)cat.numAverages[0].setData(completed);
}

Status applyVx560Settings(TraceMgr& t) {
    memPrt& m = t.settings();
    (void)m.readBytes(t.timeStamp.bytes.data(), TimeStamp::kSize);
    int failed = 0;
    for (const ListInBlock& l : kBlockLists)
        failed |= t.cat.lists.serializeList(l.id, &m, 0, 0, ePaoEntry, l.groupFilter).code();
    return failed ? kStatusFailed : kStatusOk;
}

Status applyVx550Settings(TraceMgr& t, int16_t windowSelector) {
    Catalogue& cat = t.cat;
    const Status read = readOldSettings(cat, t.settings());
    t.measDesc = measDescriptor(entry(cat.measurement[0]));
    t.measGroup = entry(cat.measureGroup[0]);
    if (t.oldTraceKind == 7) t.measDesc.setAxisKind(11);
    if (windowSelector == 1) (void)cat.window[0].setData(entry(cat.window[1]), 0);
    return read;
}

void applyTransducerSettings(const TraceMgr& t, const int16_t transducer[2]) {
    Catalogue& cat = t.cat;
    enumParAction* euLabel[2] = {&cat.euLabel1[0], &cat.euLabel2[0]};
    enumParAction* euSwitch[2] = {&cat.engUnits1[0], &cat.engUnits2[0]};
    enumParAction* output[2] = {&cat.transducerOut1[0], &cat.transducerOut2[0]};
    int8_t k = t.measDesc.axisKind();
    bool spectrum = k == 1 || k == 5 || k == 2;
    for (int c = 0; c < 2; ++c) {
        int16_t eu = entry(*euLabel[c]);
        int16_t u = eu > 7 || eu < 0 ? 0 : eu;
        if (spectrum && entry(*euSwitch[c]) == 1 && eu >= 0 && eu < 8 && transducer[c] >= 0)
            u = transducer[c] < 8 ? transducer[c] : entry(*output[c]);
        (void)output[c]->setData(u, 0);
    }
}

void finishApplyingSettings(TraceMgr& t, const ConvOptions& o) {
    Catalogue& cat = t.cat;
    int16_t m = entry(cat.measurement[0]);
    if (t.measDesc.axisKind() == 8) setTrackChannel(cat, t.measDesc, m);
    static const int16_t kApplyOrder[] = {1, 2, 3, 4, 14, 5, 7, 8};
    for (int16_t list : kApplyOrder)
        cat.lists.applyList(list, 0);
    applyTransducerSettings(t, o.transducer);
    if (isUserFunction(m)) measDescriptor(m) = t.measDesc;
    refreshUnitTexts(cat, 0);
}

} // namespace

bool settingsVersionAcceptable(TraceMgr& t) {
    memPrt& m = t.settings();
    m.rewind();
    if (get16(m) != -1) return true;
    uint8_t text[kVersionTextLen];
    (void)m.readBytes(text, kVersionTextLen);
    return paoVersionOf(text) <= systemPaoVersion(t.cat);
}

void buildSettingsBlock(CModel& model) {
    TraceMgr& t = model.trace;
    memPrt& m = t.settings();
    m.rewind();
    char text[kVersionTextLen + 1] = {};
    std::snprintf(text, sizeof text, "plat%d pao%d", std::atoi(model.options.platformVersion),
                  systemPaoVersion(model.cat));
    t.oldFormat = 0;
    t.computeLengths();
    put16(m, -1);
    (void)m.writeBytes(text, kVersionTextLen);
    put16(m, t.measGroup);
    put16(m, t.xDispLen);
    put32(m, static_cast<uint32_t>(t.nPts));
    (void)m.writeBytes(t.measDesc.bytes, MeasDesc::kSize);
    put16(m, 0);
    (void)m.writeBytes(t.timeStamp.bytes.data(), TimeStamp::kSize);
    for (const ListInBlock& l : kBlockLists)
        (void)t.cat.lists.serializeList(l.id, &m, 1, 0, ePaoEntry, l.groupFilter);
    const float trailer[3] = {0.0f, 10.0f, 0.0f};
    for (float f : trailer)
        put32(m, floatBits(f));
    put16(m, 0);
    int8_t kind = t.measDesc.axisKind();
    t.vectorCode = kind == 7 || kind == 8 ? 2 : 0;
}

Status applySettingsBlock(CModel& model) {
    TraceMgr& t = model.trace;
    memPrt& m = t.settings();
    m.rewind();
    int16_t first = get16(m);
    if (first == -1) {
        uint8_t text[kVersionTextLen];
        (void)m.readBytes(text, kVersionTextLen);
        t.measGroup = get16(m);
        t.oldFormat = paoVersionOf(text) <= 4 ? 1 : 0;
    } else {
        t.measGroup = first;
        t.oldFormat = 1;
    }
    if (t.oldFormat) {
        t.oldTraceKind = get16(m);
        uint8_t unused;
        (void)m.readBytes(&unused, 1);
        t.xDispLen = get16(m);
        t.nPts = get32(m);
    } else {
        t.xDispLen = get16(m);
        t.nPts = get32(m);
        (void)m.readBytes(t.measDesc.bytes, MeasDesc::kSize);
    }
    int16_t selector = get16(m);
    Status st = t.oldFormat ? applyVx550Settings(t, selector) : applyVx560Settings(t);
    if (st.failed()) return kStatusFailed;
    finishApplyingSettings(t, model.options);
    uint8_t trailer[14];
    (void)m.readBytes(trailer, sizeof trailer);
    return kStatusOk;
}

void rebuildFromSettings(CModel& model, const TimeStamp& stamp) {
    model.trace.timeStamp = stamp;
    buildSettingsBlock(model);
    (void)applySettingsBlock(model);
    model.trace.dropVector(0);
}

void postReadAdjustments(TraceMgr& t) {
    Catalogue& cat = t.cat;
    const uint32_t completedWord = t.headerWord(0, 12);
    switch (t.measGroup) {
    case 0:
    case 1:
        limitAverages(cat, completedWord);
        break;
    case 4: {
        int16_t m = entry(cat.measurement[0]);
        if (m == 63 || m == 64) {
            int16_t points = static_cast<int16_t>(t.headerWord(0, 0) & 0xFFFF);
            if (cat.trackPoints[0].getData(ePaoEntry) > points)
                (void)cat.trackPoints[0].setData(points);
            (void)cat.measAveragingType[0].setData(0, 0);
        }
        limitAverages(cat, completedWord);
        break;
    }
    case 2: {
        float completed = static_cast<float>(static_cast<int32_t>(completedWord)) * 0.004f;
        if (cat.octIntegrationTime[0].getData(ePaoEntry) > completed)
            (void)cat.octIntegrationTime[0].setData(completed);
        break;
    }
    default:
        break;
    }
}

} // namespace vx
