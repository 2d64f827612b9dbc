// Team creation of QvTeamCmd -c: selects the named free adapters as members, clears their VLANs
// and protocol bindings, writes the team number, installs the team's virtual adapter and wires it
// to the members. The exit status names the step that failed.
#pragma once

#include <cstdint>

#include "command_record.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"

namespace qv::teamcmd {

// Exit statuses of a create (0: the team was created).
constexpr uint32_t QV_CREATE_NO_DRIVER_FILES = 0xCE000201;   // the miniport's INF is not installed
constexpr uint32_t QV_CREATE_BAD_SELECTION = 0xCE000202;     // unknown name, member count, duplicate
constexpr uint32_t QV_CREATE_BAD_MODE = 0xCE000203;          // mode number not 1 to 4
constexpr uint32_t QV_CREATE_OFFLOAD = 0xCE000204;           // Windows XP with connection offload on
constexpr uint32_t QV_CREATE_TEAM_NUMBER = 0xCE000205;       // the team number cannot be written
constexpr uint32_t QV_CREATE_SELECTION_FAILED = 0xCE000206;  // SelectTeamMembers only; reported as 0x202
constexpr uint32_t QV_CREATE_INSTALL = 0xCE000207;           // the virtual adapter cannot be installed
constexpr uint32_t QV_CREATE_BINDINGS = 0xCE000208;          // a member's bindings cannot be disabled
// More team adapters exist than the team table holds: the slots of the teams beyond it are not
// known, so a new team could be given a slot that is in use. Refused before anything is changed.
constexpr uint32_t QV_CREATE_TOO_MANY_TEAMS = 0xCE000209;

// The teams the table can tell apart: PopulateTeamList reads the first kMaxPopulatedTeams team
// adapters; with that many teams the new one is the last that can be given a known free slot.
constexpr int kMaxTeamsBeforeCreate = kMaxPopulatedTeams;

// The team table of a create with the new team's record and the members chosen for it.
struct TeamSelection {
    TeamTable teams;
    int newRecord;                     // index of the new team's record in teams
    int32_t members[kMaxTeamMembers];  // indexes into the free-adapters table, in command-line order
};

// Fills selection from the team store and the record's names (connection names of free adapters,
// ignoring case, in command-line order; Order i for the i-th). 0, or QV_CREATE_SELECTION_FAILED
// after printing why (nothing is printed for an adapter named twice).
uint32_t SelectTeamMembers(const CommandRecord& record, const AdapterTable& freeAdapters,
                           const AdapterTable& teamAdaptersBefore, TeamSelection* selection);

// 0 when the record's mode number is 1 to 4, else QV_CREATE_BAD_MODE.
uint32_t ValidateTeamMode(const CommandRecord& record);

// Runs the create; returns its exit status, or QV_LOG_FILE_UNAVAILABLE when -f was given and the
// log cannot be opened. A failure while the members are being changed gives back what the run
// changed: their protocol bindings and the team numbers it wrote (removed VLAN adapters stay gone).
uint32_t CmdCreateTeam(const CommandRecord& record);

}  // namespace qv::teamcmd
