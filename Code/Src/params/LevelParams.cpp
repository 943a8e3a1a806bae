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

srcAmpAct::srcAmpAct(int32_t amplitudeValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx,
                     bool percentMode)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr),
      pAmp(poolValue(amplitudeValue)),
      pLevel(poolValue(levelOf(amplitudeValue))), ampSlots{amplitudeValue, amplitudeValue,
                                                           amplitudeValue},
      percent(percentMode) {
    for (int16_t& l : levelSlots)
        l = *pLevel;
    registerInList(this, paoFlags, paoId);
}

int16_t srcAmpAct::levelOf(int32_t amp) {
    if (amp <= 0) return kNoLevel;
    return static_cast<int16_t>(std::trunc(2000 * std::log10(static_cast<double>(amp)) - 8000));
}

const char* srcAmpAct::getStr(char slot) {
    const int s = slotIndex(slot);
    if (percent)
        std::snprintf(textBuf, sizeof textBuf, "%5.02f %%", ampSlots[s] * 0.01);
    else if (unit == eMilliVolt)
        std::snprintf(textBuf, sizeof textBuf, "%5.01f mV", ampSlots[s] * 0.1);
    else if (unit == eVolt)
        std::snprintf(textBuf, sizeof textBuf, "%6.04f V", ampSlots[s] * 0.0001);
    else if (levelSlots[s] == kNoLevel)
        std::snprintf(textBuf, sizeof textBuf, "-inf dBV");
    else
        std::snprintf(textBuf, sizeof textBuf, "%5.02f dBV", levelSlots[s] * 0.01);
    return textBuf;
}

int16_t srcAmpAct::setData(int32_t value) {
    ampSlots[ePaoEntry] = value;
    levelSlots[ePaoEntry] = levelOf(value);
    setParam(0);
    return 0;
}

void* srcAmpAct::setParam(actType) {
    *pAmp = ampSlots[ePaoEntry];
    *pLevel = levelSlots[ePaoEntry];
    return pAmp;
}

Status srcAmpAct::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[4];
    if (dir != 0) {
        putLe32(bytes, static_cast<uint32_t>(s == ePaoEntry ? *pAmp : ampSlots[s]));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    ampSlots[s] = static_cast<int32_t>(getLe32(bytes));
    levelSlots[s] = levelOf(ampSlots[s]);
    return status;
}

void srcAmpAct::slotToSlot(EPaoIndex from, EPaoIndex to) {
    ampSlots[slotIndex(to)] = ampSlots[slotIndex(from)];
    levelSlots[slotIndex(to)] = levelSlots[slotIndex(from)];
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
        if (levelSlots[s] == kNoLevel)
            std::snprintf(textBuf, sizeof textBuf, "-inf %s", u.text);
        else
            std::snprintf(textBuf, sizeof textBuf, "%5.02f %s", levelSlots[s] * 0.01 + u.value,
                          u.text);
        return textBuf;
    }
    const double v = ampSlots[s] / u.value;
    std::snprintf(textBuf, sizeof textBuf, u.value < 100 ? "%5.01f %s" : "%6.04f %s", v, u.text);
    return textBuf;
}

arbAmpAct::arbAmpAct(int32_t amplitudeValue, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : srcAmpAct(amplitudeValue, paoId, paoFlags, dispIdx, true) {}

// ---- inpRngAct and trigLevAct

inpRngAct::inpRngAct(int16_t dbRange, int16_t ch, uint32_t paoId, int16_t paoFlags, int16_t dispIdx)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr), pValue(poolValue(0.0f)),
      pDb(poolValue(dbRange)), dbSlots{dbRange, dbRange, dbRange}, channel(ch) {
    *pValue = valueOf(dbRange);
    for (float& v : valueSlots)
        v = *pValue;
    registerInList(this, paoFlags, paoId);
}

float inpRngAct::valueOf(int16_t dbRange) const {
    const LevelUnit& u = unitAt(inputRangeUnits, unit);
    double euPerVolt = 1;
    const euSensAct* sens = displayLinks(0).euPerVolt[channel == 1 ? 1 : 0];
    // A sensitivity that is not positive has no level: the channel reads volts.
    if (u.engineering && sens && sens->getData(ePaoEntry) > 0) euPerVolt = sens->getData(ePaoEntry);
    if (u.dB) return static_cast<float>(dbRange + u.value + 20 * std::log10(euPerVolt));
    return static_cast<float>(std::pow(10.0, dbRange / 20.0) * u.value * euPerVolt);
}

const char* inpRngAct::printValue(int s, const LevelUnit& u, bool blank) {
    char number[20];
    const char* prefix =
        formatWithUnits(number, sizeof number, valueSlots[s], prefixUnits, 3, eUnitsOmitted);
    putText(textBuf, std::string(number) + (blank ? " " : "") + prefix + u.text);
    return textBuf;
}

const char* inpRngAct::getStr(char slot) {
    const int s = slotIndex(slot);
    const int16_t u = unit >= 0 && unit < 12 ? unit : 0;
    if (u == 0) {
        std::snprintf(textBuf, sizeof textBuf, "%2d dBVpk", dbSlots[s]);
        return textBuf;
    }
    if (s == ePaoEntry) valueSlots[s] = valueOf(dbSlots[s]);
    constexpr int16_t kFirstEngineeringUnit = 6;
    return printValue(s, inputRangeUnits[u], u < kFirstEngineeringUnit);
}

int16_t inpRngAct::setData(int16_t dbRange) {
    dbSlots[ePaoEntry] = dbRange;
    valueSlots[ePaoEntry] = valueOf(dbRange);
    setParam(0);
    return 0;
}

void* inpRngAct::setParam(actType) {
    *pValue = valueSlots[ePaoEntry];
    *pDb = dbSlots[ePaoEntry];
    return pDb;
}

Status inpRngAct::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[6];
    if (dir != 0) {
        const bool real = s == ePaoEntry;
        putLe16(bytes, static_cast<uint16_t>(real ? *pDb : dbSlots[s]));
        putLe32(bytes + 2, floatBits(real ? *pValue : valueSlots[s]));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    dbSlots[s] = static_cast<int16_t>(getLe16(bytes));
    valueSlots[s] = bitsFloat(getLe32(bytes + 2));
    return status;
}

void inpRngAct::slotToSlot(EPaoIndex from, EPaoIndex to) {
    dbSlots[slotIndex(to)] = dbSlots[slotIndex(from)];
    valueSlots[slotIndex(to)] = valueSlots[slotIndex(from)];
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

int16_t euSensAct::setData(float value) {
    slots[ePaoEntry] = value;
    setParam(0);
    return 0;
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
