// The simulated VPD EEPROM: the capability's address and data registers in configuration space,
// the accesses they start, and the part's default contents.
#include "qv/sim/n5/vpd_eeprom.h"

#include <cstring>
#include <string_view>

#include "qv/sim/little_endian.h"
#include "qv/sim/n5/state_layout.h"  // kConfigSpaceBytes

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kCapabilityPointer = 0x34;
constexpr uint32_t kCapabilityBytes = 8;  // id, next, address register, data register
constexpr uint32_t kMaxCapabilityHops = 48;

// Large-resource tags of the VPD format.
constexpr uint8_t kTagIdentifierString = 0x82;
constexpr uint8_t kTagReadOnlyFields = 0x90;
constexpr uint8_t kTagEnd = 0x78;

// The configuration byte that points at the capability (0x34 or a next pointer), found by walking
// the stored list; 0 when the list does not reach it.
uint32_t LinkTo(const uint8_t* config, uint32_t capability) {
    uint32_t link = kCapabilityPointer;
    for (uint32_t hops = 0; hops < kMaxCapabilityHops; ++hops) {
        const uint32_t pointer = config[link] & ~3u;
        if (pointer == capability) return link;
        if (pointer < 0x40) return 0;
        link = pointer + 1;
    }
    return 0;
}

bool Inside(uint32_t at, uint32_t start, uint32_t length) {
    return at >= start && at - start < length;
}

void Complete(VpdEeprom* e, uint8_t* config) {
    const uint32_t cap = e->capability;
    const uint32_t addressRegister = Get16(config + cap + 2);
    uint8_t* word = e->memory + (addressRegister & kVpdAddressMask);
    if ((addressRegister & kVpdFlag) != 0) {
        std::memcpy(word, config + cap + 4, 4);
        Put16(config + cap + 2, addressRegister & ~kVpdFlag);
        ++e->wordsWritten;
    } else {
        std::memcpy(config + cap + 4, word, 4);
        Put16(config + cap + 2, addressRegister | kVpdFlag);
        ++e->wordsRead;
    }
    e->running = 0;
}

// The VPD area: an identifier string, the read-only fields with their checksum, the end tag.
void WriteVpdArea(uint8_t* m) {
    constexpr std::string_view kName = "Quorvex n5 Gigabit Server Adapter";
    constexpr struct {
        const char* keyword;
        std::string_view value;
    } kFields[] = {{"PN", "QV-N5G2-01"}, {"EC", "A1"}, {"SN", "QV5A00000001"}, {"MN", "5A5A"}};
    size_t at = 0;
    m[at++] = kTagIdentifierString;
    Put16(m + at, static_cast<uint32_t>(kName.size()));
    at += 2;
    std::memcpy(m + at, kName.data(), kName.size());
    at += kName.size();

    const size_t fieldsTag = at;
    m[at++] = kTagReadOnlyFields;
    at += 2;  // length, filled in below
    for (const auto& f : kFields) {
        m[at++] = static_cast<uint8_t>(f.keyword[0]);
        m[at++] = static_cast<uint8_t>(f.keyword[1]);
        m[at++] = static_cast<uint8_t>(f.value.size());
        std::memcpy(m + at, f.value.data(), f.value.size());
        at += f.value.size();
    }
    // RV: the checksum byte makes every byte from address 0 through it add up to 0.
    m[at++] = 'R';
    m[at++] = 'V';
    m[at++] = 1;
    Put16(m + fieldsTag + 1, static_cast<uint32_t>(at + 1 - (fieldsTag + 3)));  // through the checksum
    uint8_t sum = 0;
    for (size_t i = 0; i < at; ++i) sum = static_cast<uint8_t>(sum + m[i]);
    m[at++] = static_cast<uint8_t>(0x100 - sum);
    m[at] = kTagEnd;
}

}  // namespace

void PowerOnVpdEeprom(VpdEeprom* e, uint32_t capability) {
    std::memset(e, 0, sizeof *e);
    e->capability = capability & ~3u;
    WriteVpdArea(e->memory);
    // The protocol SRAM and serial configuration areas hold a pattern, so that dumps show data.
    for (uint32_t a = 0x1000; a < 0x1A00; ++a) e->memory[a] = static_cast<uint8_t>(a * 0x1F + (a >> 8));
    Put32(e->memory + kVpdProtectionWordAddress, kVpdProtectionWordDefault);
}

void VpdConfigRead(VpdEeprom* e, uint8_t* config, uint32_t offset, uint32_t* value) {
    const uint32_t cap = e->capability;
    if (cap == 0 || cap > kConfigSpaceBytes - kCapabilityBytes) return;
    if (e->faults.absent != 0) {
        // The list goes from the capability's predecessor straight to its successor, and the
        // capability's own bytes read as nothing.
        const uint32_t link = LinkTo(config, cap);
        for (uint32_t i = 0; i < 4; ++i) {
            const uint32_t at = offset + i;
            uint32_t byte = (*value >> (8 * i)) & 0xFF;
            if (link != 0 && at == link) byte = config[cap + 1];
            if (Inside(at, cap, kCapabilityBytes)) byte = 0;
            *value = (*value & ~(0xFFu << (8 * i))) | byte << (8 * i);
        }
        return;
    }
    if (offset != cap || e->running == 0 || e->faults.neverCompletes != 0) return;
    // The value read shows the access still running; the poll advances it.
    if (e->busyPolls > 0) --e->busyPolls;
    if (e->busyPolls == 0) Complete(e, config);
}

bool VpdConfigWrite(VpdEeprom* e, uint8_t* config, uint32_t offset, uint32_t value) {
    const uint32_t cap = e->capability;
    if (cap == 0 || cap > kConfigSpaceBytes - kCapabilityBytes) return false;
    const bool overlaps = offset + 4 > cap && offset < cap + kCapabilityBytes;
    if (!overlaps) return false;
    if (e->faults.absent != 0) {
        // Bytes outside the capability are stored; the capability's own are not there.
        for (uint32_t i = 0; i < 4; ++i) {
            if (!Inside(offset + i, cap, kCapabilityBytes))
                config[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
        return true;
    }
    if (offset == cap) {
        // Id and next pointer are read-only; writing the address register starts an access.
        Put16(config + cap + 2, value >> 16);
        e->busyPolls = VpdEepromPart::kBusyPolls;
        e->running = 1;
        return true;
    }
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t at = offset + i;
        if (at != cap && at != cap + 1) config[at] = static_cast<uint8_t>(value >> (8 * i));
    }
    return true;
}

}  // namespace qv::sim::n5
