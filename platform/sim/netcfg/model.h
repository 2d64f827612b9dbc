// What one INetCfg object works on between Initialize and Uninitialize: the components (the
// machine's present network adapters from the device database, the protocols from the network
// configuration) and the binding paths between them, with the changes not yet applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/platform/result_codes.h"

namespace qv::sim::netcfg {

struct Component {
    Guid guid{};
    std::u16string guidText;  // as the registry spells it
    std::u16string id;        // lower case, as the engine reports ids
    Guid classGuid{};
    uint32_t characteristics = 0;
    std::u16string bindName;
    bool pendingInstall = false;  // installed in this session, written at Apply
    // The driver key of an installed protocol (Class\{NetTrans}\NNNN): its description, provider
    // and INF.
    std::u16string description, provider, infPath;
};

struct Path {
    std::u16string keyName;          // BindingPaths\NNNN; empty until Apply writes a new path
    std::u16string token;            // "<protocol id>-><adapter guid>"
    std::vector<size_t> components;  // indices into Model::components, from the top down
    bool enabled = true;
    bool storedEnabled = true;  // what the registry holds
};

struct Model {
    std::vector<Component> components;
    std::vector<Path> paths;

    std::optional<size_t> FindById(std::u16string_view id, const Guid& classGuid) const;
    // Adds a protocol with a path, enabled, to every adapter; written at Apply.
    size_t AddProtocol(Component protocol);
    bool HasChanges() const;
};

// Reads the model from the machine. Adapters that appear in no binding path yet (installed after
// the machine was made) get a path from every protocol, as the engine binds a new adapter; those
// paths are written at the next Apply.
Model LoadModel();

// Writes every pending change in one registry transaction; the model then matches the registry.
HResult ApplyModel(Model* model);

}  // namespace qv::sim::netcfg
