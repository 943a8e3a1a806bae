// Parameter objects: the numeric classes and the text class.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "params/ACTION.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"

namespace vx {

namespace {

// Values are handed to printf widened as its conversions expect.
int widen(int16_t v) {
    return v;
}
long widen(int32_t v) {
    return v;
}
double widen(float v) {
    return v;
}

} // namespace

// ---- the numeric shape

template <class T>
numParAction<T>::numParAction(T defValue, const char* fmt, int16_t dispIdx)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr), format(fmt),
      pReal(static_cast<T*>(getBlk(sizeof(T)))), slots{defValue, defValue, defValue} {
    *pReal = defValue;
}

template <class T> const char* numParAction<T>::getStr(char slot) {
    const T value = slots[slotIndex(slot)];
    if (!format)
        textBuf[0] = '\0';
    else
        std::snprintf(textBuf, sizeof textBuf, format, widen(value));
    return textBuf;
}

template <class T> void* numParAction<T>::setParam(actType) {
    *pReal = slots[ePaoEntry];
    return pReal;
}

template <class T> T numParAction<T>::getRealData(char slot) const {
    const int s = slotIndex(slot);
    return s == ePaoEntry ? *pReal : slots[s];
}

template <class T> void numParAction<T>::store(T value) {
    *pReal = value;
    slots[ePaoEntry] = value;
}

template <class T> Status numParAction<T>::Serialize(socket* stream, int16_t dir, char slot) {
    uint8_t bytes[sizeof(T)];
    if (dir != 0) {
        putLeValue(bytes, getRealData(slot));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const int s = slotIndex(slot);
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.ok()) getLeValue(bytes, slots[s]);
    return status;
}

template <class T> void numParAction<T>::slotToSlot(EPaoIndex from, EPaoIndex to) {
    slots[slotIndex(to)] = slots[slotIndex(from)];
}

template class numParAction<int16_t>;
template class numParAction<int32_t>;
template class numParAction<float>;

// ---- the numeric classes

intParAction::intParAction(int16_t defValue, IndexCallback, const char* fmt, int16_t, int16_t,
                           int16_t, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIdx,
                           KeyCallback, NotifyCallback)
    : numParAction(defValue, fmt, dispIdx) {
    registerInList(this, paoFlags, paoId);
}

Status intParAction::setData(int16_t value) {
    store(value);
    return kStatusOk;
}

namespace {
constexpr actType kDefaultObjectAction = 2;
}

intActionObj::intActionObj()
    : intParAction(0, nullptr, nullptr, 0, 0, 1, 0, 0, kDefaultObjectAction, 0) {}

intActionObj::intActionObj(int16_t defValue, IndexCallback, uint32_t paoId, int16_t paoFlags,
                           actType action, int16_t dispIdx, KeyCallback)
    : intParAction(defValue, nullptr, "%d", 32767, -32767, 1, paoId, paoFlags, action, dispIdx) {}

longParAction::longParAction(int32_t defValue, LongCallback, const char* fmt, int32_t, int32_t,
                             int32_t, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIdx,
                             KeyCallback, NotifyCallback)
    : numParAction(defValue, fmt, dispIdx) {
    registerInList(this, paoFlags, paoId);
}

Status longParAction::setData(int32_t value, actType) {
    store(value);
    return kStatusOk;
}

floatParAction::floatParAction(float defValue, FloatCallback, const char* fmt, float, float, float,
                               uint32_t paoId, int16_t paoFlags, actType, int16_t dispIdx,
                               KeyCallback, NotifyCallback)
    : numParAction(defValue, fmt, dispIdx) {
    registerInList(this, paoFlags, paoId);
}

Status floatParAction::setData(float value) {
    store(value);
    return kStatusOk;
}

floatUnitAction::floatUnitAction(float defValue, FloatCallback, const UNIT_SPEC* unitTable,
                                 float upper, float lower, float step, uint32_t paoId,
                                 int16_t paoFlags, actType action, int16_t dispIdx, KeyCallback,
                                 NotifyCallback)
    : floatParAction(defValue, nullptr, "", upper, lower, step, paoId, paoFlags, action, dispIdx),
      units(unitTable) {}

const char* floatUnitAction::getStr(char slot) {
    formatWithUnits(textBuf, sizeof textBuf, slots[slotIndex(slot)], units, 5, eUnitsShown);
    return textBuf;
}

// ---- strActionObj

namespace {
constexpr int16_t kPersistentFlag = 0x0001;
}

strActionObj::strActionObj(const char* initial, int16_t capacity, int16_t dispIdx, TextCallback,
                           KeyCallback, uint32_t paoId, int16_t paoFlags, actType)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr),
      maxLen(std::max<int16_t>(capacity, 0)) {
    const size_t bufSize = static_cast<size_t>(maxLen) + 1;
    // A persistent text keeps its real buffer in pool storage.
    const bool persistent = paoFlags & kPersistentFlag;
    storage = std::make_unique<char[]>((persistent ? 3 : 4) * bufSize);
    for (int s = ePaoDefault; s <= ePaoFile; ++s)
        slots[s] = storage.get() + s * bufSize;
    pReal = persistent ? static_cast<char*>(getBlk(static_cast<uint16_t>(bufSize)))
                       : storage.get() + 3 * bufSize;
    const size_t len = initial ? strnlen(initial, maxLen) : 0;
    std::memset(pReal, 0, bufSize);
    if (len) std::memcpy(pReal, initial, len);
    for (char* slot : slots)
        std::memcpy(slot, pReal, bufSize);
    registerInList(this, paoFlags, paoId);
}

Status strActionObj::setData(const char* text) {
    // The text may be one of this object's own buffers; the rest is zero-filled
    // so that a serialized buffer carries no stale characters.
    const size_t len = text ? strnlen(text, maxLen) : 0;
    if (len) std::memmove(slots[ePaoEntry], text, len);
    std::memset(slots[ePaoEntry] + len, 0, maxLen + 1 - len);
    std::memcpy(pReal, slots[ePaoEntry], maxLen + 1);
    return kStatusOk;
}

const char* strActionObj::getRealStr(char slot) {
    const int s = slotIndex(slot);
    return s == ePaoEntry ? pReal : slots[s];
}

void* strActionObj::setParam(actType) {
    std::memcpy(pReal, slots[ePaoEntry], maxLen + 1);
    return &pReal;
}

Status strActionObj::Serialize(socket* stream, int16_t dir, char slot) {
    const uint32_t size = static_cast<uint32_t>(maxLen) + 1;
    if (dir != 0) return stream->writeBytes(getRealStr(slot), size);
    const int s = slotIndex(slot);
    std::unique_ptr<char[]> bytes = std::make_unique<char[]>(size);
    const Status status = stream->readBytes(bytes.get(), size);
    if (status.failed()) return status;
    std::memcpy(slots[s], bytes.get(), size);
    slots[s][maxLen] = '\0'; // a damaged file may lack the terminator
    return status;
}

void strActionObj::slotToSlot(EPaoIndex from, EPaoIndex to) {
    const int f = slotIndex(from);
    const int t = slotIndex(to);
    if (f != t) std::memcpy(slots[t], slots[f], maxLen + 1);
}

} // namespace vx
