// CFindDlg: the "Find" dialog (resource 137).  One object lives as long as
// the address list, so its settings last between searches while the
// program runs; they are never saved.
//
// Controls (object name = control id): "Fi&nd What:" editable combo box
// 1002, "Match &Case" 1005, "&Up" 1003 and "&Down" 1004 in the group
// "Direction", "&Start at Top of File" 1085, the field list 1164 in the
// group "Search Field", the default button "&Find Next" 1001 and Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace entries {

class FindHistory;

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
