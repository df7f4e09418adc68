// The program's settings, kept in one INI file and read and written by
// section and key.
//
// Nothing is cached: every Get reads the file and every Set reads it, changes
// the one value and writes the whole file back at once through a temporary
// file that replaces the old one only when completely written, so a full disk
// or a crash never destroys the settings.  A missing file reads as all
// defaults and is created by the first Set.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace settings {

// The longest value text SettingsStore::GetString returns, in bytes: what a
// 4096-byte buffer with its terminating NUL holds.
inline constexpr std::size_t kMaxSettingValueBytes = 4095;

class SettingsStore {
public:
    explicit SettingsStore(std::string iniPath);

    const std::string& Path() const;

    // The stored integer, read as the classic profile functions read it: an
    // optional sign, then decimal digits up to the first other character
    // ("12abc" -> 12, "abc" -> 0, "-5" -> -5).  An absent key, or a key with
    // an empty value, gives `defaultValue`.  Numbers beyond the range of int
    // are clamped to INT_MIN or INT_MAX.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // The stored text (blanks at either end removed), at most
    // kMaxSettingValueBytes bytes of it, cut at a UTF-8 character boundary.  An
    // absent key gives `defaultValue`.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;

    // Writes the value as "%d" text.  False when the file could not be read
    // or written, or may not be written (it is read-only); the file then
    // keeps its previous contents.
    bool SetInt(std::string_view section, std::string_view key, int value);

    // Writes the text.  False when the file could not be read or written, or
    // may not be written (it is read-only), or when the section, key or
    // value cannot be stored in an INI line (a line
    // break in any of them, '=' in a key, ']' in a section name, text that is
    // not UTF-8); the file then keeps its previous contents.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string m_strPath;
};

// The integer rule of SettingsStore::GetInt for a value that is present.
int ParseProfileInt(std::string_view text);

// `text` cut to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string_view CutAtCharacterBoundary(std::string_view text, std::size_t maxBytes);

}  // namespace settings
