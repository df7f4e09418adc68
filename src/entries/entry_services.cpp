#include "entries/entry_services.h"

#include <QDialog>
#include <QFile>

#include "entries/entry_list_ui.h"
#include "platform/profile.h"
#include "resources/string_table.h"

namespace entries {

int EntryServices::RunDialog(QDialog& dialog) const {
    if (runDialog) {
        return runDialog(dialog);
    }
    return dialog.exec();
}

QWidget* EntryServices::DialogParent() const {
    return list != nullptr ? list->DialogParent() : nullptr;
}

int ReadSetting(const platform::IProfile& profile, const settings::IntSetting& key) {
    return profile.GetInt(key.section, key.key, key.defaultValue);
}

std::string ReadSetting(const platform::IProfile& profile, const settings::StringSetting& key) {
    return profile.GetString(key.section, key.key, key.defaultValue);
}

void WriteSetting(platform::IProfile& profile, const settings::IntSetting& key, int value) {
    profile.SetInt(key.section, key.key, value);
}

void WriteSetting(platform::IProfile& profile, const settings::StringSetting& key,
                  std::string_view value) {
    profile.SetString(key.section, key.key, value);
}

QString UndoText(int commandId) {
    return FromUtf8(resources::CommandTooltip(commandId));
}

QString CountMessage(int id, int count) {
    return ResourceString(id).replace(QStringLiteral("%d"), QString::number(count));
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace entries
