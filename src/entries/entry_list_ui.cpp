#include "entries/entry_list_ui.h"

#include <QWidget>

#include "addresslist/address_list_view.h"

namespace entries {

int RowOfEntry(const addressbook::IAddressList& list, const addressbook::CAddressEntry* entry) {
    if (entry == nullptr) {
        return -1;
    }
    const int count = list.RowCount();
    for (int row = 0; row < count; ++row) {
        if (&list.EntryAt(row) == entry) {
            return row;
        }
    }
    return -1;
}

int CViewEntryListUi::RowCount() const {
    return m_view.Model().RowCount();
}

const addressbook::CAddressEntry& CViewEntryListUi::EntryAt(int row) const {
    return m_view.Model().EntryAt(row);
}

bool CViewEntryListUi::AppendEntry(std::unique_ptr<addressbook::CAddressEntry> entry) {
    return m_view.Model().AppendEntry(std::move(entry));
}

void CViewEntryListUi::SetRedraw(bool on) {
    m_view.Model().SetRedraw(on);
}

void CViewEntryListUi::ReserveRows(int count) {
    m_view.Model().ReserveRows(count);
}

void CViewEntryListUi::ResortList() {
    m_view.ResortList();
}

addressbook::CAddressEntry& CViewEntryListUi::MutableEntryAt(int row) {
    return m_view.Model().MutableEntryAt(row);
}

void CViewEntryListUi::RefreshRow(int row) {
    m_view.Model().RefreshRow(row);
}

bool CViewEntryListUi::InsertEntry(int row, std::unique_ptr<addressbook::CAddressEntry> entry) {
    return m_view.Model().InsertEntry(row, std::move(entry));
}

std::vector<std::unique_ptr<addressbook::CAddressEntry>> CViewEntryListUi::TakeRows(
    const std::vector<int>& rows) {
    return m_view.Model().TakeRows(rows);
}

bool CViewEntryListUi::InsertRows(
    const std::vector<int>& rows,
    std::vector<std::unique_ptr<addressbook::CAddressEntry>>& entries) {
    return m_view.Model().InsertRows(rows, entries);
}

int CViewEntryListUi::FocusedRow() const {
    return m_view.FocusedRow();
}

int CViewEntryListUi::SelectedRow() const {
    return m_view.SelectedRow();
}

std::vector<int> CViewEntryListUi::SelectedRows() const {
    return m_view.SelectedRows();
}

void CViewEntryListUi::SelectRow(int row) {
    m_view.SelectRow(row);
}

void CViewEntryListUi::SelectRows(const std::vector<int>& rows, int focus) {
    m_view.SelectRows(rows, focus);
}

void CViewEntryListUi::BringFrameForward() {
    if (m_bringForward) {
        m_bringForward();
        return;
    }
    QWidget* frame = m_view.window();
    if (frame->isHidden() || frame->isMinimized()) {
        frame->showNormal();
    }
    frame->raise();
}

void CViewEntryListUi::RepaintList() {
    m_view.viewport()->update();
}

QWidget* CViewEntryListUi::DialogParent() const {
    return m_view.window();
}

}  // namespace entries
