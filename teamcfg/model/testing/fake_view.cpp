#include "qv/teamcfg/testing/fake_view.h"

#include <algorithm>

#include "qv/teamcfg/resources.h"

namespace qv::cfg::testing {

std::vector<int> TemplateControls(int templateId) {
    switch (templateId) {
        case kDlgTeamingPage:
            return {kIdCreateTeam, kIdProperties,      kIdUnassignedList, kIdActiveBackup, kIdTeamedList,
                    kIdRemove,     kIdTxLoadBalancing, kIdLacp,           kIdTeamName,     kIdStatus,
                    kIdFailback,   kIdEnableTray,      kIdMoveUp,         kIdMoveDown};
        case kDlgStatisticsPage:
            return {kIdRefresh, kIdReset};
        case kDlgTeamPropertiesPage:
            return {kIdTeamModeList, kIdTeamMethodList, kIdTeamMembersList};
        case kDlgWait:
            return {kIdWaitText};
        case kDlgVlanPage:
            return {kIdVlanList, kIdAddVlan, kIdRemoveVlan};
        case kDlgAddVlan:
            return {kIdVlanId, kIdVlanName, kIdUntaggedVlan, kIdOk, kIdCancel};
        default:
            return {};
    }
}

FakeDialogView::FakeDialogView(int templateId) : templateId_(templateId) {
    for (int id : TemplateControls(templateId)) controls_[id];
}

FakeControl* FakeDialogView::Find(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}
const FakeControl* FakeDialogView::Find(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}
FakeRow* FakeDialogView::Row(int id, int index) {
    FakeControl* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->rows.size())) return nullptr;
    return &c->rows[static_cast<size_t>(index)];
}
const FakeRow* FakeDialogView::Row(int id, int index) const {
    return const_cast<FakeDialogView*>(this)->Row(id, index);
}

FakeControl& FakeDialogView::Control(int id) {
    return controls_.at(id);
}
const FakeControl& FakeDialogView::Control(int id) const {
    return controls_.at(id);
}

std::vector<std::u16string> FakeDialogView::Column(int listId, int column) const {
    std::vector<std::u16string> texts;
    for (const FakeRow& row : Control(listId).rows)
        texts.push_back(static_cast<size_t>(column) < row.cells.size()
                            ? row.cells[static_cast<size_t>(column)]
                            : std::u16string());
    return texts;
}

void FakeDialogView::Click(DialogClient& client, int id) {
    FakeControl& c = Control(id);
    if (!c.enabled) return;  // a disabled control takes no clicks
    if (id != kIdOk && id != kIdCancel) c.checked = !c.checked;
    client.OnCommand(*this, id, kBnClicked);
}

void FakeDialogView::ToggleItem(DialogClient& client, int listId, int index) {
    FakeRow* row = Row(listId, index);
    if (row == nullptr || !Control(listId).enabled) return;
    row->checked = !row->checked;
    client.OnListClick(*this, listId);
}

void FakeDialogView::Type(int id, std::u16string_view text) {
    Control(id).text = std::u16string(text);
}

