#include "qv/teamcfg/qt/qt_dialog_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

#include "qv/teamcfg/qt/templates.h"
#include "qv/teamcfg/resources.h"

namespace qv::cfg::qt {
QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToDisplayLines(std::u16string_view text) {
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

DialogUnits DialogUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // Windows' rule: the average width of the 52 letters, rounded, and the character height.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits{std::max(1, (letters / 26 + 1) / 2), std::max(1, metrics.height())};
}

namespace {

// An adapter card drawn at size x size pixels: the board with its edge connector and, for the sheet
// icon, its two ports.
QPixmap AdapterPicture(int size, bool ports) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(0x1d, 0x4a, 0x27), 1.5));
    painter.setBrush(QColor(0x2f, 0x7d, 0x3f));
    painter.drawRoundedRect(QRectF(2, 5, 28, 19), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd8, 0xa9, 0x2b));
    for (int x = 6; x < 22; x += 3) painter.drawRect(QRectF(x, 24, 2, 4));
    painter.setBrush(QColor(0x22, 0x22, 0x22));
    painter.drawRect(QRectF(6, 9, 9, 7));  // the chip
    if (ports) {
        painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
        painter.drawRect(QRectF(20, 8, 8, 6));
        painter.drawRect(QRectF(20, 15, 8, 6));
    }
    return picture;
}

}  // namespace

QIcon ResourceIcon(int iconId) {
    const bool ports = iconId != kIconListItem;
    QIcon icon;
    for (const int size : {16, 32}) icon.addPixmap(AdapterPicture(size, ports));
    return icon;
}

QtDialogView::QtDialogView(const DialogTemplate& dialog, DialogClient* client, QWidget* parent)
    : QWidget(parent), templateId_(dialog.id), client_(client) {
    setFont(DialogFont());
    units_ = DialogUnitsOf(font());
    setFixedSize(units_.ToX(dialog.width), units_.ToY(dialog.height));
    for (const ControlTemplate& c : dialog.controls) {
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::kLabel: {
                auto* label = new QLabel(ToQString(c.text), this);
                label->setWordWrap(c.height > 10);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = label;
                break;
            }
            case ControlKind::kIcon: {
                auto* icon = new QLabel(this);
                icon->setPixmap(ResourceIcon(c.id).pixmap(32, 32));
                icon->setGeometry(units_.ToX(c.x), units_.ToY(c.y), 32, 32);
                continue;  // an icon is no control of its own: its id names the icon
            }
            case ControlKind::kGroupBox:
                widget = new QGroupBox(ToQString(c.text), this);
                break;
            case ControlKind::kButton:
            case ControlKind::kDefButton: {
                auto* button = new QPushButton(ToQString(c.text), this);
                button->setAutoDefault(false);
                button->setDefault(c.kind == ControlKind::kDefButton);
                connect(button, &QPushButton::clicked, this, [this, id = c.id] { OnCommand(id); });
                widget = button;
                break;
            }
            case ControlKind::kCheckBox: {
                auto* box = new QCheckBox(ToQString(c.text), this);
                // clicked comes from the user only, never from setChecked.
                connect(box, &QCheckBox::clicked, this, [this, id = c.id] { OnCommand(id); });
                widget = box;
                break;
            }
            case ControlKind::kEdit:
            case ControlKind::kDigitsEdit: {
                auto* edit = new QLineEdit(this);
                if (c.kind == ControlKind::kDigitsEdit)
                    edit->setValidator(
                        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
                widget = edit;
                break;
            }
            case ControlKind::kStatusBox: {
                auto* box = new QPlainTextEdit(this);
                box->setReadOnly(true);
                widget = box;
                break;
            }
            case ControlKind::kListView:
            case ControlKind::kIconListView:
                widget = MakeListView(c.id, c.kind == ControlKind::kIconListView);
                break;
            case ControlKind::kDropDown:
                widget = new QComboBox(this);
                break;
            case ControlKind::kListBox:
                widget = new QListWidget(this);
                break;
        }
        widget->setGeometry(units_.ToX(c.x), units_.ToY(c.y), units_.ToX(c.width), units_.ToY(c.height));
        if (c.id != kNoId) AddControl(c.id, widget);
    }
}

void QtDialogView::AddControl(int id, QWidget* widget) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    controls_[id] = widget;
}

QWidget* QtDialogView::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QTableWidget* QtDialogView::List(int id) const {
    return qobject_cast<QTableWidget*>(Control(id));
}

