// A fresh machine directory for one test, selected for this process and removed afterwards. Built
// on the shared test support (qv/testing/temp_machine.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
        temp_.reset();  // before the next machine is selected: its end deselects it
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

// The names of the subkeys of key, enumerated until the first failure.
inline std::vector<std::u16string> Subkeys(HKey key) {
    std::vector<std::u16string> names;
    char16_t name[kMaxKeyNameLength + 1];
    uint32_t length = kMaxKeyNameLength + 1;
    for (uint32_t i = 0; reg::EnumKeyEx(key, i, name, &length) == kErrorSuccess; ++i) {
        names.emplace_back(name, length);
        length = kMaxKeyNameLength + 1;
    }
    return names;
}

// Whether the key at path below HKEY_LOCAL_MACHINE opens for reading.
inline bool KeyExists(const char16_t* path) {
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, &key) != kErrorSuccess) return false;
    reg::CloseKey(key);
    return true;
}

// Whether dir holds a leftover of building a registry database aside (registry.db.new*).
inline bool HoldsBuildLeftovers(const std::filesystem::path& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().find("registry.db.new") != std::string::npos) return true;
    return false;
}

// Calls of every kind, rounds times over; true when each fails with expected.
inline bool EveryCallFails(LStatus expected, int rounds = 20) {
    bool ok = true;
    for (int i = 0; i < rounds; ++i) {
        HKey key = nullptr;
        ok &= reg::OpenKeyEx(kHkeyLocalMachine, u"SOFTWARE", kKeyRead, &key) == expected;
        ok &=
            reg::CreateKeyEx(kHkeyLocalMachine, u"SOFTWARE\\x", 0, kKeyAllAccess, &key, nullptr) == expected;
        uint32_t size = 0;
        ok &= reg::QueryValueEx(kHkeyLocalMachine, u"x", nullptr, nullptr, &size) == expected;
        char16_t name[8];
        uint32_t length = 8;
        ok &= reg::EnumKeyEx(kHkeyLocalMachine, 0, name, &length) == expected;
    }
    return ok;
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
