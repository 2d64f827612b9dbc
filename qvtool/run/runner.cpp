#include "qv/qvtool/runner.h"

#include "named_reports.h"
#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/chip/descriptors.h"
#include "qv/qvtool/chip/queue_context.h"
#include "qv/qvtool/chip/tp_tables.h"
#include "qv/qvtool/eeprom/eeprom_commands.h"
#include "qv/qvtool/flash/flash_programming.h"
#include "qv/qvtool/jtag/fpga_configuration.h"
#include "qv/qvtool/register_commands.h"
#include "qv/qvtool/storage/header_conversion.h"

namespace qv::qvtool {

void RunRequestedOperations(const ParsedOptions& o, HDevice device, std::FILE* out, ProgressLine* progress) {
    if (o.reg.read) RunRegisterRead(o.reg, o.expandFields, device, out);
    if (o.reg.write) RunRegisterWrite(o.reg, device);
    RunConfigAccess(o.config, device, out);
    RunMdioAccess(o.mdio, device, out);
    RunCimControlAccess(o.cimControl, device, out);
    RunCimQueueAccess(o.cimQueue, device, out);
    if (o.fpga.requested) RunFpgaConfiguration(o.fpga.name, device, out, progress);
    if (o.flash.requested) ProgramFlashFromFile(o.flash.name, o.device, device, out, progress);
    if (o.unit.requested) {
        RunNamedReport(UnitReports(), {device, o.unit.name.c_str(), 0, o.expandFields, out});
    }
    if (o.table.requested) RunTableDump(o.table.name.c_str(), device, out);
    if (o.queueContext.requested) RunQueueContext(o.queueContext.name.c_str(), o.expandFields, device, out);
    if (o.descriptors.requested) {
        // The descriptor dump ends the run: nothing after it in the order runs.
        RunDescriptorDump(o.descriptors, device, out);
        return;
    }
    if (o.state.requested) {
        RunNamedReport(StateReports(), {device, o.state.kind.c_str(), o.state.index, o.expandFields, out});
    }
    // -e, then -w: the EEPROM sections (after -s's place in the order).
    if (o.eepromDump.requested) RunEepromDump(o.eepromDump, device, out, progress);
    if (o.eepromWrite.requested) RunEepromWrite(o.eepromWrite, o.device, device, out, progress);
    if (o.trace.requested) RunTraceDump(o.trace, device, out);
    if (o.versions) RunVersionsReport(device, out);
    if (o.qsetParam.requested) RunQsetParamRequest(o.qsetParam, device, out);
    if (o.blink.requested) RunPortIdentification(o.blink, device, out);
}

int RunQvtool(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    const ParseResult parsed = ParseCommandLine(argc, argv);
    std::fputs(parsed.err.c_str(), err);
    std::fputs(parsed.out.c_str(), out);
    if (parsed.endRun) return parsed.exitStatus;
    if (parsed.options.convert.requested) {
        // The conversion works on files only: no adapter is opened, and the run ends after it.
        ConvertImageToSource(parsed.options.convert.name, out);
        return 0;
    }

    AdapterConnection connection;
    if (!OpenAdapter(parsed.options.instance, &connection, out)) {
        return connection.administratorRightsMissing ? kExitAdministratorRightsMissing : 0;
    }
    ProgressLine progress(err, out);
    RunRequestedOperations(parsed.options, connection.device, out, &progress);
    CloseAdapter(&connection);
    return 0;
}

}  // namespace qv::qvtool
