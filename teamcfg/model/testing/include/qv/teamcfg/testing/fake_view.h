// Headless stand-ins for the GUI's views, for the model's suites: a dialog whose controls are plain
// records the test reads and clicks, and a shell whose UI thread is the test's own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg::testing {

// The controls of a dialog template, by id (the list views that pages make at run time excluded).
std::vector<int> TemplateControls(int templateId);

struct FakeRow {
    std::vector<std::u16string> cells;
    bool checked = false;
};

struct FakeControl {
    bool enabled = true;
    bool checked = false;
    std::u16string text;
    ListViewStyle style;
    std::vector<std::pair<std::u16string, int>> columns;  // title, width
    std::vector<FakeRow> rows;                            // list views
    std::vector<std::u16string> strings;                  // drop-down lists and list boxes
    int selection = -1;
};

class FakeDialogView final : public DialogView {
  public:
    explicit FakeDialogView(int templateId);

    // The test's side: the control (which must exist), and the user's actions, which notify client.
    FakeControl& Control(int id);
    const FakeControl& Control(int id) const;
    std::vector<std::u16string> Column(int listId, int column = 0) const;  // one column's texts
    void Click(DialogClient& client, int id);                              // a button or check box click
    void ToggleItem(DialogClient& client, int listId, int index);  // the user clicks a row's check box
    void Type(int id, std::u16string_view text);                   // the user types into an edit

    int templateId() const { return templateId_; }
    bool ended() const { return ended_; }
    int result() const { return result_; }

    bool HasControl(int id) const override;
    void EnableControl(int id, bool enabled) override;
    bool IsControlEnabled(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void SetText(int id, std::u16string_view text) override;
    std::u16string GetText(int id, int capacity) const override;
    bool CreateListView(int id, const ControlRect& rect, std::u16string_view title) override;
    void DestroyControl(int id) override;
    void SetListViewStyle(int id, const ListViewStyle& style) override;
    void InsertColumn(int id, int column, std::u16string_view title, int width) override;
    int GetItemCount(int id) const override;
    void InsertItem(int id, int index, std::u16string_view text) override;
    void SetItemText(int id, int index, int column, std::u16string_view text) override;
    void DeleteItem(int id, int index) override;
    void DeleteAllItems(int id) override;
    bool IsItemChecked(int id, int index) const override;
    void SetItemChecked(int id, int index, bool checked) override;
    void AddString(int id, std::u16string_view text) override;
    void InsertString(int id, int index, std::u16string_view text) override;
    void DeleteString(int id, int index) override;
    void SetCurrentSelection(int id, int index) override;
    void EndDialog(int result) override;

    // When set, CreateListView fails (a control that cannot be made).
    bool failCreateListView = false;

  private:
    FakeControl* Find(int id);
    const FakeControl* Find(int id) const;
    FakeRow* Row(int id, int index);
    const FakeRow* Row(int id, int index) const;

    int templateId_;
    std::map<int, FakeControl> controls_;
    bool ended_ = false;
    int result_ = 0;
};

// A dispatcher whose UI thread is the thread that made it: Post queues, Send from another thread
// queues and waits, Send on the UI thread runs at once. PumpUntil runs queued work until done()
// holds or the time is up (false then).
class QueueDispatcher final : public Dispatcher {
  public:
    QueueDispatcher();
    void Post(std::function<void()> work) override;
    void Send(const std::function<void()>& work) override;
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(60));

  private:
    std::thread::id uiThread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
};

// What a test's scripted user does in a modal dialog or sheet: called after OnInitDialog of each
// dialog the model runs, with its view and procedure.
using DialogScript = std::function<void(FakeDialogView& view, DialogClient& client)>;

struct ShownMessage {
    std::u16string text;
    std::u16string title;
    unsigned style;
};

class FakeShell final : public Shell {
  public:
    Dispatcher& UiThread() override { return ui; }
    int MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) override;
    bool RunPropertySheet(const SheetDescription& sheet) override;
    int RunModalDialog(int templateId, DialogClient& client) override;
    void ShowBusyWindow() override { ++busyShown, busyOpen = true; }
    void CloseBusyWindow() override { busyOpen = false; }
    bool StartThread(std::function<void()> body) override;

    QueueDispatcher ui;
    // Message boxes shown, and the answers the user gives (kIdOk when none is queued).
    std::vector<ShownMessage> messages;
    std::deque<int> answers;
    // Scripts for the dialogs and sheets the model runs, by template id (the sheet's by the template
    // of its first page). A dialog without a script is cancelled; the wait dialog needs none: it
    // runs until the model ends it.
    std::map<int, DialogScript> scripts;
    // The sheets run and the pages' views, kept for the test to look at afterwards.
    std::vector<SheetDescription> sheets;
    std::vector<std::unique_ptr<FakeDialogView>> views;
    bool failPropertySheet = false;
    bool failStartThread = false;
    int busyShown = 0;
    bool busyOpen = false;

    ~FakeShell() override;

  private:
    std::vector<std::thread> workers_;
};

}  // namespace qv::cfg::testing
