// CVCardImportDlg: "Import vCard", the options the vCard import asks for
// after the file name, while the book already holds entries:
//
//   [ ] Skip entries that are already in the book
//                                   OK  Cancel
#pragma once

#include <QDialog>

class QCheckBox;

namespace entries {

class CVCardImportDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CVCardImportDlg(QWidget* parent = nullptr);

    // Shown when the dialog opens, and the choice on OK.
    bool m_bSkipExisting = false;

    // Puts the members into the controls (before showing).
    void UpdateControls();

    QCheckBox* SkipExisting() const { return m_pSkip; }

public slots:
    // OK: the controls into the members.
    void accept() override;

private:
    QCheckBox* m_pSkip = nullptr;
};

}  // namespace entries
