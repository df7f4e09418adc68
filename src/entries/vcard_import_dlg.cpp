#include "entries/vcard_import_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "entries/skip_existing.h"
#include "platform/ok_cancel_buttons.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace entries {

CVCardImportDlg::CVCardImportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CVCardImportDlg"));
    setWindowTitle(platform::ResourceString(resources::kStrVCardImportCaption));
    setWindowIcon(QApplication::windowIcon());

    m_pSkip = MakeSkipExistingBox(this);

    QDialogButtonBox* buttons = platform::MakeOkCancelButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSkip);
    layout->addStretch(1);
    layout->addWidget(buttons);
    UpdateControls();
}

void CVCardImportDlg::UpdateControls() {
    m_pSkip->setChecked(m_bSkipExisting);
}

void CVCardImportDlg::accept() {
    m_bSkipExisting = m_pSkip->isChecked();
    QDialog::accept();
}

}  // namespace entries