QTableWidget* QtDialogView::MakeListView(int id, bool rowIcons) {
    auto* list = new QTableWidget(this);
    list->setColumnCount(0);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setHighlightSections(false);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A list view is one tab stop, as on Windows: Tab and Shift+Tab leave it for the next or
    // previous control instead of walking its rows (the arrow keys do that).
    list->setTabKeyNavigation(false);
    list->setIconSize(QSize(16, 16));
    lists_[id] = ListInfo{rowIcons, false};
    // The user toggled a row's check box (model changes block the signal): a click on the list.
    connect(list, &QTableWidget::itemChanged, this, [this, id] {
        clickReported_ = true;
        OnListClick(id);
    });
    connect(list, &QTableWidget::pressed, this, [this] { clickReported_ = false; });
    connect(list, &QTableWidget::clicked, this, [this, id] {
        if (!clickReported_) OnListClick(id);
        clickReported_ = false;
    });
    return list;
}

void QtDialogView::OnCommand(int id) {
    if (client_ != nullptr) client_->OnCommand(*this, id, kBnClicked);
}

void QtDialogView::OnListClick(int id) {
    if (client_ != nullptr) client_->OnListClick(*this, id);
}

bool QtDialogView::HasControl(int id) const {
    return Control(id) != nullptr;
}

void QtDialogView::EnableControl(int id, bool enabled) {
    if (QWidget* w = Control(id)) w->setEnabled(enabled);
}

bool QtDialogView::IsControlEnabled(int id) const {
    const QWidget* w = Control(id);
    return w != nullptr && w->isEnabledTo(const_cast<QtDialogView*>(this));
}

void QtDialogView::SetChecked(int id, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(Control(id))) {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
}

bool QtDialogView::IsChecked(int id) const {
    const auto* box = qobject_cast<QAbstractButton*>(Control(id));
    return box != nullptr && box->isChecked();
}

