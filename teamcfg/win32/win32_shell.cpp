#include "qv/teamcfg/win32/win32_shell.h"

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "qv/teamcfg/resources.h"

namespace qv::cfg::win32 {
namespace {

constexpr wchar_t kDispatcherClass[] = L"QvTeamCfgDispatcher";
constexpr UINT kWmPostedWork = WM_APP + 1;  // lParam: a std::function<void()>* the window deletes
constexpr UINT kWmSentWork = WM_APP + 2;    // lParam: the caller's const std::function<void()>*

// The window the new dialog belongs to: the active window of the UI thread (the sheet or dialog
// that is open), none before the program's sheet.
HWND Owner() {
    return GetActiveWindow();
}

DWORD WINAPI ThreadMain(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

Win32Dispatcher::Win32Dispatcher() : uiThread_(GetCurrentThreadId()) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ResourceModule();
    windowClass.lpszClassName = kDispatcherClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when a dispatcher registered it before
    window_ = CreateWindowExW(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ResourceModule(), nullptr);
}

Win32Dispatcher::~Win32Dispatcher() {
    if (window_ == nullptr) return;
    // Work posted but never run is freed, not run: its owners are gone.
    MSG message;
    while (PeekMessageW(&message, window_, kWmPostedWork, kWmPostedWork, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32Dispatcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWmPostedWork) {
        std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
        if (work && *work) (*work)();
        return 0;
    }
    if (message == kWmSentWork) {
        const auto* work = reinterpret_cast<const std::function<void()>*>(lParam);
        if (work != nullptr && *work) (*work)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Dispatcher::Post(std::function<void()> work) {
    auto* posted = new (std::nothrow) std::function<void()>(std::move(work));
    if (posted == nullptr || window_ == nullptr) {
        delete posted;
        return;
    }
    if (!PostMessageW(window_, kWmPostedWork, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
}

void Win32Dispatcher::Send(const std::function<void()>& work) {
    if (GetCurrentThreadId() == uiThread_ || window_ == nullptr) {
        work();
        return;
    }
    SendMessageW(window_, kWmSentWork, 0, reinterpret_cast<LPARAM>(&work));
}

Win32Shell::~Win32Shell() {
    CloseBusyWindow();
}

int Win32Shell::MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) {
    const std::wstring body = ToWide(text);
    const std::wstring caption = ToWide(title);
    return ::MessageBoxW(Owner(), body.c_str(), caption.c_str(), style) == IDOK ? kIdOk : kIdCancel;
}

bool Win32Shell::RunPropertySheet(const SheetDescription& sheet) {
    if (sheet.pages.empty()) return false;
    std::vector<DialogContext> contexts(sheet.pages.size());
    std::vector<std::wstring> titles;
    std::vector<PROPSHEETPAGEW> pages(sheet.pages.size());
    titles.reserve(sheet.pages.size());
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        const SheetPage& described = sheet.pages[i];
        if (described.client == nullptr || !IsPageTemplate(described.templateId)) return false;
        contexts[i].client = described.client;
        titles.push_back(ToWide(described.title));
        PROPSHEETPAGEW& page = pages[i];
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_USETITLE;
        page.hInstance = ResourceModule();
        page.pszTemplate = MAKEINTRESOURCEW(described.templateId);
        page.pfnDlgProc = DialogProcedure(described.templateId);
        page.pszTitle = titles.back().c_str();
        page.lParam = reinterpret_cast<LPARAM>(&contexts[i]);
    }
    const std::wstring caption = ToWide(sheet.caption);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USEICONID;
    header.hwndParent = sheet.ownedByPage ? Owner() : nullptr;
    header.hInstance = ResourceModule();
    header.pszIcon = MAKEINTRESOURCEW(sheet.iconId);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.ppsp = pages.data();
    return PropertySheetW(&header) != -1;
}

int Win32Shell::RunModalDialog(int templateId, DialogClient& client) {
    if (IsPageTemplate(templateId) || DialogProcedure(templateId) == nullptr) return -1;
    DialogContext context;
    context.client = &client;
    const INT_PTR result = DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId), Owner(),
                                           DialogProcedure(templateId), reinterpret_cast<LPARAM>(&context));
    return static_cast<int>(result);
}

void Win32Shell::ShowBusyWindow() {
    if (busy_ != nullptr) return;
    busy_ = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(kDlgWait), Owner(), QvWaitDialogProc,
                               reinterpret_cast<LPARAM>(&busyContext_));
    if (busy_ == nullptr) return;
    ShowWindow(busy_, SW_SHOW);
    // The caller works on the UI thread until it closes the window: paint it now.
    UpdateWindow(busy_);
}

void Win32Shell::CloseBusyWindow() {
    if (busy_ == nullptr) return;
    DestroyWindow(busy_);
    busy_ = nullptr;
}

bool Win32Shell::StartThread(std::function<void()> body) {
    auto* started = new (std::nothrow) std::function<void()>(std::move(body));
    if (started == nullptr) return false;
    HANDLE thread = CreateThread(nullptr, 0, ThreadMain, started, 0, nullptr);
    if (thread == nullptr) {
        delete started;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace qv::cfg::win32
