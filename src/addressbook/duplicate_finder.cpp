#include "addressbook/duplicate_finder.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

#include "addressbook/match_keys.h"

namespace addressbook {

namespace {

constexpr int kPhoneFields[] = {HomePhone, WorkPhone, CellPhone, Pager, FaxPhone};

// Union-find over the rows, by size with path halving; each root carries the
// reasons of the matches that built its set.
class RowSets {
public:
    explicit RowSets(int count)
        : m_parent(static_cast<std::size_t>(count)),
          m_size(static_cast<std::size_t>(count), 1),
          m_reasons(static_cast<std::size_t>(count), 0) {
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

    void Join(int a, int b, unsigned reason) {
        auto ra = static_cast<std::size_t>(Find(a));
        auto rb = static_cast<std::size_t>(Find(b));
        if (ra != rb) {
            if (m_size[ra] < m_size[rb]) {
                std::swap(ra, rb);
            }
            m_parent[rb] = static_cast<int>(ra);
            m_size[ra] += m_size[rb];
            m_reasons[ra] |= m_reasons[rb];
        }
        m_reasons[ra] |= reason;
    }

    int SizeOf(int root) const { return m_size[static_cast<std::size_t>(root)]; }
    unsigned ReasonsOf(int root) const { return m_reasons[static_cast<std::size_t>(root)]; }

private:
    std::vector<int> m_parent;
    std::vector<int> m_size;
    std::vector<unsigned> m_reasons;
};

// The first row seen with each key, per kind of key.
class KeyIndex {
public:
    KeyIndex(RowSets& sets, unsigned reason, std::size_t expected)
        : m_sets(sets), m_reason(reason) {
        m_first.reserve(expected);
    }

    void Add(std::string key, int row) {
        if (key.empty()) {
            return;
        }
        const auto [it, inserted] = m_first.try_emplace(std::move(key), row);
        if (!inserted && it->second != row) {
            m_sets.Join(it->second, row, m_reason);
        }
    }

private:
    RowSets& m_sets;
    unsigned m_reason;
    std::unordered_map<std::string, int> m_first;
};

}  // namespace

std::vector<DuplicateGroup> FindDuplicates(const IAddressList& list) {
    const int count = list.RowCount();
    RowSets sets(count);
    const auto expected = static_cast<std::size_t>(count);
    KeyIndex names(sets, kMatchName, expected);
    KeyIndex emails(sets, kMatchEmail, expected);
    KeyIndex phones(sets, kMatchPhone, expected);
    for (int row = 0; row < count; ++row) {
        const CAddressEntry& entry = list.EntryAt(row);
        names.Add(NameKey(entry.GetField(FirstName), entry.GetField(LastName)), row);
        for (const int field : {Email1, Email2}) {
            const std::string_view text = entry.GetField(field);
            if (!text.empty()) {
                emails.Add(EmailKey(text), row);
            }
        }
        for (const int field : kPhoneFields) {
            const std::string_view text = entry.GetField(field);
            if (!text.empty()) {
                phones.Add(PhoneKey(text), row);
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
