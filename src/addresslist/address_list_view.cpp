#include "addresslist/address_list_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/entry_rematch.h"
#include "addresslist/list_resources.h"
#include "addresslist/sort_header_ctrl.h"
#include "platform/app_services.h"
#include "platform/dialogs.h"
#include "platform/menu_builder.h"
#include "platform/string_resource.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/string_table.h"
#include "settings/settings_keys.h"

namespace addresslist {

namespace {

// Widths are taken from the settings file as they stand, within what a
// header can add up without overflowing: 32 columns of at most this width.
constexpr int kMaxColumnWidth = 32767;

// Gives every row the same height: the font's height plus 6 pixels.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(0, option.fontMetrics.height() + 6);
    }
};

// Copies of the entries a reload looks for again: the focused one first, so
// that it is found before the others, then the other selected ones.
std::vector<addressbook::CAddressEntry> EntriesToFindAgain(const AddressListModel& model,
                                                           int focusedRow,
                                                           const std::vector<int>& selectedRows) {
    std::vector<addressbook::CAddressEntry> wanted;
    wanted.reserve(selectedRows.size() + 1);
    if (focusedRow >= 0) {
        wanted.push_back(model.EntryAt(focusedRow));
    }
    for (int row : selectedRows) {
        if (row != focusedRow) {
            wanted.push_back(model.EntryAt(row));
        }
    }
    return wanted;
}

}  // namespace

CQX32View::CQX32View(settings::SettingsStore& store, QWidget* parent)
    : QTreeView(parent), m_settings(store) {
    m_pHeader = new CSortHeaderCtrl(this);
    setHeader(m_pHeader);
    m_pModel = new AddressListModel(LoadColumnLabels(), this);
    setModel(m_pModel);
    setItemDelegate(new FixedRowDelegate(this));

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);  // also makes the header unclickable, so:
    m_pHeader->setSectionsClickable(true);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setBackgroundRole(QPalette::Base);

    m_nSortIndex = settings::Read(m_settings, settings::kSortIndex);
    if (m_nSortIndex < 0 || m_nSortIndex > settings::kSortIndexMax) {
        m_nSortIndex = 0;
    }
    m_nSortDirection = settings::Read(m_settings, settings::kSortDirection) != 0 ? 1 : 0;

    EstablishLayout();

    m_pHeader->SetMoveCallback([this](int from, int to) { OnColumnMoved(from, to); });
    connect(m_pHeader, &CSortHeaderCtrl::ColumnClicked, this, &CQX32View::OnColumnClick);
    m_pModel->SetResortHandler([this] { ResortList(); });
    RegisterCommands();
}

CQX32View::~CQX32View() {
    if (settings::Read(m_settings, settings::kRememberCol) != 0) {
        WriteColumnWidths();
    }
    m_pModel->SetResortHandler({});
}

void CQX32View::OnInitialUpdate(addressbook::StagedEntries& staged) {
    m_pModel->Clear();
    m_bSorted = false;
    viewport()->setBackgroundRole(QPalette::Base);
    {
        platform::WaitCursor wait;
        addressbook::LoadEntries(staged, *m_pModel);
    }
    viewport()->update();
    platform::ShowStatusText(resources::kStrIdleMessage);
}

void CQX32View::OnReloadUpdate(addressbook::StagedEntries& staged) {
    const std::vector<int> selectedRows = SelectedRows();
    const int focusedRow = FocusedRow();
    const bool focusedWasSelected =
        std::find(selectedRows.begin(), selectedRows.end(), focusedRow) != selectedRows.end();
    const std::vector<addressbook::CAddressEntry> wanted =
        EntriesToFindAgain(*m_pModel, focusedRow, selectedRows);
    const bool wasSorted = m_bSorted;
    OnInitialUpdate(staged);
    if (wasSorted && !m_bSorted) {
        SortRows();
    }
    SelectFoundAgain(addressbook::FindRowsAgain(wanted, *m_pModel), focusedRow, focusedWasSelected);
}

void CQX32View::SelectFoundAgain(const std::vector<int>& found, int focusedRow,
                                 bool focusedWasSelected) {
    std::vector<int> rows;
    const std::size_t firstSelected = focusedRow >= 0 ? 1 : 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i] >= 0 && (i >= firstSelected || focusedWasSelected)) {
            rows.push_back(found[i]);
        }
    }
    int focus = -1;
    if (focusedRow >= 0) {
        focus = found.front() >= 0 ? found.front() : std::min(focusedRow, m_pModel->RowCount() - 1);
        // The one selected entry is gone: its neighbour is selected instead,
        // as after a delete.
        if (rows.empty() && focusedWasSelected) {
            rows.push_back(focus);
        }
    }
    if (!rows.empty() || focus >= 0) {
        SelectRows(rows, focus);
    }
}

