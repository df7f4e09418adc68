// CPrefPage: the preferences sheet, and the Preferences command that runs it.
//
// The sheet holds the pages General Settings, Column Widths and Column Order,
// opens on the first, and has OK and Cancel (no Apply).  A page whose boxes
// hold an unacceptable number cannot be left and does not let the sheet
// close with OK; the refusal names the problem and the box gets the focus.
// Closing the sheet either way lets the Column Order page store the order.
#pragma once

#include <functional>

#include "platform/property_sheet.h"
#include "preferences/pref_pages.h"

namespace settings {
class SettingsStore;
}

namespace preferences {

class CPrefPage : public platform::CPropertySheet {
    Q_OBJECT

public:
    CPrefPage(settings::SettingsStore& settings, const ColumnArray& defaultWidths,
              ColumnStringFormat format, QWidget* parent = nullptr);

    CSetPage& SetPage() { return *m_pSetPage; }
    CColPage& ColPage() { return *m_pColPage; }
    COrdPage& OrdPage() { return *m_pOrdPage; }

    // The values taken from the pages when the sheet closed with OK.
    const GeneralSettings& AcceptedSettings() const { return m_pSetPage->Accepted(); }
    const ColumnArray& AcceptedWidths() const { return m_pColPage->Accepted(); }

private:
    CSetPage* m_pSetPage = nullptr;
    CColPage* m_pColPage = nullptr;
    COrdPage* m_pOrdPage = nullptr;
};

// What the Preferences command needs from the address list.
struct PreferencesColumns {
    // The list's current widths, by display position.
    ColumnArray widths{};
    // The built-in widths that the Column Widths page's Reset restores.
    ColumnArray defaultWidths{};
    ColumnStringFormat format;
    // After OK with "Column Widths" checked: applies the page's widths to the
    // list, stores them and rebuilds the columns.
    std::function<void(const ColumnArray& widths)> applyWidths;
};

// Runs the sheet modally: `run` shows it and returns its result (the
// default is QDialog::exec; tests drive the sheet instead).
using SheetRunner = std::function<int(CPrefPage& sheet)>;

// The Preferences command: fills the sheet from [Preferences] and the
// list's widths, runs it, and after OK writes the general settings and,
// with "Column Widths" checked, hands the widths to the list.  Cancel
// writes nothing (the Column Order page may have stored the order).  True
// when the sheet closed with OK.
bool RunPreferences(QWidget* parent, settings::SettingsStore& settings,
                    const PreferencesColumns& columns, const SheetRunner& run = {});

}  // namespace preferences
