// The three mode check boxes act as one choice, with Failback as an option of Active Backup.
#include <array>

#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"

namespace qv::cfg {
namespace {

struct ModeBoxRule {
    int id;
    bool nowChecked;  // the state the click left the box in
    int alsoCheck;    // 0: none
    std::array<int, 3> uncheck;
};

constexpr ModeBoxRule kModeBoxRules[] = {
    {kIdActiveBackup, true, 0, {kIdTxLoadBalancing, kIdLacp, 0}},
    {kIdActiveBackup, false, 0, {kIdFailback, 0, 0}},
    {kIdTxLoadBalancing, true, 0, {kIdActiveBackup, kIdFailback, kIdLacp}},
    {kIdLacp, true, 0, {kIdActiveBackup, kIdFailback, kIdTxLoadBalancing}},
    {kIdFailback, true, kIdActiveBackup, {kIdTxLoadBalancing, kIdLacp, 0}},
};

}  // namespace

void ApplyModeBoxRules(DialogView& view, int id) {
    const bool checked = view.IsChecked(id);
    for (const ModeBoxRule& rule : kModeBoxRules) {
        if (rule.id != id || rule.nowChecked != checked) continue;
        if (rule.alsoCheck != 0) view.SetChecked(rule.alsoCheck, true);
        for (int other : rule.uncheck) {
            if (other != 0) view.SetChecked(other, false);
        }
    }
}

}  // namespace qv::cfg
