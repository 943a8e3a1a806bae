// Parameter objects: every instrument setting is one object with three value
// slots and a real value in pool storage, a text form as the instrument shows
// it, and the bytes it occupies in a settings block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "base/DISK_M.h"
#include "base/Status.h"
#include "params/UTIL.h"

namespace vx {

// The three value slots of every parameter.
enum EPaoIndex : int8_t { ePaoDefault = 0, ePaoEntry = 1, ePaoFile = 2 };

// The action code handed to setParam; accepted and ignored by every class.
using actType = int16_t;

class paramActionObj;

// Callbacks of the instrument's user interface: accepted and never stored.
using KeyCallback = int16_t (*)(int16_t);
using NotifyCallback = void (*)(int16_t, paramActionObj*);
using IndexCallback = int16_t (*)(int16_t, int16_t);
using MenuCallback = void (*)(int16_t, int16_t*);
using LongCallback = int32_t (*)(int32_t, int16_t);
using FloatCallback = float (*)(float, int16_t);
using TextCallback = char* (*)(char*, int16_t);

template <class T> struct Twin;
struct DisplayLinks;

// The abstract base. Objects are built once and never copied: lists hold
// their addresses and display twins hold each other's.
class paramActionObj {
  public:
    paramActionObj() = default;
    paramActionObj(char dispIndex, KeyCallback, char mortal, char groupBits, NotifyCallback);
    paramActionObj(const paramActionObj&) = delete;
    paramActionObj& operator=(const paramActionObj&) = delete;

    // Virtual operations in their fixed order; derived classes override by position.
    virtual const char* getStr(char slot) = 0;
    virtual void* setParam(actType action) = 0;
    // The object n places further in its pair of display twins: next(0) is the
    // object itself, next(1) of display A's object is display B's. A step out
    // of the pair is reported and gives the object itself.
    virtual paramActionObj* next(int16_t n);
    // dir != 0 writes the real form of the slot, dir == 0 reads into the slot.
    virtual Status Serialize(socket* stream, int16_t dir, char slot) = 0;
    virtual int16_t getSerSize() = 0;
    virtual void slotToSlot(EPaoIndex from, EPaoIndex to) = 0;
    // The pool storage of the real value is never returned.
    virtual ~paramActionObj() = default;

    void setMortal(char mortal, char bits);
    int8_t displayIndex() const { return dispIndex; }
    uint8_t mortal() const { return mortalByte; }
    uint8_t groups() const { return groupBits; }
    // The settings of this object's display that it consults: its catalogue's,
    // or unlinked ones (the catalogue defaults) for an object built alone.
    const DisplayLinks& links() const;

    // The pool: blocks of at least kBlockSize bytes that are never freed. Each
    // request is placed at the alignment its size calls for (2, 4 or 8 bytes).
    // Requests are serialised, so models can be built on several threads.
    static void* getBlk(uint16_t size);
    static constexpr int16_t kBlockSize = 100;
    static char* sPaoMemPtr;      // current block
    static int16_t sCurMemOffset; // bytes used in it; kBlockSize when full
    static int32_t blockCount;

  protected:
    // A slot argument as an index; out-of-range slots are reported and read slot 1.
    static int slotIndex(char slot);
    static DisplayLinks* constructionLinks();

    int8_t dispIndex = 0;
    uint8_t mortalByte = 0;
    uint8_t groupBits = 0;
    DisplayLinks* linkTable = constructionLinks(); // displays A and B

  private:
    template <class T> friend struct Twin;
    // Makes a and b display A's and display B's object of one pair.
    static void pairTwins(paramActionObj& a, paramActionObj& b);

    paramActionObj* twinObj = nullptr; // the other object of the pair, if any
    int8_t pairPosition = 0;           // 0 in display A's object, 1 in B's
};

// Pool storage for one real value, holding init.
template <class T> T* poolValue(const T& init) {
    return new (paramActionObj::getBlk(sizeof(T))) T(init);
}

// Display A's and display B's object of one setting, side by side, each
// knowing the other. make(d) builds the object of display d.
template <class T> struct Twin {
    template <class Make> explicit Twin(Make make) : d{make(0), make(1)} {
        paramActionObj::pairTwins(d[0], d[1]);
    }
    Twin(const Twin&) = delete;
    Twin& operator=(const Twin&) = delete;
    T& operator[](int display) { return d[display == 1 ? 1 : 0]; }
    T d[2];
};

// An enumeration: an index into a table of texts.
class enumParAction : public paramActionObj {
  public:
    enumParAction(int16_t defIndex, int16_t maxIndex, const char* const* texts, IndexCallback,
                  uint32_t paoId, int16_t paoFlags, actType, int16_t dispIndex,
                  KeyCallback = nullptr, int16_t = 0, MenuCallback = nullptr, int16_t = 0,
                  NotifyCallback = nullptr);

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 2; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;
    // Sets entry and real value; returns 0.
    virtual Status setData(int16_t value, actType action);
    virtual const char* getRealStr(char slot);
    virtual int16_t getRange(char slot);

    int16_t* entryVal() { return &slots[ePaoEntry]; }
    int16_t* realVal() { return pReal; }
    int16_t getData(char slot) const { return slots[slotIndex(slot)]; }
    int16_t getRealData(char slot) const;
    void setInterface(int16_t value) { iface = value; }
    int16_t getInterface() const { return iface; }
    int16_t highestIndex() const { return maxIndex; }
    // The text of an index; "?" for an index outside 0 to maxIndex.
    const char* text(int16_t index) const;

