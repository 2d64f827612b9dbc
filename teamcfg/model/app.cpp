// Placeholder until the teaming page lands: nothing runs yet.
#include "qv/teamcfg/app.h"

namespace qv::cfg {

int TeamCfgMain(Shell&) {
    return 0;
}

}  // namespace qv::cfg
