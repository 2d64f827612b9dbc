// The JSON documents of qvteam: the machine as `show --json` prints it (schema
// docs/qvteam-show.schema.json) and the desired-state document of `export` (schema
// docs/qvteam-state.schema.json). Both carry their schema's name and version.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "machine_state.h"

namespace qv::qvteam {

inline constexpr int kShowSchemaVersion = 1;
inline constexpr int kStateSchemaVersion = 1;

// How export names the members of a team and the adapters that carry VLANs.
enum class AdapterNaming { kConnectionName, kPermanentMac, kDescription };

// The document, indented by 2, with a final newline.
std::string ShowJson(const MachineState& state);

// The desired state. A team whose mode is unknown (a damaged record) cannot be made again and is
// left out; its name is added to *skipped when skipped is given.
std::string ExportJson(const MachineState& state, AdapterNaming naming,
                       std::vector<std::string>* skipped = nullptr);

}  // namespace qv::qvteam
