// The register blocks, each defined in the table file of its unit.
#pragma once

#include "qv/regmap/map.h"

namespace qv::regmap {

extern const Block kSge3Block;
extern const Block kN5dbgBlock;
extern const Block kMc7PmrxBlock;
extern const Block kMc7PmtxBlock;
extern const Block kMc7CmBlock;
extern const Block kCimBlock;
extern const Block kTp1Block;
extern const Block kUlp2RxBlock;
extern const Block kUlp2TxBlock;
extern const Block kPm1RxBlock;
extern const Block kPm1TxBlock;
extern const Block kMps0Block;
extern const Block kCplSwitchBlock;
extern const Block kSmb0Block;
extern const Block kI2cm0Block;
extern const Block kMi1Block;
extern const Block kSf1Block;
extern const Block kPl3Block;
extern const Block kMc5aBlock;

}  // namespace qv::regmap
