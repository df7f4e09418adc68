// CVCardExportDlg: "Export vCard", the choice the vCard export asks for after
// the file name: the version of the cards.
//
//   (o) vCard 3.0 (read by most programs)
//   ( ) vCard 4.0
//                                   OK  Cancel
//
// Further options of the export (which rows to write) go into
// OptionsLayout(), below the versions.
#pragma once

#include <QDialog>

#include "addressbook/vcard_mapping.h"

class QRadioButton;
class QVBoxLayout;

namespace entries {

// Control ids of the dialog.
inline constexpr int kIdVCard30 = 1171;
inline constexpr int kIdVCard40 = 1172;

class CVCardExportDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CVCardExportDlg(QWidget* parent = nullptr);

    // The version shown when the dialog opens, and the one chosen on OK
    // (2.1 is written as 3.0: the export writes 3.0 and 4.0 only).
    addressbook::vcard::Version m_version = addressbook::vcard::Version::V30;

    // Puts m_version into the controls (before showing).
    void UpdateControls();

    QRadioButton* Version30() const { return m_p30; }
    QRadioButton* Version40() const { return m_p40; }
    QVBoxLayout* OptionsLayout() const { return m_pOptions; }

public slots:
    // OK: the chosen version into m_version.
    void accept() override;

private:
    QRadioButton* m_p30 = nullptr;
    QRadioButton* m_p40 = nullptr;
    QVBoxLayout* m_pOptions = nullptr;
};

}  // namespace entries
