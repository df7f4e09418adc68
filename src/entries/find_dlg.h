// CFindDlg: the "Find" dialog (kDlgFind).  One object lives as long as
// the address list, so its settings last between searches while the
// program runs; they are never saved.
//
// Controls (object name = control id, see control_name.h): the editable
// combo box "Fi&nd What:", "Match &Case", "&Up" and "&Down" in the group
// "Direction", "&Start at Top of File", the field list in the group "Search
// Field", the default button "&Find Next" and Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace entries {

class FindHistory;

// Control ids of the Find dialog.
inline constexpr int kIdFindNext = 1001;
inline constexpr int kIdFindWhat = 1002;
inline constexpr int kIdFindUp = 1003;
inline constexpr int kIdFindDown = 1004;
inline constexpr int kIdMatchCase = 1005;
inline constexpr int kIdStartAtTop = 1085;
inline constexpr int kIdSearchField = 1164;

class CFindDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CFindDlg(QWidget* parent = nullptr);

    int m_nMatchCase = 0;
    QString m_strFindText;
    int m_nDirection = 1;  // 0 up, 1 down
    int m_nStartAtTop = 0;
    int m_nSearchField = 0;  // field number, 0 = Last Name

    // Before each showing: puts the members into the controls, fills the
    // Find What list with `history` (newest first) and the field list with
    // the 32 field labels in field order.  The history (not owned) also
    // receives the text of a successful Find Next.
    void OnInitDialog(FindHistory* history);

    // "&Find Next" (also Enter): reads the controls into the members; with
    // an empty text it beeps and returns the focus to Find What, otherwise
    // it closes with OK and adds the text to the history.
    void OnFindNext();

    QComboBox* FindWhatBox() const { return m_pFindWhat; }

signals:
    // The search field (m_nSearchField) was changed in the dialog.
    void searchFieldChanged(int field);

private:
    void ReadControls();

    QComboBox* m_pFindWhat = nullptr;
    QCheckBox* m_pMatchCase = nullptr;
    QRadioButton* m_pUp = nullptr;
    QRadioButton* m_pDown = nullptr;
    QCheckBox* m_pStartAtTop = nullptr;
    QComboBox* m_pSearchField = nullptr;
    QPushButton* m_pFindNext = nullptr;
    FindHistory* m_pHistory = nullptr;
};

}  // namespace entries
