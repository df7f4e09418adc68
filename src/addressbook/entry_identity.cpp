#include "addressbook/entry_identity.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace addressbook {

namespace {

// SHA-1 (FIPS 180-4), for name-based UUIDs only.
class Sha1 {
public:
    void Update(std::string_view bytes) {
        m_nBits += std::uint64_t{bytes.size()} * 8;
        while (!bytes.empty()) {
            const std::size_t take = std::min<std::size_t>(64 - m_nFill, bytes.size());
            std::memcpy(m_block + m_nFill, bytes.data(), take);
            m_nFill += take;
            bytes.remove_prefix(take);
            if (m_nFill == 64) {
                Compress();
            }
        }
    }

    std::array<std::uint8_t, 20> Final() {
        const std::uint64_t bits = m_nBits;
        m_block[m_nFill++] = 0x80;
        if (m_nFill > 56) {
            while (m_nFill < 64) {
                m_block[m_nFill++] = 0;
            }
            Compress();
        }
        while (m_nFill < 56) {
            m_block[m_nFill++] = 0;
        }
        for (int i = 7; i >= 0; --i) {
            m_block[m_nFill++] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
        Compress();
        std::array<std::uint8_t, 20> digest{};
        for (std::size_t i = 0; i < 20; ++i) {
            digest[i] = static_cast<std::uint8_t>(m_state[i / 4] >> (24 - 8 * (i % 4)));
        }
        return digest;
    }

private:
    static std::uint32_t Rotate(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

    void Compress() {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            w[i] = std::uint32_t{m_block[4 * i]} << 24 | std::uint32_t{m_block[4 * i + 1]} << 16 |
                   std::uint32_t{m_block[4 * i + 2]} << 8 | m_block[4 * i + 3];
        }
        for (int i = 16; i < 80; ++i) {
            w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        }
        std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3],
                      e = m_state[4];
        auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t word) {
            const std::uint32_t t = Rotate(a, 5) + f + e + k + word;
            e = d;
            d = c;
            c = Rotate(b, 30);
            b = a;
            a = t;
        };
        for (int i = 0; i < 20; ++i) {
            round((b & c) | (~b & d), 0x5A827999, w[i]);
        }
        for (int i = 20; i < 40; ++i) {
            round(b ^ c ^ d, 0x6ED9EBA1, w[i]);
        }
        for (int i = 40; i < 60; ++i) {
            round((b & c) | (b & d) | (c & d), 0x8F1BBCDC, w[i]);
        }
        for (int i = 60; i < 80; ++i) {
            round(b ^ c ^ d, 0xCA62C1D6, w[i]);
        }
        m_state[0] += a;
        m_state[1] += b;
        m_state[2] += c;
        m_state[3] += d;
        m_state[4] += e;
        m_nFill = 0;
    }

    std::uint32_t m_state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::uint8_t m_block[64] = {};
    std::size_t m_nFill = 0;
    std::uint64_t m_nBits = 0;
};

// The namespace of the UUIDs derived from entries (a fixed random UUID).
constexpr std::uint8_t kEntryNamespace[16] = {0x4f, 0x9e, 0x2c, 0x71, 0x8a, 0x3d, 0x4b, 0x06,
                                              0x9d, 0x15, 0x62, 0xe8, 0x0c, 0x57, 0xa3, 0xb4};

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

}  // namespace

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
    if (m_bIndexed) {
        m_used.insert(hash);
    } else {
        m_reserved.push_back(hash);
    }
}

std::string CUidAssigner::UidFor(const CAddressEntry& entry) {
    if (const std::optional<std::string_view> own = EntryUid(entry)) {
        return std::string(*own);
    }
    if (!m_bIndexed) {
        m_used.insert(m_reserved.begin(), m_reserved.end());
        m_reserved = {};
        m_bIndexed = true;
    }
    const std::string first = DerivedUid(entry, 0);
    int& occurrence = m_occurrences[std::hash<std::string_view>()(first)];
    std::string uid = occurrence == 0 ? first : DerivedUid(entry, occurrence);
    while (m_used.count(std::hash<std::string_view>()(uid)) != 0) {
        uid = DerivedUid(entry, ++occurrence);
    }
    ++occurrence;
    Reserve(uid);
    return uid;
}

std::vector<std::string> ExportUids(const IAddressList& list) {
    CUidAssigner assigner;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (const std::optional<std::string_view> own = EntryUid(list.EntryAt(row))) {
            assigner.Reserve(*own);
        }
    }
    std::vector<std::string> uids;
    uids.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        uids.push_back(assigner.UidFor(list.EntryAt(row)));
    }
    return uids;
}

void GiveMissingUids(std::vector<std::unique_ptr<CAddressEntry>>& entries) {
    CUidAssigner assigner;
    for (const std::unique_ptr<CAddressEntry>& entry : entries) {
        if (const std::optional<std::string_view> own = EntryUid(*entry)) {
            assigner.Reserve(*own);
        }
    }
    for (const std::unique_ptr<CAddressEntry>& entry : entries) {
        if (!EntryUid(*entry)) {
            SetEntryUid(*entry, assigner.UidFor(*entry));
        }
    }
}

}  // namespace addressbook
