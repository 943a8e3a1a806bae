// Derived parameters for levels: source amplitudes, input ranges, trigger
// levels, channel sensitivities and the reference impedance, with their units.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "params/DerivedParams.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"

namespace vx {

const LevelUnit amplitudeUnits[9] = {
    {"mVpk", 10, false, false},   {"mVpp", 5, false, false},   {"mVrms", 14.14213, false, false},
    {"Vpk", 10000, false, false}, {"Vpp", 5000, false, false}, {"Vrms", 14142.13, false, false},
    {"dBVpk", 0, true, false},    {"dBVpp", 6, true, false},   {"dBVrms", -3, true, false}};

const LevelUnit offsetUnits[2] = {{"mV", 10, false, false}, {"V", 10000, false, false}};

const LevelUnit inputRangeUnits[12] = {
    {"dBVpk", 0, true, false}, {"dBVpp", 6, true, false}, {"dBVrms", -3, true, false},
    {"Vpk", 1, false, false},  {"Vpp", 2, false, false},  {"Vrms", 0.707, false, false},
    {"dBEUpk", 0, true, true}, {"dBEUpp", 6, true, true}, {"dBEUrms", -3, true, true},
    {"EUpk", 1, false, true},  {"EUpp", 2, false, true},  {"EUrms", 0.707, false, true}};

const LevelUnit triggerLevelUnits[4] = {{"%", 1.27, false, false},
                                        {"V", 127, false, false},
                                        {"mV", 0.127, false, false},
                                        {"ChU", 127, false, true}};

namespace {

// The unit of a table for an index; an index beyond the table gives its first unit.
template <size_t N> const LevelUnit& unitAt(const LevelUnit (&table)[N], int16_t index) {
    return index >= 0 && static_cast<size_t>(index) < N ? table[index] : table[0];
}

// A text longer than the 20-byte buffer is cut to it.
template <size_t N> void putText(char (&buffer)[N], const std::string& text) {
    const size_t length = std::min(text.size(), N - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace

// ---- srcAmpAct and its variants

int16_t amplitudeLevel(int32_t amp) {
    if (amp <= 0) return kNoAmplitudeLevel;
    return static_cast<int16_t>(std::trunc(2000 * std::log10(static_cast<double>(amp)) - 8000));
}

srcAmpAct::srcAmpAct(int32_t amplitudeValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx,
                     bool percentMode)
    : pairedSlotsAct(amplitudeValue, amplitudeLevel(amplitudeValue), dispIdx),
      percent(percentMode) {
    registerInList(this, paoFlags, paoId);
}

const char* srcAmpAct::getStr(char slot) {
    const int s = slotIndex(slot);
    if (percent)
        std::snprintf(textBuf, sizeof textBuf, "%5.02f %%", firstSlots[s] * 0.01);
    else if (unit == eMilliVolt)
        std::snprintf(textBuf, sizeof textBuf, "%5.01f mV", firstSlots[s] * 0.1);
    else if (unit == eVolt)
        std::snprintf(textBuf, sizeof textBuf, "%6.04f V", firstSlots[s] * 0.0001);
    else if (secondSlots[s] == kNoAmplitudeLevel)
        std::snprintf(textBuf, sizeof textBuf, "-inf dBV");
    else
        std::snprintf(textBuf, sizeof textBuf, "%5.02f dBV", secondSlots[s] * 0.01);
    return textBuf;
}

namespace {
constexpr int16_t kOffsetIndex = 2;
}

srcSineAmp::srcSineAmp(int32_t amplitudeValue, int16_t index, uint32_t paoId, int16_t paoFlags,
                       int16_t dispIdx)
    : srcAmpAct(amplitudeValue, paoId, paoFlags, dispIdx), ampIndex(index),
      units(index == kOffsetIndex ? offsetUnits : amplitudeUnits),
      unitCount(index == kOffsetIndex ? 2 : 9) {}

const char* srcSineAmp::getStr(char slot) {
    const int s = slotIndex(slot);
    const LevelUnit& u = unit >= 0 && unit < unitCount ? units[unit] : units[0];
    if (u.dB) {
        if (secondSlots[s] == kNoAmplitudeLevel)
            std::snprintf(textBuf, sizeof textBuf, "-inf %s", u.text);
        else
            std::snprintf(textBuf, sizeof textBuf, "%5.02f %s", secondSlots[s] * 0.01 + u.value,
                          u.text);
        return textBuf;
    }
    const double v = firstSlots[s] / u.value;
    std::snprintf(textBuf, sizeof textBuf, u.value < 100 ? "%5.01f %s" : "%6.04f %s", v, u.text);
    return textBuf;
}

arbAmpAct::arbAmpAct(int32_t amplitudeValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : srcAmpAct(amplitudeValue, paoId, paoFlags, dispIdx, true) {}

// ---- inpRngAct and trigLevAct

inpRngAct::inpRngAct(int16_t dbRange, int16_t ch, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : pairedSlotsAct(dbRange, 0.0f, dispIdx), channel(ch) {
    const float value = valueOf(dbRange);
    for (float& v : secondSlots)
        v = value;
    makeEntryReal();
    registerInList(this, paoFlags, paoId);
}

float inpRngAct::valueOf(int16_t dbRange) const {
    const LevelUnit& u = unitAt(inputRangeUnits, unit);
    double euPerVolt = 1;
    const euSensAct* sens = linkTable[0].euPerVolt[channel == 1 ? 1 : 0];
    // A sensitivity that is not positive has no level: the channel reads volts.
    if (u.engineering && sens && sens->getData(ePaoEntry) > 0) euPerVolt = sens->getData(ePaoEntry);
    if (u.dB) return static_cast<float>(dbRange + u.value + 20 * std::log10(euPerVolt));
    return static_cast<float>(std::pow(10.0, dbRange / 20.0) * u.value * euPerVolt);
}

const char* inpRngAct::printValue(int s, const LevelUnit& u, bool blank) {
    char number[20];
    const char* prefix =
        formatWithUnits(number, sizeof number, secondSlots[s], prefixUnits, 3, eUnitsOmitted);
    putText(textBuf, std::string(number) + (blank ? " " : "") + prefix + u.text);
    return textBuf;
}

const char* inpRngAct::getStr(char slot) {
    const int s = slotIndex(slot);
    const int16_t u = unit >= 0 && unit < 12 ? unit : 0;
    if (u == 0) {
        std::snprintf(textBuf, sizeof textBuf, "%2d dBVpk", firstSlots[s]);
        return textBuf;
    }
    if (s == ePaoEntry) secondSlots[s] = valueOf(firstSlots[s]);
    constexpr int16_t kFirstEngineeringUnit = 6;
    return printValue(s, inputRangeUnits[u], u < kFirstEngineeringUnit);
}

trigLevAct::trigLevAct(int16_t level, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : inpRngAct(level, 0, paoId, paoFlags, dispIdx) {}

const char* trigLevAct::getStr(char slot) {
    return printValue(slotIndex(slot), unitAt(triggerLevelUnits, unit), true);
}

// ---- euSensAct

namespace {
constexpr float kSmallestSensitivity = 1e-30f;
}

euSensAct::euSensAct(float defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : floatParAction(defValue, nullptr, "%10.4g", 1e8f, 1e-8f, 0.01f, paoId, paoFlags, 0, dispIdx),
      entryRecip(0), entryDb(0) {
    deriveEntryForms();
    realRecip = entryRecip;
    realDb = entryDb;
}

void euSensAct::deriveEntryForms() {
    const float x = slots[ePaoEntry];
    if (!(x > 0)) return;
    entryRecip = 1 / x;
    entryDb = static_cast<float>(20 * std::log10(x));
}

const char* euSensAct::getStr(char slot) {
    const int s = slotIndex(slot);
    const float x = slots[s];
    if (mode == eVoltPerEu) {
        const float v = s == ePaoEntry ? entryRecip : 1 / std::max(x, kSmallestSensitivity);
        std::snprintf(textBuf, sizeof textBuf, " %.4g V/EU", v);
    } else if (mode == eDecibel) {
        const double v = s == ePaoEntry ? entryDb : 20 * std::log10(x);
        char number[16];
        std::snprintf(number, sizeof number, "%.4g", v);
        putText(textBuf, std::string(" ") + number + " dB(EU/V)");
    } else {
        std::snprintf(textBuf, sizeof textBuf, " %.4g EU/V", x);
    }
    return textBuf;
}

Status euSensAct::setData(float value) {
    slots[ePaoEntry] = value;
    setParam(0);
    return kStatusOk;
}

void* euSensAct::setParam(actType action) {
    deriveEntryForms();
    if (slots[ePaoEntry] > 0) {
        realRecip = entryRecip;
        realDb = entryDb;
    }
    return floatParAction::setParam(action);
}

// ---- impedParAction

impedParAction::impedParAction(float defValue, const char* fmt, uint32_t paoId, int16_t paoFlags,
                               int16_t dispIdx)
    : floatParAction(defValue, nullptr, fmt, 1e6f, 1, 1, paoId, paoFlags, 0, dispIdx),
      entryDb(static_cast<float>(10 * std::log10(defValue))) {}

void* impedParAction::setParam(actType action) {
    entryDb = static_cast<float>(10 * std::log10(slots[ePaoEntry]));
    return floatParAction::setParam(action);
}

} // namespace vx
