// A fresh machine directory for one test, selected for this process and removed afterwards. Built
// on the shared test support (qv/testing/temp_machine.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace qv::sim::testing {

// machine_ is selected but not made: the first registry call creates it with the default
// inventory. root_ is the temporary directory holding it, for further machines and files.
class ScratchMachine : public ::testing::Test {
  protected:
    void SetUp() override { Make(qv::testing::MachineOptions::OnFirstUse()); }
    void TearDown() override { temp_.reset(); }

    void Make(const qv::testing::MachineOptions& options) {
        temp_ = std::make_unique<qv::testing::TempMachine>(options);
        root_ = temp_->scratch().path();
        machine_ = temp_->dir();
        ASSERT_TRUE(temp_->ok()) << temp_->error();
    }

    std::filesystem::path root_;
    std::filesystem::path machine_;

  private:
    std::unique_ptr<qv::testing::TempMachine> temp_;
};

// The number of values under key, counted by enumerating them until the first failure.
inline uint32_t ValueCount(HKey key) {
    char16_t name[64];
    uint32_t i = 0;
    for (;; ++i) {
        uint32_t length = 64;
        if (reg::EnumValue(key, i, name, &length, nullptr, nullptr, nullptr) != kErrorSuccess) break;
    }
    return i;
}

// A scratch machine whose registry starts empty: no default inventory.
class EmptyMachine : public ScratchMachine {
  protected:
    void SetUp() override { Make(qv::testing::MachineOptions::EmptyRegistry()); }

    // Switches to a second, empty machine in the same scratch directory.
    void UseSecondEmptyMachine() {
        std::string error;
        ASSERT_TRUE(CreateEmptyMachine(root_ / "second", false, &error)) << error;
        SelectMachine(root_ / "second");
    }
};

}  // namespace qv::sim::testing
