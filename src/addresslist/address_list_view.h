// CQX32View: the list of an address book window.
//
// One row per entry and 32 columns, one per field.  The view owns the live
// entries (through its model), draws every row itself with RowPainter, keeps
// the sort order, keeps the column layout in the settings file, and is the
// first target of every command that acts on entries.
//
// Each display position's field is found through its header text (see
// AddressListModel); the view keeps no other position table.
//
// Rows are selected as in a file manager: a click or an arrow key selects one
// row, Shift with a click or an arrow extends the selection from the anchor,
// Ctrl with a click (or Ctrl+Space on the focused row) adds or removes one
// row, Ctrl with an arrow moves the focus alone, and Select All (Ctrl+A)
// takes every row.  The row with the keyboard focus stays the current entry
// that Edit, Copy, Dial, Email and Web act on and Find starts from.
#pragma once

#include "addressbook/book_file.h"

#include <QPointer>
#include <QTreeView>
#include <array>
#include <functional>
#include <vector>

#include "addresslist/address_list_model.h"
#include "addresslist/column_layout.h"
#include "addresslist/row_painter.h"
#include "platform/command_router.h"

class QMenu;

namespace settings {
class SettingsStore;
}

namespace addresslist {

class CSortHeaderCtrl;

class CQX32View : public QTreeView {
    Q_OBJECT

public:
    // Reads the remembered sort from `settings` and builds the 32 columns
    // from the remembered layout.  `settings` must outlive the view.
    explicit CQX32View(settings::SettingsStore& settings, QWidget* parent = nullptr);
    // Writes the column widths when "RememberCol" is on.
    ~CQX32View() override;

    AddressListModel& Model() { return *m_pModel; }
    const AddressListModel& Model() const { return *m_pModel; }
    CSortHeaderCtrl& SortHeader() { return *m_pHeader; }

    // Every new or opened book: deletes all rows and their entries, loads
    // one row per entry the document staged while reading the book (emptying
    // `staged`), applies the remembered sort and shows the idle prompt.
    void OnInitialUpdate(addressbook::StagedEntries& staged);
    // The same book read again from disk: loads the staged entries like
    // OnInitialUpdate, keeps the list sorted as it was (even a sort that is
    // not remembered) and selects the entries that were selected, found
    // again by identity, content or name (entry_rematch.h).  A focused entry
    // that is gone leaves the focus on the same row number, selected when
    // it was the only selected entry.
    void OnReloadUpdate(addressbook::StagedEntries& staged);

    // ---- Rows ----
    int RowHeight() const;
    // The row with the keyboard focus (the current entry), or -1.
    int FocusedRow() const;
    // The focused row when it is selected, else the first selected row; -1
    // when no row is selected.
    int SelectedRow() const;
    // Every selected row, ascending.
    std::vector<int> SelectedRows() const;
    // Selects and focuses `row` alone and scrolls it into view.
    void SelectRow(int row);
    // Selects exactly `rows` (any order; rows out of range are skipped),
    // focuses `focus` when it is a row and scrolls it into view.
    void SelectRows(const std::vector<int>& rows, int focus);

    // ---- Sorting ----
    int SortIndex() const { return m_nSortIndex; }
    int SortDirection() const { return m_nSortDirection; }
    // Re-applies the remembered sort; does nothing while "RememberSort" is 0.
    void ResortList();
    // A click on the header of `position`: flips the direction when it is
    // the sort column, records the sort and sorts (whatever "RememberSort"
    // says), keeping the focused row selected and visible.  A selection of
    // several rows stays as it is.
    void OnColumnClick(int position);

    // ---- Column layout ----
    ColumnValues ColumnWidths() const;
    // Writes [Columns] "Sizes" from the current widths.
    void WriteColumnWidths();
    // "Order" with each position's field; positions that match no label
    // give their own number.  Only while "RememberPos" is on.
    void SaveColumnOrder();
    // View / Save Column Widths (kCmdSaveColumnWidths): writes the widths
    // and says so.
    void OnSaveColumnWidths();
    // View / Save Column Positions (kCmdSaveColumnPositions): writes the
    // order (positions that match no label are left out) and says so.
    void OnSaveColumnPositions();
    // A header dragged from position `from` and dropped before the column at
    // `to`.  The sort stays on the same field.
    void OnColumnMoved(int from, int to);
    // Builds the columns again from the settings, keeping the sort field.
    void RebuildColumns();
    // After the preferences sheet closed with OK: when "RememberCol" is
    // exactly 1, applies `widths`, writes them and rebuilds the columns.
    void OnPreferencesAccepted(const ColumnValues& widths);

    // ---- Commands ----
    bool HasSelectedRow() const;
    bool HasFocusedRow() const;
    bool HasRows() const;
    // The view's command target, first in the routing order.  It handles
    // the column-layout commands, Select All and the toolbar's drop-down
    // buttons, and holds the enabling rules: Edit, Delete and Copy are
    // disabled without a selected row; Dial, Email and Web need a focused
    // row; Find, Find Next and Select All at least one row.  The handlers of the entry, find and
    // contact commands are added to it by their owners.
    platform::CommandTarget& Commands() { return m_commands; }
    // Puts the view's target first in `router`'s routing order; commands of
    // the list (Enter, double-click, context menu) then go through it.
    void AttachCommandRouter(platform::CommandRouter& router);
    // Whether command `id` would run now: asks the router when one is
    // attached, else the view's own target.
    bool IsCommandEnabled(int id);
    // Runs command `id` if it is enabled; true when a handler ran.
    bool RunCommand(int id);

    // ---- Context menu ----
    // The list's context menu (kMenuContext), owned by the caller.
    QMenu* BuildContextMenu();
    // Shows the context menu at `globalPos`.
    void ShowContextMenu(const QPoint& globalPos);

    // ---- Seams for the window and for tests ----
    // Runs a filled context menu at a screen point (default: QMenu::exec).
    void SetPopupHandler(std::function<void(QMenu& menu, const QPoint& globalPos)> handler);
    // Brings the frame window forward (default: show, restore, raise).
    void SetBringForwardHandler(std::function<void()> handler);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // After a reload: selects the rows `found` again (the focused entry's
    // first when there was one, then the other selected entries'; -1 for
    // one that is gone) and puts the focus back.
    void SelectFoundAgain(const std::vector<int>& found, int focusedRow, bool focusedWasSelected);
    void EstablishLayout();
    void ApplyWidths(const ColumnValues& widths);
    void SortRows();
    void RegisterCommands();
    void BringFrameForward();
    void ShowInformation(int stringId);
    RowColumns CurrentColumns() const;
    // The field of the sort column, 0 when its header matches no label.
    int RememberSortField() const;
    // The sort index becomes the position of `field` (kept when no column
    // shows it), recorded while "RememberSort" is on; a shown sort triangle
    // follows it.
    void FollowSortField(int field);

    settings::SettingsStore& m_settings;
    AddressListModel* m_pModel = nullptr;
    CSortHeaderCtrl* m_pHeader = nullptr;
    int m_nSortIndex = 0;
    int m_nSortDirection = 1;
    bool m_bSorted = false;  // the rows stand in the order of the sort above
    platform::CommandTarget m_commands;
    QPointer<platform::CommandRouter> m_pRouter;
    std::function<void(QMenu&, const QPoint&)> m_popup;
    std::function<void()> m_bringForward;
};

}  // namespace addresslist
