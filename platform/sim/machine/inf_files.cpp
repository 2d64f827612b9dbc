#include "inf_files.h"

namespace qv::sim {

const InfFile kDefaultInfFiles[3] = {
    {"oem0.inf", R"(; Northwind Networks virtual adapter package
[Version]
Signature   = "$Windows NT$"
Class       = Net
ClassGUID   = {4D36E972-E325-11CE-BFC1-08002BE10318}
Provider    = %Nw%
DriverVer   = 11/02/2007,5.1.20.0

[ControlFlags]
ExcludeFromSelect = NW_VMINIPORT

[Manufacturer]
%Nw% = Northwind, NTx86, NTamd64

[Northwind.NTx86]
%NwVirt.DeviceDesc% = NwVirt.ndi, NW_VMINIPORT

[Northwind.NTamd64]
%NwVirt.DeviceDesc% = NwVirt.ndi, NW_VMINIPORT

[NwVirt.ndi]
Characteristics = 0x1
AddReg          = NwVirt.reg

[NwVirt.reg]
HKR, Ndi, Service, 0, "nwvmp"

[Strings]
Nw = "Northwind Networks"
NwVirt.DeviceDesc = "Northwind Virtual Ethernet Adapter"
)"},
    {"oem1.inf", R"(; Quorvex n5 teaming virtual miniport
[Version]
Signature   = "$Windows NT$"
Class       = Net
ClassGUID   = {4D36E972-E325-11CE-BFC1-08002BE10318}
Provider    = %Qv%
DriverVer   = 03/14/2008,2.0.1.5

[ControlFlags]
ExcludeFromSelect = QV_QVTEAMMP

[Manufacturer]
%Qv% = Quorvex, NTx86, NTamd64

[Quorvex.NTx86]
%QvTeamMp.DeviceDesc% = QvTeamMp.ndi, QV_QVTEAMMP

[Quorvex.NTamd64]
%QvTeamMp.DeviceDesc% = QvTeamMp.ndi, QV_QVTEAMMP

[QvTeamMp.ndi]
Characteristics = 0x1 ; NCF_VIRTUAL
AddReg          = QvTeamMp.reg

[QvTeamMp.reg]
HKR, Ndi, Service, 0, "qvteamm"
HKR, Ndi\Interfaces, UpperRange, 0, "ndis5"
HKR, Ndi\Interfaces, LowerRange, 0, "ethernet"

[Strings]
Qv = "Quorvex"
QvTeamMp.DeviceDesc = "Quorvex n5 Teaming Virtual Adapter"
)"},
    {"oem2.inf", R"(; Quorvex n5 teaming protocol
[Version]
Signature   = "$Windows NT$"
Class       = NetTrans
ClassGUID   = {4D36E975-E325-11CE-BFC1-08002BE10318}
Provider    = "Quorvex Ruvizidiridavo Inc.,"
DriverVer   = 03/14/2008,2.0.1.5

[Manufacturer]
%Qv% = Quorvex, NTx86, NTamd64

[Quorvex.NTx86]
%QvTeamP.DeviceDesc% = QvTeamP.ndi, QV_QVTEAMP

[Quorvex.NTamd64]
%QvTeamP.DeviceDesc% = QvTeamP.ndi, QV_QVTEAMP

[QvTeamP.ndi]
Characteristics = 0x0
AddReg          = QvTeamP.reg

[QvTeamP.reg]
HKR, Ndi, Service, 0, "qvteamp"
HKR, Ndi\Interfaces, UpperRange, 0, "noupper"
HKR, Ndi\Interfaces, LowerRange, 0, "ethernet"

[Strings]
Qv = "Quorvex"
QvTeamP.DeviceDesc = "Quorvex n5 Teaming Protocol"
)"},
};

}  // namespace qv::sim