  protected:
    int16_t* pReal;
    int16_t slots[3];
    const char* const* texts;
    int16_t iface = 0;
    int16_t maxIndex;
};

// The fields of one range record of a rngEnumAction.
enum : int { eRangeLowest = 0, eRangeHighest = 1, eRangeRemembered = 2 };

// A range table with its record count, taken from a static array.
struct RangeRecords {
    template <size_t N>
    RangeRecords(int16_t (&table)[N][3]) : records(table), count(static_cast<int16_t>(N)) {}
    int16_t (*records)[3];
    int16_t count;
};

// An enumeration whose valid sub-range depends on another setting; each
// range remembers the index last used in it.
class rngEnumAction : public enumParAction {
  public:
    rngEnumAction(RangeRecords rangeTable, int16_t defRange, int16_t defIndex, int16_t maxIndex,
                  const char* const* texts, IndexCallback, uint32_t paoId, int16_t paoFlags,
                  actType, int16_t dispIndex, KeyCallback = nullptr, int16_t = 0,
                  MenuCallback = nullptr, int16_t = 0);

    void* setParam(actType action) override;
    // Index, then range number.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 4; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;
    // Slot 1's range number is the current range.
    int16_t getRange(char slot) override;
    // Switches to range r at the index remembered there. Returns 0, or 1 (and
    // changes nothing) for a range outside the table.
    virtual Status setRange(int16_t range);

    int16_t rangeCount() const { return rangeCnt; }

  protected:
    bool validRange(int16_t range) const { return range >= 0 && range < rangeCnt; }
    // Records index as the remembered index of range (ignored for an unknown range).
    void remember(int16_t range, int16_t index);

    int16_t (*rangeTable)[3];
    int16_t rangeCnt;
    int16_t* pRange;
    int16_t rangeSlots[3];
};

// The shared shape of the numeric classes: a printf format, a text buffer and
// T values (T = 16-bit, 32-bit or float).
template <class T> class numParAction : public paramActionObj {
  public:
    static constexpr size_t kTextSize = 20;

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return sizeof(T); }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    T* entryVal() { return &slots[ePaoEntry]; }
    T* realVal() { return pReal; }
    T getData(char slot) const { return slots[slotIndex(slot)]; }
    T getRealData(char slot) const;

  protected:
    numParAction(T defValue, const char* format, int16_t dispIndex);
    void store(T value);

    const char* format;
    char textBuf[kTextSize] = {};
    T* pReal;
    T slots[3];
};

class intParAction : public numParAction<int16_t> {
  public:
    intParAction(int16_t defValue, IndexCallback, const char* format, int16_t upper, int16_t lower,
                 int16_t step, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIndex,
                 KeyCallback = nullptr, NotifyCallback = nullptr);
    Status setData(int16_t value);
};

// An intParAction with format "%d" and the full 16-bit range.
class intActionObj : public intParAction {
  public:
    intActionObj();
    intActionObj(int16_t defValue, IndexCallback, uint32_t paoId, int16_t paoFlags, actType,
                 int16_t dispIndex, KeyCallback = nullptr);
    Status setData(int16_t value, actType) { return intParAction::setData(value); }
};

class longParAction : public numParAction<int32_t> {
  public:
    longParAction(int32_t defValue, LongCallback, const char* format, int32_t upper, int32_t lower,
                  int32_t step, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIndex,
                  KeyCallback = nullptr, NotifyCallback = nullptr);
    Status setData(int32_t value, actType);
};

class floatParAction : public numParAction<float> {
  public:
    floatParAction(float defValue, FloatCallback, const char* format, float upper, float lower,
                   float step, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIndex,
                   KeyCallback = nullptr, NotifyCallback = nullptr);
    Status setData(float value);
};

// A float shown with a unit table (5 significant digits).
class floatUnitAction : public floatParAction {
  public:
    floatUnitAction(float defValue, FloatCallback, const UNIT_SPEC* units, float upper, float lower,
                    float step, uint32_t paoId, int16_t paoFlags, actType, int16_t dispIndex,
                    KeyCallback = nullptr, NotifyCallback = nullptr);
    const char* getStr(char slot) override;

  protected:
    const UNIT_SPEC* units;
};

// A text of up to maxLen characters; every buffer keeps a terminator at maxLen.
class strActionObj : public paramActionObj {
  public:
    strActionObj(const char* initial, int16_t maxLen, int16_t dispIndex, TextCallback, KeyCallback,
                 uint32_t paoId, int16_t paoFlags, actType);

    const char* getStr(char slot) override { return slots[slotIndex(slot)]; }
    void* setParam(actType action) override;
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return static_cast<int16_t>(maxLen + 1); }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    // Copies at most maxLen characters into the entry buffer, then into the real one.
    Status setData(const char* text);
    const char* getRealStr(char slot);
    char** entryVal() { return &slots[ePaoEntry]; }
    char** realVal() { return &pReal; }
    int16_t capacity() const { return maxLen; }

  protected:
    std::unique_ptr<char[]> storage; // slots 0 to 2, and the real buffer unless pooled
    char* slots[3];
    char* pReal;
    int16_t maxLen;
};

} // namespace vx