void QtDialogView::SetText(int id, std::u16string_view text) {
    QWidget* w = Control(id);
    const QSignalBlocker quiet(w);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(ToQString(text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
        box->setPlainText(ToDisplayLines(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(ToQString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(ToQString(text));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(ToQString(text));
    }
}

std::u16string QtDialogView::GetText(int id, int capacity) const {
    const QWidget* w = Control(id);
    QString text;
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        text = edit->text();
    } else if (const auto* box = qobject_cast<const QPlainTextEdit*>(w)) {
        text = box->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        text = button->text();
    } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        text = combo->currentText();
    } else if (w != nullptr) {
        text = w->accessibleName();
    }
    if (capacity <= 0) return {};
    return text.left(capacity - 1).toStdU16String();
}

bool QtDialogView::CreateListView(int id, const ControlRect& rect, std::u16string_view title) {
    DestroyControl(id);
    QTableWidget* list = MakeListView(id, false);
    list->setAccessibleName(ToQString(title));
    list->setGeometry(rect.x, rect.y, rect.width, rect.height);
    list->show();
    AddControl(id, list);
    return true;
}

void QtDialogView::DestroyControl(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) return;
    QWidget* w = it->second;
    controls_.erase(it);
    lists_.erase(id);
    // The control may be the sender of the notification that runs now: it goes once that is done.
    w->hide();
    w->disconnect(this);
    w->deleteLater();
}

void QtDialogView::SetListViewStyle(int id, const ListViewStyle& style) {
    QTableWidget* list = List(id);
    if (list == nullptr) return;
    const QSignalBlocker quiet(list);
    list->setShowGrid(style.gridLines);
    list->setSelectionBehavior(style.fullRowSelect ? QAbstractItemView::SelectRows
                                                   : QAbstractItemView::SelectItems);
    lists_[id].checkBoxes = style.checkBoxes;
    for (int row = 0; row < list->rowCount(); ++row) {
        QTableWidgetItem* item = list->item(row, 0);
        if (item == nullptr) continue;
        if (style.checkBoxes) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            if (!item->data(Qt::CheckStateRole).isValid()) item->setCheckState(Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(Qt::CheckStateRole, QVariant());
        }
    }
}

namespace {

// A column keeps the width the model gave it unless a text would be cut: the host's fonts are wider
// than the ones the widths were chosen for, so a column grows to show its longest text whole.
void WidenToFit(QTableWidget* list, const QTableWidgetItem* item, int column) {
    constexpr int kMargin = 12;  // the cell's margins on both sides and the grid line
    int needed = list->fontMetrics().horizontalAdvance(item->text()) + kMargin;
    if (item->flags() & Qt::ItemIsUserCheckable)
        needed += list->style()->pixelMetric(QStyle::PM_IndicatorWidth) + kMargin / 2;
    if (!item->icon().isNull()) needed += list->iconSize().width() + kMargin / 2;
    if (needed > list->columnWidth(column)) list->setColumnWidth(column, needed);
}

}  // namespace

void QtDialogView::InsertColumn(int id, int column, std::u16string_view title, int width) {
    QTableWidget* list = List(id);
    if (list == nullptr) return;
    const QSignalBlocker quiet(list);
    const int at = std::clamp(column, 0, list->columnCount());
    list->insertColumn(at);
    list->setHorizontalHeaderItem(at, new QTableWidgetItem(ToQString(title)));
    list->setColumnWidth(at, width);
}

int QtDialogView::GetItemCount(int id) const {
    const QTableWidget* list = List(id);
    return list == nullptr ? 0 : list->rowCount();
}

void QtDialogView::InsertItem(int id, int index, std::u16string_view text) {
    QTableWidget* list = List(id);
    if (list == nullptr) return;
    const QSignalBlocker quiet(list);
    // A row has its first column even before the list got its columns, as a list view's item has.
    if (list->columnCount() == 0) list->setColumnCount(1);
    const int row = std::clamp(index, 0, list->rowCount());
    list->insertRow(row);
    auto* item = new QTableWidgetItem(ToQString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    const ListInfo& info = lists_[id];
    if (info.checkBoxes) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (info.rowIcons) item->setIcon(ResourceIcon(kIconListItem));
    list->setItem(row, 0, item);
    WidenToFit(list, item, 0);
}

void QtDialogView::SetItemText(int id, int index, int column, std::u16string_view text) {
    QTableWidget* list = List(id);
    if (list == nullptr || index < 0 || index >= list->rowCount() || column < 0 ||
        column >= list->columnCount())
        return;
    const QSignalBlocker quiet(list);
    QTableWidgetItem* item = list->item(index, column);
    if (item != nullptr) {
        item->setText(ToQString(text));
    } else {
        item = new QTableWidgetItem(ToQString(text));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        list->setItem(index, column, item);
    }
    WidenToFit(list, item, column);
}

void QtDialogView::DeleteItem(int id, int index) {
    QTableWidget* list = List(id);
    if (list == nullptr || index < 0 || index >= list->rowCount()) return;
    const QSignalBlocker quiet(list);
    list->removeRow(index);
}

void QtDialogView::DeleteAllItems(int id) {
    if (QTableWidget* list = List(id)) {
        const QSignalBlocker quiet(list);
        list->setRowCount(0);
    }
}

bool QtDialogView::IsItemChecked(int id, int index) const {
    const QTableWidget* list = List(id);
    const QTableWidgetItem* item = list == nullptr ? nullptr : list->item(index, 0);
    return item != nullptr && item->checkState() == Qt::Checked;
}

void QtDialogView::SetItemChecked(int id, int index, bool checked) {
    QTableWidget* list = List(id);
    QTableWidgetItem* item = list == nullptr ? nullptr : list->item(index, 0);
    if (item == nullptr || !lists_[id].checkBoxes) return;
    const QSignalBlocker quiet(list);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void QtDialogView::AddString(int id, std::u16string_view text) {
    InsertString(id, -1, text);
}

void QtDialogView::InsertString(int id, int index, std::u16string_view text) {
    QWidget* w = Control(id);
    const QSignalBlocker quiet(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int at = index < 0 ? combo->count() : std::min(index, combo->count());
        combo->insertItem(at, ToQString(text));
        // A drop-down list shows nothing until a selection is made.
        if (combo->count() == 1) combo->setCurrentIndex(-1);
    } else if (auto* box = qobject_cast<QListWidget*>(w)) {
        box->insertItem(index < 0 ? box->count() : std::min(index, box->count()), ToQString(text));
    }
}

void QtDialogView::DeleteString(int id, int index) {
    QWidget* w = Control(id);
    const QSignalBlocker quiet(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (index >= 0 && index < combo->count()) combo->removeItem(index);
    } else if (auto* box = qobject_cast<QListWidget*>(w)) {
        if (index >= 0 && index < box->count()) delete box->takeItem(index);
    }
}

void QtDialogView::SetCurrentSelection(int id, int index) {
    QWidget* w = Control(id);
    const QSignalBlocker quiet(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* box = qobject_cast<QListWidget*>(w)) {
        if (index >= 0 && index < box->count()) {
            box->setCurrentRow(index);
        } else {
            box->clearSelection();
        }
    }
}

void QtDialogView::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    emit endRequested(result);
}

}  // namespace qv::cfg::qt
