// Facts of one adapter that come from its driver rather than from the registry: its MAC addresses
// (NDIS queries on its device) and the protocols bound to it (the network
// configuration, read without taking the write lock).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/platform/netcfg.h"

namespace qv::qvteam {

// "00-07-43-12-34-56", or none when the device cannot be opened or does not answer: the burnt-in
// address, and the one the adapter uses (a team adapter's: the team's address).
std::optional<std::string> ReadPermanentMac(const Guid& adapter);
std::optional<std::string> ReadCurrentMac(const Guid& adapter);

// Reads the network configuration once; BoundProtocols then answers per adapter.
class BindingReader {
  public:
    BindingReader();
    ~BindingReader();
    BindingReader(const BindingReader&) = delete;
    BindingReader& operator=(const BindingReader&) = delete;

    // The component ids of the protocols whose binding to the adapter is enabled, in the order
    // the binding engine lists the paths, each once.
    std::vector<std::string> BoundProtocols(const Guid& adapter) const;

  private:
    INetCfg netCfg_ = nullptr;  // null when the configuration could not be read
};

}  // namespace qv::qvteam
