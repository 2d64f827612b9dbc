// The dialog templates of QvTeamCfg as data, the Qt view's counterpart of the Win32 view's .rc file:
// each dialog's caption and size and each control's kind, id, text and place, in dialog units of the
// dialog font ("MS Shell Dlg" 8 on Windows; the same size of the desktop's sans font here).
#pragma once

#include <span>
#include <string_view>

namespace qv::cfg::qt {

// A control without an id of its own (IDC_STATIC): a label, an icon or a group box.
constexpr int kNoId = -1;

enum class ControlKind {
    kLabel,         // static text
    kIcon,          // static icon; text unused, id names the icon resource
    kGroupBox,      // group box frame with its title
    kButton,        // push button
    kDefButton,     // default push button (Enter presses it)
    kCheckBox,      // auto check box
    kEdit,          // single-line edit
    kDigitsEdit,    // single-line edit that takes digits only
    kStatusBox,     // multi-line read-only edit
    kListView,      // list view, report style
    kIconListView,  // list view, report style, each row with the list item icon
    kDropDown,      // drop-down list
    kListBox,       // list box
};

struct ControlTemplate {
    ControlKind kind;
    int id;
    std::u16string_view text;
    int x, y, width, height;  // dialog units
};

struct DialogTemplate {
    int id;
    std::u16string_view caption;  // empty for property pages, whose tab carries the title
    int width, height;            // dialog units
    std::span<const ControlTemplate> controls;
};

// The template of id; nullptr for an unknown one.
const DialogTemplate* FindTemplate(int templateId);

// Every template, for the suites' checks.
std::span<const DialogTemplate> AllTemplates();

}  // namespace qv::cfg::qt
