// AddressListModel: the rows of the address list and the header text of its
// 32 columns.
//
// Each row owns one heap entry; the entry is freed with its row and when the
// list is cleared.  No cell text is copied: data() reads the entry when asked.
//
// Model columns are display positions, not fields.  The field shown at a
// position is found by comparing the position's header text with the 32
// field labels (the first equal label wins); a position whose header matches
// no label shows nothing.  The lookup is cached per position and recomputed
// whenever the header texts change.  Moving a column moves only its header
// text; no cell text moves anywhere.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_list.h"
#include "addresslist/column_layout.h"

namespace addresslist {

using ColumnTexts = std::array<QString, kColumnCount>;

// The key that rows are sorted by: `text` with letters folded to lower case
// (Unicode simple case folding), as UTF-8.  Keys compare as unsigned bytes.
std::string FoldForSort(std::string_view text);

class AddressListModel : public QAbstractTableModel, public addressbook::IAddressList {
    Q_OBJECT

public:
    // `labels`: the label of each field, in field order.  The headers start
    // as the labels (position p shows field p).
    explicit AddressListModel(const ColumnTexts& labels, QObject* parent = nullptr);
    ~AddressListModel() override;

    // ---- QAbstractItemModel ----
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // ---- IAddressList ----
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    const addressbook::CAddressEntry& EntryAt(int row) const override;
    bool AppendEntry(std::unique_ptr<addressbook::CAddressEntry> entry) override;
    // Off starts a bulk change that ends with one model reset when switched
    // on again, so loading 100,000 rows announces one reset, not 100,000
    // insertions.
    void SetRedraw(bool on) override;
    void ReserveRows(int count) override;
    // Runs the handler set with SetResortHandler (the view's remembered sort).
    void ResortList() override;

    void SetResortHandler(std::function<void()> handler) { m_resortHandler = std::move(handler); }
    bool InBulkChange() const { return m_bBulk; }

    // ---- Rows ----
    // The entry of `row`, to change in place; call RefreshRow afterwards.
    addressbook::CAddressEntry& MutableEntryAt(int row);
    // Announces that the entry of `row` changed.
    void RefreshRow(int row);
    // Inserts `entry` as row `row` (0..RowCount(); RowCount() appends).
    // False when `row` is out of range or the list refuses more rows.
    bool InsertEntry(int row, std::unique_ptr<addressbook::CAddressEntry> entry);
    // Deletes `row` and its entry.  False when `row` is out of range.
    bool RemoveRow(int row);
    // Takes the rows `rows` (ascending, distinct, in range) out of the list
    // and hands their entries over, in the order of `rows`.  The remaining
    // rows close up in one pass, so taking out many rows costs one walk over
    // the list, not one per row.
    std::vector<std::unique_ptr<addressbook::CAddressEntry>> TakeRows(const std::vector<int>& rows);
    // The counterpart of TakeRows: inserts `entries` so that entries[k] ends
    // at row rows[k] (`rows` ascending and distinct, the same count), in one
    // walk over the list; `entries` is emptied.  False, with nothing
    // inserted and `entries` left as it was, when a row is out of range, an
    // entry is missing or the list refuses more rows.
    bool InsertRows(const std::vector<int>& rows,
                    std::vector<std::unique_ptr<addressbook::CAddressEntry>>& entries);
    // Deletes every row and its entry.
    void Clear();
    // Refuses rows once the list holds `rows` rows, as a list that runs out
    // of room would; negative means no limit.
    void SetRowLimit(int rows) { m_nRowLimit = rows; }

    // ---- Columns ----
    const ColumnTexts& Labels() const { return m_labels; }
    const QString& HeaderText(int position) const;
    const ColumnTexts& HeaderTexts() const { return m_headers; }
    void SetHeaderTexts(const ColumnTexts& headers);
    // The headers of a layout order: position p gets the label of order[p]
    // (a field outside 0..31 gets an empty header).
    void SetColumnOrder(const ColumnValues& order);
    // The field whose label equals the header at `position`; -1 for none.
    int FieldAtPosition(int position) const;
    // The field that a sort by `position` uses: FieldAtPosition, or the
    // field whose number is `position` when the header matches no label.
    int SortFieldAtPosition(int position) const;
    // The first position whose header equals the label of `field`; -1 for
    // none.
    int PositionOfField(int field) const;
    // Moves the column at `from` so that it stands before the column that is
    // now at `to` (0..32; 32 means after the last one): a column moved right
    // ends at to - 1, one moved left at to.  False (and nothing changes)
    // when the move would leave the columns as they are.
    bool MoveColumn(int from, int to);

    // ---- Sorting ----
    // Sorts the rows by the key field of `position`, case-insensitively,
    // ascending or descending.  Rows with equal keys keep their order.
    // Persistent indexes (selection, current row) follow their rows.
    //
    // The keys of the field sorted by last are kept, one per row, until a
    // row is added, removed or handed out to be changed: sorting by that
    // field again (the other way, or a re-sort) then folds no text, and
    // as the rows are still in the order of that sort it only reverses the
    // runs of equal keys, or does nothing.
    void SortByPosition(int position, bool ascending);

private:
    void RecomputeFieldCache();
    // Folds the texts of `field` into m_keptKeys, one per row.
    void ComputeSortKeys(int field);
    // The rows may have changed: the kept sort keys no longer hold.
    void DropSortKeys();
    // Moves row order[k] to row k, with its kept key and its persistent
    // indexes.
    void ApplyOrder(const std::vector<int>& order);

    ColumnTexts m_labels;
    ColumnTexts m_headers;
    std::array<int, kColumnCount> m_fieldAt{};
    std::vector<std::unique_ptr<addressbook::CAddressEntry>> m_rows;
    std::function<void()> m_resortHandler;
    // The sort keys of field m_nKeptField in row order (empty when none is
    // kept); the rows are in the order of a sort by them, ascending when
    // m_bKeptAscending.
    std::vector<std::string> m_keptKeys;
    int m_nKeptField = -1;
    bool m_bKeptAscending = true;
    int m_nRowLimit = -1;
    bool m_bBulk = false;
};

}  // namespace addresslist
