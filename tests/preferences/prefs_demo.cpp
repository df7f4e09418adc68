// Shows the preferences sheet for looking at it: the settings come from the
// file named on the command line (a throwaway file by default), and the
// second argument picks the page shown first (0, 1 or 2).
#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include "addresslist/column_layout.h"
#include "preferences/pref_sheet.h"
#include "settings/settings_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString ini = args.size() > 1 ? args[1] : QDir::temp().filePath("quillbox-demo.INI");
    const int page = args.size() > 2 ? args[2].toInt() : 0;
    settings::SettingsStore settings(ini.toStdString());

    preferences::PreferencesColumns columns;
    columns.widths = addresslist::ReadColumnLayout(settings).widths;
    columns.defaultWidths = addresslist::kDefaultColumnWidths;
    columns.format.parseOrder = addresslist::ParseColumnOrder;
    columns.format.format = [](const preferences::ColumnArray& v) {
        return addresslist::FormatColumnValues(v);
    };
    preferences::RunPreferences(nullptr, settings, columns, [page](preferences::CPrefPage& sheet) {
        sheet.Tabs()->setCurrentIndex(page);
        return sheet.exec();
    });
    return 0;
}
