#include "addressbook/extra_data.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace addressbook {

namespace {

using clausedb::CExprTerm;
using clausedb::ExprKind;

constexpr std::size_t kHeader = 4;  // byte length of the terms

std::uint32_t Load32(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void AppendLength(std::string& out, std::size_t length) {
    do {
        unsigned char byte = length & 0x7F;
        length >>= 7;
        if (length != 0) {
            byte |= 0x80;
        }
        out += static_cast<char>(byte);
    } while (length != 0);
}

// Reads a length written by AppendLength; `p` moves past it.
std::size_t ReadLength(const char*& p) {
    std::size_t length = 0;
    unsigned shift = 0;
    unsigned char byte;
    do {
        byte = static_cast<unsigned char>(*p++);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        shift += 7;
    } while (byte & 0x80);
    return length;
}

void AppendText(std::string& out, ExtraKind kind, std::string_view text) {
    out += static_cast<char>(kind);
    AppendLength(out, text.size());
    out.append(text);
}

void Append32(std::string& out, ExtraKind kind, std::uint32_t value) {
    out += static_cast<char>(kind);
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

// The pair's name when `term` is a list of exactly [word "=", word name,
// value], the form the writer writes as name = value; nullopt otherwise.
std::optional<std::string_view> PairName(CExprTerm term) {
    if (term.Kind() != clausedb::ExprList) {
        return std::nullopt;
    }
    const CExprTerm mark = term.First();
    if (!mark || mark.Kind() != clausedb::ExprWord || mark.WordOrStringText() != "=") {
        return std::nullopt;
    }
    const CExprTerm name = mark.Next();
    if (!name || name.Kind() != clausedb::ExprWord || !name.Next() || name.Next().Next()) {
        return std::nullopt;
    }
    return name.WordOrStringText();
}

void Encode(std::string& out, CExprTerm term) {
    switch (term.Kind()) {
        case clausedb::ExprInteger:
            Append32(out, ExtraKind::Integer, static_cast<std::uint32_t>(term.IntegerValue()));
            return;
        case clausedb::ExprReal: {
            const float value = term.RealValue();
            std::uint32_t bits;
            std::memcpy(&bits, &value, 4);
            Append32(out, ExtraKind::Real, bits);
            return;
        }
        case clausedb::ExprWord:
            AppendText(out, ExtraKind::Word, term.WordOrStringText());
            return;
        case clausedb::ExprString:
            AppendText(out, ExtraKind::String, term.WordOrStringText());
            return;
        case clausedb::ExprList: {
            if (const auto name = PairName(term)) {
                AppendText(out, ExtraKind::Pair, *name);
                Encode(out, term.First().Next().Next());
                return;
            }
            std::string elements;
            for (CExprTerm e = term.First(); e; e = e.Next()) {
                Encode(elements, e);
            }
            out += static_cast<char>(ExtraKind::List);
            AppendLength(out, elements.size());
            out += elements;
            return;
        }
        default:
            out += static_cast<char>(ExtraKind::Null);
            return;
    }
}

// The end of the term that starts at `p`.
const char* Skip(const char* p) {
    const auto kind = static_cast<ExtraKind>(*p++);
    switch (kind) {
        case ExtraKind::Integer:
        case ExtraKind::Real:
            return p + 4;
        case ExtraKind::Word:
        case ExtraKind::String:
        case ExtraKind::List: {
            const std::size_t length = ReadLength(p);
            return p + length;
        }
        case ExtraKind::Pair: {
            const std::size_t length = ReadLength(p);
            return Skip(p + length);
        }
        default:
            return p;
    }
}

}  // namespace

// ---- CExtraTerm

ExtraKind CExtraTerm::Kind() const {
    return IsValid() ? static_cast<ExtraKind>(*m_p) : ExtraKind::Null;
}

std::int32_t CExtraTerm::IntegerValue() const {
    return Kind() == ExtraKind::Integer ? static_cast<std::int32_t>(Load32(m_p + 1)) : 0;
}

float CExtraTerm::RealValue() const {
    if (Kind() != ExtraKind::Real) {
        return 0.0f;
    }
    float value;
    std::memcpy(&value, m_p + 1, 4);
    return value;
}

std::string_view CExtraTerm::Text() const {
    const ExtraKind kind = Kind();
    if (kind != ExtraKind::Word && kind != ExtraKind::String && kind != ExtraKind::Pair) {
        return {};
    }
    const char* p = m_p + 1;
    const std::size_t length = ReadLength(p);
    return {p, length};
}

std::string_view CExtraTerm::Name() const {
    return Kind() == ExtraKind::Pair ? Text() : std::string_view();
}

CExtraTerm CExtraTerm::Value() const {
    if (Kind() != ExtraKind::Pair) {
        return {};
    }
    const char* p = m_p + 1;
    const std::size_t length = ReadLength(p);
    p += length;
    return CExtraTerm(p, Skip(p));
}

CExtraTerm CExtraTerm::First() const {
    if (Kind() != ExtraKind::List) {
        return {};
    }
    const char* p = m_p + 1;
    const std::size_t length = ReadLength(p);
    return length == 0 ? CExtraTerm() : CExtraTerm(p, p + length);
}

CExtraTerm CExtraTerm::Next() const {
    if (!IsValid()) {
        return {};
    }
    const char* next = Skip(m_p);
    return next < m_end ? CExtraTerm(next, m_end) : CExtraTerm();
}

std::string_view CExtraTerm::Encoded() const {
    if (!IsValid()) {
        return {};
    }
    return std::string_view(m_p, static_cast<std::size_t>(Skip(m_p) - m_p));
}

CExprTerm CExtraTerm::ToClauseTerm(clausedb::CExprStore& store) const {
    switch (Kind()) {
        case ExtraKind::Integer:
            return store.NewInteger(IntegerValue());
        case ExtraKind::Real:
            return store.NewReal(RealValue());
        case ExtraKind::Word:
            return store.NewWord(Text());
        case ExtraKind::String:
            return store.NewString(Text());
        case ExtraKind::List: {
            CExprTerm list = store.NewList();
            for (CExtraTerm e = First(); e; e = e.Next()) {
                list.AddElement(e.ToClauseTerm(store));
            }
            return list;
        }
        case ExtraKind::Pair: {
            CExprTerm pair = store.NewList();
            pair.AddElement(store.NewWord("="));
            pair.AddElement(store.NewWord(Name()));
            pair.AddElement(Value().ToClauseTerm(store));
            return pair;
        }
        default:
            return store.NewNull();
    }
}

// ---- CExtraData

CExtraData::CExtraData(const CExtraData& other) {
    *this = other;
}

CExtraData& CExtraData::operator=(const CExtraData& other) {
    if (this != &other) {
        std::unique_ptr<char[]> copy;
        if (other.m_pBlock) {
            const std::size_t size = kHeader + other.ByteSize();
            copy.reset(new char[size]);
            std::memcpy(copy.get(), other.m_pBlock.get(), size);
        }
        m_pBlock = std::move(copy);
    }
    return *this;
}

std::size_t CExtraData::ByteSize() const {
    return m_pBlock ? Load32(m_pBlock.get()) : 0;
}

CExtraTerm CExtraData::First() const {
    if (!m_pBlock) {
        return {};
    }
    const char* terms = m_pBlock.get() + kHeader;
    return CExtraTerm(terms, terms + ByteSize());
}

std::optional<std::string_view> CExtraData::FindText(std::string_view name) const {
    for (CExtraTerm term = First(); term; term = term.Next()) {
        if (term.Kind() == ExtraKind::Pair && term.Name() == name) {
            const CExtraTerm value = term.Value();
            if (value.Kind() == ExtraKind::String || value.Kind() == ExtraKind::Word) {
                return value.Text();
            }
        }
    }
    return std::nullopt;
}

void CExtraData::AppendTo(CExprTerm clause) const {
    clausedb::CExprStore* store = clause.Store();
    if (store == nullptr) {
        return;
    }
    for (CExtraTerm term = First(); term; term = term.Next()) {
        clause.AddElement(term.ToClauseTerm(*store));
    }
}

bool CExtraData::operator==(const CExtraData& other) const {
    const std::size_t size = ByteSize();
    return size == other.ByteSize() &&
           (size == 0 ||
            std::memcmp(m_pBlock.get() + kHeader, other.m_pBlock.get() + kHeader, size) == 0);
}

// ---- CExtraDataBuilder

void CExtraDataBuilder::AddStringAttribute(std::string_view name, std::string_view value) {
    AppendText(m_bytes, ExtraKind::Pair, name);
    AppendText(m_bytes, ExtraKind::String, value);
}

void CExtraDataBuilder::AddTerm(CExprTerm term) {
    Encode(m_bytes, term);
}

void CExtraDataBuilder::AddTerm(const CExtraTerm& term) {
    if (term) {
        m_bytes.append(term.m_p, Skip(term.m_p));
    }
}

CExtraData CExtraDataBuilder::Build() {
    CExtraData data;
    if (m_bytes.empty()) {
        return data;
    }
    // The same limit as an entry's texts: offsets are 32-bit.
    if (m_bytes.size() > std::numeric_limits<std::uint32_t>::max() - kHeader) {
        throw std::length_error("address entry extra data too long");
    }
    const auto size = static_cast<std::uint32_t>(m_bytes.size());
    data.m_pBlock.reset(new char[kHeader + size]);
    std::memcpy(data.m_pBlock.get(), &size, kHeader);
    std::memcpy(data.m_pBlock.get() + kHeader, m_bytes.data(), size);
    m_bytes.clear();
    return data;
}

}  // namespace addressbook
