#include "preferences/pref_sheet.h"

#include "platform/string_resource.h"
#include "resources/string_table.h"
#include "settings/settings_store.h"

namespace preferences {

CPrefPage::CPrefPage(settings::SettingsStore& settings, const ColumnArray& defaultWidths,
                     ColumnStringFormat format, QWidget* parent)
    : CPropertySheet(platform::ResourceString(resources::kStrPreferencesCaption), parent) {
    setObjectName("preferencesSheet");
    m_pSetPage = new CSetPage;
    m_pColPage = new CColPage(defaultWidths);
    m_pOrdPage = new COrdPage(settings, std::move(format));
    AddPage(m_pSetPage);
    AddPage(m_pColPage);
    AddPage(m_pOrdPage);
}

bool RunPreferences(QWidget* parent, settings::SettingsStore& settings,
                    const PreferencesColumns& columns, const SheetRunner& run) {
    CPrefPage sheet(settings, columns.defaultWidths, columns.format, parent);
    sheet.SetPage().SetValues(ReadGeneralSettings(settings));
    sheet.ColPage().SetWidths(columns.widths);

    const int result = run ? run(sheet) : sheet.exec();
    if (result != QDialog::Accepted) {
        return false;
    }
    const GeneralSettings& values = sheet.AcceptedSettings();
    WriteGeneralSettings(settings, values);
    if (values.rememberCol == 1 && columns.applyWidths) {
        columns.applyWidths(sheet.AcceptedWidths());
    }
    return true;
}

}  // namespace preferences
