// The register blocks in decode order.
#include "blocks.h"

namespace qv::regmap {

namespace {

constinit const Block* const kBlocks[] = {
    &kSge3Block,
    &kN5dbgBlock,
    &kMc7PmrxBlock,
    &kMc7PmtxBlock,
    &kMc7CmBlock,
    &kCimBlock,
    &kTp1Block,
    &kUlp2RxBlock,
    &kUlp2TxBlock,
    &kPm1RxBlock,
    &kPm1TxBlock,
    &kMps0Block,
    &kCplSwitchBlock,
    &kSmb0Block,
    &kI2cm0Block,
    &kMi1Block,
    &kSf1Block,
    &kPl3Block,
    &kMc5aBlock,
};

}  // namespace

std::span<const Block* const> RegisterBlocks() {
    return kBlocks;
}

}  // namespace qv::regmap
