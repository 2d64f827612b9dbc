// The parsed command line of QvTeamCmd: one record, cleared before parsing and handed to the one
// command flow that the run executes.
#pragma once

#include <cstdint>

namespace qv::teamcmd {

// Option bits of CommandRecord::flags.
constexpr uint32_t OPT_LIST = 0x001;
constexpr uint32_t OPT_CREATE = 0x002;
constexpr uint32_t OPT_REMOVE = 0x004;
constexpr uint32_t OPT_LOG = 0x008;
constexpr uint32_t OPT_REMOVE_ALL = 0x010;
constexpr uint32_t OPT_TEAM_NAME = 0x020;
constexpr uint32_t OPT_ADD_VLAN = 0x040;
constexpr uint32_t OPT_DEL_VLAN = 0x080;
constexpr uint32_t OPT_DEL_ALL_VLANS = 0x100;

// Exit statuses of the program (the command flows add their own).
constexpr uint32_t QV_USAGE_ERROR = 0xCE000001;
constexpr uint32_t QV_INSTANCE_ERROR = 0xCE000003;
// The run lacks administrator rights (its low byte is ERROR_ACCESS_DENIED).
constexpr uint32_t QV_ADMIN_ERROR = 0xCE000005;
// The log file (-f) cannot be opened: the run says so on standard error and ends with this status,
// before any change when the file cannot be opened at the start, else at once where it failed.
constexpr uint32_t QV_LOG_FILE_UNAVAILABLE = 0xCE000006;

constexpr int kMaxCommandNames = 16;
constexpr int kCommandNameCapacity = 261;  // units, with terminator
constexpr int kVlanNameCapacity = 260;

struct CommandRecord {
    uint32_t flags;
    int32_t teamModeNumber;                                  // 1 to 4, the mode digit of -c
    char16_t names[kMaxCommandNames][kCommandNameCapacity];  // -c adapters, -r teams, -d VLANs, -a parent
    char16_t logFileName[kCommandNameCapacity];              // -f
    char16_t teamName[kCommandNameCapacity];                 // -n
    char16_t vlanName[kVlanNameCapacity];                    // -a, second argument
    uint32_t vlanId;                                         // -a, third argument, 1 to 4095
    uint16_t numDeleteNames;                                 // how many names -d stored
};

}  // namespace qv::teamcmd
