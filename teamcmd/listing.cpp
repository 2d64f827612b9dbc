#include "listing.h"

#include <algorithm>
#include <memory>
#include <string>

#include "console.h"
#include "log_file.h"
#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/damaged_team_record.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/owned_string.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {
namespace {

// Member names are read as at most 522 bytes, with room for a terminator after them.
constexpr uint32_t kMemberNameBytes = 522;
constexpr uint32_t kMemberNameBufferUnits = kMemberNameBytes / 2 + 1;

int ListedCount(const AdapterTable& table) {
    return std::clamp(table.count, 0, kAdapterTableCapacity);
}

void PrintVlans(const char16_t* heading, const VlanList& vlans) {
    const int count = std::min<int>(vlans.count, kMaxVlans);
    for (int j = 0; j < count; ++j) {
        if (j == 0) {
            PrintWide(u"%s", heading);
        }
        PrintWide(u"      %d. %s (Vlan %d)\n", j + 1, vlans.connectionNames[j],
                  static_cast<int>(vlans.ids[j]));
    }
}

// Appends a heading and one "%d. %s \n" line per adapter of table to the log; the first failing
// write ends the lines.
bool LogAdapterNames(const CommandRecord& record, bool withHeader, const char16_t* heading,
                     const AdapterTable& table) {
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) {
        return false;
    }
    if (withHeader) {
        WriteLogHeader(log);
    }
    LogPrintWide(log, u"%s", heading);
    for (int i = 0; i < ListedCount(table); ++i) {
        if (!LogPrintWide(log, u"%d. %s \n", i + 1, table.connectionNames[i])) {
            break;
        }
    }
    CloseLogFile(log);
    return true;
}

void PrintTeamMembers(TeamInfo* team) {
    AdaptersInTeam(team);
    PrintWide(u"  Adapters in Team:\n");
    const int members = std::clamp(team->numNics, 0, kMaxTeamMembers);
    for (int m = 0; m < members; ++m) {
        // Order is read from the registry: anything outside the member slots (negative values
        // included) cannot name a member.
        const uint32_t k = static_cast<uint32_t>(team->Order[m]);
        if (k >= static_cast<uint32_t>(kMaxTeamMembers)) {
            PrintWide(u"      Error in listing Nic\n");
        } else {
            PrintWide(u"      %d. %s\n", m + 1, team->memberNames[k]);
        }
    }
}

// A string device property of at most byteSize bytes into buffer (capacity units, terminated).
bool ReadDeviceName(HDevInfo set, DevInfoData* device, uint32_t property, char16_t* buffer, uint32_t capacity,
                    uint32_t byteSize) {
    std::fill(buffer, buffer + capacity, u'\0');
    uint32_t type = 0;
    const uint32_t size = std::min<uint32_t>(byteSize, (capacity - 1) * sizeof(char16_t));
    return dev::GetDeviceRegistryProperty(set, device, property, &type, reinterpret_cast<uint8_t*>(buffer),
                                          size, nullptr);
}

// The GUID of a device's driver key (NetCfgInstanceId).
bool ReadDeviceGuid(HDevInfo set, DevInfoData* device, Guid* guid) {
    const HKey key = dev::OpenDevRegKey(set, device, kDicsFlagGlobal, 0, kDiregDrv, kKeyRead);
    if (key == kInvalidHKey || key == nullptr) {
        return false;
    }
    OwnedU16 id;
    const bool read = ReadStringFromRegistry(key, u"NetCfgInstanceId", &id) && GuidFromString(id.get(), guid);
    reg::CloseKey(key);
    return read;
}

// Names each present adapter whose team record is damaged, once: such an adapter is listed
// neither as free nor, unless its TeamBinding names a listed team, as a member.
void PrintDamagedTeamRecords() {
    ForEachPhysicalAdapter([](const Guid& guid, const char16_t* displayName) {
        if (!HasDamagedTeamRecord(guid)) {
            return;
        }
        const std::u16string guidText = GuidToString(guid);
        char16_t connection[kAdapterNameCapacity];
        if (!ReadConnectionName(guidText.c_str(), connection, kAdapterNameCapacity)) {
            U16CopyInto(connection, kAdapterNameCapacity, guidText.c_str());
        }
        PrintWide(u"\nDamaged team record: %s (%s)\n", connection, displayName);
    });
}

}  // namespace

