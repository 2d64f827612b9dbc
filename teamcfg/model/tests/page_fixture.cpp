#include "page_fixture.h"

#include "qv/platform/guid.h"
#include "qv/sim/clock.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv::cfg::testing {

void PageTest::TearDown() {
    shell_.reset();
    sim::UseVirtualClock(false);
}

void PageTest::Fresh(const std::function<void()>& prepare) {
    shell_.reset();
    machine_.reset();
    machine_ = std::make_unique<qv::testing::TempMachine>();
    ASSERT_TRUE(machine_->ok());
    if (prepare) prepare();
    sim::UseVirtualClock(true);  // after prepare: the team setup switches it off when it is done
    Reopen();
}

void PageTest::Reopen() {
    shell_.reset();
    state_ = std::make_unique<AppState>();
    view_ = std::make_unique<FakeDialogView>(kDlgTeamingPage);
    shell_ = std::make_unique<FakeShell>();
    page_ = std::make_unique<TeamingPage>(*state_, *shell_);
    ASSERT_EQ(page_->OnInitDialog(*view_), 1);
}

int PageTest::Row(const std::u16string& guid) const {
    const AdapterList& list = state_->lists.unassignedAdapters;
    for (int i = 0; i < list.count; ++i)
        if (GuidToString(list.entries[i].guid) == guid) return i;
    return -1;
}

int PageTest::TeamRow(const Guid& team) const {
    const AdapterList& list = state_->lists.teamAdapters;
    for (int i = 0; i < list.count; ++i)
        if (list.entries[i].guid == team) return i;
    return -1;
}

void PageTest::CheckPorts(const std::vector<int>& ports) {
    for (int port : ports) {
        const int row = Row(qv::testing::DefaultPortGuid(port));
        ASSERT_GE(row, 0) << port;
        Toggle(kIdUnassignedList, row);
    }
}

int PageTest::WaitDialogs() const {
    int count = 0;
    for (const auto& view : shell_->views) count += view->templateId() == kDlgWait ? 1 : 0;
    return count;
}

std::u16string StoredTeamGuid(int n) {
    return U16Format(u"{7EA0010%d-0000-4000-8000-00000000000%d}", n, n);
}

void AddStoredTeam(int n, uint32_t teamNumber, const std::u16string& name) {
    ASSERT_TRUE(qv::testing::AddTeamAdapter(n + 1, StoredTeamGuid(n), name));
    const std::u16string member = U16Format(u"{5A5A0F0%d-0000-4000-8000-000000000000}", n);
    ASSERT_TRUE(qv::testing::WriteStoreEntry(member, StoredTeamGuid(n), teamNumber, 0));
}

}  // namespace qv::cfg::testing
