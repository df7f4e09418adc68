#include "entries/vcard_import_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "entries/skip_existing.h"
#include "platform/control_name.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace entries {

CVCardImportDlg::CVCardImportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CVCardImportDlg"));
    setWindowTitle(platform::ResourceString(resources::kStrVCardImportCaption));
    setWindowIcon(QApplication::windowIcon());

    m_pSkip = MakeSkipExistingBox(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(platform::ControlName(platform::kIdOk));
    buttons->button(QDialogButtonBox::Cancel)
        ->setObjectName(platform::ControlName(platform::kIdCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CVCardImportDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CVCardImportDlg::reject);

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
