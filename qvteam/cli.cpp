#include "cli.h"

#include <CLI/CLI.hpp>
#include <map>
#include <sstream>
#include <vector>

#include "human_writer.h"
#include "json_writer.h"
#include "machine_state.h"
#include "qv/platform/security.h"
#include "qv/teamlib/inventory.h"

namespace qv::qvteam {
namespace {

const std::map<std::string, AdapterNaming> kNamings = {
    {"connection-name", AdapterNaming::kConnectionName},
    {"mac", AdapterNaming::kPermanentMac},
    {"description", AdapterNaming::kDescription},
};

struct Options {
    bool json = false;
    std::string members = "connection-name";
};

// Reading the adapters' driver keys needs the rights the other programs need.
bool ReadMachine(MachineState* state, RunOutput* output) {
    if (AdministratorRightsMissing()) {
        output->err += std::string(sec::kAdministratorRightsNeeded) + "\n";
        return false;
    }
    std::string error;
    if (!ReadMachineState(state, &error)) {
        output->err += "qvteam: " + error + "\n";
        return false;
    }
    return true;
}

int Show(const Options& options, RunOutput* output) {
    MachineState state;
    if (!ReadMachine(&state, output)) return kExitError;
    output->out += options.json ? ShowJson(state) : ShowText(state);
    return kExitOk;
}

int Export(const Options& options, RunOutput* output) {
    MachineState state;
    if (!ReadMachine(&state, output)) return kExitError;
    std::vector<std::string> skipped;
    output->out += ExportJson(state, kNamings.at(options.members), &skipped);
    for (const std::string& name : skipped) {
        output->err += "qvteam: team \"" + name + "\" is left out: its mode is unknown\n";
    }
    return kExitOk;
}

}  // namespace

int RunQvteam(std::span<const std::string> args, RunOutput* output) {
    CLI::App app{"qvteam: teams and VLANs of n5 adapters as desired state, in JSON", "qvteam"};
    app.require_subcommand(1);
    Options options;
    CLI::App* show = app.add_subcommand("show", "the machine's adapters, teams and VLANs");
    show->add_flag("--json", options.json, "print JSON (schema qvteam-show)");
    CLI::App* exported = app.add_subcommand("export", "print the desired-state document of the machine");
    exported->add_option("--members", options.members, "how adapters are named: connection-name (default), mac or description")
        ->check(CLI::IsMember({"connection-name", "mac", "description"}));

    // A word where the command belongs is named in the message (CLI11 only says one is missing).
    if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
        try {
            app.get_subcommand(args[0]);
        } catch (const CLI::OptionNotFound&) {
            output->err += "qvteam: unknown command \"" + args[0] + "\": the commands are show and export\n";
            return kExitError;
        }
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = app.exit(error, out, err);
        output->out += out.str();
        output->err += err.str();
        return code == 0 ? kExitOk : kExitError;
    }
    if (show->parsed()) return Show(options, output);
    return Export(options, output);
}

}  // namespace qv::qvteam