// ---- Rows ----

int CQX32View::RowHeight() const {
    return QFontMetrics(font()).height() + 6;
}

int CQX32View::FocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int CQX32View::SelectedRow() const {
    if (selectionModel() == nullptr || !selectionModel()->hasSelection()) {
        return -1;
    }
    const int focused = FocusedRow();
    if (focused >= 0 && selectionModel()->isRowSelected(focused, QModelIndex())) {
        return focused;
    }
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

std::vector<int> CQX32View::SelectedRows() const {
    std::vector<int> rows;
    if (selectionModel() == nullptr) {
        return rows;
    }
    // Whole rows are selected, so the ranges give the rows directly; asking
    // row by row would cost a walk over every range for each row.
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid()) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                rows.push_back(row);
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CQX32View::SelectRow(int row) {
    if (row < 0 || row >= m_pModel->RowCount()) {
        return;
    }
    const QModelIndex index = m_pModel->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void CQX32View::SelectRows(const std::vector<int>& rows, int focus) {
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    const int count = m_pModel->RowCount();
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(sorted),
                 [count](int row) { return row >= 0 && row < count; });
    std::sort(sorted.begin(), sorted.end());
    // One range per run of neighbouring rows.
    QItemSelection selection;
    const int lastColumn = kColumnCount - 1;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t end = i + 1;
        while (end < sorted.size() && sorted[end] <= sorted[end - 1] + 1) {
            ++end;
        }
        selection.append(QItemSelectionRange(m_pModel->index(sorted[i], 0),
                                             m_pModel->index(sorted[end - 1], lastColumn)));
        i = end;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (focus >= 0 && focus < count) {
        const QModelIndex index = m_pModel->index(focus, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        scrollTo(index);
    }
}

// ---- Painting ----

RowColumns CQX32View::CurrentColumns() const {
    RowColumns columns;
    for (int p = 0; p < kColumnCount; ++p) {
        CellColumn& column = columns[static_cast<std::size_t>(p)];
        column.width = header()->sectionSize(p);
        column.field = m_pModel->FieldAtPosition(p);
        column.alignment = Qt::AlignLeft;
    }
    return columns;
}

void CQX32View::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const int row = index.row();
    const bool valid = index.isValid() && row >= 0 && row < m_pModel->RowCount();
    const QRect rowRect(-header()->offset(), option.rect.top(), header()->length(),
                        option.rect.height());
    const bool selected =
        valid && selectionModel() != nullptr && selectionModel()->isRowSelected(row, QModelIndex());
    const bool focused =
        valid && hasFocus() && currentIndex().isValid() && currentIndex().row() == row;
    const RowPainter rowPainter(font(), palette());
    rowPainter.PaintRow(*painter, rowRect, valid ? &m_pModel->EntryAt(row) : nullptr, selected,
                        focused, CurrentColumns());
}

// ---- Sorting ----

void CQX32View::SortRows() {
    m_pModel->SortByPosition(m_nSortIndex, m_nSortDirection != 0);
    m_bSorted = true;
}

void CQX32View::ResortList() {
    if (settings::Read(m_settings, settings::kRememberSort) == 0) {
        return;
    }
    m_pHeader->SetSortIndicator(m_nSortIndex, m_nSortDirection);
    SortRows();
}

void CQX32View::OnColumnClick(int position) {
    if (position < 0 || position >= kColumnCount) {
        return;
    }
    if (position == m_nSortIndex) {
        m_nSortDirection = m_nSortDirection != 0 ? 0 : 1;
    }
    m_nSortIndex = position;
    settings::Write(m_settings, settings::kSortDirection, m_nSortDirection);
    if (settings::Read(m_settings, settings::kRememberSort) != 0) {
        settings::Write(m_settings, settings::kSortIndex, m_nSortIndex);
    }
    m_pHeader->SetSortIndicator(m_nSortIndex, m_nSortDirection);
    SortRows();
    const int focused = FocusedRow();
    if (focused >= 0) {
        BringFrameForward();
        if (SelectedRows().size() > 1) {
            scrollTo(currentIndex());
        } else {
            SelectRow(focused);
        }
        viewport()->update();
    }
}

// ---- Column layout ----

void CQX32View::ApplyWidths(const ColumnValues& widths) {
    for (int p = 0; p < kColumnCount; ++p) {
        header()->resizeSection(
            p, std::clamp(widths[static_cast<std::size_t>(p)], 0, kMaxColumnWidth));
    }
}

void CQX32View::EstablishLayout() {
    const ColumnLayout layout = ReadColumnLayout(m_settings);
    m_pModel->SetColumnOrder(layout.order);
    ApplyWidths(layout.widths);
}

ColumnValues CQX32View::ColumnWidths() const {
    ColumnValues widths{};
    for (int p = 0; p < kColumnCount; ++p) {
        widths[static_cast<std::size_t>(p)] = header()->sectionSize(p);
    }
    return widths;
}

void CQX32View::WriteColumnWidths() {
    settings::Write(m_settings, settings::kColumnSizes, FormatColumnValues(ColumnWidths()));
}

void CQX32View::SaveColumnOrder() {
    if (settings::Read(m_settings, settings::kRememberPos) == 0) {
        return;
    }
    ColumnValues order{};
    for (int p = 0; p < kColumnCount; ++p) {
        const int field = m_pModel->FieldAtPosition(p);
        order[static_cast<std::size_t>(p)] = field >= 0 ? field : p;
    }
    settings::Write(m_settings, settings::kColumnOrder, FormatColumnValues(order));
}

void CQX32View::OnSaveColumnWidths() {
    WriteColumnWidths();
    ShowInformation(resources::kStrWidthsSaved);
}

void CQX32View::OnSaveColumnPositions() {
    std::vector<int> order;
    for (int p = 0; p < kColumnCount; ++p) {
        const int field = m_pModel->FieldAtPosition(p);
        if (field >= 0) {
            order.push_back(field);
        }
    }
    settings::Write(m_settings, settings::kColumnOrder, FormatColumnValues(order));
    ShowInformation(resources::kStrPositionsSaved);
}

int CQX32View::RememberSortField() const {
    const int field = m_pModel->FieldAtPosition(m_nSortIndex);
    return field >= 0 ? field : 0;
}

void CQX32View::FollowSortField(int field) {
    const int position = m_pModel->PositionOfField(field);
    if (position >= 0) {
        m_nSortIndex = position;
    }
    const bool rememberSort = settings::Read(m_settings, settings::kRememberSort) != 0;
    if (rememberSort) {
        settings::Write(m_settings, settings::kSortIndex, m_nSortIndex);
    } else if (m_pHeader->SortColumn() >= 0) {
        // The remembered sort is not re-applied, but the rows are still in
        // the order of the last click: keep its triangle on that column.
        m_pHeader->SetSortIndicator(m_nSortIndex, m_nSortDirection);
    }
}

void CQX32View::OnColumnMoved(int from, int to) {
    if (from < 0 || from >= kColumnCount || to < 0 || to > kColumnCount) {
        return;
    }
    const int sortField = RememberSortField();
    ColumnValues widths = ColumnWidths();
    if (m_pModel->MoveColumn(from, to)) {
        // The width goes with its column.
        if (to > from) {
            std::rotate(widths.begin() + from, widths.begin() + from + 1, widths.begin() + to);
        } else {
            std::rotate(widths.begin() + to, widths.begin() + from, widths.begin() + from + 1);
        }
        m_pHeader->OnItemMoved(from, to);
    }
    ApplyWidths(widths);
    viewport()->update();
    FollowSortField(sortField);
    ResortList();
    SaveColumnOrder();
}

void CQX32View::RebuildColumns() {
    const int sortField = RememberSortField();
    m_pHeader->ResetOwnerDrawn();
    EstablishLayout();
    FollowSortField(sortField);
    ResortList();
}

void CQX32View::OnPreferencesAccepted(const ColumnValues& widths) {
    if (settings::Read(m_settings, settings::kRememberCol) != 1) {
        return;
    }
    setUpdatesEnabled(false);
    ApplyWidths(widths);
    WriteColumnWidths();
    RebuildColumns();
    setUpdatesEnabled(true);
    viewport()->update();
}

// ---- Commands ----

bool CQX32View::HasSelectedRow() const {
    return selectionModel() != nullptr && selectionModel()->hasSelection();
}

bool CQX32View::HasFocusedRow() const {
    return FocusedRow() >= 0;
}

bool CQX32View::HasRows() const {
    return m_pModel->RowCount() > 0;
}

void CQX32View::RegisterCommands() {
    using platform::CCmdUI;
    m_commands.OnCommand(resources::kCmdSaveColumnWidths, [this] { OnSaveColumnWidths(); });
    m_commands.OnCommand(resources::kCmdSaveColumnPositions, [this] { OnSaveColumnPositions(); });
    // The toolbar shows these buttons' drop-down menus: nothing to do here,
    // and their state is left as it is.
    m_commands.OnCommandRange(resources::kCmdDialMenu, resources::kCmdWebMenu, [](int) {});
    m_commands.OnUpdateRange(resources::kCmdDialMenu, resources::kCmdWebMenu, [](CCmdUI&) {});

    // Without a selected row these are disabled; otherwise the state stays
    // as the handlers make it.
    for (int id :
         {resources::kCmdAddressEdit, resources::kCmdAddressDelete, resources::kCmdAddressCopy}) {
        m_commands.OnUpdate(id, [this](CCmdUI& ui) {
            if (!HasSelectedRow()) {
                ui.Enable(false);
            }
        });
    }
    // Dial (5), Email (2) and Web (2) act on the focused row.
    m_commands.OnUpdateRange(resources::kCmdDialHome, resources::kCmdWeb2,
                             [this](CCmdUI& ui) { ui.Enable(HasFocusedRow()); });
    m_commands.OnCommand(resources::kCmdEditSelectAll, [this] { selectAll(); });
    for (int id :
         {resources::kCmdEditFind, resources::kCmdEditFindNext, resources::kCmdEditSelectAll}) {
        m_commands.OnUpdate(id, [this](CCmdUI& ui) { ui.Enable(HasRows()); });
    }
}

void CQX32View::AttachCommandRouter(platform::CommandRouter& router) {
    router.AddTarget(m_commands, platform::RouteLevel::kView);
    m_pRouter = &router;
}

bool CQX32View::IsCommandEnabled(int id) {
    if (m_pRouter) {
        return m_pRouter->IsEnabled(id);
    }
    platform::CCmdUI probe(id, nullptr, nullptr, nullptr);
    m_commands.RunUpdate(probe);
    return probe.EnableChanged() ? probe.IsEnabled() : m_commands.HandlesCommand(id);
}

bool CQX32View::RunCommand(int id) {
    if (m_pRouter) {
        return m_pRouter->Execute(id);
    }
    return IsCommandEnabled(id) && m_commands.RunCommand(id);
}

// ---- Context menu ----

namespace {

// Fills `menu` from a menu table with actions of its own, for a view that
// is not attached to a router.
void FillLocalMenu(QMenu& menu, std::span<const resources::MenuItem> items, CQX32View& view) {
    for (const resources::MenuItem& item : items) {
        const QString text =
            QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size()));
        switch (item.kind) {
            case resources::MenuItemKind::kSeparator:
                menu.addSeparator();
                break;
            case resources::MenuItemKind::kPopup:
                FillLocalMenu(*menu.addMenu(text), item.items, view);
                break;
            case resources::MenuItemKind::kCommand: {
                QAction* action = menu.addAction(text);
                const int id = item.command;
                action->setData(id);
                action->setEnabled(view.IsCommandEnabled(id));
                QObject::connect(action, &QAction::triggered, &view,
                                 [&view, id] { view.RunCommand(id); });
                break;
            }
        }
    }
}

}  // namespace

