// A simulated machine of its own for a test (host build only): created in the missing
// subdirectory "machine" of a new temporary directory, selected for this process while the object
// lives, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "qv/sim/default_inventory.h"
#include "qv/testing/temp_dir.h"

namespace qv::testing {

// What the machine starts with.
struct MachineOptions {
    enum class Content {
        kDefaultInventory,  // the inventory of `inventory`
        kEmptyRegistry,     // a registry without a single key
        kRegText,           // an empty registry with `regText` (a .reg file's text) imported
        kOnFirstUse,        // nothing yet: the first registry call creates the default machine
    };
    Content content = Content::kDefaultInventory;
    sim::InventoryOptions inventory;
    std::string regText;

    static MachineOptions Inventory(const sim::InventoryOptions& inventory = {});
    static MachineOptions EmptyRegistry();
    static MachineOptions FromRegText(std::string regText);
    static MachineOptions OnFirstUse();
};

class TempMachine {
  public:
    TempMachine() : TempMachine(MachineOptions{}) {}
    explicit TempMachine(const sim::InventoryOptions& inventory)
        : TempMachine(MachineOptions::Inventory(inventory)) {}
    // A machine that cannot be made fails the current test; ok() and error() tell why.
    explicit TempMachine(const MachineOptions& options);
    ~TempMachine();
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The machine directory.
    const std::filesystem::path& dir() const { return dir_; }
    // The temporary directory holding it, for the test's other files (logs, outputs, copies).
    const TempDir& scratch() const { return scratch_; }
    // Makes this the process's machine again (after a test switched to another).
    void Select() const;

  private:
    TempDir scratch_;
    std::filesystem::path dir_;
    std::string error_;
};

// The selected machine's whole registry as .reg text (qv/sim/regfile.h), to compare a machine
// before and after; a registry that cannot be exported fails the current test.
std::string ExportRegistry();

}  // namespace qv::testing