int AdaptersInTeam(TeamInfo* team) {
    QvTrace(u"-->AdaptersInTeam:\n");
    const HDevInfo set = dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent);
    if (set == kInvalidDevInfo || set == nullptr) {
        QvTrace(u"<--AdaptersInTeam: no device list\n");
        return 0;
    }
    // One buffer for the walk: a member whose names cannot be read gets the last name read.
    char16_t name[kMemberNameBufferUnits] = u"dummy";
    const int members = std::clamp(team->numNics, 0, kMaxTeamMembers);
    DevInfoData device{};
    for (uint32_t index = 0; dev::EnumDeviceInfo(set, index, &device); ++index) {
        Guid guid{};
        if (!IsPhysicalNIC(device) || !ReadDeviceGuid(set, &device, &guid)) {
            continue;
        }
        for (int m = 0; m < members; ++m) {
            if (!GuidEqual(team->memberGuids[m], guid)) {
                continue;
            }
            char16_t read[kMemberNameBufferUnits];
            if (ReadDeviceName(set, &device, kSpdrpFriendlyName, read, kMemberNameBufferUnits,
                               kMemberNameBytes) ||
                ReadDeviceName(set, &device, kSpdrpDeviceDesc, read, kMemberNameBufferUnits,
                               kMemberNameBytes)) {
                U16CopyInto(name, kMemberNameBufferUnits, read);
            }
            U16CopyInto(team->memberNames[m], kAdapterNameCapacity - 1, name);
        }
    }
    dev::DestroyDeviceInfoList(set);
    QvTrace(u"<--AdaptersInTeam:\n");
    return 1;
}

uint32_t CmdListTeams(const CommandRecord& record) {
    QvTrace(u"-->CmdListTeams:\n");
    auto adapters = std::make_unique<AdapterTable>();
    auto teams = std::make_unique<TeamTable>();
    auto vlans = std::make_unique<VlanList>();
    teams->capacity = kCmdTeamCapacity;
    ClearTeamTable(teams.get());

    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_FREE_ADAPTERS, adapters.get());
    PrintWide(u"\nNetwork Adapters:\n");
    for (int i = 0; i < ListedCount(*adapters); ++i) {
        PrintWide(u"%d. %s:\t%s\n", i + 1, adapters->connectionNames[i], adapters->displayNames[i]);
        if (GetVlanListForNic(adapters->guids[i], vlans.get())) {
            PrintVlans(u"   Vlans in Nic:\n", *vlans);
        }
    }
    if ((record.flags & OPT_LOG) && !LogAdapterNames(record, true, u"\nNetwork Adapters:\n", *adapters)) {
        return QV_LOG_FILE_UNAVAILABLE;
    }

    adapters->count = 0;
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, adapters.get());
    if ((record.flags & OPT_LOG) && !LogAdapterNames(record, false, u"\nVirtual Adapters:\n", *adapters)) {
        return QV_LOG_FILE_UNAVAILABLE;
    }

    PopulateTeamList(teams.get(), *adapters);
    PrintWide(u"\nTeam Adapters:\n");
    for (int i = 0; i < ListedCount(*adapters); ++i) {
        PrintWide(u"\n%d. %s:\t%s\n", i + 1, adapters->connectionNames[i], adapters->displayNames[i]);
        TeamInfo* team = i < kCmdTeamCapacity ? &teams->teams[i] : nullptr;
        if (team != nullptr) {
            if (const TeamModeInfo* mode = FindTeamMode(team->TeamMode)) {
                PrintWide(u"  Team Mode: %s\n", mode->listingName);
            }
        }
        if (GetVlanListForTeam(adapters->guids[i], vlans.get())) {
            PrintVlans(u"  Vlans in Team:\n", *vlans);
        }
        if (team != nullptr) {
            PrintTeamMembers(team);
        }
    }
    PrintDamagedTeamRecords();
    QvTrace(u"<--CmdListTeams:\n");
    return 1;
}

}  // namespace qv::teamcmd
