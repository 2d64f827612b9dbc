// The Qt view of one dialog or property page: a widget built from a dialog template
// (templates.h) whose controls are found by their ids. Model calls change the widgets without
// raising notifications; the user's actions (a click on a button or check box, a toggled row check
// box, a click on a list) reach the page's DialogClient.
#pragma once

#include <QWidget>
#include <map>

#include "qv/teamcfg/dialog_view.h"

class QTableWidget;

namespace qv::cfg::qt {

struct DialogTemplate;

// Pixels of the dialog units of the dialog font (what MapDialogRect does).
struct DialogUnits {
    int baseX = 6, baseY = 13;  // average character width and character height in pixels
    int ToX(int units) const { return units * baseX / 4; }
    int ToY(int units) const { return units * baseY / 8; }
};
// The dialog font: the desktop's sans font at 8 points, and its dialog units.
QFont DialogFont();
DialogUnits DialogUnitsOf(const QFont& font);

// The icon resources (kIconSheet, kIconListItem).
QIcon ResourceIcon(int iconId);

// The model's UTF-16 text as Qt's, and multi-line text with Windows' "\r\n" line breaks as Qt's "\n".
QString ToQString(std::u16string_view text);
QString ToDisplayLines(std::u16string_view text);

class QtDialogView final : public QWidget, public DialogView {
    Q_OBJECT
  public:
    // The widget of a template; client gets the user's actions (nullptr: nobody listens).
    QtDialogView(const DialogTemplate& dialog, DialogClient* client, QWidget* parent = nullptr);

    int templateId() const { return templateId_; }
    DialogClient* client() const { return client_; }
    // The control widget of id (nullptr when there is none), for the suites and screenshots.
    QWidget* Control(int id) const;
    // Set by EndDialog: the result a modal dialog ends with.
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

  signals:
    // EndDialog was called: the dialog that shows this view closes with result.
    void endRequested(int result);

  private:
    void AddControl(int id, QWidget* widget);
    QTableWidget* List(int id) const;
    QTableWidget* MakeListView(int id, bool rowIcons);
    void OnCommand(int id);
    void OnListClick(int id);

    int templateId_;
    DialogClient* client_;
    DialogUnits units_;
    std::map<int, QWidget*> controls_;
    struct ListInfo {
        bool rowIcons = false;  // rows carry the list item icon
        bool checkBoxes = false;
    };
    std::map<int, ListInfo> lists_;
    bool ended_ = false;
    int result_ = 0;
    // A row check box toggled by the current mouse press already told the client about the click.
    bool clickReported_ = false;
};

}  // namespace qv::cfg::qt