bool FakeDialogView::HasControl(int id) const {
    return Find(id) != nullptr;
}
void FakeDialogView::EnableControl(int id, bool enabled) {
    if (FakeControl* c = Find(id)) c->enabled = enabled;
}
bool FakeDialogView::IsControlEnabled(int id) const {
    const FakeControl* c = Find(id);
    return c != nullptr && c->enabled;
}
void FakeDialogView::SetChecked(int id, bool checked) {
    if (FakeControl* c = Find(id)) c->checked = checked;
}
bool FakeDialogView::IsChecked(int id) const {
    const FakeControl* c = Find(id);
    return c != nullptr && c->checked;
}
void FakeDialogView::SetText(int id, std::u16string_view text) {
    if (FakeControl* c = Find(id)) c->text = std::u16string(text);
}
std::u16string FakeDialogView::GetText(int id, int capacity) const {
    const FakeControl* c = Find(id);
    if (c == nullptr || capacity <= 0) return {};
    return c->text.substr(0, static_cast<size_t>(capacity - 1));
}
bool FakeDialogView::CreateListView(int id, const ControlRect&, std::u16string_view title) {
    if (failCreateListView) return false;
    FakeControl& c = controls_[id];
    c = FakeControl{};
    c.text = std::u16string(title);
    return true;
}
void FakeDialogView::DestroyControl(int id) {
    controls_.erase(id);
}
void FakeDialogView::SetListViewStyle(int id, const ListViewStyle& style) {
    if (FakeControl* c = Find(id)) c->style = style;
}
void FakeDialogView::InsertColumn(int id, int column, std::u16string_view title, int width) {
    FakeControl* c = Find(id);
    if (c == nullptr) return;
    const auto at = std::min(static_cast<size_t>(std::max(column, 0)), c->columns.size());
    c->columns.insert(c->columns.begin() + static_cast<long>(at), {std::u16string(title), width});
}
int FakeDialogView::GetItemCount(int id) const {
    const FakeControl* c = Find(id);
    return c == nullptr ? 0 : static_cast<int>(c->rows.size());
}
void FakeDialogView::InsertItem(int id, int index, std::u16string_view text) {
    FakeControl* c = Find(id);
    if (c == nullptr) return;
    const auto at = std::min(static_cast<size_t>(std::max(index, 0)), c->rows.size());
    c->rows.insert(c->rows.begin() + static_cast<long>(at), FakeRow{{std::u16string(text)}, false});
}
void FakeDialogView::SetItemText(int id, int index, int column, std::u16string_view text) {
    FakeRow* row = Row(id, index);
    if (row == nullptr || column < 0) return;
    if (row->cells.size() <= static_cast<size_t>(column)) row->cells.resize(static_cast<size_t>(column) + 1);
    row->cells[static_cast<size_t>(column)] = std::u16string(text);
}
void FakeDialogView::DeleteItem(int id, int index) {
    if (Row(id, index) != nullptr) {
        auto& rows = Control(id).rows;
        rows.erase(rows.begin() + index);
    }
}
void FakeDialogView::DeleteAllItems(int id) {
    if (FakeControl* c = Find(id)) c->rows.clear();
}
bool FakeDialogView::IsItemChecked(int id, int index) const {
    const FakeRow* row = Row(id, index);
    return row != nullptr && row->checked;
}
void FakeDialogView::SetItemChecked(int id, int index, bool checked) {
    if (FakeRow* row = Row(id, index)) row->checked = checked;
}
void FakeDialogView::AddString(int id, std::u16string_view text) {
    if (FakeControl* c = Find(id)) c->strings.emplace_back(text);
}
void FakeDialogView::InsertString(int id, int index, std::u16string_view text) {
    FakeControl* c = Find(id);
    if (c == nullptr) return;
    const auto at = std::min(static_cast<size_t>(std::max(index, 0)), c->strings.size());
    c->strings.insert(c->strings.begin() + static_cast<long>(at), std::u16string(text));
}
void FakeDialogView::DeleteString(int id, int index) {
    FakeControl* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->strings.size())) return;
    c->strings.erase(c->strings.begin() + index);
}
void FakeDialogView::SetCurrentSelection(int id, int index) {
    FakeControl* c = Find(id);
    if (c != nullptr) c->selection = index >= 0 && index < static_cast<int>(c->strings.size()) ? index : -1;
}
void FakeDialogView::EndDialog(int result) {
    ended_ = true;
    result_ = result;
}

QueueDispatcher::QueueDispatcher() : uiThread_(std::this_thread::get_id()) {}

void QueueDispatcher::Post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_all();
}

void QueueDispatcher::Send(const std::function<void()>& work) {
    if (std::this_thread::get_id() == uiThread_) {
        work();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneWake;
    bool done = false;
    Post([&] {
        work();
        std::lock_guard lock(doneMutex);
        done = true;
        doneWake.notify_all();
    });
    // The UI thread pumps while a request runs; the test fails on its own limit if it stops.
    std::unique_lock lock(doneMutex);
    doneWake.wait(lock, [&] { return done; });
}

bool QueueDispatcher::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            if (queue_.empty()) {
                if (done()) return true;
                if (!wake_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return done();
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

int FakeShell::MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) {
    messages.push_back({std::u16string(text), std::u16string(title), style});
    if (answers.empty()) return kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeShell::RunPropertySheet(const SheetDescription& sheet) {
    if (failPropertySheet || sheet.pages.empty()) return false;
    sheets.push_back(sheet);
    const size_t first = views.size();
    for (const SheetPage& page : sheet.pages) {
        views.push_back(std::make_unique<FakeDialogView>(page.templateId));
        page.client->OnInitDialog(*views.back());
    }
    sheet.pages[0].client->OnSetActive(*views[first]);
    if (const auto script = scripts.find(sheet.pages[0].templateId); script != scripts.end())
        script->second(*views[first], *sheet.pages[0].client);
    ui.PumpUntil([] { return true; });
    for (const SheetPage& page : sheet.pages) page.client->OnDestroy();
    return true;
}

int FakeShell::RunModalDialog(int templateId, DialogClient& client) {
    views.push_back(std::make_unique<FakeDialogView>(templateId));
    FakeDialogView& view = *views.back();
    client.OnInitDialog(view);
    if (const auto script = scripts.find(templateId); script != scripts.end()) script->second(view, client);
    if (templateId == kDlgWait) {
        if (!ui.PumpUntil([&] { return view.ended(); })) return -1;
    } else if (!view.ended()) {
        view.EndDialog(kIdCancel);
    }
    client.OnDestroy();
    return view.result();
}

bool FakeShell::StartThread(std::function<void()> body) {
    if (failStartThread) return false;
    workers_.emplace_back(std::move(body));
    return true;
}

FakeShell::~FakeShell() {
    for (std::thread& worker : workers_) worker.join();
}

}  // namespace qv::cfg::testing
