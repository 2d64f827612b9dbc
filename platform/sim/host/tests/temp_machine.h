// A fresh simulated machine in a temporary directory for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "qv/sim/default_inventory.h"
#include "qv/sim/machine.h"

namespace qv::sim::testing {

class TempMachine {
  public:
    explicit TempMachine(const InventoryOptions& options = {}) {
        char pattern[] = "/tmp/qvsim-host-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        dir_ = made;
        std::string error;
        const auto machine = dir_ / "machine";
        if (!CreateMachine(machine, options, false, &error)) ADD_FAILURE() << "CreateMachine: " << error;
        SelectMachine(machine);
    }
    ~TempMachine() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    std::filesystem::path dir() const { return dir_ / "machine"; }

  private:
    std::filesystem::path dir_;
};

}  // namespace qv::sim::testing
