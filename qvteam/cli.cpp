#include "cli.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "apply.h"
#include "document.h"
#include "human_writer.h"
#include "json_writer.h"
#include "machine_state.h"
#include "plan.h"
#include "plan_writer.h"
#include "printable.h"
#include "qv/platform/security.h"
#include "qv/platform/utf.h"
#include "qv/teamlib/inventory.h"

namespace qv::qvteam {
namespace {

const std::map<std::string, AdapterNaming> kNamings = {
    {"connection-name", AdapterNaming::kConnectionName},
    {"mac", AdapterNaming::kPermanentMac},
    {"description", AdapterNaming::kDescription},
};

// plan's exit status when there are changes to make.
constexpr int kExitChanges = 2;

struct Options {
    bool json = false;
    std::string members = "connection-name";
    std::string file;  // plan and apply: the document; "-" is standard input
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
        output->err += "qvteam: team \"" + Printable(name) + "\" is left out: its mode is unknown\n";
    }
    return kExitOk;
}

// The document's text, read up to one byte past the largest document taken, so that a larger one
// is told apart; "-" is standard input. A name is opened only when it is a regular file: a pipe or a
// device named could keep the read waiting for ever.
bool ReadDocumentText(const std::string& file, std::string* text, std::string* error) {
    std::ifstream named;
    std::istream* in = &std::cin;
    if (file != "-") {
        const std::filesystem::path path(std::u8string(file.begin(), file.end()));
        std::error_code code;
        if (!std::filesystem::is_regular_file(path, code)) {
            *error = "is not a file that can be read";
            return false;
        }
        named.open(path, std::ios::binary);
        in = &named;
    }
    text->resize(kMaxDocumentBytes + 1);
    if (*in) in->read(text->data(), static_cast<std::streamsize>(text->size()));
    if (!*in && !in->eof()) {
        *error = "cannot be read";
        return false;
    }
    text->resize(static_cast<size_t>(in->gcount()));
    return true;
}

int Refuse(const Options& options, const DocumentFault& fault, RunOutput* output) {
    // The pointer names keys of the document and the message names of the machine: one line each.
    output->err += "qvteam: " + options.file + ": " +
                   (fault.pointer.empty() ? "" : Printable(fault.pointer) + ": ") + Printable(fault.message) +
                   "\n";
    if (options.json) output->out += RefusalJson(fault);
    return kExitError;
}

// The machine, and the steps that bring it to the document.
bool Prepare(const Options& options, MachineState* state, std::vector<Step>* steps, RunOutput* output) {
    std::string text;
    std::string error;
    if (!ReadDocumentText(options.file, &text, &error)) {
        Refuse(options, DocumentFault{"", error}, output);
        return false;
    }
    DocumentFault fault;
    const std::optional<Document> document = ReadDocument(text, &fault);
    if (!document) {
        Refuse(options, fault, output);
        return false;
    }
    RunOutput machine;
    if (!ReadMachine(state, &machine)) {
        output->err += machine.err;
        if (options.json) output->out += RefusalJson(DocumentFault{"", "the machine cannot be read"});
        return false;
    }
    if (!MakePlan(*document, *state, steps, &fault)) {
        Refuse(options, fault, output);
        return false;
    }
    return true;
}

int Plan(const Options& options, RunOutput* output) {
    MachineState state;
    std::vector<Step> steps;
    if (!Prepare(options, &state, &steps, output)) return kExitError;
    output->out += options.json ? PlanJson(steps) : PlanText(steps);
    return steps.empty() ? kExitOk : kExitChanges;
}

// The other teaming programs change what apply changes: it runs alone.
std::optional<std::string> OtherTeamingProgram() {
    if (CountProcessesNamed(u"qvteam.exe", 2) > 1) return "another qvteam";
    for (const char16_t* program : {u"QvTeamCmd.exe", u"QvTeamCfg.exe"}) {
        if (CountProcessesNamed(program, 1) > 0) return ToUtf8(program);
    }
    return std::nullopt;
}

int Apply(const Options& options, RunOutput* output) {
    if (const auto running = OtherTeamingProgram()) {
        return Refuse(options, DocumentFault{"", *running + " is running: try again when it has ended"},
                      output);
    }
    MachineState state;
    std::vector<Step> steps;
    if (!Prepare(options, &state, &steps, output)) return kExitError;
    const std::string before = ExportJson(state, AdapterNaming::kConnectionName);
    ApplyReport report = ApplySteps(steps);
    if (report.failed) {
        // A failed step may have left changes of its own: the machine tells whether it is as it was.
        MachineState now;
        std::string error;
        report.changed =
            !ReadMachineState(&now, &error) || ExportJson(now, AdapterNaming::kConnectionName) != before;
    }
    output->out += options.json ? ApplyJson(report) : ApplyText(report);
    return report.failed ? kExitError : kExitOk;
}

}  // namespace

int RunQvteam(std::span<const std::string> args, RunOutput* output) {
    CLI::App app{"qvteam: teams and VLANs of n5 adapters as desired state, in JSON", "qvteam"};
    app.require_subcommand(1);
    Options options;
    CLI::App* show = app.add_subcommand("show", "the machine's adapters, teams and VLANs");
    show->add_flag("--json", options.json, "print JSON (schema qvteam-show)");
    CLI::App* exported = app.add_subcommand("export", "print the desired-state document of the machine");
    exported
        ->add_option("--members", options.members,
                     "how adapters are named: connection-name (default), mac or description")
        ->check(CLI::IsMember({"connection-name", "mac", "description"}));

    CLI::App* plan =
        app.add_subcommand("plan", "list the changes that would bring the machine to a document");
    CLI::App* apply =
        app.add_subcommand("apply", "bring the machine to a document, undoing this run on a failure");
    for (CLI::App* command : {plan, apply}) {
        command->add_option("file", options.file, "the desired-state document (- for standard input)")
            ->required();
        command->add_flag("--json", options.json, "print JSON");
    }

    // A missing or unknown command gets the list of commands (CLI11 only says one is missing).
    if (args.empty()) {
        output->err +=
            "qvteam: a command is needed: show, export, plan or apply (qvteam --help tells more)\n";
        return kExitError;
    }
    if (!args[0].empty() && args[0][0] != '-') {
        try {
            app.get_subcommand(args[0]);
        } catch (const CLI::OptionNotFound&) {
            output->err += "qvteam: unknown command \"" + args[0] +
                           "\": the commands are show, export, plan and apply\n";
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
    if (plan->parsed()) return Plan(options, output);
    if (apply->parsed()) return Apply(options, output);
    return Export(options, output);
}

}  // namespace qv::qvteam
