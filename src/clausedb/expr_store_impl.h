// Inside of CExprStore, shared by the term operations and the reader (not part
// of the library's interface).
//
// Cells: 16 bytes each (kind, value, next, last), kept in chunks of 4,096 (64 KB) so
// that growing never moves or copies earlier cells.  Index 0 means "no term".
// Freed cells go on a free list threaded through their next field.
//
// Texts: two logical byte spaces of 2 GiB each, addressed by 32-bit offsets
// and cut into 64 KB slots.  Word texts are interned (equal words share one
// offset) and live in the word space, whose offsets carry kWordTag; strings
// and the reader's integer texts live in the string space.  Only the string
// space is given back by Rewind(), so interned words outlive a rewind.  A
// text is a variable-length length prefix (7 bits per byte, low bits first)
// followed by its bytes, any byte values allowed.  A text never straddles two
// allocations: a text larger than a slot gets one allocation that spans as
// many slots as it needs.  Offset 0 is the shared empty text.
//
// Chunks are taken from blocks mapped directly from the system, so that
// Clear() gives the memory back at once (heap blocks of this size tend to
// stay with the process); blocks grow with the store up to 16 MB.  Chunks
// given back by Rewind() are kept for reuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "clausedb/expr_term.h"

namespace clausedb {

class CAttributeNames;

struct ExprCell {
    std::int32_t kind;
    std::uint32_t value;  // integer, float bits, text offset, or first element
    std::uint32_t next;   // following element of the enclosing list
    std::uint32_t last;   // list only: last element
};
static_assert(sizeof(ExprCell) == 16);

struct CExprStore::Impl {
    static constexpr unsigned kCellShift = 12;
    static constexpr std::uint32_t kCellsPerChunk = 1u << kCellShift;
    static constexpr unsigned kTextShift = 16;
    static constexpr std::uint64_t kTextSlot = std::uint64_t{1} << kTextShift;
    static constexpr std::uint64_t kTextSpace = std::uint64_t{1} << 31;
    static constexpr std::uint32_t kWordTag = 0x80000000u;
    // A cell chunk and a text slot are both this size.
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
    static_assert(kCellsPerChunk * sizeof(ExprCell) == kChunkBytes && kTextSlot == kChunkBytes);

