// The three pages of the preferences sheet.
//
//  - CSetPage, "General Settings": what to remember between runs, the recent
//    address books, the data pre-filled into new entries, and the tray.
//  - CColPage, "Column Widths": one box per list column position.
//  - COrdPage, "Column Order": the order of the list's columns, kept in
//    [Columns] "Order" by the page itself when it closes.
//
// Every control's object name is its control id (ControlName, below);
// controls without an id are named after what they hold ("columnWidth7").
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/control_name.h"
#include "platform/property_sheet.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace settings {
class SettingsStore;
}

namespace preferences {

class CSpinEdit;

inline constexpr int kColumnCount = 32;
// One value per list column display position 0..31.
using ColumnArray = std::array<int, kColumnCount>;

// ---- Control ids ----
inline constexpr int kIdLastBook = 1142;
inline constexpr int kIdLastSort = 1143;
inline constexpr int kIdColumnWidths = 1145;
inline constexpr int kIdExportSettings = 1146;
inline constexpr int kIdImportSettings = 1147;
inline constexpr int kIdWindowSize = 1148;
inline constexpr int kIdRecentCount = 1149;
inline constexpr int kIdRecentSpin = 1150;
inline constexpr int kIdShowRecent = 1151;
inline constexpr int kIdCity = 1152;
inline constexpr int kIdState = 1153;
inline constexpr int kIdCountry = 1154;
inline constexpr int kIdZip = 1155;
inline constexpr int kIdEmail = 1156;
inline constexpr int kIdWeb = 1157;
inline constexpr int kIdAreaCode = 1158;
inline constexpr int kIdMinimizeToTray = 1159;
inline constexpr int kIdCompany = 1163;
inline constexpr int kIdColumnPositions = 1000;
inline constexpr int kIdStartMinimized = 1001;
inline constexpr int kIdConfirmDeletes = 1006;
inline constexpr int kIdOrderList = 1007;
inline constexpr int kIdMoveUp = 1008;
inline constexpr int kIdMoveDown = 1009;
inline constexpr int kIdOrderReset = 1010;
inline constexpr int kIdWidthsReset = 1011;

// The object name of control `id`.
using platform::ControlName;

// The arrows' ranges.
inline constexpr int kRecentCountMin = 1;
inline constexpr int kRecentCountMax = 8;
inline constexpr int kColumnWidthMin = 0;
inline constexpr int kColumnWidthMax = 300;

// The values of the General Settings page.  Check boxes are 0 or 1.
struct GeneralSettings {
    int useLastBook = 0;
    int rememberSort = 0;
    int rememberCol = 0;
    int rememberPos = 0;
    int rememberExp = 0;
    int rememberImp = 0;
    int rememberWin = 0;
    int rememberTray = 0;
    int startMinimized = 0;
    int useMRU = 0;
    int numMRU = 0;
    int confirmDelete = 0;
    std::string city;
    std::string country;
    std::string company;
    std::string email;
    std::string prefix;  // the area code
    std::string state;
    std::string web;
    std::string zip;

    bool operator==(const GeneralSettings&) const = default;
};

// [Preferences] as the sheet shows it: an absent "UseLastBook" is off, as
// start-up takes it, and an absent "DefaultWeb" reads "http://".
GeneralSettings ReadGeneralSettings(const settings::SettingsStore& settings);
// Writes every value to [Preferences]: the switches and the book count,
// then the default data, then "ConfirmDelete".
void WriteGeneralSettings(settings::SettingsStore& settings, const GeneralSettings& values);

class CSetPage : public platform::CPropertyPage {
    Q_OBJECT

public:
    explicit CSetPage(QWidget* parent = nullptr);

    void SetValues(const GeneralSettings& values);
    // The values in the boxes; nothing, after the refusal has been shown,
    // when the book count is not an integer from 1 to 8.
    std::optional<GeneralSettings> Exchange();
    bool OnKillActive() override { return Exchange().has_value(); }
    // Keeps the values for Accepted().
    bool OnOK() override;
    // The values taken when the sheet closed with OK.
    const GeneralSettings& Accepted() const { return m_accepted; }

    QCheckBox* Check(int id) const;
    QLineEdit* Text(int id) const;
    CSpinEdit* RecentSpin() const { return m_pRecent; }

private:
    std::array<QCheckBox*, 11> m_checks{};
    std::array<QLineEdit*, 8> m_texts{};
    CSpinEdit* m_pRecent = nullptr;
    GeneralSettings m_accepted;
};

class CColPage : public platform::CPropertyPage {
    Q_OBJECT

public:
    // `defaultWidths` are what Reset puts back.
    explicit CColPage(const ColumnArray& defaultWidths, QWidget* parent = nullptr);

    void SetWidths(const ColumnArray& widths);
    // The widths in the boxes; nothing, after "Please enter an integer." has
    // been shown, when a box holds no integer.  Any integer is taken.
    std::optional<ColumnArray> Exchange();
    bool OnKillActive() override { return Exchange().has_value(); }
    // Keeps the widths for Accepted().
    bool OnOK() override;
    // The widths taken when the sheet closed with OK.
    const ColumnArray& Accepted() const { return m_accepted; }

    // Every box to its default width.
    void OnReset();

    // The box of 0-based position `position` (captioned position + 1).
    CSpinEdit* Box(int position) const { return m_boxes[static_cast<std::size_t>(position)]; }

private:
    ColumnArray m_defaults;
    std::array<CSpinEdit*, kColumnCount> m_boxes{};
    ColumnArray m_accepted{};
};

// How the list layer reads and writes a 32-number layout string.
struct ColumnStringFormat {
    // The order in `text`, or nothing when it is incomplete or unusable.
    std::function<std::optional<ColumnArray>(std::string_view text)> parseOrder;
    std::function<std::string(const ColumnArray& values)> format;
};

class COrdPage : public platform::CPropertyPage {
    Q_OBJECT

public:
    COrdPage(settings::SettingsStore& settings, ColumnStringFormat format,
             QWidget* parent = nullptr);

    // The selected line up or down by one, staying selected; nothing at the
    // ends or without a selection.
    void OnMoveUp();
    void OnMoveDown();
    // The 32 labels in field order, line 0 selected.
    void OnReset();

    // For each line, the field whose label stands there (found by an exact,
    // case-insensitive search); a line whose label is not found keeps its
    // own number.
    ColumnArray CurrentOrder() const;

    // The sheet is closing (OK or Cancel): writes [Columns] "Order" when the
    // page was shown and "RememberPos" is on.  Runs once.
    void OnDestroyPage() override;

    QListWidget* List() const { return m_pList; }

protected:
    void OnInitPage() override;

private:
    void MoveSelected(int delta);

    settings::SettingsStore& m_settings;
    ColumnStringFormat m_format;
    QListWidget* m_pList = nullptr;
    bool m_bDestroyed = false;
};

// The label of field `field` as the list's column header shows it.
QString FieldLabel(int field);

}  // namespace preferences
