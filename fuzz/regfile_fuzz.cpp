// Feeds arbitrary bytes to the .reg importer. Whatever it accepts must export and import again to
// the same text. Each input works inside a transaction that is rolled back, so the scratch machine
// stays empty and inputs do not influence each other. The process uses one scratch machine, in a
// directory under TMPDIR that is removed when the process ends: at exit (libFuzzer ends a
// -max_total_time or -runs session with exit) and before aborting on a finding.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "qv/sim/machine.h"
#include "qv/sim/regfile.h"

namespace {

// A plain array, not a std::string: it must still hold the name when the exit handler runs.
char g_scratch[4096];

void RemoveScratch() {
    if (g_scratch[0] == '\0') return;
    std::error_code ignored;
    std::filesystem::remove_all(g_scratch, ignored);
    g_scratch[0] = '\0';
}

[[noreturn]] void Fail() {
    RemoveScratch();
    abort();
}

bool SelectScratchMachine() {
    std::error_code error_code;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error_code);
    if (error_code) abort();
    const std::string pattern = (base / "qv-regfile-fuzz.XXXXXX").string();
    if (pattern.size() >= sizeof g_scratch) abort();
    std::snprintf(g_scratch, sizeof g_scratch, "%s", pattern.c_str());
    if (!mkdtemp(g_scratch)) abort();
    // Registered before the machine is opened, so it runs after the simulator's own statics
    // (its database connection) are destroyed.
    if (atexit(RemoveScratch) != 0) Fail();
    std::string error;
    if (!qv::sim::CreateEmptyMachine(g_scratch, false, &error)) Fail();
    qv::sim::SelectMachine(g_scratch);
    return true;
}

std::string ExportOrDie() {
    std::ostringstream out;
    std::string error;
    if (!qv::sim::ExportRegFile(out, &error)) Fail();
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SelectScratchMachine();
    (void)ready;
    qv::sim::RegistryTransaction scratch;  // never committed
    if (!scratch.ok()) Fail();
    std::string error;
    if (!qv::sim::ImportRegFile(std::string_view(reinterpret_cast<const char*>(data), size), &error)) {
        if (error.empty()) Fail();  // a refusal always says why
        return 0;
    }
    const std::string first = ExportOrDie();
    if (!qv::sim::ImportRegFile(first, &error)) Fail();
    if (ExportOrDie() != first) Fail();
    return 0;
}
