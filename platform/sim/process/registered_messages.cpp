// Registered window messages of a simulated machine. The machine's registry keeps the names under
// SOFTWARE\QvSim\WindowMessages, one DWORD value per name holding its number; a new name gets the
// number after the highest one given, so a damaged value never makes two names share one. The
// registry already gives what the numbers need: value names compare without regard to case, every
// process of the machine sees the same values, and one write transaction makes look-up and
// allocation atomic against other processes registering at once.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "qv/platform/process.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/reg_key.h"

namespace qv::proc {
namespace {

constexpr std::u16string_view kMessagesPath = u"SOFTWARE\\QvSim\\WindowMessages";
constexpr uint32_t kFirstMessage = 0xC000;
constexpr uint32_t kLastMessage = 0xFFFF;
// As a global atom's name: at most 255 characters.
constexpr size_t kMaxMessageName = 255;

// The number after the highest one in use (kFirstMessage when there is none); values that are no
// number in the range are not counted.
uint32_t NextFreeMessage(const sim::RegKey& messages) {
    uint32_t next = kFirstMessage;
    for (uint32_t index = 0;; ++index) {
        char16_t name[kMaxMessageName + 1];
        uint32_t nameLength = kMaxMessageName + 1, type = 0, number = 0, size = sizeof number;
        const LStatus status = reg::EnumValue(messages.get(), index, name, &nameLength, &type,
                                              reinterpret_cast<uint8_t*>(&number), &size);
        if (status == kErrorNoMoreItems || (status != kErrorSuccess && status != kErrorMoreData)) return next;
        if (status == kErrorSuccess && type == kRegDword && size == sizeof number &&
            number >= kFirstMessage && number <= kLastMessage)
            next = std::max(next, number + 1);
    }
}

}  // namespace

uint32_t RegisterWindowMessage(const char16_t* name) {
    const std::u16string_view text = name == nullptr ? std::u16string_view() : std::u16string_view(name);
    if (text.empty() || text.size() > kMaxMessageName) return sim::FailWith(kErrorInvalidParameter, 0);
    sim::RegistryTransaction transaction;
    if (!transaction.ok()) return sim::FailWith(kErrorRegistryIoFailed, 0);
    sim::RegKey messages;
    if (sim::RegKey::Create(kMessagesPath, &messages) != kErrorSuccess)
        return sim::FailWith(kErrorRegistryIoFailed, 0);
    // A number outside the range (a damaged value) is never handed out; the name gets a new one.
    const auto known = messages.ReadDword(text);
    if (known && *known >= kFirstMessage && *known <= kLastMessage) return *known;
    const uint32_t next = NextFreeMessage(messages);
    if (next > kLastMessage) return sim::FailWith(kErrorNotEnoughMemory, 0);
    if (messages.WriteDword(text, next) != kErrorSuccess || transaction.Commit() != 0)
        return sim::FailWith(kErrorRegistryIoFailed, 0);
    return next;
}

}  // namespace qv::proc
