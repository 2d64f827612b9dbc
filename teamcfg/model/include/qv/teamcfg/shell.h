// The UI services the GUI model needs besides its dialogs' controls: the UI thread's dispatcher,
// message boxes, modal dialogs, property sheets, the busy window and worker threads. The Win32 view
// implements them with the message loop and user32/comctl32, the Qt view with Qt, the headless tests
// with fakes.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "qv/teamcfg/dialog_view.h"

namespace qv::cfg {

// The UI thread's message queue. The worker thread of a team creation or removal reaches the
// controls only through it, so every control access runs on the UI thread, as on Windows, where a
// worker's SendMessage is carried out by the UI thread's message loop.
class Dispatcher {
  public:
    virtual ~Dispatcher() = default;
    // PostMessage: work runs later on the UI thread, in order; the caller goes on.
    virtual void Post(std::function<void()> work) = 0;
    // SendMessage: work runs on the UI thread and the caller waits until it is done. Called on the
    // UI thread, it runs work at once.
    virtual void Send(const std::function<void()>& work) = 0;
};

// One page of a property sheet.
struct SheetPage {
    int templateId;
    std::u16string_view title;
    DialogClient* client;
};

// A property sheet: run modally, start page 0, no Apply button.
struct SheetDescription {
    std::u16string_view caption;
    int iconId;
    bool ownedByPage;  // false for the program's own sheet, true for a sheet opened from its page
    std::vector<SheetPage> pages;
};

class Shell {
  public:
    virtual ~Shell() = default;

    virtual Dispatcher& UiThread() = 0;

    // MessageBoxW: kIdOk or kIdCancel. An empty title shows the box without a title.
    virtual int MessageBox(std::u16string_view text, std::u16string_view title, unsigned style) = 0;

    // PropertySheetW: runs the sheet until it is closed; false when it cannot be created.
    virtual bool RunPropertySheet(const SheetDescription& sheet) = 0;

    // DialogBoxParamW: runs the dialog of templateId modally with client as its procedure; the
    // result given to EndDialog, or -1 when the dialog cannot be created.
    virtual int RunModalDialog(int templateId, DialogClient& client) = 0;

    // The busy window (template kDlgWait), shown modeless while the VLAN page works on the UI
    // thread, and closed again (WM_CLOSE).
    virtual void ShowBusyWindow() = 0;
    virtual void CloseBusyWindow() = 0;

    // CreateThread: runs body on a new thread, detached; false when no thread can be started.
    virtual bool StartThread(std::function<void()> body) = 0;
};

}  // namespace qv::cfg
