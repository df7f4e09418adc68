#include "platform/profile.h"

#include <charconv>

namespace platform {

int MemoryProfile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    auto it = m_values.find({std::string(section), std::string(key)});
    if (it == m_values.end()) {
        return defaultValue;
    }
    int value = 0;
    const std::string& text = it->second;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string MemoryProfile::GetString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    auto it = m_values.find({std::string(section), std::string(key)});
    return it == m_values.end() ? std::string(defaultValue) : it->second;
}

bool MemoryProfile::SetInt(std::string_view section, std::string_view key, int value) {
    return SetString(section, key, std::to_string(value));
}

bool MemoryProfile::SetString(std::string_view section, std::string_view key,
                              std::string_view value) {
    m_values[{std::string(section), std::string(key)}] = std::string(value);
    ++m_nWrites;
    return true;
}

bool MemoryProfile::Has(std::string_view section, std::string_view key) const {
    return m_values.count({std::string(section), std::string(key)}) != 0;
}

}  // namespace platform
