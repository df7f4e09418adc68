// Where the settings file lives.
//
// The settings file sits beside the program file and is named after it, with
// the program's extension (if it has one) replaced by ".INI":
//   /opt/quillbox/bin/quillbox      -> /opt/quillbox/bin/quillbox.INI
//   /x/quillbox.bin                 -> /x/quillbox.INI
//   /opt/q.d/quillbox               -> /opt/q.d/quillbox.INI
// Only a '.' inside the file name starts an extension, and a name that begins
// with '.' has none.  When the program's folder is not writable (an installed
// program), the file goes to $XDG_CONFIG_HOME/quillbox/<name>.INI instead
// (~/.config/quillbox/ when XDG_CONFIG_HOME is unset or not an absolute
// path), and that folder is created.  The environment variable QUILLBOX_INI,
// when set and not empty, names the file outright.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace settings {

// What the location rules ask of the system; tests replace these.
struct SettingsLocationHooks {
    // The value of an environment variable, or nothing when it is unset.
    std::function<std::optional<std::string>(const std::string& name)> getEnv;
    // True when new files can be created in `folder`.
    std::function<bool(const std::string& folder)> isWritableFolder;
    // Creates `folder` and its parents; true when it exists afterwards.
    std::function<bool(const std::string& folder)> makeFolders;
};

// The hooks that ask the real environment and file system.
SettingsLocationHooks SystemSettingsLocationHooks();

std::string SettingsFilePath(const std::string& programPath);
std::string SettingsFilePath(const std::string& programPath, const SettingsLocationHooks& hooks);

}  // namespace settings
