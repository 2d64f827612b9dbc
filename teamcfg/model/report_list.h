// The two-column report list that the General and Statistics pages make at run time.
#pragma once

#include "qv/teamcfg/dialog_view.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamcfg/shell.h"

namespace qv::cfg {

struct ReportColumn {
    const char16_t* title;
    int width;
};

// A report-style list view with grid lines and the two columns; when it cannot be made, the
// message "Cannot Create Control" (no title) and false.
inline bool CreateReportList(DialogView& view, Shell& shell, int id, const ControlRect& rect,
                             std::u16string_view title, ReportColumn first, ReportColumn second) {
    if (!view.CreateListView(id, rect, title)) {
        shell.MessageBox(u"Cannot Create Control", u"", kMbOk);
        return false;
    }
    view.SetListViewStyle(id, {.checkBoxes = false, .gridLines = true, .fullRowSelect = false});
    view.InsertColumn(id, 0, first.title, first.width);
    view.InsertColumn(id, 1, second.title, second.width);
    return true;
}

// Appends a row of two texts.
inline void AddReportRow(DialogView& view, int id, std::u16string_view name, std::u16string_view value) {
    const int index = view.GetItemCount(id);
    view.InsertItem(id, index, name);
    view.SetItemText(id, index, 1, value);
}

}  // namespace qv::cfg
