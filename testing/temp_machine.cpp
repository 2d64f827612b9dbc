#include "qv/testing/temp_machine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "qv/sim/machine.h"
#include "qv/sim/regfile.h"

namespace qv::testing {

MachineOptions MachineOptions::Inventory(const sim::InventoryOptions& inventory) {
    MachineOptions options;
    options.inventory = inventory;
    return options;
}

MachineOptions MachineOptions::EmptyRegistry() {
    MachineOptions options;
    options.content = Content::kEmptyRegistry;
    return options;
}

MachineOptions MachineOptions::FromRegText(std::string regText) {
    MachineOptions options;
    options.content = Content::kRegText;
    options.regText = std::move(regText);
    return options;
}

MachineOptions MachineOptions::OnFirstUse() {
    MachineOptions options;
    options.content = Content::kOnFirstUse;
    return options;
}

TempMachine::TempMachine(const MachineOptions& options) : scratch_("qv-machine") {
    if (!scratch_.ok()) {
        error_ = "no temporary directory";
        return;
    }
    // A missing subdirectory: machine creation refuses directories that hold anything else.
    dir_ = scratch_ / "machine";
    using Content = MachineOptions::Content;
    bool made = true;
    switch (options.content) {
        case Content::kDefaultInventory:
            made = sim::CreateMachine(dir_, options.inventory, false, &error_);
            break;
        case Content::kEmptyRegistry:
        case Content::kRegText:
            made = sim::CreateEmptyMachine(dir_, false, &error_);
            break;
        case Content::kOnFirstUse:
            break;
    }
    sim::SelectMachine(dir_);
    if (made && options.content == Content::kRegText) made = sim::ImportRegFile(options.regText, &error_);
    if (!made) {
        if (error_.empty()) error_ = "the machine cannot be created";
        ADD_FAILURE() << "TempMachine " << dir_.string() << ": " << error_;
    } else {
        error_.clear();
    }
}

TempMachine::~TempMachine() {
    // Closes the open registry database before its files go.
    if (!dir_.empty()) sim::SelectMachine(dir_);
}

void TempMachine::Select() const {
    sim::SelectMachine(dir_);
}

std::string ExportRegistry() {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(sim::ExportRegFile(out, &error)) << error;
    return out.str();
}

}  // namespace qv::testing
