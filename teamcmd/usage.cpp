#include "usage.h"

#include "console.h"

namespace qv::teamcmd {
namespace {

constexpr const char kSynopsis[] =
    "\nQvTeamCmd -h -l\n"
    "          [-c \"NIC1\" \"NIC2\" <TeamMode>]\n"
    "          [-r [\"Team1\"] [\"Team2\"]]\n"
    "          [-f \"logfile\"] \n"
    "          [-n \"Virtual Adapter Name\"] \n"
    "          [-a \"NIC1\" or \"Team1\"] <Vlan Name> <Vlan ID>\n"
    "          [-d \"Local Area Connection Name\"]\n";

constexpr const char kOptionsHeading[] = "\nOptions Help:\n";

constexpr const char kOptionHelp[] =
    "\n h\tThis help message\n l\tLists all Network Adapters and Teams in the System\n c\tCreates a team of "
    "two Network Adapters in the given TeamMode\n\n"
    " \tExample 1: The following command \n \tQvTeamCmd -c \"Local Area Connection\" \"Local Area Connection "
    "2\" 1\n\n"
    " \tCreates an Active Backup team with \"Local Area Connection\" and \n \t\"Local Area Connection 2\" "
    "adapters\n\n"
    " \tExample 2: The following command \n \tQvTeamCmd -n \"Team0\" -c \"Local Area Connection\" \"Local "
    "Area "
    "Connection 2\" 1\n\n"
    " \tCreates an Active Backup team with \"Local Area Connection\" and \n \t\"Local Area Connection 2\" "
    "adapters and names the teamed adapter as Team0\n\n"
    " \tThe TeamMode identifiers are\n \t1 - Active Backup Mode  2 - Transmit Load Balancing Mode\n \t3 - "
    "802.3ad LACP Mode\n \t4 - Active Backup with Failback to Active Mode\n\n"
    " r\tRemoves an already configured team\n\n \tExample: The following command\n \tQvTeamCmd -r \"Local "
    "Area "
    "Connection\"\n\n"
    " \tRemoves a team with \"Local Area Connection\"\n \tNote: If no argument is specified all teams "
    "configured in the system\n \twill be removed.\n\n"
    " f\tWrite into a log file\n a\tAdd Vlan to the specified \"Local Area Connection\"\n d\tDelete Vlan "
    "associated with the \"Local Area Connection\" Name\n";

}  // namespace

std::string UsageText() {
    return std::string(kSynopsis) + kOptionsHeading + kOptionHelp;
}

void PrintUsage() {
    PrintNarrow("%s", kSynopsis);
    PrintNarrow("%s", kOptionsHeading);
    PrintNarrow("%s", kOptionHelp);
}

}  // namespace qv::teamcmd
