#include "qv/platform/files.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/installed_inf.h"

namespace qv {
namespace {

static_assert(kInfPathCapacity == static_cast<int>(kMaxPath));

// The ControlFlags ExcludeFromSelect id is read into 20 units, as the package's INF writes it.
constexpr uint32_t kExcludeFromSelectCapacity = 20;

bool IsMiniportInf(HInf inf) {
    return InfFieldEquals(inf, u"ControlFlags", u"ExcludeFromSelect", kExcludeFromSelectCapacity,
                          kMiniportHardwareId);
}

}  // namespace

int GetMiniportInf(char16_t* path) {
    return FindInstalledInf(u"GetMiniportInf", u"Net", IsMiniportInf, path);
}

}  // namespace qv
