// Parameter lists: the registry of parameter objects by list, the order of
// their members, and the settings block that a list reads and writes.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "base/DISK_M.h"
#include "base/Status.h"
#include "params/ACTION.h"

namespace vx {

struct DisplayLinks;

// List ids. Lists 1 to 14 are the operational lists; list 0 holds process
// settings that are never written to files; list 15 is "no list".
enum EPaoList : int16_t {
    dbgLst = 0,
    filterLst,
    delayLst,
    measLst,
    viewLst,
    sourceLst,
    limitLst,
    inputLst,
    triggerLst,
    systemLst,
    userMathLst,
    captureLst,
    commLst,
    dramLst,
    fileLst,
    nlLst
};
constexpr int kListCount = 16;

// Titles as written into settings blocks, and which lists have display-B twins.
extern const char* const listTitle[kListCount];
extern const bool twoChLst[kListCount];

// One registered member, decoded from the object's paoFlags and paoId.
struct PaoListEntry {
    paramActionObj* object = nullptr; // display-A instance for twins
    bool persistent = false;          // paoFlags bit 0
    bool twoDisplay = false;          // paoFlags bit 1: twin at next(1)
    int16_t priority = 0;             // paoFlags bits 2-10, signed; higher first
    uint8_t version = 0;              // paoFlags bits 11-15: PAO version introducing it
    uint16_t groupMask = 0;           // paoId bits 0-9; 0 = all measure groups
    uint8_t actCode = 0;              // paoId bits 10-13
    bool mortal = false;              // paoId bit 14
    bool spare = false;               // paoId bit 15
    uint8_t listId = 0;               // paoId bits 16-20
    uint16_t spareBits = 0;           // paoId bits 21-31
};

PaoListEntry decodeListEntry(paramActionObj* object, int16_t paoFlags, uint32_t paoId);

class CPaoRegistry;

// While alive, the parameter objects built on this thread register in the
// given registry and consult the given display links (a catalogue being
// built); otherwise they go to MainPAOlist() and links of their own.
class RegistryScope {
  public:
    RegistryScope(CPaoRegistry& registry, DisplayLinks* links);
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;
    ~RegistryScope() { end(); }
    // Stops registering here (once; later calls do nothing).
    void end();

  private:
    bool active_ = true;
    CPaoRegistry* previousRegistry_;
    DisplayLinks* previousLinks_;
};

// The display links of the objects built now on this thread (see RegistryScope).
DisplayLinks* linksInConstruction();

// Lists of parameter objects by list id. A catalogue holds its own registry;
// objects built outside one go to MainPAOlist(); tests may build registries
// of their own.
class CPaoRegistry {
  public:
    static constexpr int16_t kGrowth = 20;

    CPaoRegistry();
    CPaoRegistry(const CPaoRegistry&) = delete;
    CPaoRegistry& operator=(const CPaoRegistry&) = delete;

    void registerInList(paramActionObj* object, int16_t paoFlags, uint32_t paoId);
    // Sorts lists 1 to 14 by priority, sets every member's mortal byte and
    // group bits, and makes the current entry values the defaults.
    void initLists();
    // Writes (dir != 0) or reads (dir == 0) one list; ch 0 display A, 1 display
    // B, 2 both. Returns 0, or 1 on failure.
    Status serializeList(int16_t listId, socket* stream, int16_t dir, int16_t ch, char slot,
                         int16_t groupFilter);
    // Every member's real value takes its entry value.
    void applyList(int16_t listId, int16_t ch);
    void copyListSlots(EPaoIndex from, EPaoIndex to, int16_t listId, int16_t ch);
    // One line "label value\r\n" per labelled member of the measure groups in
    // groupMask; labels holds one text per member in list order. Returns the
    // first failure of the stream.
    Status printList(socket* stream, int16_t listId, const char* const* labels, int16_t groupMask);
    // The members that printList prints, in its order: visit(position, label,
    // member). False for a list that is not operational.
    bool visitPrinted(int16_t listId, const char* const* labels, int16_t groupMask,
                      const std::function<void(int, const char*, paramActionObj&)>& visit);

    // The display-A Measure Group parameter, whose twin is display B's.
    void setMeasureGroup(enumParAction* measureGroup) { measGroup_ = measureGroup; }
    int16_t listCnt(int16_t listId) const;
    const PaoListEntry& entry(int16_t listId, int16_t index) const;

  private:
    std::unique_ptr<PaoListEntry[]> lists_[kListCount];
    int16_t counts_[kListCount] = {};
    int16_t capacity_[kListCount] = {};
    enumParAction* measGroup_ = nullptr;
    RegistryScope registering_{*this, nullptr}; // the version registers in its own list 0

  public:
    // The PAO version: slot 1 the version this system writes and understands
    // (5), slot 2 the version read from a file.
    intParAction paoVersion;

  private:
    static bool operationalList(int16_t listId);
    bool append(int16_t listId, const PaoListEntry& entry);
    void sortByPriority(int16_t listId);
    template <class Visit> void forEachMember(int16_t listId, int16_t ch, Visit visit);
    Status serializePass(int16_t listId, socket* stream, int16_t dir, int16_t display, char slot,
                         int16_t groupFilter, int16_t fileVersion);
    int16_t currentGroup() const;
};

// The registry of the parameter objects built outside a catalogue.
CPaoRegistry& MainPAOlist();

// Registers an object in the registry of its RegistryScope, or MainPAOlist().
void registerInList(paramActionObj* object, int16_t paoFlags, uint32_t paoId);

} // namespace vx
