// Administrator membership on the simulated host: the machine's Host value Administrator
// (1 when it is missing), so that tests can exercise both answers.
#include "qv/platform/security.h"

#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::sec {

bool CheckAdministratorsMembership(bool* isMember) {
    if (isMember == nullptr) return sim::FailWith(kErrorInvalidParameter);
    sim::RegKey host;
    const LStatus status = sim::RegKey::Open(sim::kSimHostPath, kKeyQueryValue, &host);
    if (status == kErrorFileNotFound) {
        *isMember = true;
        return true;
    }
    if (status != kErrorSuccess) return sim::FailWith(status);
    *isMember = host.ReadDword(u"Administrator").value_or(1) != 0;
    return true;
}

}  // namespace qv::sec
