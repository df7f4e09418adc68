#include "entries/empty_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <climits>

#include "platform/control_name.h"
#include "platform/ok_cancel_buttons.h"

namespace entries {

CEmptyDlg::CEmptyDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Empty Phone/Email/URL"));
    setObjectName(QStringLiteral("CEmptyDlg"));

    auto* prompt = new QLabel(
        QStringLiteral("This item is empty.  Please enter the information you wish to have used:"),
        this);
    prompt->setWordWrap(true);
    m_pText = new QLineEdit(this);
    m_pText->setObjectName(platform::ControlName(kIdEnteredText));
    m_pText->setMaxLength(INT_MAX);
    m_pText->setMinimumWidth(300);
    m_pAdd = new QCheckBox(QStringLiteral("Add to currently selected address"), this);
    m_pAdd->setObjectName(platform::ControlName(kIdAddToEntry));
    QDialogButtonBox* buttons = platform::MakeOkCancelButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_pText);
    layout->addWidget(m_pAdd);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CEmptyDlg::UpdateControls() {
    m_pText->setText(m_strEnteredText);
    m_pAdd->setChecked(m_nAddToEntry != 0);
}

void CEmptyDlg::accept() {
    m_strEnteredText = m_pText->text();
    m_nAddToEntry = m_pAdd->isChecked() ? 1 : 0;
    QDialog::accept();
}

}  // namespace entries
