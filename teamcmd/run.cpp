#include "run.h"

#include "arg_parser.h"
#include "console.h"
#include "create_team.h"
#include "listing.h"
#include "log_file.h"
#include "qv/platform/security.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/trace.h"
#include "remove_vlan_flows.h"
#include "team_name_check.h"
#include "usage.h"

namespace qv::teamcmd {
namespace {

// The first selected command wins.
uint32_t Dispatch(const CommandRecord& record) {
    const uint32_t flags = record.flags;
    // Every command opens the adapters' driver keys with full access; without administrator
    // rights those opens fail and a command would find no adapter and say nothing about why.
    if ((flags & (OPT_LIST | OPT_CREATE | OPT_REMOVE | OPT_REMOVE_ALL | OPT_ADD_VLAN | OPT_DEL_VLAN |
                  OPT_DEL_ALL_VLANS)) != 0 &&
        AdministratorRightsMissing()) {
        PrintNarrow("%s\n", sec::kAdministratorRightsNeeded);
        return QV_ADMIN_ERROR;
    }
    // A log that cannot be written ends the run before anything is changed (the VLAN commands
    // write no log).
    if ((flags & OPT_LOG) && (flags & (OPT_LIST | OPT_CREATE | OPT_REMOVE | OPT_REMOVE_ALL))) {
        std::FILE* log = OpenLogFile(record);
        if (log == nullptr) return QV_LOG_FILE_UNAVAILABLE;
        CloseLogFile(log);
    }
    if (flags & OPT_LIST) {
        return CmdListTeams(record);
    }
    if (flags & OPT_CREATE) {
        if ((flags & OPT_TEAM_NAME) && !CheckTeamNameInUse(record)) {
            return QV_USAGE_ERROR;
        }
        return CmdCreateTeam(record);
    }
    if (flags & (OPT_REMOVE | OPT_REMOVE_ALL)) {
        return CmdRemoveTeam(record);
    }
    if (flags & OPT_ADD_VLAN) {
        return CmdAddVlan(record);
    }
    if (flags & (OPT_DEL_VLAN | OPT_DEL_ALL_VLANS)) {
        return CmdDeleteVlans(record);
    }
    return QV_USAGE_ERROR;
}

}  // namespace

uint32_t RunQvTeamCmd(std::span<const std::u16string> args) {
    PrintNarrow("\nQuorvex Teaming Command line Utility (QvTeamCmd v%s)\n", kVersionText);
    if (IsQvTeamCmdRunning() == 1) {
        PrintNarrow("An instance of QvTeamCmd.exe is already running. Please try again later.\n");
        return QV_INSTANCE_ERROR;
    }
    const auto parsed = ParseCommandLine(args);
    PrintText(parsed->output);
    if (parsed->status == QV_USAGE_ERROR) {
        QvTrace(u"<--_tmain: invalid command line\n");
        return QV_USAGE_ERROR;
    }
    const uint32_t status = Dispatch(parsed->record);
    if (status == QV_USAGE_ERROR) {
        PrintUsage();
    }
    return status;
}

}  // namespace qv::teamcmd
