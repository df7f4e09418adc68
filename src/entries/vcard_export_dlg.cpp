#include "entries/vcard_export_dlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/control_name.h"
#include "platform/ok_cancel_buttons.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace entries {

using addressbook::vcard::Version;

CVCardExportDlg::CVCardExportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CVCardExportDlg"));
    setWindowTitle(platform::ResourceString(resources::kStrVCardExportCaption));
    setWindowIcon(QApplication::windowIcon());

    auto* versions = new QGroupBox(QStringLiteral("Version"), this);
    m_p30 = new QRadioButton(QStringLiteral("vCard &3.0 (read by most programs)"), versions);
    m_p30->setObjectName(platform::ControlName(kIdVCard30));
    m_p40 = new QRadioButton(QStringLiteral("vCard &4.0"), versions);
    m_p40->setObjectName(platform::ControlName(kIdVCard40));
    auto* versionLayout = new QVBoxLayout(versions);
    versionLayout->addWidget(m_p30);
    versionLayout->addWidget(m_p40);

    m_pOptions = new QVBoxLayout;

    QDialogButtonBox* buttons = platform::MakeOkCancelButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(versions);
    layout->addLayout(m_pOptions);
    layout->addStretch(1);
    layout->addWidget(buttons);
    UpdateControls();
}

void CVCardExportDlg::UpdateControls() {
    (m_version == Version::V40 ? m_p40 : m_p30)->setChecked(true);
}

void CVCardExportDlg::accept() {
    m_version = m_p40->isChecked() ? Version::V40 : Version::V30;
    QDialog::accept();
}

}  // namespace entries
