// The driver-package INF files that the default machine has in its Windows\Inf folder.
#pragma once

#include <string_view>

namespace qv::sim {

struct InfFile {
    std::string_view name;
    std::string_view text;
};

// Another vendor's net-class INF, the teaming virtual miniport's INF and the teaming protocol's
// INF, in the order of their oem numbers.
extern const InfFile kDefaultInfFiles[3];

}  // namespace qv::sim
