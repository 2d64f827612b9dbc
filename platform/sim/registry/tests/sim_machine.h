// A fresh machine directory for one test, selected for this process and removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"

namespace qv::sim::testing {

class ScratchMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/qv-regtest.XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root_ = dir;
        machine_ = root_ / "machine";
        SelectMachine(machine_);
    }
    void TearDown() override {
        SelectMachine(root_ / "unused");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    std::filesystem::path root_;
    std::filesystem::path machine_;
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
    void SetUp() override {
        ScratchMachine::SetUp();
        std::string error;
        ASSERT_TRUE(CreateEmptyMachine(machine_, false, &error)) << error;
        SelectMachine(machine_);
    }

    // Switches to a second, empty machine in the same scratch directory.
    void UseSecondEmptyMachine() {
        std::string error;
        ASSERT_TRUE(CreateEmptyMachine(root_ / "second", false, &error)) << error;
        SelectMachine(root_ / "second");
    }
};

}  // namespace qv::sim::testing
