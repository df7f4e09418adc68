#include "addressbook/entry_identity.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "addressbook/sha1.h"

namespace addressbook {

namespace {

// The namespace of the UUIDs derived from entries (a fixed random UUID).
constexpr std::uint8_t kEntryNamespace[16] = {0x4f, 0x9e, 0x2c, 0x71, 0x8a, 0x3d, 0x4b, 0x06,
                                              0x9d, 0x15, 0x62, 0xe8, 0x0c, 0x57, 0xa3, 0xb4};

}  // namespace

std::string NameBasedUuid(std::string_view name) {
    Sha1 sha;
    sha.Update(std::string_view(reinterpret_cast<const char*>(kEntryNamespace), 16));
    sha.Update(name);
    std::array<std::uint8_t, 20> digest = sha.Final();
    digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0F) | 0x50);  // version 5
    digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3F) | 0x80);  // RFC 4122 variant
    static constexpr char kHex[] = "0123456789abcdef";
    std::string uuid = "urn:uuid:";
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            uuid += '-';
        }
        uuid += kHex[digest[i] >> 4];
        uuid += kHex[digest[i] & 15];
    }
    return uuid;
}

std::optional<std::string_view> EntryUid(const CAddressEntry& entry) {
    return entry.Extra().FindText(kUidAttribute);
}

void SetEntryUid(CAddressEntry& entry, std::string_view uid) {
    const std::string copy(uid);  // `uid` may point into the entry
    CExtraDataBuilder builder;
    bool replaced = false;
    const CExtraData& extra = entry.Extra();
    if (!EntryUid(entry)) {
        builder.AddStringAttribute(kUidAttribute, copy);
        replaced = true;
    }
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        const ExtraKind value = term.Value().Kind();
        if (!replaced && term.Kind() == ExtraKind::Pair && term.Name() == kUidAttribute &&
            (value == ExtraKind::String || value == ExtraKind::Word)) {
            builder.AddStringAttribute(kUidAttribute, copy);
            replaced = true;
        } else {
            builder.AddTerm(term);
        }
    }
    entry.SetExtra(builder.Build());
}

bool IsIdentityAttribute(std::string_view name) {
    return name == kUidAttribute || name.substr(0, 4) == "Sync";
}

CAddressEntry CopyWithoutIdentity(const CAddressEntry& entry) {
    CAddressEntry copy = entry;
    copy.SetExtra(WithoutAttributes(entry.Extra(), IsIdentityAttribute));
    return copy;
}

std::string DerivedUid(const CAddressEntry& entry, int occurrence) {
    // The name: each field as its length (7 bits a byte, low bits first) and
    // its text, then the occurrence the same way.
    std::string name;
    std::array<std::string_view, kFieldCount> fields;
    entry.GetFields(fields);
    name.reserve(entry.TextSize() + kFieldCount + 8);
    auto appendNumber = [&name](std::size_t value) {
        do {
            name += static_cast<char>((value & 0x7F) | (value > 0x7F ? 0x80 : 0));
            value >>= 7;
        } while (value != 0);
    };
    for (std::string_view field : fields) {
        appendNumber(field.size());
        name += field;
    }
    appendNumber(static_cast<std::size_t>(occurrence));
    return NameBasedUuid(name);
}

void CUidAssigner::Reserve(std::string_view uid) {
    const std::size_t hash = std::hash<std::string_view>()(uid);
    if (m_bSorted) {
        m_given.insert(hash);
    } else {
        m_reserved.push_back(hash);
    }
}

bool CUidAssigner::IsTaken(std::size_t hash) const {
    return std::binary_search(m_reserved.begin(), m_reserved.end(), hash) ||
           m_given.count(hash) != 0;
}

std::string CUidAssigner::UidFor(const CAddressEntry& entry) {
    if (const std::optional<std::string_view> own = EntryUid(entry)) {
        return std::string(*own);
    }
    if (!m_bSorted) {
        std::sort(m_reserved.begin(), m_reserved.end());
        m_bSorted = true;
    }
    const std::string first = DerivedUid(entry, 0);
    int& occurrence = m_occurrences[std::hash<std::string_view>()(first)];
    std::string uid = occurrence == 0 ? first : DerivedUid(entry, occurrence);
    while (IsTaken(std::hash<std::string_view>()(uid))) {
        uid = DerivedUid(entry, ++occurrence);
    }
    ++occurrence;
    Reserve(uid);
    return uid;
}

namespace {

// The UIDs of `count` entries, `entryAt(i)` giving each: its own, or the
// one CUidAssigner gives it.  Nearly every entry's derived UID of
// occurrence 0 is met once among all the entries' own and derived UIDs, and
// the assigner would give it that one: sorted hashes find those in passes
// over contiguous memory, where the assigner's hash tables cost more than
// deriving the UIDs.  Only the others (identical entries, a copy of an entry
// that already holds its derived UID) go through the assigner, in order.
// The result is the assigner's for every run of entries short of two
// different UIDs of one 64-bit hash.
template <typename EntryAt>
std::vector<std::string> AssignUids(std::size_t count, EntryAt entryAt) {
    std::vector<std::string> uids(count);
    std::vector<std::size_t> hashOf(count);
    std::vector<bool> own(count);
    for (std::size_t i = 0; i < count; ++i) {
        const CAddressEntry& entry = entryAt(i);
        const std::optional<std::string_view> uid = EntryUid(entry);
        own[i] = uid.has_value();
        uids[i] = uid ? std::string(*uid) : DerivedUid(entry, 0);
        hashOf[i] = std::hash<std::string_view>()(uids[i]);
    }
    std::vector<std::size_t> sorted = hashOf;
    std::sort(sorted.begin(), sorted.end());
    auto metOnce = [&sorted](std::size_t hash) {
        const auto [first, last] = std::equal_range(sorted.begin(), sorted.end(), hash);
        return last - first == 1;
    };
    std::vector<std::size_t> shared;
    CUidAssigner assigner;
    for (std::size_t i = 0; i < count; ++i) {
        if (own[i] || metOnce(hashOf[i])) {
            assigner.Reserve(uids[i]);
        } else {
            shared.push_back(i);
        }
    }
    for (std::size_t i : shared) {
        uids[i] = assigner.UidFor(entryAt(i));
    }
    return uids;
}

}  // namespace

std::vector<std::string> ExportUids(const IAddressList& list) {
    return AssignUids(static_cast<std::size_t>(std::max(list.RowCount(), 0)),
                      [&list](std::size_t row) -> const CAddressEntry& {
                          return list.EntryAt(static_cast<int>(row));
                      });
}

void GiveMissingUids(std::vector<std::unique_ptr<CAddressEntry>>& entries) {
    const std::vector<std::string> uids = AssignUids(
        entries.size(), [&entries](std::size_t i) -> const CAddressEntry& { return *entries[i]; });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!EntryUid(*entries[i])) {
            SetEntryUid(*entries[i], uids[i]);
        }
    }
}

}  // namespace addressbook
