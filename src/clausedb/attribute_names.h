// CAttributeNames: a fixed list of attribute names for building and reading
// many clauses quickly.
//
// AddStringAttribute and GetAttributeText look a name up in the store's
// table of words on every call.  Code that handles the same names in
// thousands of clauses (every entry of an address book has the same 32) asks
// this object instead: it finds the names' words once per store and then
// matches attribute pairs by word identity, with one walk over a clause for
// all names.  The results are exactly those of the per-name operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clausedb/expr_term.h"

namespace clausedb {

class CAttributeNames {
public:
    // The names must be distinct (std::invalid_argument otherwise).
    explicit CAttributeNames(const std::vector<std::string_view>& names);

    std::size_t Size() const { return m_names.size(); }
    const std::string& Name(std::size_t index) const { return m_names[index]; }

    // The same as clause.AddStringAttribute(Name(index), value).
    void AddStringAttribute(CExprTerm clause, std::size_t index, std::string_view value) const;
    // The same for every name in order, with values[i] for name i; when
    // `include` is given, only for the names i where include[i] is true.
    void AddStringAttributes(CExprTerm clause, const std::string_view* values,
                             const bool* include = nullptr) const;

    // For every name i: texts[i] is the text that clause.GetAttributeText(
    // Name(i)) gives, or the empty text where it gives none.  `texts` holds
    // Size() views, which point into the clause's store.  True when the
    // clause holds nothing else: every element after the first (the functor)
    // is the first pair of one of the names, with a word or string value.
    bool GetTexts(CExprTerm clause, std::string_view* texts) const;

private:
    // The word offsets of the names in the clause's store (0: the store
    // holds no such word yet).
    const std::uint32_t* Resolve(CExprTerm clause, bool intern) const;

    std::vector<std::string> m_names;
    // Cache for one store's contents, found by its generation.
    mutable std::uint64_t m_nGeneration = 0;
    mutable std::uint32_t m_nInternCount = 0;
    mutable bool m_bComplete = false;  // every name has its word
    mutable std::vector<std::uint32_t> m_offsets;
    mutable std::vector<std::uint64_t> m_seen;  // scratch of GetTexts: one bit per name
};

}  // namespace clausedb