    Impl() = default;
    ~Impl() { Release(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void Release();
    std::size_t BytesReserved() const;
    StoreMark Mark() const;
    void Rewind(const StoreMark& mark);

    // ---- cells
    bool Valid(std::uint32_t index) const { return index != 0 && index < cellCount; }
    ExprCell& At(std::uint32_t index) {
        return cellChunks[index >> kCellShift][index & (kCellsPerChunk - 1)];
    }
    const ExprCell& At(std::uint32_t index) const {
        return cellChunks[index >> kCellShift][index & (kCellsPerChunk - 1)];
    }
    std::uint32_t NewCell(std::int32_t kind, std::uint32_t value) {
        std::uint32_t index;
        if (freeHead != 0) {
            index = freeHead;
            freeHead = At(index).next;
        } else {
            if ((cellCount >> kCellShift) >= cellChunks.size()) {
                GrowCells();
            }
            index = cellCount++;
        }
        At(index) = ExprCell{kind, value, 0, 0};
        return index;
    }
    void FreeCell(std::uint32_t index) {
        At(index) = ExprCell{ExprNull, 0, freeHead, 0};
        freeHead = index;
        ++freeCount;
    }
    // Releases every element of a list (all levels) or the text of a word or
    // string; the cell itself stays.  Iterative, so depth costs no stack.
    void DestroyContents(std::uint32_t index);
    // Appends `element` to list `list` (both valid; list of kind list).
    void Append(std::uint32_t list, std::uint32_t element) {
        ExprCell& l = At(list);
        At(element).next = 0;
        if (l.value == 0) {
            l.value = element;
        } else {
            At(l.last).next = element;
        }
        l.last = element;
    }
    void Push(std::uint32_t list, std::uint32_t element) {
        ExprCell& l = At(list);
        At(element).next = l.value;
        if (l.value == 0) {
            l.last = element;
        }
        l.value = element;
    }

    // ---- texts
    struct LargeRun {  // slots mapped together for one large text
        std::size_t firstSlot;
        std::size_t slotCount;
        void* base;
        std::size_t size;
    };
    struct TextSpace {
        std::vector<char*> slots;  // base pointer of every slot
        std::vector<LargeRun> largeRuns;
        std::uint64_t used = 0;  // next free offset within the space
        std::uint64_t end = 0;   // end of the slot being filled
        std::uint32_t tag = 0;   // carried by every offset of the space
    };

    std::string_view Text(std::uint32_t offset) const {
        if (offset == 0) {
            return {};
        }
        const TextSpace& space = (offset & kWordTag) != 0 ? words : strings;
        const std::uint32_t local = offset & ~kWordTag;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(
            space.slots[local >> kTextShift] + (local & (kTextSlot - 1)));
        std::uint32_t length = *p++;
        if (length & 0x80) {
            length &= 0x7F;
            unsigned shift = 7;
            unsigned char byte;
            do {
                byte = *p++;
                length |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
                shift += 7;
            } while (byte & 0x80);
        }
        return {reinterpret_cast<const char*>(p), length};
    }
    // Reserves a text of `length` bytes (length > 0) in `space`; returns
    // where its bytes go and sets `offset`.  Throws std::length_error when
    // the space of 2 GiB is used up, std::bad_alloc when memory is.
    char* AllocText(TextSpace& space, std::size_t length, std::uint32_t& offset);
    std::uint32_t AddText(TextSpace& space, std::string_view text) {
        if (text.empty()) {
            return 0;
        }
        if (text.size() < 0x80 && space.used + 1 + text.size() <= space.end) {
            // The usual case: a short text that fits the slot being filled.
            char* p = space.slots[space.used >> kTextShift] + (space.used & (kTextSlot - 1));
            *p = static_cast<char>(text.size());
            std::memcpy(p + 1, text.data(), text.size());
            const auto offset = static_cast<std::uint32_t>(space.used) | space.tag;
            space.used += 1 + text.size();
            return offset;
        }
        std::uint32_t offset;
        std::memcpy(AllocText(space, text.size(), offset), text.data(), text.size());
        return offset;
    }
    // A string text (or any text that a rewind may give back).
    std::uint32_t AddText(std::string_view text) { return AddText(strings, text); }
    // The offset of the interned copy of `text`, made on first use.
    std::uint32_t Intern(std::string_view text);
    // The offset of an interned copy, or 0 when the text was never interned
    // (the empty text is always 0).
    std::uint32_t FindInterned(std::string_view text) const;
    std::uint32_t EqualsWord() {
        if (equalsWord == 0) {
            equalsWord = Intern("=");
        }
        return equalsWord;
    }

    // The name cell of `element` when it is an attribute pair as the finders
    // take it: a list whose first element is a word starting with '=' and
    // whose second element is a word.  Null for anything else.
    const ExprCell* AttributePairName(const ExprCell& element) const {
        if (element.kind != ExprList || element.value == 0) {
            return nullptr;
        }
        const ExprCell& head = At(element.value);
        if (head.kind != ExprWord || head.next == 0) {
            return nullptr;
        }
        const ExprCell& name = At(head.next);
        if (name.kind != ExprWord) {
            return nullptr;
        }
        if (head.value == 0 || head.value != equalsWord) {
            const std::string_view mark = Text(head.value);
            if (mark.empty() || mark[0] != '=') {
                return nullptr;
            }
        }
        return &name;
    }

    std::uint32_t NewWord(std::string_view text) { return NewCell(ExprWord, Intern(text)); }
    std::uint32_t NewString(std::string_view text) { return NewCell(ExprString, AddText(text)); }
    std::uint32_t NewList() { return NewCell(ExprList, 0); }

    std::vector<ExprCell*> cellChunks;
    std::uint32_t cellCount = 1;  // next unused index; 0 is "no term"
    std::uint32_t freeHead = 0;
    std::uint64_t freeCount = 0;  // cells ever put on the free list
    // Names this store's contents: unique among all stores and renewed by
    // every Release(), so that a mark or a cache of interned offsets never
    // applies to the wrong contents.
    std::uint64_t generation = NewGeneration();
    static std::uint64_t NewGeneration();

    struct Mapping {
        void* base;
        std::size_t size;
    };
    TextSpace strings;
    TextSpace words{{}, {}, 0, 0, kWordTag};
    std::vector<Mapping> mappings;   // every allocation (cells and texts)
    std::vector<char*> spareChunks;  // chunks given back by Rewind()
    std::size_t mappedBytes = 0;
    char* blockNext = nullptr;  // unused chunks of the newest block
    char* blockEnd = nullptr;

    struct InternEntry {
        std::uint32_t hash;
        std::uint32_t offset;  // 0: empty entry
    };
    std::vector<InternEntry> internTable;  // size a power of two, or empty
    std::uint32_t internCount = 0;
    std::uint32_t equalsWord = 0;

    // The writer's quoting decisions for recently written words, by text
    // offset (an interned word never changes while the store holds it).
    struct QuoteEntry {
        std::uint32_t offset;
        bool quoted;
        bool lineFeed;  // the text holds a line feed
    };
    mutable QuoteEntry quoteCache[64] = {};

private:
    void GrowCells();
    void* Map(std::size_t size);
    void Unmap(void* base, std::size_t size);
    char* TakeChunk();
    void GrowIntern();
};

// Writes many clauses of one store in a row into one output block of 256 KB,
// handing the text to `sink` a block at a time, and completely by Flush() or
// destruction.  The sink is where the text goes (a file, a string), so that
// it is copied once on its way there.
class ClauseWriter {
public:
    using TextSink = std::function<void(std::string_view text)>;
    ClauseWriter(const CExprStore::Impl& impl, TextSink sink, LineEnd ending);
    ~ClauseWriter();
    ClauseWriter(const ClauseWriter&) = delete;
    ClauseWriter& operator=(const ClauseWriter&) = delete;

    void Clause(std::uint32_t index);
    // The clause that NewClause(functor), then names.AddStringAttributes
    // with `values`, then appending the terms `extra` (cells of the store)
    // would build, written exactly as Clause() would write it, without
    // building the pairs.
    void Record(std::string_view functor, const CAttributeNames& names,
                const std::string_view* values, const std::uint32_t* extra, std::size_t extraCount);
    void Flush();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Grants the reader direct access to a store's cells.
struct ExprStoreAccess {
    static CExprStore::Impl& Of(CExprStore& store) { return *store.m_impl; }
};

}  // namespace clausedb
