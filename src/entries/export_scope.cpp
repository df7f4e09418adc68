#include "entries/export_scope.h"

#include <QCheckBox>

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

QCheckBox* MakeSelectedOnlyBox(QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("Selected entries only"), parent);
    box->setObjectName(QStringLiteral("SelectedOnly"));
    box->setChecked(false);
    box->hide();
    return box;
}

}  // namespace entries
