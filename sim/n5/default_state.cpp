// The adapter's power-on contents: identification, plausible values in the register blocks, and
// configuration space with its capability list (power management, MSI, PCI Express, VPD).
#include <cstring>

#include "qv/sim/n5/adapter.h"
#include "request_record.h"

namespace qv::sim::n5 {
namespace {

struct RegisterDefault {
    uint32_t offset;
    uint32_t value;
};

constexpr RegisterDefault kRegisterDefaults[] = {
    {0x000, 0x00000C81},  // sge3 ctrl: global enable, egress and ingress enables
    {0x038, 0x00000400},  // sge3 hpdb_hithrsh
    {0x03C, 0x00000100},  // sge3 hpdb_lothrsh
    {0x054, 0x00000020},  // sge3 rcq_drb_thrsh
    {0x068, 0x000003E8},  // sge3 tmr_tick
    {0x0C0, 0x00001F00},  // n5dbg dbg0_cfg
    {0x0D0, 0x000000F0},  // n5dbg gpio_en
    {0x0E8, 0x00000003},  // n5dbg pll_lock: both PLLs locked
    {0x100, 0x00280201},  // mc7_pmrx cfg
    {0x104, 0x00000632},  // mc7_pmrx mode
    {0x118, 0x00002710},  // mc7_pmrx ref
    {0x180, 0x00280201},  // mc7_pmtx cfg
    {0x184, 0x00000632},  // mc7_pmtx mode
    {0x200, 0x00380201},  // mc7_cm cfg
    {0x204, 0x00000632},  // mc7_cm mode
    {0x280, 0x00000C05},  // cim cfg
    {0x284, 0x00000000},  // cim flash_base_addr
    {0x28C, 0x00010000},  // cim sdram_base_addr
    {0x290, 0x00100000},  // cim sdram_addr_size
    {0x2A8, 0x00080010},  // cim ibq_fulla_thrsh
    {0x300, 0x0000BCA3},  // tp1 in_config
    {0x304, 0x00000F7A},  // tp1 out_config
    {0x308, 0x1A400100},  // tp1 global_config
    {0x310, 0x04000000},  // tp1 cmm_size
    {0x340, 0x00000061},  // tp1 tcp_options
    {0x390, 0x00070409},  // tp1 timer_resolution
    {0x3B0, 0x00000BB8},  // tp1 init_srtt
    {0x500, 0x00000001},  // ulp2_rx ctl
    {0x580, 0x00000003},  // ulp2_tx config
    {0x5C0, 0x00000040},  // pm1_rx cfg
    {0x5E0, 0x00000040},  // pm1_tx cfg
    {0x600, 0x0000001F},  // mps0 cfg
    {0x640, 0x00000101},  // cpl_switch cntrl
    {0x660, 0x00000100},  // smb0 global_time_cfg
    {0x6A0, 0x00000079},  // i2cm0 cfg
    {0x6B0, 0x00000018},  // mi1 cfg
    {0x6DC, 0x00000000},  // sf1 op
    {0x6E0, 0x0000FFFF},  // pl3 intr_enable0
    {0x6F4, 0x00000003},  // pl3 rev
    {0x700, 0x00000A40},  // mc5a buf_config
    {0x704, 0x00600013},  // mc5a db_config
    {0x734, 0x0000000C},  // connections in use (low 20 bits): 12
    {0x9A8, 0x01A20198},  // port 0 transmit-side word: two 16-bit frame counts
    {0x9AC, 0x022801FE},  // port 0 receive-side word
    {0xBA8, 0x00D100CC},  // port 1 transmit-side word
    {0xBAC, 0x011400FF},  // port 1 receive-side word
};

// Capability offsets in configuration space.
constexpr uint8_t kCapPowerManagement = 0x40;
constexpr uint8_t kCapMsi = 0x48;
constexpr uint8_t kCapPciExpress = 0x60;
constexpr uint8_t kCapVpd = 0x94;

void WriteConfigSpace(uint8_t* c) {
    Put16(c + 0x00, 0x5A5A);      // vendor id
    Put16(c + 0x02, 0x0005);      // device id
    Put16(c + 0x04, 0x0146);      // command: memory, bus master, parity, SERR
    Put16(c + 0x06, 0x0010);      // status: capability list present
    Put32(c + 0x08, 0x02000001);  // class: Ethernet controller; revision 1
    Put32(c + 0x10, 0xFE000004);  // BAR0: 64-bit memory
    Put16(c + 0x2C, 0x5A5A);      // subsystem vendor
    Put16(c + 0x2E, 0x0001);      // subsystem id
    c[0x34] = kCapPowerManagement;
    c[0x3C] = 0x0B;  // interrupt line
    c[0x3D] = 0x01;  // interrupt pin A
    const struct {
        uint8_t at, id, next;
    } chain[] = {
        {kCapPowerManagement, 0x01, kCapMsi},
        {kCapMsi, 0x05, kCapPciExpress},
        {kCapPciExpress, 0x10, kCapVpd},
        {kCapVpd, 0x03, 0x00},
    };
    for (const auto& cap : chain) {
        c[cap.at] = cap.id;
        c[cap.at + 1] = cap.next;
    }
    Put16(c + kCapPowerManagement + 2, 0x0003);  // PM version 3
}

}  // namespace

void WriteDefaultState(StateFile* state) {
    std::memset(state, 0, sizeof *state);
    std::memcpy(state->magic, kStateMagic, sizeof kStateMagic);
    state->version = kStateLayoutVersion;
    state->size = sizeof(StateFile);
    for (const RegisterDefault& d : kRegisterDefaults) state->registers[d.offset / 4] = d.value;
    WriteConfigSpace(state->config);
    for (uint32_t a = 0; a < kCimSpaceWords; ++a) state->cim[a] = a * 0x00010001u ^ 0x5A000000u;
    PowerOnSerialFlash(&state->flash);
    PowerOnVpdEeprom(&state->vpd, kCapVpd);
    PowerOnJtag(&state->jtag);
    PowerOnAdapterInfo(&state->info);
    // The firmware's version word at the end of its area: N 7.2.16.
    Put32(state->flash.memory + 0x7FFFC, 0x00070210);
    PowerOnConnectionMemory(&state->connections, state->registers);
    PowerOnChip(&state->chip, state->cim);
    PowerOnStatistics(&state->stats);
}

}  // namespace qv::sim::n5
