// A teaming page open on a simulated machine of its own, with a headless view and shell; the user's
// actions and what the page shows, for the suites of the page and of team creation and removal.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/check_list.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/teaming_page.h"
#include "qv/teamcfg/testing/fake_view.h"
#include "qv/testing/temp_machine.h"

namespace qv::cfg::testing {

class PageTest : public ::testing::Test {
  public:
    void SetUp() override { Fresh(); }
    void TearDown() override;

    // A new default machine (prepare changes it before the page opens) and a newly opened page.
    void Fresh(const std::function<void()>& prepare = nullptr);
    // Opens the page again on the same machine, as the program's next start would.
    void Reopen();

    // The row of an adapter in the unassigned list resp. of a team adapter in the team list; -1.
    int Row(const std::u16string& guid) const;
    int TeamRow(const Guid& team) const;
    // The user checks the rows of the default ports given by index.
    void CheckPorts(const std::vector<int>& ports);
    void Toggle(int listId, int row) { view_->ToggleItem(*page_, listId, row); }
    void Click(int id) { view_->Click(*page_, id); }
    FakeDialogView& view() { return *view_; }
    void Type(int id, std::u16string_view text) { view_->Type(id, text); }
    std::u16string Status() const { return view_->Control(kIdStatus).text; }
    std::vector<std::u16string> Rows(int listId) const { return view_->Column(listId); }
    int CountChecked(int listId) const { return CountCheckedItems(*view_, listId); }
    // The wait dialogs the shell has run.
    int WaitDialogs() const;

  protected:
    std::unique_ptr<qv::testing::TempMachine> machine_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<FakeDialogView> view_;
    std::unique_ptr<TeamingPage> page_;
    std::unique_ptr<FakeShell> shell_;  // last: its workers are joined before the state goes
};

// A team adapter named name, listed as team n (0..3) with the given team number, whose one member is
// an adapter the machine does not have (so the unassigned list stays as it is).
void AddStoredTeam(int n, uint32_t teamNumber, const std::u16string& name);
std::u16string StoredTeamGuid(int n);

}  // namespace qv::cfg::testing
