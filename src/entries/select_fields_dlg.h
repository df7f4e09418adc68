// CSelectFieldsDlg: "Select Fields" (kDlgSelectFields), the per-field column
// mapping of delimited import and export.
//
// 32 number boxes, one per field, each with an up-down button at its right
// edge and the field's "Select Fields" caption to its right, in three
// columns: fields 0..11, 12..23, and 24..31 in the lower two thirds of the
// third column, under OK and Cancel.  Below them a rule and a read-only
// multi-line box showing the import file's first line.
//
// A box holds any text.  OK takes the integer of every box into
// m_nColumn; a text that is not an integer (an empty box too) is refused
// with "Please enter an integer." and the dialog stays open.  Typed numbers
// have no range (0 or less means the field takes no column); the up-down
// buttons and the arrow keys step within 0..100.
//
// An export that may write the selected rows only (CExportScope) calls
// OfferSelectedOnly: the check box "Selected entries only" then shows under
// the number boxes, and OK stores its state in m_bSelectedOnly.
// Under the first line, for an import: "First line holds column names"
// (m_bFirstLineNames) and "&Match Columns", which puts the numbers the
// first line's names give (SetColumnMatch) into the boxes, ticks the box
// and says how many columns it matched; for an export: "For spreadsheets
// (RFC 4180)" (m_bRfc4180).  Both have "&All Fields in Order": field i in
// column i + 1.
#pragma once

#include <QAbstractSpinBox>
#include <QDialog>
#include <QString>
#include <array>
#include <optional>

#include "addressbook/field_table.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace entries {

// A number box with an up-down button that accepts any typed text, so that
// a text that is not a number reaches the dialog's check on OK.
class CColumnBox final : public QAbstractSpinBox {
    Q_OBJECT

public:
    static constexpr int kStepMin = 0;
    static constexpr int kStepMax = 100;

    explicit CColumnBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    void SetValue(int value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The box's number for stepping: its integer, or 0 when it holds none.
    int StepBase() const;
};

class CSelectFieldsDlg final : public QDialog {
    Q_OBJECT

public:
    enum class Use { kImport, kExport };

    explicit CSelectFieldsDlg(QWidget* parent = nullptr, Use use = Use::kImport);

    std::array<int, addressbook::kFieldCount> m_nColumn{};
    QString m_strFirstLine;
    bool m_bSelectedOnly = false;
    bool m_bFirstLineNames = false;  // import: the first line names the columns
    bool m_bRfc4180 = false;         // export: quoted for spreadsheets

    // Import: what Match Columns puts into the boxes, and the sentence that
    // says what it matched.  Until this is called the button is disabled.
    void SetColumnMatch(const std::array<int, addressbook::kFieldCount>& columns,
                        const QString& summary);

    // Numbers above `maxColumn` are refused on OK as well ("Please enter an
    // integer no greater than N."); none by default.
    void SetMaxColumn(std::optional<int> maxColumn) { m_maxColumn = maxColumn; }

    // Shows the check box "Selected entries only".
    void OfferSelectedOnly();

    // Puts the members into the controls (before showing).
    void UpdateControls();

    CColumnBox* ColumnBox(int field) const { return m_boxes[static_cast<std::size_t>(field)]; }
    QPlainTextEdit* FirstLineBox() const { return m_pFirstLine; }
    QCheckBox* SelectedOnlyBox() const { return m_pSelectedOnly; }
    // Null for the other use.
    QCheckBox* FirstLineNamesBox() const { return m_pFirstLineNames; }
    QPushButton* MatchColumnsButton() const { return m_pMatchColumns; }
    QLabel* MatchSummary() const { return m_pMatchSummary; }
    QCheckBox* Rfc4180Box() const { return m_pRfc4180; }
    QPushButton* AllFieldsButton() const { return m_pAllFields; }

public slots:
    // OK: every box's integer into m_nColumn, in field order; the first box
    // that is refused keeps the dialog open with the focus on it.
    void accept() override;
    void OnMatchColumns();
    void OnAllFieldsInOrder();

private:
    std::array<CColumnBox*, addressbook::kFieldCount> m_boxes{};
    QPlainTextEdit* m_pFirstLine = nullptr;
    QCheckBox* m_pSelectedOnly = nullptr;
    std::optional<int> m_maxColumn;
    QCheckBox* m_pFirstLineNames = nullptr;
    QPushButton* m_pMatchColumns = nullptr;
    QLabel* m_pMatchSummary = nullptr;
    QCheckBox* m_pRfc4180 = nullptr;
    QPushButton* m_pAllFields = nullptr;
    std::array<int, addressbook::kFieldCount> m_matched{};
    QString m_strMatchSummary;
};

}  // namespace entries
