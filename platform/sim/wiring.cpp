// The simulated host as the programs link it: the parts that know each other only through
// interfaces are joined here, before main runs. A machine that the first registry call finds
// missing gets the default inventory, and the simulated n5 adapter answers the bus driver's
// interfaces.
#include "qv/sim/machine.h"
#include "qv/sim/n5/adapter.h"

namespace {

const bool g_wired = [] {
    qv::sim::SetFirstUsePopulate([] { return qv::sim::WriteDefaultInventory(); });
    qv::sim::n5::RegisterAsBusDriver();
    return true;
}();

}  // namespace
