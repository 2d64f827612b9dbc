// The Win32 view under Wine: the dialog templates against the model's ids and the Qt view's layout
// data, the DialogView calls over real controls, the procedures' notifications (the user's actions
// reach the model, the model's own changes do not) and the dispatcher.
#include <gtest/gtest.h>
#include <windows.h>
#undef MessageBox  // the shell port's call, not the macro
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "qv/teamcfg/qt/templates.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/testing/fake_view.h"
#include "qv/teamcfg/win32/dialog_procs.h"
#include "qv/teamcfg/win32/win32_shell.h"

namespace qv::cfg::win32 {
namespace {

using qt::ControlKind;

// Records what reached the model.
struct RecordingClient final : DialogClient {
    int OnInitDialog(DialogView&) override { return ++inits, 1; }
    void OnCommand(DialogView&, int id, int code) override { commands.push_back({id, code}); }
    void OnListClick(DialogView&, int id) override { clicks.push_back(id); }
    void OnSetActive(DialogView&) override { ++activations; }
    void OnDestroy() override { ++destroys; }
    int inits = 0, activations = 0, destroys = 0;
    std::vector<std::pair<int, int>> commands;
    std::vector<int> clicks;
};

// Runs the UI thread's queue until done() holds; at most limitMs milliseconds.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

// One dialog of the program's resources, open modeless: a page inside a plain host window, a
// dialog on its own.
class OpenDialog {
  public:
    explicit OpenDialog(int templateId, DialogClient* client) {
        context_.client = client;
        page_.dwSize = sizeof(page_);
        page_.lParam = reinterpret_cast<LPARAM>(&context_);
        const bool isPage = IsPageTemplate(templateId);
        if (isPage)
            host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                                    nullptr);
        window_ = CreateDialogParamW(
            ResourceModule(), MAKEINTRESOURCEW(templateId), host_, DialogProcedure(templateId),
            isPage ? reinterpret_cast<LPARAM>(&page_) : reinterpret_cast<LPARAM>(&context_));
    }
    ~OpenDialog() {
        if (window_ != nullptr) DestroyWindow(window_);
        if (host_ != nullptr) DestroyWindow(host_);
    }
    HWND window() const { return window_; }
    Win32DialogView& view() { return context_.view; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // What the user does: a click on a button, a row's check box toggled.
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void ToggleRow(int listId, int index, bool checked) {
        LVITEMW item = {};
        item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        item.stateMask = LVIS_STATEIMAGEMASK;
        SendMessageW(Item(listId), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    void Notify(int listId, UINT code) {
        NMHDR header = {Item(listId), static_cast<UINT_PTR>(listId), code};
        SendMessageW(window_, WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&header));
    }

  private:
    DialogContext context_;
    PROPSHEETPAGEW page_ = {};
    HWND host_ = nullptr;
    HWND window_ = nullptr;
};

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string ItemText(HWND list, int index, int column) {
    wchar_t buffer[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return U16(buffer);
}

std::u16string WindowText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return U16(buffer);
}

class Win32ViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

// Every template: its controls are the model's, placed where the layout data puts them, in a
// dialog of the layout's size and caption; the string table and icons are the model's.
TEST_F(Win32ViewTest, TemplatesMatchTheModelAndTheLayoutData) {
    for (const qt::DialogTemplate& dialog : qt::AllTemplates()) {
        SCOPED_TRACE(dialog.id);
        RecordingClient client;
        OpenDialog open(dialog.id, &client);
        ASSERT_NE(open.window(), nullptr);
        EXPECT_EQ(client.inits, 1);
        for (int id : testing::TemplateControls(dialog.id)) EXPECT_NE(open.Item(id), nullptr) << id;
        if (!IsPageTemplate(dialog.id)) {
            EXPECT_EQ(WindowText(open.window()), dialog.caption);
        }
        RECT size = {0, 0, dialog.width, dialog.height};
        MapDialogRect(open.window(), &size);
        RECT client_area;
        GetClientRect(open.window(), &client_area);
        EXPECT_EQ(client_area.right, size.right);
        EXPECT_EQ(client_area.bottom, size.bottom);
        for (const qt::ControlTemplate& c : dialog.controls) {
            // An icon's id names the icon resource; the control has none.
            if (c.id == qt::kNoId || c.kind == ControlKind::kIcon) continue;
            SCOPED_TRACE(c.id);
            HWND control = open.Item(c.id);
            ASSERT_NE(control, nullptr);
            // Place and size are mapped from dialog units each on its own, as the dialog manager does.
            RECT expected = {c.x, c.y, c.width, c.height};
            MapDialogRect(open.window(), &expected);
            RECT actual;
            GetWindowRect(control, &actual);
            MapWindowPoints(nullptr, open.window(), reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right);
            // A closed drop-down list is as high as its font, whatever the template's list height.
            if (c.kind != ControlKind::kDropDown) {
                EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
            }
            const bool hasText = c.kind == ControlKind::kButton || c.kind == ControlKind::kDefButton ||
                                 c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kLabel;
            if (hasText) {
                EXPECT_EQ(WindowText(control), c.text);
            }
        }
    }
    for (const StringEntry& entry : kStrings) {
        wchar_t buffer[64] = {};
        LoadStringW(ResourceModule(), static_cast<UINT>(entry.id), buffer, 64);
        EXPECT_EQ(U16(buffer), entry.text) << entry.id;
    }
    for (int icon : {kIconSheet, kIconListItem})
        EXPECT_NE(LoadIconW(ResourceModule(), MAKEINTRESOURCEW(icon)), nullptr) << icon;
}

// The styles the dialogs need: check boxes that check themselves, the read-only multi-line status
// box, the digits-only Vlan ID, the wait dialog without a close box.
TEST_F(Win32ViewTest, ControlStyles) {
    struct Case {
        int templateId, id;
        LONG set, clear;
    };
    const Case cases[] = {
        {kDlgTeamingPage, kIdActiveBackup, BS_AUTOCHECKBOX, 0},
        {kDlgTeamingPage, kIdEnableTray, BS_AUTOCHECKBOX, 0},
        {kDlgTeamingPage, kIdStatus, ES_MULTILINE | ES_READONLY, 0},
        {kDlgTeamingPage, kIdUnassignedList, LVS_REPORT, 0},
        {kDlgAddVlan, kIdVlanId, ES_NUMBER, ES_MULTILINE},
        {kDlgTeamPropertiesPage, kIdTeamModeList, CBS_DROPDOWNLIST, 0},
    };
    for (const Case& c : cases) {
        OpenDialog open(c.templateId, nullptr);
        const LONG style = GetWindowLongW(open.Item(c.id), GWL_STYLE);
        EXPECT_EQ(style & c.set, c.set) << c.id;
        EXPECT_EQ(style & c.clear, 0) << c.id;
    }
    OpenDialog wait(kDlgWait, nullptr);
    EXPECT_EQ(GetWindowLongW(wait.window(), GWL_STYLE) & WS_SYSMENU, 0);
}

TEST_F(Win32ViewTest, ButtonsEditsAndMissingControls) {
    RecordingClient client;
    OpenDialog open(kDlgTeamingPage, &client);
    Win32DialogView& view = open.view();
    for (int id : {kIdActiveBackup, kIdTxLoadBalancing, kIdLacp, kIdFailback, kIdEnableTray}) {
        view.SetChecked(id, true);
        EXPECT_TRUE(view.IsChecked(id));
        view.SetChecked(id, false);
        EXPECT_FALSE(view.IsChecked(id));
        view.EnableControl(id, false);
        EXPECT_FALSE(view.IsControlEnabled(id));
        view.EnableControl(id, true);
        EXPECT_TRUE(view.IsControlEnabled(id));
    }
    const std::u16string status = u"Configuring Team.\r\nPlease wait..";
    view.SetText(kIdStatus, status);
    EXPECT_EQ(view.GetText(kIdStatus, 256), status);
    EXPECT_EQ(view.GetText(kIdStatus, 5), u"Conf");
    EXPECT_EQ(view.GetText(kIdStatus, 0), u"");
    view.SetText(kIdTeamName, u"Team\u00e9\u4e00");
    EXPECT_EQ(view.GetText(kIdTeamName, 32), u"Team\u00e9\u4e00");
    EXPECT_TRUE(client.commands.empty()) << "a model change notified the model";

    // A control that does not exist answers as an empty one.
    constexpr int kNone = 4242;
    EXPECT_FALSE(view.HasControl(kNone));
    view.SetChecked(kNone, true);
    view.SetText(kNone, u"x");
    EXPECT_FALSE(view.IsChecked(kNone));
    EXPECT_FALSE(view.IsControlEnabled(kNone));
    EXPECT_EQ(view.GetText(kNone, 10), u"");
    EXPECT_EQ(view.GetItemCount(kNone), 0);
    EXPECT_FALSE(view.IsItemChecked(kNone, 0));

    // The user's click reaches the model with its control and BN_CLICKED.
    open.Click(kIdLacp);
    open.Click(kIdCreateTeam);
    const std::vector<std::pair<int, int>> clicked = {{kIdLacp, kBnClicked}, {kIdCreateTeam, kBnClicked}};
    EXPECT_EQ(client.commands, clicked);
    EXPECT_TRUE(view.IsChecked(kIdLacp));
}

TEST_F(Win32ViewTest, ListViewRowsAndCheckBoxes) {
    RecordingClient client;
    OpenDialog open(kDlgTeamingPage, &client);
    Win32DialogView& view = open.view();
    const int list = kIdUnassignedList;
    view.SetListViewStyle(list, {true, false, true});
    EXPECT_EQ(SendMessageW(open.Item(list), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES,
              LVS_EX_CHECKBOXES);
    view.InsertColumn(list, 0, u"Unassigned Adapters", 200);
    view.InsertColumn(list, 1, u"Id", 40);
    // Inserted at the end, at the front and past the end.
    view.InsertItem(list, 0, u"B");
    view.InsertItem(list, 0, u"A");
    view.InsertItem(list, 99, u"D");
    view.InsertItem(list, 2, u"C");
    ASSERT_EQ(view.GetItemCount(list), 4);
    const char16_t* order[] = {u"A", u"B", u"C", u"D"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ItemText(open.Item(list), i, 0), order[i]);
        EXPECT_FALSE(view.IsItemChecked(list, i)) << i;
    }
    view.SetItemText(list, 1, 1, u"7");
    EXPECT_EQ(ItemText(open.Item(list), 1, 1), u"7");
    view.SetItemChecked(list, 1, true);
    view.SetItemChecked(list, 3, true);
    view.SetItemChecked(list, 3, false);
    view.SetItemChecked(list, 9, true);  // no such row
    const bool checks[] = {false, true, false, false};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(view.IsItemChecked(list, i), checks[i]) << i;
    EXPECT_TRUE(client.clicks.empty()) << "a model change notified the model";

    // The user toggles a row's box from the keyboard, and clicks the list.
    open.ToggleRow(list, 2, true);
    EXPECT_TRUE(view.IsItemChecked(list, 2));
    open.Notify(list, NM_CLICK);
    EXPECT_EQ(client.clicks, (std::vector<int>{list, list}));

    view.DeleteItem(list, 0);
    EXPECT_EQ(ItemText(open.Item(list), 0, 0), u"B");
    EXPECT_TRUE(view.IsItemChecked(list, 0));
    view.DeleteItem(list, 7);
    EXPECT_EQ(view.GetItemCount(list), 3);
    view.DeleteAllItems(list);
    EXPECT_EQ(view.GetItemCount(list), 0);

    // A list without check boxes keeps its rows unchecked. The adapter lists show the row icon.
    EXPECT_NE(SendMessageW(open.Item(kIdTeamedList), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    view.InsertItem(kIdTeamedList, 0, u"Team0");
    view.SetItemChecked(kIdTeamedList, 0, true);
    EXPECT_FALSE(view.IsItemChecked(kIdTeamedList, 0));
}

TEST_F(Win32ViewTest, RunTimeListViewsAndStringLists) {
    OpenDialog general(kDlgGeneralPage, nullptr);
    Win32DialogView& view = general.view();
    ASSERT_TRUE(view.CreateListView(kIdGeneralList, {10, 10, 300, 200}, u"General"));
    EXPECT_TRUE(view.HasControl(kIdGeneralList));
    view.InsertColumn(kIdGeneralList, 0, u"Name", 100);
    view.InsertItem(kIdGeneralList, 0, u"Speed");
    EXPECT_EQ(SendMessageW(general.Item(kIdGeneralList), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_EQ(view.GetItemCount(kIdGeneralList), 1);
    ASSERT_TRUE(view.CreateListView(kIdGeneralList, {10, 10, 300, 200}, u"General"));  // made anew
    EXPECT_EQ(view.GetItemCount(kIdGeneralList), 0);
    view.DestroyControl(kIdGeneralList);
    EXPECT_FALSE(view.HasControl(kIdGeneralList));

    OpenDialog properties(kDlgTeamPropertiesPage, nullptr);
    Win32DialogView& page = properties.view();
    struct Case {
        int id;
        UINT count, getText;
    };
    for (const Case& c : {Case{kIdTeamModeList, CB_GETCOUNT, CB_GETLBTEXT},
                          Case{kIdTeamMembersList, LB_GETCOUNT, LB_GETTEXT}}) {
        page.AddString(c.id, u"b");
        page.InsertString(c.id, 0, u"a");
        page.InsertString(c.id, 9, u"c");
        page.AddString(c.id, u"x");
        page.DeleteString(c.id, 3);
        page.DeleteString(c.id, 7);
        ASSERT_EQ(SendMessageW(properties.Item(c.id), c.count, 0, 0), 3);
        for (int i = 0; i < 3; ++i) {
            wchar_t buffer[8] = {};
            SendMessageW(properties.Item(c.id), c.getText, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(buffer));
            EXPECT_EQ(U16(buffer), std::u16string(1, static_cast<char16_t>(u'a' + i)));
        }
    }
    page.SetCurrentSelection(kIdTeamModeList, 1);
    EXPECT_EQ(page.GetText(kIdTeamModeList, 8), u"b");
    page.SetCurrentSelection(kIdTeamModeList, -1);
    EXPECT_EQ(page.GetText(kIdTeamModeList, 8), u"");
}

// The procedures' answers: the sheet reads the message result of PSN_* from DWLP_MSGRESULT.
TEST_F(Win32ViewTest, ProceduresAnswerTheSheet) {
    struct Case {
        int templateId;
        UINT message, code;
        INT_PTR returned;
        int activations;
    };
    constexpr UINT kOther = LVN_COLUMNCLICK;
    const Case cases[] = {
        {kDlgTeamingPage, WM_NOTIFY, PSN_SETACTIVE, TRUE, 1},
        {kDlgTeamingPage, WM_NOTIFY, PSN_APPLY, TRUE, 0},
        {kDlgTeamingPage, WM_NOTIFY, PSN_KILLACTIVE, TRUE, 0},
        {kDlgTeamingPage, WM_NOTIFY, PSN_RESET, FALSE, 0},
        {kDlgTeamingPage, WM_NOTIFY, kOther, FALSE, 0},
        {kDlgTeamingPage, WM_DEVICECHANGE, 0, TRUE, 0},
        {kDlgGeneralPage, WM_NOTIFY, PSN_SETACTIVE, TRUE, 1},
        {kDlgStatisticsPage, WM_NOTIFY, PSN_RESET, FALSE, 0},
        {kDlgStatisticsPage, WM_NOTIFY, kOther, TRUE, 0},
        {kDlgTeamPropertiesPage, WM_NOTIFY, PSN_APPLY, TRUE, 0},
        {kDlgTeamPropertiesPage, WM_DEVICECHANGE, 0, FALSE, 0},
        {kDlgVlanPage, WM_NOTIFY, PSN_KILLACTIVE, TRUE, 0},
        {kDlgVlanPage, WM_NOTIFY, kOther, TRUE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.templateId << " " << c.message << " " << c.code);
        RecordingClient client;
        OpenDialog open(c.templateId, &client);
        SetWindowLongPtrW(open.window(), DWLP_MSGRESULT, 99);
        NMHDR header = {open.window(), 0, c.code};
        EXPECT_EQ(
            DialogProcedure(c.templateId)(open.window(), c.message, 0, reinterpret_cast<LPARAM>(&header)),
            c.returned);
        if (c.returned == TRUE && c.message == WM_NOTIFY) {
            EXPECT_EQ(GetWindowLongPtrW(open.window(), DWLP_MSGRESULT), 0);
        }
        EXPECT_EQ(client.activations, c.activations);
    }
}

// A client that ends its dialog, from OnInitDialog or from a posted click.
struct EndingClient final : DialogClient {
    int OnInitDialog(DialogView& view) override {
        if (endAtInit) view.EndDialog(7);
        return 1;
    }
    void OnCommand(DialogView& view, int id, int) override {
        if (id == kIdCancel) view.EndDialog(kIdCancel);
    }
    void OnDestroy() override { ++destroys; }
    bool endAtInit = false;
    int destroys = 0;
};

TEST_F(Win32ViewTest, ModalDialogsEndWithTheirResult) {
    Win32Shell shell;
    EndingClient atInit;
    atInit.endAtInit = true;
    EXPECT_EQ(shell.RunModalDialog(kDlgAddVlan, atInit), 7);
    EXPECT_EQ(atInit.destroys, 1);
    EndingClient cancelled;
    // Escape in the dialog: IDCANCEL from its Cancel button.
    shell.UiThread().Post([] { SendMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(shell.RunModalDialog(kDlgAddVlan, cancelled), kIdCancel);
    EXPECT_EQ(cancelled.destroys, 1);
    EXPECT_EQ(shell.RunModalDialog(kDlgTeamingPage, cancelled), -1);  // a page is no dialog
    EXPECT_EQ(shell.RunModalDialog(4242, cancelled), -1);

    shell.ShowBusyWindow();
    ASSERT_NE(shell.busyWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(shell.busyWindow()));
    shell.CloseBusyWindow();
    EXPECT_EQ(shell.busyWindow(), nullptr);
}

// The sheet shows its first page (WM_INITDIALOG, PSN_SETACTIVE) and destroys the pages it made.
TEST_F(Win32ViewTest, PropertySheetRunsItsPages) {
    Win32Shell shell;
    RecordingClient first, second;
    HWND sheetWindow = nullptr;
    std::u16string caption;
    shell.UiThread().Post([&] {
        sheetWindow = GetActiveWindow();
        caption = WindowText(sheetWindow);
        PropSheet_PressButton(sheetWindow, PSBTN_CANCEL);
    });
    const SheetDescription sheet{u"Properties",
                          kIconSheet,
                          false,
                          {SheetPage{kDlgGeneralPage, u"General", &first},
                           SheetPage{kDlgStatisticsPage, u"Statistics", &second}}};
    EXPECT_TRUE(shell.RunPropertySheet(sheet));
    EXPECT_NE(sheetWindow, nullptr);
    EXPECT_EQ(caption, u"Properties");
    EXPECT_EQ(first.inits, 1);
    EXPECT_EQ(first.activations, 1);
    EXPECT_EQ(first.destroys, 1);
    EXPECT_EQ(second.inits, 0);  // never shown
    EXPECT_FALSE(shell.RunPropertySheet({u"x", kIconSheet, false, {SheetPage{kDlgWait, u"x", &first}}}));
    EXPECT_FALSE(shell.RunPropertySheet({u"x", kIconSheet, false, {}}));
}

// The wait dialog's road: its worker reaches the UI thread with Send inside the dialog's modal loop
// and ends the dialog with a Post.
struct WaitingClient final : DialogClient {
    explicit WaitingClient(Shell& shell) : shell_(shell) {}
    int OnInitDialog(DialogView& view) override {
        started = shell_.StartThread([this, &view] {
            shell_.UiThread().Send([this] { ranOn = GetCurrentThreadId(); });
            shell_.UiThread().Post([&view] { view.EndDialog(5); });
        });
        return 1;
    }
    Shell& shell_;
    bool started = false;
    std::atomic<DWORD> ranOn{0};
};

TEST_F(Win32ViewTest, WaitDialogRunsItsWorkersCalls) {
    Win32Shell shell;
    WaitingClient client(shell);
    EXPECT_EQ(shell.RunModalDialog(kDlgWait, client), 5);
    EXPECT_TRUE(client.started);
    EXPECT_EQ(client.ranOn.load(), GetCurrentThreadId());
}

// Send from a worker runs on the UI thread while it pumps; Post runs in order, later.
TEST_F(Win32ViewTest, DispatcherRunsWorkOnTheUiThread) {
    Win32Dispatcher ui;
    ASSERT_TRUE(ui.ok());
    const DWORD uiThread = GetCurrentThreadId();
    std::vector<int> order;
    ui.Post([&] { order.push_back(1); });
    ui.Post([&] { order.push_back(2); });
    ui.Send([&] { order.push_back(0); });  // on the UI thread: at once
    EXPECT_EQ(order, (std::vector<int>{0}));
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        ui.Send([&] { ranOn = GetCurrentThreadId(); });
        returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(ranOn.load(), uiThread);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace qv::cfg::win32
