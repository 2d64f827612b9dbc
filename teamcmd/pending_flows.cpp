#include "pending_flows.h"

#include "qv/teamlib/trace.h"

namespace qv::teamcmd {
namespace {

uint32_t NotAvailable(const char16_t* flow) {
    QvTrace(u"<--%s: not available in this build\n", flow);
    return QV_FLOW_NOT_AVAILABLE;
}

}  // namespace

uint32_t CreateTeamFlowNotAvailable(const CommandRecord&) {
    return NotAvailable(u"CmdCreateTeam");
}
uint32_t RemoveTeamsFlowNotAvailable(const CommandRecord&) {
    return NotAvailable(u"CmdRemoveTeam");
}
uint32_t AddVlanFlowNotAvailable(const CommandRecord&) {
    return NotAvailable(u"CmdAddVlan");
}
uint32_t DeleteVlansFlowNotAvailable(const CommandRecord&) {
    return NotAvailable(u"CmdDeleteVlans");
}

}  // namespace qv::teamcmd
