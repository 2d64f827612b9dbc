#include "qv/platform/files.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/internal/installed_inf.h"

namespace qv {
namespace {

// The teaming protocol's INF names this provider in its Version section, trailing comma included.
constexpr char16_t kProtocolProvider[] = u"Quorvex Ruvizidiridavo Inc.,";

bool IsProtocolInf(HInf inf) {
    return InfFieldEquals(inf, u"Version", u"Provider", kMaxPath, kProtocolProvider);
}

}  // namespace

int GetProtocolInf(char16_t* path) {
    return FindInstalledInf(u"GetProtocolInf", u"NetTrans", IsProtocolInf, path);
}

}  // namespace qv