QMenu* CQX32View::BuildContextMenu() {
    const auto menus = resources::LoadMenu(resources::kMenuContext);
    if (menus.empty()) {
        return new QMenu(this);
    }
    if (m_pRouter) {
        return platform::BuildPopupMenu(menus.front(), *m_pRouter, this);
    }
    auto* menu = new QMenu(this);
    FillLocalMenu(*menu, menus.front().items, *this);
    return menu;
}

void CQX32View::ShowContextMenu(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(BuildContextMenu());
    if (m_popup) {
        m_popup(*menu, globalPos);
    } else {
        menu->exec(globalPos);
    }
}

void CQX32View::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        ShowContextMenu(event->globalPos());
    } else {
        ShowContextMenu(viewport()->mapToGlobal(QPoint(50, 50)));
    }
    event->accept();
}

void CQX32View::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier)) {
        ShowContextMenu(viewport()->mapToGlobal(QPoint(50, 50)));
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        RunCommand(resources::kCmdAddressEdit);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        // Ctrl+C duplicates the entry; it never copies a cell's text.
        RunCommand(resources::kCmdAddressCopy);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CQX32View::mouseDoubleClickEvent(QMouseEvent* event) {
    RunCommand(resources::kCmdAddressEdit);
    QTreeView::mouseDoubleClickEvent(event);
}

// ---- Seams ----

void CQX32View::SetPopupHandler(std::function<void(QMenu&, const QPoint&)> handler) {
    m_popup = std::move(handler);
}

void CQX32View::SetBringForwardHandler(std::function<void()> handler) {
    m_bringForward = std::move(handler);
}

void CQX32View::ShowInformation(int stringId) {
    platform::ShowMessageBox(platform::ResourceString(stringId),
                             platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                             this);
}

void CQX32View::BringFrameForward() {
    if (m_bringForward) {
        m_bringForward();
        return;
    }
    QWidget* frame = window();
    if (frame->isHidden() || frame->isMinimized()) {
        frame->showNormal();
    }
    frame->raise();
}

}  // namespace addresslist
