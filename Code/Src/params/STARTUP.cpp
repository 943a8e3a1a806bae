// Parameter lists: registration, ordering, and the settings block of a list.
#include "params/STARTUP.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "base/ErrLogger.h"

namespace vx {

const char* const listTitle[kListCount] = {"Debug List",
                                           "Filter List:",
                                           "Delay List:",
                                           "Meas Settings:",
                                           "View Settings:",
                                           "Source Settings:",
                                           "Limit Setings:",
                                           "Input Settings:",
                                           "Trigger Settings:",
                                           "General System Settings:",
                                           "User Math Settings:",
                                           "Capture Settings:",
                                           "Communications Settings:",
                                           "DRAM settings:",
                                           "File List:",
                                           "Null List"};

const bool twoChLst[kListCount] = {false, true,  true,  true,  true,  false, true, false,
                                   false, false, false, false, false, false, true, false};

namespace {

// What RegistryScope sets: per thread, so two models can be built at once.
thread_local CPaoRegistry* tRegistry = nullptr;
thread_local DisplayLinks* tLinks = nullptr;

} // namespace

RegistryScope::RegistryScope(CPaoRegistry& registry, DisplayLinks* links)
    : previousRegistry_(tRegistry), previousLinks_(tLinks) {
    tRegistry = &registry;
    tLinks = links;
}

void RegistryScope::end() {
    if (!active_) return;
    active_ = false;
    tRegistry = previousRegistry_;
    tLinks = previousLinks_;
}

DisplayLinks* linksInConstruction() {
    return tLinks;
}

CPaoRegistry& MainPAOlist() {
    static CPaoRegistry registry;
    return registry;
}

CPaoRegistry::CPaoRegistry() : paoVersion(5, nullptr, "%d", 31, 1, 1, 0, 0, 0, 0) {
    registering_.end();
}

namespace {

// The action code of a member that does not matter for the current group.
constexpr actType kActionOtherGroup = 3;

bool inGroup(uint16_t groupMask, int16_t group) {
    if (groupMask == 0) return true;
    return group >= 0 && group < 16 && (groupMask >> group & 1);
}

// The 8-bit mask of a measure group read from a file; none for a damaged value.
uint16_t groupFilterMask(int16_t group) {
    return group >= 0 && group < 8 ? static_cast<uint16_t>(1u << group) : 0;
}

Status headerFault(const char* title) {
    errLog() << msg::eHeaderParameters << title << msg::eHeaderFault << endLine;
    return kStatusFailed;
}

// The title and the parameter version that lead a list: written, or read and
// checked (a list saved by a newer version is refused).
Status serializeListHeader(const char* title, socket* stream, int16_t dir,
                           intParAction& paoVersion) {
    const uint32_t titleLen = static_cast<uint32_t>(std::strlen(title));
    if (dir != 0) {
        if (stream->writeBytes(title, titleLen).failed()) return kStatusFailed;
    } else {
        char read[32] = {};
        if (stream->readBytes(read, titleLen).failed() || std::memcmp(read, title, titleLen) != 0)
            return headerFault(title);
    }
    if (paoVersion.Serialize(stream, dir, dir != 0 ? ePaoEntry : ePaoFile).failed())
        return dir != 0 ? Status(kStatusFailed) : headerFault(title);
    if (dir == 0 && paoVersion.getData(ePaoEntry) < paoVersion.getData(ePaoFile))
        return kStatusFailed;
    return kStatusOk;
}

} // namespace

PaoListEntry decodeListEntry(paramActionObj* object, int16_t paoFlags, uint32_t paoId) {
    const uint16_t flags = static_cast<uint16_t>(paoFlags);
    PaoListEntry e;
    e.object = object;
    e.persistent = flags & 0x0001;
    e.twoDisplay = flags & 0x0002;
    const int16_t priority = flags >> 2 & 0x1FF;
    e.priority = priority & 0x100 ? static_cast<int16_t>(priority - 0x200) : priority;
    e.version = static_cast<uint8_t>(flags >> 11 & 0x1F);
    e.groupMask = static_cast<uint16_t>(paoId & 0x3FF);
    e.actCode = static_cast<uint8_t>(paoId >> 10 & 0xF);
    e.mortal = paoId >> 14 & 1;
    e.spare = paoId >> 15 & 1;
    e.listId = static_cast<uint8_t>(paoId >> 16 & 0x1F);
    e.spareBits = static_cast<uint16_t>(paoId >> 21);
    return e;
}

bool CPaoRegistry::operationalList(int16_t listId) {
    return listId > dbgLst && listId < nlLst;
}

int16_t CPaoRegistry::listCnt(int16_t listId) const {
    return listId >= 0 && listId < kListCount ? counts_[listId] : 0;
}

const PaoListEntry& CPaoRegistry::entry(int16_t listId, int16_t index) const {
    return lists_[listId][index];
}

void CPaoRegistry::registerInList(paramActionObj* object, int16_t paoFlags, uint32_t paoId) {
    const PaoListEntry e = decodeListEntry(object, paoFlags, paoId);
    const int16_t listID = e.listId;
    const bool known = listID >= dbgLst && listID <= nlLst;
    VX_ASSERT(known, "(listID >= dbgLst) && (listID <= nlLst)");
    if (!known || listID == nlLst) return;
    append(listID, e);
}

bool CPaoRegistry::append(int16_t listId, const PaoListEntry& e) {
    int16_t& count = counts_[listId];
    if (count == capacity_[listId]) {
        const bool room = count <= INT16_MAX - kGrowth;
        PaoListEntry* tmp = room ? new (std::nothrow) PaoListEntry[count + kGrowth]() : nullptr;
        VX_ASSERT(tmp, "tmp");
        if (!tmp) return false;
        for (int i = 0; i < count; ++i)
            tmp[i] = lists_[listId][i];
        lists_[listId].reset(tmp);
        capacity_[listId] = static_cast<int16_t>(count + kGrowth);
    }
    lists_[listId][count++] = e;
    return true;
}

void CPaoRegistry::sortByPriority(int16_t listId) {
    PaoListEntry* list = lists_[listId].get();
    const int16_t count = counts_[listId];
    for (int j = 0; j < count; ++j) {
        for (int ix = j + 1; ix < count; ++ix) {
            VX_ASSERT(list[ix].priority != list[j].priority,
                      "MainPAOlist[listID][ix].priority != MainPAOlist[listID][j].priority");
            if (list[j].priority < list[ix].priority) std::swap(list[j], list[ix]);
        }
    }
}

void CPaoRegistry::initLists() {
    for (int16_t listId = dbgLst + 1; listId < nlLst; ++listId) {
        const int16_t count = counts_[listId];
        if (count == 0) continue;
        if (count != capacity_[listId]) {
            auto exact = std::make_unique<PaoListEntry[]>(count);
            for (int i = 0; i < count; ++i)
                exact[i] = lists_[listId][i];
            lists_[listId] = std::move(exact);
            capacity_[listId] = count;
        }
        sortByPriority(listId);
    }
    for (int16_t listId = dbgLst + 1; listId < nlLst; ++listId) {
        if (counts_[listId] == 0) continue;
        for (int i = 0; i < counts_[listId]; ++i) {
            const PaoListEntry& e = lists_[listId][i];
            const char bits = static_cast<char>(e.groupMask & 0xFF);
            e.object->setMortal(e.mortal, bits);
            if (twoChLst[listId] && e.twoDisplay) e.object->next(1)->setMortal(e.mortal, bits);
        }
        copyListSlots(ePaoEntry, ePaoDefault, listId, 2);
    }
}

int16_t CPaoRegistry::currentGroup() const {
    return measGroup_ ? measGroup_->getData(ePaoEntry) : 0;
}

template <class Visit> void CPaoRegistry::forEachMember(int16_t listId, int16_t ch, Visit visit) {
    const bool listOk = operationalList(listId);
    VX_ASSERT(listOk, "(listID>dbgLst) && (listID<nlLst)");
    if (!listOk) return;
    const bool bothDisplays = ch == 2 && twoChLst[listId];
    for (int i = 0; i < counts_[listId]; ++i) {
        const PaoListEntry& e = lists_[listId][i];
        visit(ch == 1 && e.twoDisplay ? e.object->next(1) : e.object, e);
        if (bothDisplays && e.twoDisplay) visit(e.object->next(1), e);
    }
}

void CPaoRegistry::applyList(int16_t listId, int16_t ch) {
    const int16_t group = currentGroup();
    forEachMember(listId, ch, [group](paramActionObj* object, const PaoListEntry& e) {
        object->setParam(inGroup(e.groupMask, group) ? e.actCode : kActionOtherGroup);
    });
}

void CPaoRegistry::copyListSlots(EPaoIndex from, EPaoIndex to, int16_t listId, int16_t ch) {
    forEachMember(listId, ch, [from, to](paramActionObj* object, const PaoListEntry&) {
        object->slotToSlot(from, to);
    });
}

Status CPaoRegistry::serializeList(int16_t listId, socket* stream, int16_t dir, int16_t ch,
                                   char slot, int16_t groupFilter) {
    const bool twoCh = listId >= 0 && listId < kListCount && twoChLst[listId];
    const bool displayOk = twoCh || ch != 1;
    VX_ASSERT(displayOk, "twoChLst[listID] || (ch==0)");
    if (!displayOk) return kStatusFailed;
    const bool listOk = operationalList(listId);
    VX_ASSERT(listOk, "(listID>dbgLst) && (listID<nlLst)");
    if (!listOk) return kStatusFailed;

    const char* title = listTitle[listId];
    if (serializeListHeader(title, stream, dir, paoVersion).failed()) return kStatusFailed;
    const int16_t fileVersion = paoVersion.getData(ePaoFile);

    // Members are checked as they go: a short or failing stream stops the list.
    Status status =
        serializePass(listId, stream, dir, ch == 1 ? 1 : 0, slot, groupFilter, fileVersion);
    if (status.ok() && ch == 2 && twoCh)
        status = serializePass(listId, stream, dir, 1, slot, groupFilter, fileVersion);
    if (status.failed()) return dir != 0 ? Status(kStatusFailed) : headerFault(title);
    return kStatusOk;
}

Status CPaoRegistry::serializePass(int16_t listId, socket* stream, int16_t dir, int16_t display,
                                   char slot, int16_t groupFilter, int16_t fileVersion) {
    uint16_t mask = 0;
    if (groupFilter != 0) {
        VX_ASSERT(measGroup_ != nullptr, "measGroup != nullptr");
        if (!measGroup_) return kStatusFailed;
        auto* group = static_cast<enumParAction*>(measGroup_->next(display));
        if (group->Serialize(stream, dir, slot).failed()) return kStatusFailed;
        mask = groupFilterMask(group->getData(slot));
    }
    for (int i = 0; i < counts_[listId]; ++i) {
        const PaoListEntry& e = lists_[listId][i];
        if (dir == 0 && e.version > fileVersion) continue;
        if (groupFilter != 0 && e.groupMask != 0 && !(e.groupMask & mask)) continue;
        paramActionObj* object = display == 1 && e.twoDisplay ? e.object->next(1) : e.object;
        if (object->Serialize(stream, dir, slot).failed()) return kStatusFailed;
    }
    return kStatusOk;
}

bool CPaoRegistry::visitPrinted(int16_t listId, const char* const* labels, int16_t groupMask,
                                const std::function<void(int, const char*, paramActionObj&)>& visit) {
    const bool listOk = operationalList(listId);
    VX_ASSERT(listOk, "(listID>dbgLst) && (listID<nlLst)");
    if (!listOk) return false;
    for (int i = 0; i < counts_[listId]; ++i) {
        const PaoListEntry& e = lists_[listId][i];
        if (!labels[i] || !*labels[i]) continue;
        if (e.groupMask != 0 && !(e.groupMask & static_cast<uint16_t>(groupMask))) continue;
        visit(i, labels[i], *e.object);
    }
    return true;
}

Status CPaoRegistry::printList(socket* stream, int16_t listId, const char* const* labels,
                               int16_t groupMask) {
    Status result = kStatusOk;
    auto print = [&](int i, const char* label, paramActionObj& object) {
        std::string line = std::string(label) + object.getStr(ePaoEntry);
        if (listId == measLst && i == 0) errLog() << consoleOnly << line << endLine;
        line += "\r\n";
        const Status status = stream->writeBytes(line.data(), static_cast<uint32_t>(line.size()));
        if (result.ok()) result = status;
    };
    return visitPrinted(listId, labels, groupMask, print) ? result : kStatusFailed;
}

void registerInList(paramActionObj* object, int16_t paoFlags, uint32_t paoId) {
    (tRegistry ? *tRegistry : MainPAOlist()).registerInList(object, paoFlags, paoId);
}

} // namespace vx
