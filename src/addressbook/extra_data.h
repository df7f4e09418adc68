// CExtraData: what an entry's `contact` clause holds beyond the 32 fields.
//
// A book written by a later version, by hand or by the vCard import may give
// a contact attributes that have no field.  Dropping them when the book is
// read would destroy them at the next save, so the entry keeps them here and
// the book is saved with them after the 32 field attributes.
//
// Extra is every argument of the clause except the first pair of each field
// name (whose word or string value is that field's text, as before):
// attributes with other names; a second pair of a field name; the first pair
// of a field name whose value is neither a word nor a string (the field stays
// empty, and the value is kept); arguments that are not attribute pairs.
// They keep their order and their values, of any kind (string, word,
// integer, real, nested list).
//
// Attributes the program itself stores here (see vcard_mapping.h):
//     'UID' = "..."           the contact's identity
//     vCard = "..."           a vCard property that has no field
//     vCardForm = "..."       how a vCard property that fills fields was written
//
// Storage: one heap block, null when there is nothing, so an entry without
// extra data costs one pointer.  The terms are encoded end to end:
//     tag 0 null | 1 integer (4 bytes) | 2 real (4 bytes)
//     3 word | 4 string: length (7 bits a byte, low bits first), bytes
//     5 list: byte length of the elements, the elements
//     6 attribute pair [word "=", word name, value]: name as a word, value
// The block starts with the byte length of the terms (32 bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "clausedb/expr_term.h"

namespace addressbook {

enum class ExtraKind : std::uint8_t { Null, Integer, Real, Word, String, List, Pair };

// A read-only view of one encoded term; valid while the CExtraData it came
// from is unchanged.  A default-made view is invalid ("no term").
class CExtraTerm {
public:
    CExtraTerm() = default;

    bool IsValid() const { return m_p != nullptr && m_p < m_end; }
    explicit operator bool() const { return IsValid(); }
    // The same term of the same data.
    bool operator==(const CExtraTerm& other) const = default;

    ExtraKind Kind() const;
    std::int32_t IntegerValue() const;  // 0 unless an integer
    float RealValue() const;            // 0 unless a real
    // The text of a word or a string, the name of a pair; empty otherwise.
    std::string_view Text() const;
    // A pair's name and value (for other kinds: empty, invalid).
    std::string_view Name() const;
    CExtraTerm Value() const;
    // The first element of a list (invalid for an empty list or another kind).
    CExtraTerm First() const;
    // The term after this one in its list, or in the entry's extra data.
    CExtraTerm Next() const;
    // The term's encoded bytes: two terms are equal exactly when these are.
    std::string_view Encoded() const;

    // The same term as a term of `store` (a pair becomes the list
    // [word "=", word name, value]).
    clausedb::CExprTerm ToClauseTerm(clausedb::CExprStore& store) const;

private:
    friend class CExtraData;
    friend class CExtraDataBuilder;
    CExtraTerm(const char* p, const char* end) : m_p(p), m_end(end) {}

    const char* m_p = nullptr;
    const char* m_end = nullptr;
};

class CExtraData {
public:
    CExtraData() = default;
    CExtraData(const CExtraData& other);
    CExtraData& operator=(const CExtraData& other);
    CExtraData(CExtraData&&) noexcept = default;
    CExtraData& operator=(CExtraData&&) noexcept = default;
    ~CExtraData() = default;

    bool Empty() const { return m_pBlock == nullptr; }
    // Bytes of the encoded terms.
    std::size_t ByteSize() const;

    // The first term; walk on with CExtraTerm::Next().
    CExtraTerm First() const;

    // The text of the first pair named `name` whose value is a word or a
    // string; nullopt when there is none.
    std::optional<std::string_view> FindText(std::string_view name) const;

    // Appends each term to `clause` (a list of `store`), in order.
    void AppendTo(clausedb::CExprTerm clause) const;

    bool operator==(const CExtraData& other) const;

private:
    friend class CExtraDataBuilder;

    std::unique_ptr<char[]> m_pBlock;  // null when there are no terms
};

// Builds a CExtraData term by term.
class CExtraDataBuilder {
public:
    // The pair [word "=", word name, string value].
    void AddStringAttribute(std::string_view name, std::string_view value);
    // A copy of a clause term (any kind, nested lists included).
    void AddTerm(clausedb::CExprTerm term);
    // A copy of a term of another CExtraData.
    void AddTerm(const CExtraTerm& term);

    bool Empty() const { return m_bytes.empty(); }
    // The data built so far; the builder is empty afterwards.
    CExtraData Build();

private:
    std::string m_bytes;
};

// A copy of `extra` without the pairs whose name `drop` accepts.
template <typename Predicate>
CExtraData WithoutAttributes(const CExtraData& extra, Predicate&& drop) {
    CExtraDataBuilder builder;
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        if (term.Kind() != ExtraKind::Pair || !drop(term.Name())) {
            builder.AddTerm(term);
        }
    }
    return builder.Build();
}

}  // namespace addressbook
