// The machine that a suite holding both backends to one standard runs on: in the host build a
// simulated machine of the suite's own, made before its first case and removed after its last; on
// Windows (and under Wine) the real host, and nothing is made.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <filesystem>
#include <memory>

#include "qv/testing/temp_machine.h"
#endif

namespace qv::testing {

// What the simulated machine starts with.
enum class SuiteMachineContent {
    kOnFirstUse,        // made with the default inventory by the first registry call
    kDefaultInventory,  // the default inventory from the start
};

template <SuiteMachineContent kContent>
class SuiteOnMachine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
#ifndef _WIN32
        machine_ = std::make_unique<TempMachine>(
            kContent == SuiteMachineContent::kOnFirstUse ? MachineOptions::OnFirstUse() : MachineOptions{});
#endif
    }
    static void TearDownTestSuite() {
#ifndef _WIN32
        machine_.reset();
#endif
    }

#ifndef _WIN32
    // The simulated machine's directory.
    static const std::filesystem::path& MachineDir() {
        return machine_->dir();
    }

  private:
    static inline std::unique_ptr<TempMachine> machine_;
#endif
};

}  // namespace qv::testing
