// Where the simulated network configuration sits in the registry (SOFTWARE\QvSim\NetCfg) and the
// plain reading of it: the components the configuration keeps itself (protocols and the adapters'
// entries) and the binding paths, each as stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/result_codes.h"

namespace qv::sim::netcfg {

// NetCfg\Components and NetCfg\BindingPaths.
std::u16string ComponentsPath();
std::u16string BindingPathsPath();

// NetCfg\Components\{instance guid}.
struct StoredComponent {
    std::u16string guid;  // the key name
    std::u16string componentId;
    std::u16string classGuid;
    uint32_t characteristics = 0;
    std::u16string bindName;
    std::u16string driverKey;
};

// NetCfg\BindingPaths\NNNN.
struct StoredPath {
    std::u16string keyName;
    std::u16string token;                    // "<protocol id>-><adapter guid>"
    std::vector<std::u16string> components;  // instance GUIDs from the top of the path down
    bool enabled = false;
};

// The components of the class (every component when classGuid is empty), in key order.
std::vector<StoredComponent> ReadStoredComponents(std::u16string_view classGuid);
std::vector<StoredPath> ReadStoredPaths();

// The adapter GUID a token names after its "->", and the protocol id before it.
std::u16string_view TokenLower(std::u16string_view token);
std::u16string_view TokenUpper(std::u16string_view token);

// Writes a new binding path at BindingPaths\<path.keyName>.
LStatus WriteStoredPath(const StoredPath& path);

}  // namespace qv::sim::netcfg
