#include "addressbook/duplicate_finder.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

#include "addressbook/match_keys.h"

namespace addressbook {

namespace {

constexpr int kPhoneFields[] = {HomePhone, WorkPhone, CellPhone, Pager, FaxPhone};

std::vector<std::string_view> Words(std::string_view key) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < key.size()) {
        std::size_t end = key.find(' ', start);
        if (end == std::string_view::npos) {
            end = key.size();
        }
        words.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Union-find over the rows, by size with path halving.  Each root carries
// the reasons of the matches that built its set and the longest name key
// of its named entries (empty while none has a name).
class RowSets {
public:
    explicit RowSets(int count)
        : m_parent(static_cast<std::size_t>(count)),
          m_size(static_cast<std::size_t>(count), 1),
          m_reasons(static_cast<std::size_t>(count), 0),
          m_name(static_cast<std::size_t>(count)) {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }

    int Find(int row) {
        auto r = static_cast<std::size_t>(row);
        while (m_parent[r] != static_cast<int>(r)) {
            m_parent[r] = m_parent[static_cast<std::size_t>(m_parent[r])];
            r = static_cast<std::size_t>(m_parent[r]);
        }
        return static_cast<int>(r);
    }

    void SetName(int row, std::string name) {
        m_name[static_cast<std::size_t>(row)] = std::move(name);
    }

    // Joins the sets of `a` and `b`, unless both hold named entries whose
    // names cannot be one person's: colleagues who share a switchboard
    // number, or a family that shares one mailbox, are different people,
    // while "J. Doe" and "Jane Doe" may be one.  Names themselves always
    // join (their keys are equal).
    void Join(int a, int b, unsigned reason) {
        auto ra = static_cast<std::size_t>(Find(a));
        auto rb = static_cast<std::size_t>(Find(b));
        if (ra == rb) {
            m_reasons[ra] |= reason;
            return;
        }
        if (!m_name[ra].empty() && !m_name[rb].empty() &&
            !NamesMayBeOnePerson(m_name[ra], m_name[rb])) {
            return;
        }
        if (m_size[ra] < m_size[rb]) {
            std::swap(ra, rb);
        }
        m_parent[rb] = static_cast<int>(ra);
        m_size[ra] += m_size[rb];
        m_reasons[ra] |= m_reasons[rb] | reason;
        if (m_name[rb].size() > m_name[ra].size()) {
            m_name[ra] = std::move(m_name[rb]);
        }
        m_name[rb].clear();
    }

    int SizeOf(int root) const { return m_size[static_cast<std::size_t>(root)]; }
    unsigned ReasonsOf(int root) const { return m_reasons[static_cast<std::size_t>(root)]; }

private:
    std::vector<int> m_parent;
    std::vector<int> m_size;
    std::vector<unsigned> m_reasons;
    std::vector<std::string> m_name;
};

}  // namespace

bool NamesMayBeOnePerson(std::string_view a, std::string_view b) {
    std::vector<std::string_view> shorter = Words(a);
    std::vector<std::string_view> longer = Words(b);
    if (shorter.size() > longer.size()) {
        std::swap(shorter, longer);
    }
    for (const std::string_view word : shorter) {
        const auto match =
            std::find_if(longer.begin(), longer.end(), [word](std::string_view other) {
                return other == word || (word.size() == 1 && other.front() == word.front()) ||
                       (other.size() == 1 && word.front() == other.front());
            });
        if (match == longer.end()) {
            return false;
        }
        longer.erase(match);
    }
    return true;
}

std::vector<MatchKey> MatchKeysOf(const CAddressEntry& entry) {
    std::vector<MatchKey> keys;
    const auto add = [&keys](MatchReason kind, std::string text) {
        if (!text.empty()) {
            keys.push_back({kind, std::move(text)});
        }
    };
    add(kMatchName, NameKey(entry.GetField(FirstName), entry.GetField(LastName)));
    for (const int field : {Email1, Email2}) {
        const std::string_view text = entry.GetField(field);
        if (!text.empty()) {
            add(kMatchEmail, EmailKey(text));
        }
    }
    for (const int field : kPhoneFields) {
        const std::string_view text = entry.GetField(field);
        if (!text.empty()) {
            add(kMatchPhone, PhoneKey(text));
        }
    }
    return keys;
}

std::vector<DuplicateGroup> FindDuplicates(const IAddressList& list) {
    const int count = list.RowCount();
    RowSets sets(count);
    // The first row seen with each key; the kind goes in front of the text,
    // so that one table holds every kind.
    std::unordered_map<std::string, int> firstRow;
    firstRow.reserve(static_cast<std::size_t>(count) * 2);
    std::string tagged;
    for (int row = 0; row < count; ++row) {
        std::vector<MatchKey> keys = MatchKeysOf(list.EntryAt(row));
        if (!keys.empty() && keys.front().kind == kMatchName) {
            sets.SetName(row, keys.front().text);
        }
        for (MatchKey& key : keys) {
            tagged.assign(1, static_cast<char>('0' + key.kind));
            tagged += key.text;
            const auto [it, inserted] = firstRow.try_emplace(tagged, row);
            if (!inserted && it->second != row) {
                sets.Join(it->second, row, key.kind);
            }
        }
    }

    // Rows are visited in order, so each group's rows ascend and the groups
    // come out in the order of their first rows.
    std::vector<DuplicateGroup> groups;
    std::vector<int> groupOfRoot(static_cast<std::size_t>(count), -1);
    for (int row = 0; row < count; ++row) {
        const int root = sets.Find(row);
        if (sets.SizeOf(root) < 2) {
            continue;
        }
        int& group = groupOfRoot[static_cast<std::size_t>(root)];
        if (group < 0) {
            group = static_cast<int>(groups.size());
            groups.push_back({{}, sets.ReasonsOf(root)});
            groups.back().rows.reserve(static_cast<std::size_t>(sets.SizeOf(root)));
        }
        groups[static_cast<std::size_t>(group)].rows.push_back(row);
    }
    return groups;
}

std::vector<int> DifferingFields(const IAddressList& list, const std::vector<int>& rows) {
    std::vector<int> fields;
    if (rows.empty()) {
        return fields;
    }
    const CAddressEntry& first = list.EntryAt(rows.front());
    for (int field = 0; field < kFieldCount; ++field) {
        const std::string_view text = first.GetField(field);
        const bool differs = std::any_of(rows.begin() + 1, rows.end(), [&](int row) {
            return list.EntryAt(row).GetField(field) != text;
        });
        if (differs) {
            fields.push_back(field);
        }
    }
    return fields;
}

}  // namespace addressbook
