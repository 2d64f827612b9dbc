// The Win32 shell of QvTeamCfg: the UI thread's dispatcher on the message loop, message boxes,
// property sheets (PropertySheetW), modal dialogs (DialogBoxParamW), the busy window and worker
// threads (CreateThread). Only calls that Windows XP / Server 2003 export.
#pragma once

#include <windows.h>
// The shell port names its call MessageBox, which windows.h makes a macro for MessageBoxW.
#undef MessageBox

#include "qv/teamcfg/shell.h"
#include "qv/teamcfg/win32/dialog_procs.h"

namespace qv::cfg::win32 {

// Post hands the work to a hidden message-only window of the UI thread with PostMessageW; whatever
// message loop runs (the sheet's, a dialog's) carries it out in order. Send from another thread is
// SendMessageW to that window, which Windows runs on the UI thread the next time it reads its queue,
// also inside the wait dialog's modal loop; Send on the UI thread runs the work at once.
class Win32Dispatcher final : public Dispatcher {
  public:
    Win32Dispatcher();  // on the UI thread
    ~Win32Dispatcher() override;
    Win32Dispatcher(const Win32Dispatcher&) = delete;
    Win32Dispatcher& operator=(const Win32Dispatcher&) = delete;

    void Post(std::function<void()> work) override;
    void Send(const std::function<void()>& work) override;
    bool ok() const { return window_ != nullptr; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    DWORD uiThread_;
};

class Win32Shell final : public Shell {
  public:
    Win32Shell() = default;
    ~Win32Shell() override;

    Dispatcher& UiThread() override { return ui_; }
    int MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) override;
    bool RunPropertySheet(const SheetDescription& sheet) override;
    int RunModalDialog(int templateId, DialogClient& client) override;
    void ShowBusyWindow() override;
    void CloseBusyWindow() override;
    bool StartThread(std::function<void()> body) override;

    HWND busyWindow() const { return busy_; }

  private:
    Win32Dispatcher ui_;
    DialogContext busyContext_;
    HWND busy_ = nullptr;
};

}  // namespace qv::cfg::win32
