// CEmptyDlg: "Empty Phone/Email/URL" (kDlgEmptyItem), asking for the number
// or address that the current entry lacks.
//
// Controls (object name = control id, see control_name.h): the text "This
// item is empty.  Please enter the information you wish to have used:", the
// edit box, the check box "Add to currently selected address", OK and
// Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

namespace entries {

// Control ids of the empty-item dialog.
inline constexpr int kIdEnteredText = 1160;
inline constexpr int kIdAddToEntry = 1161;

class CEmptyDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CEmptyDlg(QWidget* parent = nullptr);

    int m_nAddToEntry = 0;
    QString m_strEnteredText;

    // Puts the members into the controls.
    void UpdateControls();

    QLineEdit* TextBox() const { return m_pText; }
    QCheckBox* AddBox() const { return m_pAdd; }

public slots:
    // OK: reads the controls into the members, then closes.
    void accept() override;

private:
    QLineEdit* m_pText = nullptr;
    QCheckBox* m_pAdd = nullptr;
};

}  // namespace entries
