// Parameter objects: the base class, the pool, and the enumerations.
#include "params/ACTION.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/ErrLogger.h"
#include "base/LeBytes.h"
#include "params/STARTUP.h"

namespace vx {

// ---- the base and the pool

char* paramActionObj::sPaoMemPtr = nullptr;
int16_t paramActionObj::sCurMemOffset = paramActionObj::kBlockSize; // first request opens a block
int32_t paramActionObj::blockCount = 0;

paramActionObj::paramActionObj(char dispIdx, KeyCallback, char mortal, char bits, NotifyCallback)
    : dispIndex(static_cast<int8_t>(dispIdx)), mortalByte(static_cast<uint8_t>(mortal)),
      groupBits(static_cast<uint8_t>(bits)) {}

void paramActionObj::setMortal(char mortal, char bits) {
    mortalByte = static_cast<uint8_t>(mortal);
    groupBits |= static_cast<uint8_t>(bits);
}

int paramActionObj::slotIndex(char slot) {
    const bool valid = slot >= ePaoDefault && slot <= ePaoFile;
    VX_ASSERT(valid, "(slot >= ePaoDefault) && (slot <= ePaoFile)");
    return valid ? slot : static_cast<int>(ePaoEntry);
}

paramActionObj* paramActionObj::next(int16_t n) {
    if (n == 0) return this;
    const int target = pairPosition + n;
    const bool inPair = twinObj && (target == 0 || target == 1);
    VX_ASSERT(inPair, "twinObj && ((target == 0) || (target == 1))");
    return inPair ? twinObj : this;
}

void paramActionObj::pairTwins(paramActionObj& a, paramActionObj& b) {
    a.twinObj = &b;
    b.twinObj = &a;
    b.pairPosition = 1;
}

namespace {

// Values are read in place, so each request gets the alignment of the largest
// power of two (up to 8) that divides its size.
int naturalAlignment(uint16_t size) {
    if (size == 0) return 1;
    return std::min(size & -size, 8);
}

int alignUp(int offset, int alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

} // namespace

void* paramActionObj::getBlk(uint16_t size) {
    static std::mutex poolMutex;
    const std::lock_guard<std::mutex> lock(poolMutex);
    int offset = alignUp(sCurMemOffset, naturalAlignment(size));
    if (offset + size >= kBlockSize) {
        // A new block; the previous one is chained behind the usable part so
        // that every block stays reachable.
        const int usable = alignUp(std::max<int>(size, kBlockSize), alignof(char*));
        char* block = new char[usable + sizeof(char*)]();
        std::memcpy(block + usable, &sPaoMemPtr, sizeof(char*));
        sPaoMemPtr = block;
        ++blockCount;
        offset = 0;
    }
    // A request of kBlockSize or more fills its block.
    sCurMemOffset = static_cast<int16_t>(std::min<int>(offset + size, kBlockSize));
    return sPaoMemPtr + offset;
}

// ---- enumParAction

enumParAction::enumParAction(int16_t defIndex, int16_t highest, const char* const* textTable,
                             IndexCallback, uint32_t paoId, int16_t paoFlags, actType,
                             int16_t dispIdx, KeyCallback, int16_t, MenuCallback, int16_t,
                             NotifyCallback)
    : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr),
      pReal(static_cast<int16_t*>(getBlk(sizeof(int16_t)))), slots{defIndex, defIndex, defIndex},
      texts(textTable), maxIndex(highest) {
    *pReal = defIndex;
    registerInList(this, paoFlags, paoId);
}

const char* enumParAction::text(int16_t index) const {
    if (!texts || index < 0 || index > maxIndex) return "?";
    return texts[index];
}

const char* enumParAction::getStr(char slot) {
    return text(slots[slotIndex(slot)]);
}

const char* enumParAction::getRealStr(char slot) {
    return text(getRealData(slot));
}

int16_t enumParAction::getRealData(char slot) const {
    const int s = slotIndex(slot);
    return s == ePaoEntry ? *pReal : slots[s];
}

void* enumParAction::setParam(actType) {
    *pReal = slots[ePaoEntry];
    return pReal;
}

Status enumParAction::setData(int16_t value, actType) {
    slots[ePaoEntry] = value;
    *pReal = value;
    return kStatusOk;
}

int16_t enumParAction::getRange(char) {
    return 0;
}

Status enumParAction::Serialize(socket* stream, int16_t dir, char slot) {
    uint8_t bytes[2];
    if (dir != 0) {
        putLe16(bytes, static_cast<uint16_t>(getRealData(slot)));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const int s = slotIndex(slot);
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.ok()) slots[s] = static_cast<int16_t>(getLe16(bytes));
    return status;
}

void enumParAction::slotToSlot(EPaoIndex from, EPaoIndex to) {
    slots[slotIndex(to)] = slots[slotIndex(from)];
}

// ---- rngEnumAction

rngEnumAction::rngEnumAction(RangeRecords table, int16_t defRange, int16_t defIndex,
                             int16_t highest, const char* const* textTable, IndexCallback,
                             uint32_t paoId, int16_t paoFlags, actType action, int16_t dispIdx,
                             KeyCallback, int16_t, MenuCallback, int16_t)
    : enumParAction(defIndex, highest, textTable, nullptr, paoId, paoFlags, action, dispIdx),
      rangeTable(table.records), rangeCnt(table.count),
      pRange(static_cast<int16_t*>(getBlk(sizeof(int16_t)))), rangeSlots{defRange, defRange,
                                                                         defRange} {
    *pRange = defRange;
}

void rngEnumAction::remember(int16_t range, int16_t index) {
    if (validRange(range)) rangeTable[range][eRangeRemembered] = index;
}

void* rngEnumAction::setParam(actType action) {
    remember(*pRange, slots[ePaoEntry]);
    return enumParAction::setParam(action);
}

int16_t rngEnumAction::getRange(char slot) {
    const int s = slotIndex(slot);
    return s == ePaoEntry ? *pRange : rangeSlots[s];
}

Status rngEnumAction::setRange(int16_t range) {
    if (!validRange(range)) return kStatusFailed;
    remember(*pRange, slots[ePaoEntry]);
    *pRange = range;
    rangeSlots[ePaoEntry] = range;
    slots[ePaoEntry] = rangeTable[range][eRangeRemembered];
    *pReal = slots[ePaoEntry];
    return kStatusOk;
}

Status rngEnumAction::Serialize(socket* stream, int16_t dir, char slot) {
    uint8_t bytes[4];
    if (dir != 0) {
        putLe16(bytes, static_cast<uint16_t>(getRealData(slot)));
        putLe16(bytes + 2, static_cast<uint16_t>(getRange(slot)));
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const int s = slotIndex(slot);
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    slots[s] = static_cast<int16_t>(getLe16(bytes));
    rangeSlots[s] = static_cast<int16_t>(getLe16(bytes + 2));
    if (s == ePaoEntry) {
        *pRange = rangeSlots[s];
        remember(*pRange, slots[s]);
    }
    return status;
}

void rngEnumAction::slotToSlot(EPaoIndex from, EPaoIndex to) {
    const int f = slotIndex(from);
    const int t = slotIndex(to);
    if (f == t) return;
    const int16_t range = f == ePaoEntry ? *pRange : rangeSlots[f];
    slots[t] = slots[f];
    rangeSlots[t] = range;
    if (t == ePaoEntry) {
        *pRange = range;
        remember(range, slots[f]);
    }
}

} // namespace vx
