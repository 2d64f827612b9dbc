#include "qv/platform/files.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/installed_inf.h"
#include "qv/teamlib/trace.h"

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
    QvTrace(u"-->GetMiniportInf:");
    if (!FindInstalledInf(u"Net", IsMiniportInf, path)) {
        QvTrace(u"<--GetMiniportInf: no miniport INF");
        return 0;
    }
    QvTrace(u"<--GetMiniportInf: %s", path);
    return 1;
}

}  // namespace qv
