// The slice of the settings store that the window layer needs, behind an
// interface so that this layer does not depend on the settings library and
// its tests can run on memory.
//
// ProfileOf<Store> adapts any store with the settings store's four calls
// (GetInt, GetString, SetInt, SetString by section and key);
// MemoryProfile keeps the values in memory.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class IProfile {
public:
    virtual ~IProfile() = default;
    virtual int GetInt(std::string_view section, std::string_view key, int defaultValue) const = 0;
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue = {}) const = 0;
    virtual bool SetInt(std::string_view section, std::string_view key, int value) = 0;
    virtual bool SetString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

template <class Store>
class ProfileOf final : public IProfile {
public:
    explicit ProfileOf(Store& store) : m_store(store) {}
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override {
        return m_store.GetInt(section, key, defaultValue);
    }
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const override {
        return m_store.GetString(section, key, defaultValue);
    }
    bool SetInt(std::string_view section, std::string_view key, int value) override {
        return m_store.SetInt(section, key, value);
    }
    bool SetString(std::string_view section, std::string_view key,
                   std::string_view value) override {
        return m_store.SetString(section, key, value);
    }

private:
    Store& m_store;
};

// Values kept in memory, by exact section and key.  Integers are stored as
// their decimal text, as in the settings file.
class MemoryProfile final : public IProfile {
public:
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const override;
    bool SetInt(std::string_view section, std::string_view key, int value) override;
    bool SetString(std::string_view section, std::string_view key, std::string_view value) override;

    bool Has(std::string_view section, std::string_view key) const;
    int WriteCount() const { return m_nWrites; }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
    int m_nWrites = 0;
};

}  // namespace platform
