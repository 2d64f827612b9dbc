// The simulated host's handle table: slots with generations, a free list, one mutex.
#include "qv/sim/handle_table.h"

#include <mutex>
#include <utility>
#include <vector>

namespace qv::sim {
namespace {

static_assert(sizeof(uintptr_t) == 8, "handle values carry a 32-bit generation above the slot");

struct Slot {
    uint32_t generation = 1;
    HandleKind kind = HandleKind::kFree;
    uint32_t nextFree = 0;  // index + 1 of the next free slot, 0 at the end of the list
    uint64_t machine = kAnyMachine;
    std::unique_ptr<HandleObject> object;
};

// Slot numbers stay below 2^30, so that (slot + 1) << 2 fits the low 32 bits of a handle.
constexpr size_t kMaxSlots = size_t{1} << 30;

struct Table {
    std::mutex mutex;
    std::vector<Slot> slots;
    uint32_t firstFree = 0;  // index + 1, 0 when none
    size_t live = 0;
};

Table& TheTable() {
    static Table table;
    return table;
}

uintptr_t Encode(size_t index, uint32_t generation) {
    return (uintptr_t{generation} << 32) | (uintptr_t{index + 1} << 2);
}

// The slot a handle value names, if the value is well formed and the slot is live with the same
// generation; called with the table's mutex held.
Slot* Decode(Table& table, uintptr_t handle) {
    if ((handle & 3) != 0) return nullptr;
    const uintptr_t slotPlusOne = (handle & 0xFFFFFFFFu) >> 2;
    if (slotPlusOne == 0 || slotPlusOne > table.slots.size()) return nullptr;
    Slot& slot = table.slots[slotPlusOne - 1];
    if (slot.kind == HandleKind::kFree || slot.generation != static_cast<uint32_t>(handle >> 32))
        return nullptr;
    return &slot;
}

}  // namespace

uintptr_t InsertHandle(HandleKind kind, std::unique_ptr<HandleObject> object, uint64_t machine) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    size_t index;
    if (table.firstFree != 0) {
        index = table.firstFree - 1;
        table.firstFree = table.slots[index].nextFree;
    } else {
        if (table.slots.size() >= kMaxSlots) return 0;
        index = table.slots.size();
        table.slots.emplace_back();
    }
    Slot& slot = table.slots[index];
    slot.kind = kind;
    slot.machine = machine;
    slot.object = std::move(object);
    ++table.live;
    return Encode(index, slot.generation);
}

HandleObject* FindHandle(uintptr_t handle, HandleKind kind, uint64_t machine) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    const Slot* slot = Decode(table, handle);
    if (slot == nullptr || slot->kind != kind) return nullptr;
    if (machine != kAnyMachine && slot->machine != kAnyMachine && slot->machine != machine) return nullptr;
    return slot->object.get();
}

bool CloseHandleOf(uintptr_t handle, HandleKind kind) {
    std::unique_ptr<HandleObject> doomed;  // destroyed after the mutex is released
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    Slot* slot = Decode(table, handle);
    if (slot == nullptr || slot->kind != kind) return false;
    doomed = std::move(slot->object);
    slot->kind = HandleKind::kFree;
    slot->machine = kAnyMachine;
    if (++slot->generation == 0) slot->generation = 1;
    const size_t index = static_cast<size_t>(slot - table.slots.data());
    slot->nextFree = table.firstFree;
    table.firstFree = static_cast<uint32_t>(index + 1);
    --table.live;
    return true;
}

size_t LiveHandleCount() {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    return table.live;
}

}  // namespace qv::sim
