#include "settings_store.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>

#include "fileio/atomic_file.h"
#include "fileio/file_reading.h"
#include "settings/ini_file.h"

namespace settings {
namespace {

// Reads the settings file.  A missing file is an empty one.  False only when
// the file exists but cannot be read: its contents are then unknown and must
// not be overwritten.
bool LoadText(const std::string& path, std::string& text) {
    int err = 0;
    if (fileio::ReadWholeFile(path, text, nullptr, &err)) {
        return true;
    }
    text.clear();
    return err == ENOENT;
}

std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    std::string text;
    if (!fileio::ReadWholeFile(path, text)) {
        return std::nullopt;
    }
    IniFile doc = IniFile::Parse(std::move(text));
    std::optional<std::string_view> value = doc.Find(section, key);
    if (!value) {
        return std::nullopt;
    }
    return std::string(*value);
}

}  // namespace

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so that INT_MIN fits; stop growing once
    // past the range and clamp.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
    }
    return magnitude >= INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t n = maxBytes;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
        --n;
    }
    return text.substr(0, n);
}

SettingsStore::SettingsStore(std::string iniPath) : m_strPath(std::move(iniPath)) {}

const std::string& SettingsStore::Path() const {
    return m_strPath;
}

int SettingsStore::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> value = ReadValue(m_strPath, section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return ParseProfileInt(*value);
}

std::string SettingsStore::GetString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    std::optional<std::string> value = ReadValue(m_strPath, section, key);
    if (!value) {
        return std::string(defaultValue);
    }
    value->resize(CutAtCharacterBoundary(*value, kMaxSettingValueBytes).size());
    return std::move(*value);
}

bool SettingsStore::SetInt(std::string_view section, std::string_view key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return SetString(section, key, text);
}

bool SettingsStore::SetString(std::string_view section, std::string_view key,
                              std::string_view value) {
    std::string before;
    if (!LoadText(m_strPath, before)) {
        return false;
    }
    IniFile doc = IniFile::Parse(before);
    if (!doc.Set(section, key, value)) {
        return false;
    }
    std::string after = doc.Serialize();
    if (after == before) {
        return true;  // nothing to change; spare the disk a rewrite
    }
    // A settings file the user may not write keeps its values, although the
    // rename that replaces it would need only the folder's permission.
    return fileio::MayReplace(m_strPath) && fileio::WriteFileAtomically(m_strPath, after);
}

}  // namespace settings
