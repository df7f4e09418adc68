#include "addressbook/existing_entries.h"

#include <algorithm>

#include "addressbook/duplicate_finder.h"
#include "addressbook/entry_identity.h"

namespace addressbook {

namespace {

// The key of `key` in the table: its kind in front of its text, so that one
// table holds every kind.
std::string Tagged(const MatchKey& key) {
    std::string tagged(1, static_cast<char>('0' + key.kind));
    tagged += key.text;
    return tagged;
}

// The name key of an entry's keys, empty when it has none (MatchKeysOf puts
// it first).
const std::string& NameOf(const std::vector<MatchKey>& keys) {
    static const std::string kNone;
    return !keys.empty() && keys.front().kind == kMatchName ? keys.front().text : kNone;
}

}  // namespace

CExistingEntries::CExistingEntries(const IAddressList& book) {
    const int count = book.RowCount();
    m_keys.reserve(static_cast<std::size_t>(count) * 2);
    for (int row = 0; row < count; ++row) {
        const CAddressEntry& entry = book.EntryAt(row);
        if (const std::optional<std::string_view> uid = EntryUid(entry)) {
            m_uids.emplace(*uid);
        }
        const std::vector<MatchKey> keys = MatchKeysOf(entry);
        const std::string& name = NameOf(keys);
        for (const MatchKey& key : keys) {
            Holders& holders = m_keys[Tagged(key)];
            if (key.kind == kMatchName) {
                continue;  // equal names match whoever holds them
            }
            if (name.empty()) {
                holders.unnamed = true;
            } else if (std::find(holders.names.begin(), holders.names.end(), name) ==
                       holders.names.end()) {
                holders.names.push_back(name);
            }
        }
    }
}

bool CExistingEntries::Holds(const CAddressEntry& entry) const {
    if (const std::optional<std::string_view> uid = EntryUid(entry)) {
        if (m_uids.count(std::string(*uid)) != 0) {
            return true;
        }
    }
    const std::vector<MatchKey> keys = MatchKeysOf(entry);
    const std::string& name = NameOf(keys);
    return std::any_of(keys.begin(), keys.end(), [&](const MatchKey& key) {
        const auto it = m_keys.find(Tagged(key));
        if (it == m_keys.end()) {
            return false;
        }
        const Holders& holders = it->second;
        if (key.kind == kMatchName || name.empty() || holders.unnamed) {
            return true;
        }
        // A shared address or number joins no names that cannot be one
        // person's, as in Find Duplicates.
        return std::any_of(
            holders.names.begin(), holders.names.end(),
            [&](const std::string& other) { return NamesMayBeOnePerson(name, other); });
    });
}

std::string ImportSummaryText(int imported, int skipped) {
    std::string text = std::to_string(imported) + " addresses imported.";
    if (skipped > 0) {
        text += " " + std::to_string(skipped) +
                (skipped == 1 ? " already in the book was skipped."
                              : " already in the book were skipped.");
    }
    return text;
}

}  // namespace addressbook
