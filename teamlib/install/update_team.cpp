#include <string_view>

#include "qv/platform/clock.h"
#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/member_name.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// The team miniport writes its address within about 10 s of a start.
constexpr uint32_t kAddressWaitMs = 10000;
// Member names are formatted into 256 units and stored in at most this size.
constexpr size_t kMemberNameCapacity = 256;
// The command line sets the team adapter's own name in at most this size.
constexpr uint32_t kTeamNameBytes = 522;

// The team adapter's NetworkAddress: a non-empty REG_SZ, else false.
bool ReadTeamAddress(HKey driverKey, OwnedU16* address) {
    return ReadSzValue(driverKey, u"NetworkAddress", address) == StringRead::kOk &&
           address->get()[0] != u'\0';
}

void WriteName(HDevInfo set, DevInfoData* device, std::u16string_view name, uint32_t bytes) {
    if (!WriteFriendlyName(set, device, name, bytes)) {
        QvTrace(u"   UpdateTeam: cannot set a friendly name 0x%x", GetLastError());
    }
}

// Gives a member the team address, the team-prefixed name (when renaming), the hidden flag and a
// restart.
void JoinMember(WalkedAdapter& member, const char16_t* address, const char16_t* teamName) {
    const std::u16string_view text(address);
    const LStatus status = reg::SetValueEx(member.driverKey, u"NetworkAddress", kRegSz,
                                           reinterpret_cast<const uint8_t*>(address),
                                           static_cast<uint32_t>(text.size() * sizeof(char16_t)));
    if (status != kErrorSuccess)
        QvTrace(u"   UpdateTeam: cannot write the address of %s 0x%x", member.guidString, status);
    if (teamName != nullptr) {
        char16_t current[kMemberNameCapacity + 1];
        ReadDisplayName(member.set, member.device, current, kMemberNameCapacity + 1, kMemberNameBytes);
        char16_t name[kMemberNameCapacity] = {};
        U16FormatInto(name, kMemberNameCapacity, u"%s:%s", teamName, current);
        WriteName(member.set, member.device, name, kMemberNameBytes);
    }
    HideNIC(member.driverKey);
    DisableEnableDevice(member.set, member.device);
}

void JoinMembers(HWnd window, const TeamInfo& team, const char16_t* address, const char16_t* teamName) {
    const int members =
        team.numNics < 0 ? 0 : (team.numNics > kMaxTeamMembers ? kMaxTeamMembers : team.numNics);
    WalkFilter physicalOnly;
    physicalOnly.virtualTeamAdapters = false;
    for (int i = 0; i < members; ++i) {
        bool found = false;
        WalkAdapters(window, physicalOnly, [&](WalkedAdapter& adapter) {
            if (!GuidEqual(adapter.guid, team.memberGuids[i])) return WalkStep::kContinue;
            found = true;
            JoinMember(adapter, address, teamName);
            return WalkStep::kStop;
        });
        if (!found) QvTrace(u"   UpdateTeam: member %d is not present", i);
    }
}

}  // namespace

int UpdateTeam(HWnd window, const TeamInfo& team, const char16_t* teamName, TeamNaming naming) {
    QvTrace(u"-->UpdateTeam:");
    const bool nameGiven = teamName != nullptr && teamName[0] != u'\0';
    // Without a name the members keep theirs: a bare ":" prefix could never be taken off again.
    const char16_t* memberPrefix = nameGiven ? teamName : nullptr;
    WalkFilter virtualOnly;
    virtualOnly.physical = false;
    bool found = false;
    int result = 0;
    WalkAdapters(window, virtualOnly, [&](WalkedAdapter& teamAdapter) {
        if (!GuidEqual(teamAdapter.guid, team.teamGuid)) return WalkStep::kContinue;
        found = true;
        if (naming == TeamNaming::kOnlyWhenGiven && nameGiven) {
            WriteName(teamAdapter.set, teamAdapter.device, teamName, kTeamNameBytes);
        }
        DisableEnableDevice(teamAdapter.set, teamAdapter.device);
        OwnedU16 address;
        if (!ReadTeamAddress(teamAdapter.driverKey, &address)) {
            QvTrace(u"   UpdateTeam: no team address yet, waiting %u ms", kAddressWaitMs);
            clk::Sleep(kAddressWaitMs);
            if (!ReadTeamAddress(teamAdapter.driverKey, &address)) {
                QvTrace(u"<--UpdateTeam: the team adapter has no NetworkAddress");
                return WalkStep::kStop;
            }
        }
        DisableDevice(teamAdapter.set, teamAdapter.device);
        JoinMembers(window, team, address.get(), memberPrefix);
        EnableDevice(teamAdapter.set, teamAdapter.device);
        result = 1;
        QvTrace(u"<--UpdateTeam:");
        return WalkStep::kStop;
    });
    if (!found) QvTrace(u"<--UpdateTeam: no team adapter with that GUID");
    return result;
}

}  // namespace qv
