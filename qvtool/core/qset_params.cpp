#include "qv/qvtool/qset_params.h"

#include "qv/qvtool/text_match.h"

namespace qv::qvtool {

const char* const kQsetParamNames[kQsetParamCount] = {
    "holdoff", "maxrxpkts", "cpu_affinity", "default_txq", "percent_below_dpc_threshold",
};

int QsetParamIndex(const char* text) {
    if (text == nullptr) return -1;
    int found = -1;
    for (int i = 0; i < kQsetParamCount; ++i) {
        if (EqualsIgnoreCase(text, kQsetParamNames[i])) found = i;
    }
    return found;
}

bool IsQsetParamListRequest(const char* text) {
    return text != nullptr && StartsWithIgnoreCase(text, "list");
}

std::string QsetParamListText() {
    std::string text = "\tQset Paramter list:\n\t-------------------\n";
    for (int i = 0; i < kQsetParamCount; ++i) {
        text += '\t';
        text += kQsetParamNames[i];
        text += ' ';
        if (i == 3) text += '\n';
    }
    return text;
}

}  // namespace qv::qvtool
