#include "settings_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace settings {
namespace {

constexpr const char* kIniExtension = ".INI";
constexpr const char* kConfigFolderName = "quillbox";

// The file name of `programPath` without its extension.
std::string BaseName(const std::string& programPath) {
    std::string name = std::filesystem::path(programPath).filename().string();
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

std::optional<std::string> NonEmptyEnv(const SettingsLocationHooks& hooks,
                                       const std::string& name) {
    std::optional<std::string> value = hooks.getEnv(name);
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

SettingsLocationHooks SystemSettingsLocationHooks() {
    SettingsLocationHooks hooks;
    hooks.getEnv = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    };
    hooks.isWritableFolder = [](const std::string& folder) {
        return ::access(folder.c_str(), W_OK | X_OK) == 0;
    };
    hooks.makeFolders = [](const std::string& folder) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        return std::filesystem::is_directory(folder, ec);
    };
    return hooks;
}

std::string SettingsFilePath(const std::string& programPath) {
    return SettingsFilePath(programPath, SystemSettingsLocationHooks());
}

std::string SettingsFilePath(const std::string& programPath, const SettingsLocationHooks& hooks) {
    if (std::optional<std::string> named = NonEmptyEnv(hooks, "QUILLBOX_INI")) {
        return *named;
    }

    std::string fileName = BaseName(programPath) + kIniExtension;
    std::filesystem::path programFolder = std::filesystem::path(programPath).parent_path();
    std::string besideProgram = (programFolder / fileName).string();
    if (hooks.isWritableFolder(programFolder.empty() ? "." : programFolder.string())) {
        return besideProgram;
    }

    std::filesystem::path configHome;
    std::optional<std::string> xdg = NonEmptyEnv(hooks, "XDG_CONFIG_HOME");
    if (xdg && std::filesystem::path(*xdg).is_absolute()) {
        configHome = *xdg;
    } else if (std::optional<std::string> home = NonEmptyEnv(hooks, "HOME")) {
        configHome = std::filesystem::path(*home) / ".config";
    } else {
        return besideProgram;  // nowhere better to go: reads still work
    }
    std::filesystem::path folder = configHome / kConfigFolderName;
    if (!hooks.makeFolders(folder.string())) {
        return besideProgram;
    }
    return (folder / fileName).string();
}

}  // namespace settings
