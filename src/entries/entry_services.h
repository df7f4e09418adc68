// What every command of this folder works with, bundled so that the window
// builds it once and tests build it from fakes: the list, the settings, the
// undo history through which every change to entries goes, and the way
// modal dialogs are run.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "platform/string_resource.h"
#include "settings/settings_keys.h"

class QDialog;
class QWidget;

namespace platform {
class IProfile;
}

namespace entries {

class IEntryListUi;
class CEntryUndo;

// Runs a modal dialog and returns its result (QDialog::Accepted or
// Rejected).  Tests install one that fills the dialog's boxes and presses
// its buttons instead of waiting for a user.
using DialogRunner = std::function<int(QDialog& dialog)>;

struct EntryServices {
    IEntryListUi* list = nullptr;
    platform::IProfile* profile = nullptr;
    CEntryUndo* undo = nullptr;
    DialogRunner runDialog;  // empty: QDialog::exec

    int RunDialog(QDialog& dialog) const;
    QWidget* DialogParent() const;
};

// Settings through the profile, with the key's own default.
int ReadSetting(const platform::IProfile& profile, const settings::IntSetting& key);
std::string ReadSetting(const platform::IProfile& profile, const settings::StringSetting& key);
void WriteSetting(platform::IProfile& profile, const settings::IntSetting& key, int value);
void WriteSetting(platform::IProfile& profile, const settings::StringSetting& key,
                  std::string_view value);

using platform::ResourceString;
// The short name of command `commandId` (its tooltip), naming an undo step.
QString UndoText(int commandId);
// A string-table text with its "%d" replaced by `count` ("%d addresses
// imported.").
QString CountMessage(int id, int count);
// A path as the file system spells it.
std::string NativePath(const QString& path);

// UTF-8 bytes as a QString and back.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace entries
