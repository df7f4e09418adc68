// Terms of the clause language and the clause writer.
//
// A term is null, a 32-bit integer, a 32-bit real, a word, a string or a
// list.  A clause is a list whose first element is a word, the functor; an
// attribute is the three-element list [word "=", word name, value].
//
// Storage: a large address book holds millions of terms, so terms do not live
// in separate heap blocks.  Each term is a 16-byte cell in a CExprStore (an
// arena that also holds the texts), and CExprTerm is a small handle (store,
// index) that is cheap to copy.  A list owns its elements and a word or
// string its text in the sense that DestroyContents releases them; the memory
// itself returns when the store is cleared or destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace clausedb {

enum ExprKind : std::int32_t {
    ExprNull = 0,
    ExprInteger = 1,
    ExprReal = 2,
    ExprWord = 3,
    ExprString = 4,
    ExprList = 5,
};

class CExprStore;

// A point in a store's history, from CExprStore::Mark(); only Rewind() reads
// its fields.
struct StoreMark {
    std::uint64_t generation = 0;  // 0: no point of any store
    std::uint32_t cells = 0;
    std::uint64_t frees = 0;
    std::uint64_t textUsed = 0;
    std::uint64_t textEnd = 0;
    std::size_t textSlots = 0;
};

// Line ends of the writer: bare line feeds (the text in memory), or carriage
// return and line feed (the file on disk; line feeds inside values too).
enum class LineEnd { Lf, CrLf };

class CExprTerm {
public:
    CExprTerm() = default;  // "no term": IsValid() is false
    CExprTerm(CExprStore* store, std::uint32_t index) : m_store(store), m_index(index) {}

    bool IsValid() const { return m_store != nullptr && m_index != 0; }
    explicit operator bool() const { return IsValid(); }
    bool operator==(const CExprTerm& other) const = default;

    ExprKind Kind() const;
    std::int32_t IntegerValue() const;  // 0 unless an integer
    float RealValue() const;            // 0 unless a real
    // The text of a word or string; the empty text for any other kind.
    std::string_view WordOrStringText() const;

    // List structure.  First()/Last() of a non-list and Next() of the last
    // element give an invalid handle.
    CExprTerm First() const;
    CExprTerm Last() const;
    CExprTerm Next() const;

    // Appends `term` as the last element (lists only; otherwise nothing).
    void AddElement(CExprTerm term);
    // Inserts `term` as the first element (lists only; otherwise nothing).
    void PushElement(CExprTerm term);
    // Appends the pair [word "=", word name, string value]; texts are copied.
    void AddStringAttribute(std::string_view name, std::string_view value);
    // The first element that is a list whose first element is a word
    // beginning with '=' and whose second element is a word equal to `name`
    // (byte-wise, case-sensitive).  Invalid when none matches.
    CExprTerm FindAttributePair(std::string_view name) const;
    // Third element of that pair, or invalid.
    CExprTerm FindAttributeValue(std::string_view name) const;
    // Copies the text of a word or string value to `text` and returns true;
    // false, leaving `text` untouched, for a missing pair or another kind.
    bool GetAttributeText(std::string_view name, std::string& text) const;
    // Text of the first element when it is a word; the empty text otherwise.
    std::string_view GetFunctor() const;
    // Releases the text of a word or string, or every element of a list.
    void DestroyContents();

    // Writer: appends the term's clause-language text to `out`.
    void WriteTerm(std::string& out, LineEnd ending = LineEnd::Lf) const;
    // Writes a list as a clause: functor "(" args ").\n\n"; nothing when the
    // term is not a list or has no elements.
    void WriteClause(std::string& out, LineEnd ending = LineEnd::Lf) const;

    CExprStore* Store() const { return m_store; }
    std::uint32_t Index() const { return m_index; }

private:
    CExprStore* m_store = nullptr;
    std::uint32_t m_index = 0;
};

// The arena that holds terms and their texts.  Not copyable; terms made in
// one store may only be linked with terms of the same store.
class CExprStore {
public:
    CExprStore();
    ~CExprStore();
    CExprStore(const CExprStore&) = delete;
    CExprStore& operator=(const CExprStore&) = delete;

    CExprTerm NewNull();
    CExprTerm NewInteger(std::int32_t value);
    CExprTerm NewReal(float value);
    CExprTerm NewWord(std::string_view text);
    CExprTerm NewString(std::string_view text);
    CExprTerm NewList();
    // A list whose only element is a word holding `functor`.
    CExprTerm NewClause(std::string_view functor);

    // Destroys the term's contents and gives its cell back for reuse (the
    // term must not be an element of a list any more).
    void Free(CExprTerm term);

    // Frees every term and text at once; all handles into the store become
    // invalid (they then behave as "no term").
    void Clear();

    // Bump-arena rewind, for work that builds one term at a time and is done
    // with it at once (reading or writing a large file clause by clause):
    // Rewind(mark) gives back every cell and every string text made since
    // Mark() returned it, so that the next terms reuse the same memory.  Handles to
    // those terms become invalid (and may later name new terms).  Words are
    // interned in storage of their own and survive; terms made before the
    // mark stay as they are, but must not have gained elements made after it.
    // Cells that were free at the mark and reused since stay in use until
    // Clear().  A mark taken before the last Clear() is ignored.
    StoreMark Mark() const;
    void Rewind(const StoreMark& mark);
    // Bytes held, for memory measurements.
    std::size_t BytesReserved() const;

    struct Impl;  // defined inside the library

private:
    friend class CExprTerm;
    friend struct ExprStoreAccess;
    Impl* m_impl;
};

// Word quoting rule of the writer: bare when non-empty, not starting with an
// upper-case ASCII letter, and made only of ASCII letters, digits and '_'.
// Words that the reader would not take back as words when bare are quoted
// too: the single letter "e" (the exponent mark) and words starting with a
// digit.
bool WordNeedsQuotes(std::string_view text);

}  // namespace clausedb
