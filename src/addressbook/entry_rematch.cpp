#include "addressbook/entry_rematch.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "addressbook/entry_identity.h"
#include "addressbook/field_table.h"

namespace addressbook {
namespace {

constexpr int kNameFields = 3;  // Last Name, First Name, M.I.

// A key of one entry; nothing when the entry cannot be found this way.
using KeyOf = std::function<std::optional<std::string>(const CAddressEntry&)>;

std::optional<std::string> UidKey(const CAddressEntry& entry) {
    std::optional<std::string_view> uid = EntryUid(entry);
    return uid ? std::optional<std::string>(std::string(*uid)) : std::nullopt;
}

// The fields joined by a character that no field holds.
std::string JoinFields(const CAddressEntry& entry, int count) {
    std::string key;
    for (int f = 0; f < count; ++f) {
        key += entry.GetField(f);
        key += '\x1f';
    }
    return key;
}

std::optional<std::string> AllFieldsKey(const CAddressEntry& entry) {
    return JoinFields(entry, kFieldCount);
}

std::optional<std::string> NameKey(const CAddressEntry& entry) {
    std::string key = JoinFields(entry, kNameFields);
    if (key.find_first_not_of('\x1f') == std::string::npos) {
        return std::nullopt;  // no name: every nameless entry would match
    }
    return key;
}

// One way of finding entries: the rows of each key, in list order, handed
// out first to last.
class KeyIndex {
public:
    KeyIndex(const IAddressList& list, KeyOf keyOf) : m_keyOf(std::move(keyOf)) {
        for (int row = 0; row < list.RowCount(); ++row) {
            if (std::optional<std::string> key = m_keyOf(list.EntryAt(row))) {
                m_rows[*key].push_back(row);
            }
        }
    }

    // The first row of the entry's key that `taken` does not hold yet.
    int Find(const CAddressEntry& entry, const std::vector<bool>& taken) {
        std::optional<std::string> key = m_keyOf(entry);
        if (!key) {
            return -1;
        }
        auto it = m_rows.find(*key);
        if (it == m_rows.end()) {
            return -1;
        }
        for (int row : it->second) {
            if (!taken[static_cast<std::size_t>(row)]) {
                return row;
            }
        }
        return -1;
    }

private:
    KeyOf m_keyOf;
    std::unordered_map<std::string, std::vector<int>> m_rows;
};

}  // namespace

std::vector<int> FindRowsAgain(const std::vector<CAddressEntry>& entries,
                               const IAddressList& list) {
    std::vector<int> rows(entries.size(), -1);
    std::vector<bool> taken(static_cast<std::size_t>(list.RowCount()), false);
    // The surest way first, so that a weaker one cannot take a row that a
    // surer one would give to another entry.
    for (const KeyOf& keyOf : {KeyOf(UidKey), KeyOf(AllFieldsKey), KeyOf(NameKey)}) {
        KeyIndex index(list, keyOf);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (rows[i] >= 0) {
                continue;
            }
            const int row = index.Find(entries[i], taken);
            if (row >= 0) {
                rows[i] = row;
                taken[static_cast<std::size_t>(row)] = true;
            }
        }
    }
    return rows;
}

}  // namespace addressbook
