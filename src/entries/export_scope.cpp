#include "entries/export_scope.h"

#include <QCheckBox>
#include <numeric>

#include "entries/entry_list_ui.h"

namespace entries {

CExportScope::CExportScope(const IEntryListUi& list)
    : m_list(list), m_selected(list, list.SelectedRows()) {}

const addressbook::IAddressList& CExportScope::Rows(bool selectedOnly) const {
    if (selectedOnly && IsOffered()) {
        return m_selected;
    }
    return m_list;
}

std::vector<int> CExportScope::RowNumbers(bool selectedOnly) const {
    if (selectedOnly && IsOffered()) {
        return m_selected.Rows();
    }
    std::vector<int> rows(static_cast<std::size_t>(m_list.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

QCheckBox* MakeSelectedOnlyBox(QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("Selected entries only"), parent);
    box->setObjectName(QStringLiteral("SelectedOnly"));
    box->setChecked(false);
    box->hide();
    return box;
}

}  // namespace entries
