// The shape of the parameters that keep two values per slot (seconds and
// samples, amplitude and level, range and value): both real values live in
// the pool and are set together from the entry slot, and a settings block
// holds the first value, then the second unless it follows from the first.
#pragma once
#include <cstdint>
#include <type_traits>

#include "base/LeBytes.h"
#include "params/ACTION.h"

namespace vx {

// Derive, when given, computes the second value from the first
// (Derive::of(first)): the second is then not serialized and is recomputed
// when the first is read. A type rather than a function pointer, so that
// whether there is one is known at compile time in every build.
template <class First, class Second, class Derive = void>
class pairedSlotsAct : public paramActionObj {
  public:
    void* setParam(actType) override {
        makeEntryReal();
        return pFirst;
    }
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return kSerSize; }
    First* realVal() { return pFirst; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override {
        firstSlots[slotIndex(to)] = firstSlots[slotIndex(from)];
        secondSlots[slotIndex(to)] = secondSlots[slotIndex(from)];
    }

  protected:
    static constexpr bool kSecondStored = std::is_void_v<Derive>;
    static constexpr int16_t kSerSize = sizeof(First) + (kSecondStored ? sizeof(Second) : 0);

    // Every slot and both real values start as (first, second).
    pairedSlotsAct(First first, Second second, int16_t dispIdx)
        : paramActionObj(static_cast<char>(dispIdx), nullptr, 0, 0, nullptr),
          pFirst(poolValue(first)),
          pSecond(poolValue(second)), firstSlots{first, first, first}, secondSlots{second, second,
                                                                                   second} {}

    // Sets the entry pair and makes it the real value; returns 0.
    Status setEntry(First first, Second second) {
        firstSlots[ePaoEntry] = first;
        secondSlots[ePaoEntry] = second;
        makeEntryReal();
        return kStatusOk;
    }
    void makeEntryReal() {
        *pFirst = firstSlots[ePaoEntry];
        *pSecond = secondSlots[ePaoEntry];
    }
    First* pFirst;
    Second* pSecond;
    First firstSlots[3];
    Second secondSlots[3];
};

template <class First, class Second, class Derive>
Status pairedSlotsAct<First, Second, Derive>::Serialize(socket* stream, int16_t dir, char slot) {
    const int s = slotIndex(slot);
    uint8_t bytes[kSerSize];
    if (dir != 0) {
        const bool real = s == ePaoEntry;
        putLeValue(bytes, real ? *pFirst : firstSlots[s]);
        if constexpr (kSecondStored)
            putLeValue(bytes + sizeof(First), real ? *pSecond : secondSlots[s]);
        return stream->writeBytes(bytes, sizeof bytes);
    }
    const Status status = stream->readBytes(bytes, sizeof bytes);
    if (status.failed()) return status;
    getLeValue(bytes, firstSlots[s]);
    if constexpr (kSecondStored)
        getLeValue(bytes + sizeof(First), secondSlots[s]);
    else
        secondSlots[s] = Derive::of(firstSlots[s]);
    return status;
}

} // namespace vx
