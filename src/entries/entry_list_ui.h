// IEntryListUi: what the entry, find and contact commands need of the
// address list window: its rows (an IAddressList), changing a row in place,
// removing a row, and the current row with its selection.
//
// CViewEntryListUi implements it over the window's CQX32View; tests may use
// it the same way, so the commands run against the real model and its sort.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/address_list.h"

class QWidget;

namespace addresslist {
class CQX32View;
}

namespace entries {

class IEntryListUi : public addressbook::IAddressList {
public:
    // The entry of `row`, to change in place; RefreshRow afterwards.
    virtual addressbook::CAddressEntry& MutableEntryAt(int row) = 0;
    // Announces that the entry of `row` changed, so the row is drawn again.
    virtual void RefreshRow(int row) = 0;
    // Inserts `entry` as row `row` (0..RowCount()).  False when `row` is out
    // of range or the list refuses the row.
    virtual bool InsertEntry(int row, std::unique_ptr<addressbook::CAddressEntry> entry) = 0;
    // Takes the rows `rows` (ascending, distinct) out of the list in one pass
    // and hands over their entries, in the order of `rows`.
    virtual std::vector<std::unique_ptr<addressbook::CAddressEntry>> TakeRows(
        const std::vector<int>& rows) = 0;
    // The counterpart of TakeRows: inserts `entries` so that entries[k] ends
    // at row rows[k] (`rows` ascending and distinct) in one pass; `entries`
    // is emptied.  False, with nothing inserted, when a row is out of range
    // or the list refuses the rows.
    virtual bool InsertRows(const std::vector<int>& rows,
                            std::vector<std::unique_ptr<addressbook::CAddressEntry>>& entries) = 0;

    // The row with the keyboard focus (the current entry), or -1.
    virtual int FocusedRow() const = 0;
    // The focused row when it is selected, else the first selected row, or
    // -1.
    virtual int SelectedRow() const = 0;
    // Every selected row, ascending.
    virtual std::vector<int> SelectedRows() const = 0;
    // Selects and focuses `row` alone and scrolls it into view; nothing for
    // a row out of range.
    virtual void SelectRow(int row) = 0;
    // Selects exactly `rows`, focuses `focus` (when it is a row) and scrolls
    // it into view.
    virtual void SelectRows(const std::vector<int>& rows, int focus) = 0;
    // Shows the main window if it is hidden or minimized and raises it.
    virtual void BringFrameForward() = 0;
    // Repaints the whole list.
    virtual void RepaintList() = 0;
    // The window that owns the dialogs and message boxes of the commands.
    virtual QWidget* DialogParent() const = 0;
};

// The row of the entry at address `entry`, or -1 (one pass over the rows).
int RowOfEntry(const addressbook::IAddressList& list, const addressbook::CAddressEntry* entry);

// IEntryListUi over the address list view.
class CViewEntryListUi final : public IEntryListUi {
public:
    explicit CViewEntryListUi(addresslist::CQX32View& view) : m_view(view) {}

    int RowCount() const override;
    const addressbook::CAddressEntry& EntryAt(int row) const override;
    bool AppendEntry(std::unique_ptr<addressbook::CAddressEntry> entry) override;
    void SetRedraw(bool on) override;
    void ReserveRows(int count) override;
    void ResortList() override;

    addressbook::CAddressEntry& MutableEntryAt(int row) override;
    void RefreshRow(int row) override;
    bool InsertEntry(int row, std::unique_ptr<addressbook::CAddressEntry> entry) override;
    std::vector<std::unique_ptr<addressbook::CAddressEntry>> TakeRows(
        const std::vector<int>& rows) override;
    bool InsertRows(const std::vector<int>& rows,
                    std::vector<std::unique_ptr<addressbook::CAddressEntry>>& entries) override;
    int FocusedRow() const override;
    int SelectedRow() const override;
    std::vector<int> SelectedRows() const override;
    void SelectRow(int row) override;
    void SelectRows(const std::vector<int>& rows, int focus) override;
    void BringFrameForward() override;
    void RepaintList() override;
    QWidget* DialogParent() const override;

    // Replaces the default way of bringing the main window forward (for a
    // frame with its own rules, and for tests).
    void SetBringForwardHandler(std::function<void()> handler) {
        m_bringForward = std::move(handler);
    }

private:
    addresslist::CQX32View& m_view;
    std::function<void()> m_bringForward;
};

}  // namespace entries
