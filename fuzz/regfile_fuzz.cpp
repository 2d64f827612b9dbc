// Feeds arbitrary bytes to the .reg importer. Whatever it accepts must export and import again to
// the same text. Each input works inside a transaction that is rolled back, so the scratch machine
// stays empty and inputs do not influence each other.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "qv/sim/machine.h"
#include "qv/sim/regfile.h"

namespace {

bool SelectScratchMachine() {
    char dir[] = "/tmp/qv-regfile-fuzz.XXXXXX";
    if (!mkdtemp(dir)) abort();
    std::string error;
    if (!qv::sim::CreateEmptyMachine(dir, false, &error)) abort();
    qv::sim::SelectMachine(dir);
    return true;
}

std::string ExportOrDie() {
    std::ostringstream out;
    std::string error;
    if (!qv::sim::ExportRegFile(out, &error)) abort();
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SelectScratchMachine();
    (void)ready;
    qv::sim::RegistryTransaction scratch;  // never committed
    if (!scratch.ok()) abort();
    std::string error;
    if (!qv::sim::ImportRegFile(std::string_view(reinterpret_cast<const char*>(data), size), &error)) {
        if (error.empty()) abort();  // a refusal always says why
        return 0;
    }
    const std::string first = ExportOrDie();
    if (!qv::sim::ImportRegFile(first, &error)) abort();
    if (ExportOrDie() != first) abort();
    return 0;
}
