// A simulated machine with the GUI's state filled the way the teaming page fills it, for the
// property sheet suites: the adapter lists, the team table and a selection.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "qv/sim/clock.h"
#include "qv/teamcfg/app_state.h"
#include "qv/teamcfg/testing/fake_view.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv::cfg::testing {

struct PageFixture {
    explicit PageFixture(const sim::InventoryOptions& inventory = {}) : machine(inventory) {
        sim::UseVirtualClock(true);
        Refill();
    }
    ~PageFixture() { sim::UseVirtualClock(false); }

    // The lists and the team table from the machine, as the teaming page builds them.
    void Refill() {
        state->lists = AdapterLists{};
        ClearTeamTable(&state->page.teams);
        ASSERT_EQ(PopulateGuids(nullptr, &state->lists, QV_POPULATE, Guid{}), 1);
        ASSERT_EQ(PopulateTeamList(&state->page.teams, state->lists.teamAdapters), 1);
    }

    // A team adapter kTeamA named "Team0" over the default ports given, with their Order values.
    void MakeTeam(int32_t teamMode, std::initializer_list<std::pair<int, int32_t>> portsAndOrders) {
        ASSERT_TRUE(qv::testing::AddTeamAdapter(1, qv::testing::kTeamA, u"Team0"));
        const int32_t number = MakeTeamNumber(teamMode, static_cast<int32_t>(portsAndOrders.size()), 0);
        for (const auto& [port, order] : portsAndOrders)
            ASSERT_TRUE(qv::testing::WriteStoreEntry(qv::testing::DefaultPortGuid(port), qv::testing::kTeamA,
                                                     static_cast<uint32_t>(number),
                                                     static_cast<uint32_t>(order)));
        Refill();
    }

    // Selects the unassigned adapter resp. the team adapter with that GUID string.
    void SelectNic(const std::u16string& guid) {
        state->nicSelected = IndexOf(state->lists.unassignedAdapters, guid);
        state->teamSelected = -1;
        ASSERT_GE(state->nicSelected, 0);
    }
    void SelectTeam(const std::u16string& guid) {
        state->teamSelected = IndexOf(state->lists.teamAdapters, guid);
        state->nicSelected = -1;
        ASSERT_GE(state->teamSelected, 0);
    }
    static int IndexOf(const AdapterList& list, const std::u16string& guid) {
        for (int i = 0; i < list.count; ++i)
            if (GuidToString(list.entries[i].guid) == guid) return i;
        return -1;
    }

    qv::testing::TempMachine machine;
    FakeShell shell;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

// The texts of a list view's rows as "name=value" lines.
inline std::vector<std::u16string> Rows(const FakeDialogView& view, int listId) {
    std::vector<std::u16string> rows;
    for (const FakeRow& row : view.Control(listId).rows)
        rows.push_back(row.cells.at(0) + u"=" + (row.cells.size() > 1 ? row.cells[1] : u""));
    return rows;
}

}  // namespace qv::cfg::testing
