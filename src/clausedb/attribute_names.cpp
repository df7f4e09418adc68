#include "clausedb/attribute_names.h"

#include <algorithm>
#include <stdexcept>

#include "clausedb/expr_store_impl.h"

namespace clausedb {

using Impl = CExprStore::Impl;

CAttributeNames::CAttributeNames(const std::vector<std::string_view>& names)
    : m_names(names.begin(), names.end()),
      m_offsets(names.size(), 0),
      m_seen((names.size() + 63) / 64, 0) {
    std::vector<std::string_view> sorted(names);
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
        throw std::invalid_argument("attribute names must be distinct");
    }
}

const std::uint32_t* CAttributeNames::Resolve(CExprTerm clause, bool intern) const {
    Impl& impl = ExprStoreAccess::Of(*clause.Store());
    if (m_nGeneration != impl.generation) {
        m_nGeneration = impl.generation;
        m_nInternCount = ~std::uint32_t{0};
        m_bComplete = false;
        std::fill(m_offsets.begin(), m_offsets.end(), 0);
    }
    if (m_bComplete || (!intern && m_nInternCount == impl.internCount)) {
        return m_offsets.data();
    }
    // Words are never removed but by Clear(), which changes the generation,
    // so only the names without a word need looking up again.
    m_bComplete = true;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (m_offsets[i] == 0 && !m_names[i].empty()) {
            m_offsets[i] = intern ? impl.Intern(m_names[i]) : impl.FindInterned(m_names[i]);
            m_bComplete = m_bComplete && m_offsets[i] != 0;
        }
    }
    m_nInternCount = impl.internCount;
    return m_offsets.data();
}

void CAttributeNames::AddStringAttribute(CExprTerm clause, std::size_t index,
                                         std::string_view value) const {
    if (clause.Kind() != ExprList || index >= m_names.size()) {
        return;
    }
    const std::uint32_t name = Resolve(clause, true)[index];
    Impl& impl = ExprStoreAccess::Of(*clause.Store());
    std::uint32_t pair = impl.NewList();
    impl.Append(pair, impl.NewCell(ExprWord, impl.EqualsWord()));
    impl.Append(pair, impl.NewCell(ExprWord, name));
    impl.Append(pair, impl.NewString(value));
    impl.Append(clause.Index(), pair);
}

void CAttributeNames::AddStringAttributes(CExprTerm clause, const std::string_view* values,
                                          const bool* include) const {
    if (clause.Kind() != ExprList) {
        return;
    }
    const std::uint32_t* names = Resolve(clause, true);
    Impl& impl = ExprStoreAccess::Of(*clause.Store());
    const std::uint32_t equals = impl.EqualsWord();
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (include != nullptr && !include[i]) {
            continue;
        }
        const std::uint32_t text = impl.AddText(values[i]);
        std::uint32_t pair;
        if (impl.freeHead == 0 && (impl.cellCount >> Impl::kCellShift) < impl.cellChunks.size() &&
            (impl.cellCount & (Impl::kCellsPerChunk - 1)) <= Impl::kCellsPerChunk - 4) {
            // Four fresh cells side by side in one chunk, as NewCell would
            // hand them out: the pair list, "=", the name and the value.
            pair = impl.cellCount;
            impl.cellCount += 4;
            ExprCell* cells = &impl.At(pair);
            cells[0] = ExprCell{ExprList, pair + 1, 0, pair + 3};
            cells[1] = ExprCell{ExprWord, equals, pair + 2, 0};
            cells[2] = ExprCell{ExprWord, names[i], pair + 3, 0};
            cells[3] = ExprCell{ExprString, text, 0, 0};
        } else {
            pair = impl.NewList();
            const std::uint32_t mark = impl.NewCell(ExprWord, equals);
            const std::uint32_t name = impl.NewCell(ExprWord, names[i]);
            const std::uint32_t value = impl.NewCell(ExprString, text);
            impl.At(mark).next = name;
            impl.At(name).next = value;
            ExprCell& list = impl.At(pair);
            list.value = mark;
            list.last = value;
        }
        impl.Append(clause.Index(), pair);
    }
}

bool CAttributeNames::GetTexts(CExprTerm clause, std::string_view* texts) const {
    const std::size_t count = m_names.size();
    std::fill(texts, texts + count, std::string_view());
    if (clause.Kind() != ExprList) {
        return true;
    }
    const Impl& impl = ExprStoreAccess::Of(*clause.Store());
    const std::uint32_t functor = impl.At(clause.Index()).value;
    if (count == 0) {
        return functor == 0 || impl.At(functor).next == 0;
    }
    const std::uint32_t* offsets = Resolve(clause, false);
    std::fill(m_seen.begin(), m_seen.end(), 0);
    std::uint64_t* seen = m_seen.data();
    std::size_t remaining = count;
    std::size_t hint = 0;  // pairs usually come in the order of the names
    // The elements that FindAttributePair accepts: a list whose first
    // element is a word starting with '=' and whose second element is a word.
    bool onlyTexts = true;
    for (std::uint32_t e = functor; e != 0; e = impl.At(e).next) {
        const ExprCell* pairName = impl.AttributePairName(impl.At(e));
        if (pairName == nullptr) {
            onlyTexts = onlyTexts && e == functor;
            continue;
        }
        const ExprCell& name = *pairName;
        // A name without a word in the store matches nothing; offset 0 is
        // the empty word, which only the empty name matches.
        auto matches = [&](std::size_t i) {
            return offsets[i] == name.value && (name.value != 0 || m_names[i].empty());
        };
        std::size_t index = hint < count && matches(hint) ? hint : count;
        for (std::size_t i = 0; index == count && i < count; ++i) {
            if (matches(i)) {
                index = i;
            }
        }
        if (index == count) {
            onlyTexts = false;
            continue;
        }
        hint = index + 1;
        const std::uint64_t bit = std::uint64_t{1} << (index % 64);
        if ((seen[index / 64] & bit) != 0) {
            onlyTexts = false;
            continue;  // the first pair with a name counts, whatever its value
        }
        seen[index / 64] |= bit;
        bool text = false;
        if (name.next != 0) {
            const ExprCell& value = impl.At(name.next);
            if (value.kind == ExprWord || value.kind == ExprString) {
                texts[index] = impl.Text(value.value);
                text = true;
            }
        }
        onlyTexts = onlyTexts && text;
        if (--remaining == 0) {
            return onlyTexts && impl.At(e).next == 0;
        }
    }
    return onlyTexts;
}

}  // namespace clausedb
