#include "machine_commands.h"

#include <string>

#include "commands.h"

namespace qvsim {

std::span<const Command> Commands() {
    static const std::string adapterSynopsis = AdapterSynopsis();
    static const Command commands[] = {
        {"init", "[--force] [--cards N] [--no-other-vendor] [--os MAJOR.MINOR[.BUILD]] [--no-admin]",
         RunInit},
        {"show", "", RunShow},
        {"export", "FILE.reg", RunExport},
        {"import", "FILE.reg", RunImport},
        {"set-admin", "0|1", RunSetAdmin},
        {"os", "MAJOR.MINOR[.BUILD]", RunOs},
        {"device", "<connection name> enable|disable|present 0|1", RunDevice},
        // The same command: a machine with an empty registry, for imports.
        {"init", "[--force] --empty", RunInit},
        {"newdev", "library present|missing | reboot none|restart|reboot | <export> works|fails|missing",
         RunNewdev},
        {"miniport", "address-delay MILLISECONDS|never", RunMiniport},
        {"ndis",
         "<connection name|{guid}> link connected|disconnected | speed UNITS | mtu BYTES | "
         "offload ndis5|ndis6 | toe on|off | counter OID VALUE",
         RunNdis},
        {"processes", "", RunProcesses},
        {"broadcast", "NAME [WPARAM [LPARAM]]", RunBroadcast},
        {"adapter", adapterSynopsis, RunAdapter},
        {"write-lock", "hold <client name>|free", RunWriteLock},
    };
    return commands;
}

}  // namespace qvsim
