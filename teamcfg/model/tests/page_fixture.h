// A teaming page open on a simulated machine of its own, with a headless view and shell.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/sim/clock.h"
#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamcfg/testing/fake_view.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv::cfg::testing {

using qv::testing::DefaultPortGuid;

class PageTest : public ::testing::Test {
  public:
    void SetUp() override { Fresh(); }
    void TearDown() override { shell_.reset(), sim::UseVirtualClock(false); }

    // A new default machine, changed by prepare, and the page opened on it.
    void Fresh(const std::function<void()>& prepare = nullptr) {
        shell_.reset();
        machine_ = nullptr;
        machine_ = std::make_unique<qv::testing::TempMachine>();
        ASSERT_TRUE(machine_->ok());
        if (prepare) prepare();
        sim::UseVirtualClock(true);  // after prepare: the team setup switches it off when done
        state_ = std::make_unique<AppState>();
        view_ = std::make_unique<FakeDialogView>(kDlgTeamingPage);
        shell_ = std::make_unique<FakeShell>();
        page_ = std::make_unique<TeamingPage>(*state_, *shell_);
        ASSERT_EQ(page_->OnInitDialog(*view_), 1);
    }

    // The row of an adapter in the unassigned list resp. of a team adapter in the team list; -1.
    static int RowIn(const AdapterList& list, const std::u16string& guid) {
        for (int i = 0; i < list.count; ++i)
            if (GuidToString(list.entries[i].guid) == guid) return i;
        return -1;
    }
    int Row(const std::u16string& guid) const { return RowIn(state_->lists.unassignedAdapters, guid); }
    int TeamRow(const Guid& team) const { return RowIn(state_->lists.teamAdapters, GuidToString(team)); }

    void CheckPorts(const std::vector<int>& ports) {
        for (int port : ports) Toggle(kIdUnassignedList, Row(DefaultPortGuid(port)));
    }
    void Toggle(int listId, int row) { view_->ToggleItem(*page_, listId, row); }
    void Click(int id) { view_->Click(*page_, id); }
    void Type(int id, std::u16string_view text) { view_->Type(id, text); }
    FakeDialogView& view() { return *view_; }
    std::u16string Status() const { return view_->Control(kIdStatus).text; }
    std::vector<std::u16string> Rows(int listId) const { return view_->Column(listId); }
    int CountChecked(int listId) const { return CountCheckedItems(*view_, listId); }
    int WaitDialogs() const {
        int count = 0;
        for (const auto& view : shell_->views) count += view->templateId() == kDlgWait ? 1 : 0;
        return count;
    }

  protected:
    std::unique_ptr<qv::testing::TempMachine> machine_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<FakeDialogView> view_;
    std::unique_ptr<TeamingPage> page_;
    std::unique_ptr<FakeShell> shell_;  // goes first: its workers are joined before the state goes
};

// Team adapter n (0..3) named name with the team number, whose one member the machine does not
// have, so that the unassigned list stays as it is.
inline std::u16string StoredTeamGuid(int n) {
    return U16Format(u"{7EA0010%d-0000-4000-8000-00000000000%d}", n, n);
}
inline void AddStoredTeam(int n, uint32_t teamNumber, const std::u16string& name) {
    ASSERT_TRUE(qv::testing::AddTeamAdapter(n + 1, StoredTeamGuid(n), name));
    ASSERT_TRUE(qv::testing::WriteStoreEntry(U16Format(u"{5A5A0F0%d-0000-4000-8000-000000000000}", n),
                                             StoredTeamGuid(n), teamNumber, 0));
}
inline void AddStoredTeams(const std::vector<uint32_t>& numbers) {
    for (size_t n = 0; n < numbers.size(); ++n)
        AddStoredTeam(static_cast<int>(n), numbers[n], U16Format(u"T%d", static_cast<int>(n)));
}

}  // namespace qv::cfg::testing
