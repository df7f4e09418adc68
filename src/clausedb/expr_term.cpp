#include "clausedb/expr_term.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "clausedb/attribute_names.h"
#include "clausedb/expr_store_impl.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLBOX_HEAP_CHUNKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLBOX_HEAP_CHUNKS 1
#endif
#endif

namespace clausedb {

using Impl = CExprStore::Impl;

// ---------------------------------------------------------------------------
// Store internals

std::uint64_t Impl::NewGeneration() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

void* Impl::Map(std::size_t size) {
#ifdef QUILLBOX_HEAP_CHUNKS
    // Under the address sanitizer ordinary heap blocks let it see overruns.
    void* base = ::operator new(size);
#else
    // Large blocks are aligned to 2 MB and offered for huge pages: far fewer
    // page faults when a big book is read.
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    bool huge = size >= 2 * kHuge;
    std::size_t span = huge ? size + kHuge : size;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    void* base = raw;
    if (huge) {
        auto start = reinterpret_cast<std::uintptr_t>(raw);
        auto aligned = (start + kHuge - 1) & ~(kHuge - 1);
        base = reinterpret_cast<void*>(aligned);
        if (aligned > start) {
            munmap(raw, aligned - start);
        }
        std::size_t tail = (start + span) - (aligned + size);
        if (tail > 0) {
            munmap(reinterpret_cast<char*>(aligned + size), tail);
        }
        madvise(base, size, MADV_HUGEPAGE);
    }
#endif
    mappings.push_back(Mapping{base, size});
    mappedBytes += size;
    return base;
}

void Impl::Unmap(void* base, std::size_t size) {
    for (std::size_t i = mappings.size(); i-- > 0;) {
        if (mappings[i].base == base) {
            mappings.erase(mappings.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    mappedBytes -= size;
#ifdef QUILLBOX_HEAP_CHUNKS
    ::operator delete(base);
#else
    munmap(base, size);
#endif
}

char* Impl::TakeChunk() {
    if (!spareChunks.empty()) {
        char* chunk = spareChunks.back();
        spareChunks.pop_back();
        return chunk;
    }
    if (blockNext == blockEnd) {
        // Blocks double with the store, from one chunk up to 16 MB.
        std::size_t size = std::clamp(mappedBytes, kChunkBytes, 256 * kChunkBytes);
        size &= ~(kChunkBytes - 1);
        blockNext = static_cast<char*>(Map(size));
        blockEnd = blockNext + size;
    }
    char* chunk = blockNext;
    blockNext += kChunkBytes;
    return chunk;
}

void Impl::Release() {
    for (const Mapping& m : mappings) {
#ifdef QUILLBOX_HEAP_CHUNKS
        ::operator delete(m.base);
#else
        munmap(m.base, m.size);
#endif
    }
    std::vector<Mapping>().swap(mappings);
    std::vector<ExprCell*>().swap(cellChunks);
    std::vector<char*>().swap(spareChunks);
    for (TextSpace* space : {&strings, &words}) {
        std::vector<char*>().swap(space->slots);
        std::vector<LargeRun>().swap(space->largeRuns);
        space->used = 0;
        space->end = 0;
    }
    std::vector<InternEntry>().swap(internTable);
    mappedBytes = 0;
    blockNext = nullptr;
    blockEnd = nullptr;
    cellCount = 1;
    freeHead = 0;
    generation = NewGeneration();
    internCount = 0;
    equalsWord = 0;
    std::fill(std::begin(quoteCache), std::end(quoteCache), QuoteEntry{0, false, false});
}

std::size_t Impl::BytesReserved() const {
    std::size_t total = 0;
    for (const Mapping& m : mappings) {
        total += m.size;
    }
    return total + internTable.capacity() * sizeof(InternEntry) +
           cellChunks.capacity() * sizeof(ExprCell*) +
           (strings.slots.capacity() + words.slots.capacity() + spareChunks.capacity()) *
               sizeof(char*) +
           mappings.capacity() * sizeof(Mapping);
}

StoreMark Impl::Mark() const {
    return StoreMark{generation,   cellCount,   freeCount,
                     strings.used, strings.end, strings.slots.size()};
}

void Impl::Rewind(const StoreMark& mark) {
    if (mark.generation != generation || mark.cells > cellCount ||
        mark.textSlots > strings.slots.size()) {
        return;
    }
    // Cells freed since the mark may lie beyond it: take those off the free
    // list.  Nothing was freed in the usual case, and the walk is skipped.
    if (freeCount != mark.frees) {
        std::uint32_t* link = &freeHead;
        while (*link != 0) {
            if (*link >= mark.cells) {
                *link = At(*link).next;
            } else {
                link = &At(*link).next;
            }
        }
    }
    cellCount = mark.cells;  // the chunks stay, for the next cells

    // String slots filled since the mark: chunks are kept for reuse, runs
    // mapped for one large text go back to the system.
    while (strings.slots.size() > mark.textSlots) {
        if (!strings.largeRuns.empty() &&
            strings.largeRuns.back().firstSlot + strings.largeRuns.back().slotCount ==
                strings.slots.size()) {
            const LargeRun run = strings.largeRuns.back();
            strings.largeRuns.pop_back();
            strings.slots.resize(run.firstSlot);
            Unmap(run.base, run.size);
        } else {
            spareChunks.push_back(strings.slots.back());
            strings.slots.pop_back();
        }
    }
    strings.used = mark.textUsed;
    strings.end = mark.textEnd;
}

void Impl::GrowCells() {
    if (cellChunks.size() + 1 >= (std::uint64_t{1} << (32 - kCellShift))) {
        throw std::length_error("clause store: too many terms");
    }
    cellChunks.push_back(reinterpret_cast<ExprCell*>(TakeChunk()));
}

char* Impl::AllocText(TextSpace& space, std::size_t length, std::uint32_t& offset) {
    unsigned char prefix[5];
    std::size_t prefixSize = 0;
    if (length > 0xFFFFFFFFu) {
        throw std::length_error("clause store: text too long");
    }
    for (auto rest = static_cast<std::uint32_t>(length);;) {
        if (rest < 0x80) {
            prefix[prefixSize++] = static_cast<unsigned char>(rest);
            break;
        }
        prefix[prefixSize++] = static_cast<unsigned char>(0x80 | (rest & 0x7F));
        rest >>= 7;
    }
    std::uint64_t need = prefixSize + length;
    if (space.used + need > space.end) {
        // Start a new slot (or a run of slots for a large text).
        std::uint64_t slot = space.slots.size();
        std::uint64_t start = slot << kTextShift;
        std::uint64_t first = slot == 0 ? 1 : 0;  // offset 0 is the empty text
        std::uint64_t slots = (first + need + kTextSlot - 1) >> kTextShift;
        if (start + (slots << kTextShift) > kTextSpace) {
            throw std::length_error("clause store: text space used up");
        }
        char* base;
        if (slots == 1) {
            base = TakeChunk();
        } else {
            base = static_cast<char*>(Map(first + need));
            space.largeRuns.push_back(LargeRun{slot, slots, base, first + need});
        }
        base[0] = 0;
        for (std::uint64_t k = 0; k < slots; ++k) {
            space.slots.push_back(base + (k << kTextShift));
        }
        space.used = start + first;
        space.end = slots == 1 ? start + kTextSlot : start + first + need;
    }
    offset = static_cast<std::uint32_t>(space.used) | space.tag;
    char* p = space.slots[space.used >> kTextShift] + (space.used & (kTextSlot - 1));
    std::memcpy(p, prefix, prefixSize);
    space.used += need;
    return p + prefixSize;
}

namespace {

std::uint32_t HashText(std::string_view text) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
    const char* p = text.data();
    std::size_t n = text.size();
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
        p += 8;
        n -= 8;
    }
    if (n > 0) {
        std::uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
    }
    h ^= h >> 29;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

std::uint32_t Impl::FindInterned(std::string_view text) const {
    if (text.empty() || internTable.empty()) {
        return 0;
    }
    std::uint32_t hash = HashText(text);
    std::size_t mask = internTable.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const InternEntry& e = internTable[i];
        if (e.offset == 0) {
            return 0;
        }
        if (e.hash == hash && Text(e.offset) == text) {
            return e.offset;
        }
    }
}

void Impl::GrowIntern() {
    std::vector<InternEntry> old;
    old.swap(internTable);
    internTable.assign(old.empty() ? 64 : old.size() * 2, InternEntry{0, 0});
    std::size_t mask = internTable.size() - 1;
    for (const InternEntry& e : old) {
        if (e.offset != 0) {
            std::size_t i = e.hash & mask;
            while (internTable[i].offset != 0) {
                i = (i + 1) & mask;
            }
            internTable[i] = e;
        }
    }
}

std::uint32_t Impl::Intern(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if ((internCount + 1) * 2 > internTable.size()) {
        GrowIntern();
    }
    std::uint32_t hash = HashText(text);
    std::size_t mask = internTable.size() - 1;
    std::size_t i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const InternEntry& e = internTable[i];
        if (e.offset == 0) {
            break;
        }
        if (e.hash == hash && Text(e.offset) == text) {
            return e.offset;
        }
    }
    std::uint32_t offset = AddText(words, text);
    internTable[i] = InternEntry{hash, offset};
    ++internCount;
    return offset;
}

void Impl::DestroyContents(std::uint32_t index) {
    ExprCell& cell = At(index);
    if (cell.kind == ExprWord || cell.kind == ExprString) {
        cell.value = 0;  // texts live until the store is cleared
        return;
    }
    if (cell.kind != ExprList) {
        return;
    }
    // Elements still to release, chained through their next fields; the
    // elements of a released list are spliced in front of the chain.
    std::uint32_t pending = cell.value;
    cell.value = 0;
    cell.last = 0;
    while (pending != 0) {
        std::uint32_t current = pending;
        ExprCell& c = At(current);
        pending = c.next;
        if (c.kind == ExprList && c.value != 0) {
            At(c.last).next = pending;
            pending = c.value;
        }
        FreeCell(current);
    }
}

// ---------------------------------------------------------------------------
// CExprStore

CExprStore::CExprStore() : m_impl(new Impl) {}
CExprStore::~CExprStore() {
    delete m_impl;
}

CExprTerm CExprStore::NewNull() {
    return {this, m_impl->NewCell(ExprNull, 0)};
}
CExprTerm CExprStore::NewInteger(std::int32_t value) {
    return {this, m_impl->NewCell(ExprInteger, static_cast<std::uint32_t>(value))};
}
CExprTerm CExprStore::NewReal(float value) {
    return {this, m_impl->NewCell(ExprReal, std::bit_cast<std::uint32_t>(value))};
}
CExprTerm CExprStore::NewWord(std::string_view text) {
    return {this, m_impl->NewWord(text)};
}
CExprTerm CExprStore::NewString(std::string_view text) {
    return {this, m_impl->NewString(text)};
}
CExprTerm CExprStore::NewList() {
    return {this, m_impl->NewList()};
}

CExprTerm CExprStore::NewClause(std::string_view functor) {
    std::uint32_t list = m_impl->NewList();
    m_impl->Append(list, m_impl->NewWord(functor));
    return {this, list};
}

void CExprStore::Free(CExprTerm term) {
    if (term.Store() == this && m_impl->Valid(term.Index())) {
        m_impl->DestroyContents(term.Index());
        m_impl->FreeCell(term.Index());
    }
}

void CExprStore::Clear() {
    m_impl->Release();
}
std::size_t CExprStore::BytesReserved() const {
    return m_impl->BytesReserved();
}
StoreMark CExprStore::Mark() const {
    return m_impl->Mark();
}
void CExprStore::Rewind(const StoreMark& mark) {
    m_impl->Rewind(mark);
}

// ---------------------------------------------------------------------------
// CExprTerm

namespace {

// The cell behind a handle, or null for "no term" (also for a handle whose
// store has been cleared since).
const ExprCell* CellOf(const Impl* impl, std::uint32_t index) {
    return impl != nullptr && impl->Valid(index) ? &impl->At(index) : nullptr;
}

}  // namespace

#define QB_CELL() CellOf(m_store ? m_store->m_impl : nullptr, m_index)

ExprKind CExprTerm::Kind() const {
    const ExprCell* c = QB_CELL();
    return c ? static_cast<ExprKind>(c->kind) : ExprNull;
}

std::int32_t CExprTerm::IntegerValue() const {
    const ExprCell* c = QB_CELL();
    return c && c->kind == ExprInteger ? static_cast<std::int32_t>(c->value) : 0;
}

float CExprTerm::RealValue() const {
    const ExprCell* c = QB_CELL();
    return c && c->kind == ExprReal ? std::bit_cast<float>(c->value) : 0.0f;
}

std::string_view CExprTerm::WordOrStringText() const {
    const ExprCell* c = QB_CELL();
    if (c && (c->kind == ExprWord || c->kind == ExprString)) {
        return m_store->m_impl->Text(c->value);
    }
    return {};
}

CExprTerm CExprTerm::First() const {
    const ExprCell* c = QB_CELL();
    return c && c->kind == ExprList && c->value != 0 ? CExprTerm(m_store, c->value) : CExprTerm();
}

CExprTerm CExprTerm::Last() const {
    const ExprCell* c = QB_CELL();
    return c && c->kind == ExprList && c->last != 0 ? CExprTerm(m_store, c->last) : CExprTerm();
}

CExprTerm CExprTerm::Next() const {
    const ExprCell* c = QB_CELL();
    return c && c->next != 0 ? CExprTerm(m_store, c->next) : CExprTerm();
}

void CExprTerm::AddElement(CExprTerm term) {
    const ExprCell* c = QB_CELL();
    if (c && c->kind == ExprList && term.m_store == m_store && term.IsValid() &&
        term.m_index != m_index && m_store->m_impl->Valid(term.m_index)) {
        m_store->m_impl->Append(m_index, term.m_index);
    }
}

void CExprTerm::PushElement(CExprTerm term) {
    const ExprCell* c = QB_CELL();
    if (c && c->kind == ExprList && term.m_store == m_store && term.IsValid() &&
        term.m_index != m_index && m_store->m_impl->Valid(term.m_index)) {
        m_store->m_impl->Push(m_index, term.m_index);
    }
}

void CExprTerm::AddStringAttribute(std::string_view name, std::string_view value) {
    const ExprCell* c = QB_CELL();
    if (!c || c->kind != ExprList) {
        return;
    }
    Impl& impl = *m_store->m_impl;
    std::uint32_t pair = impl.NewList();
    impl.Append(pair, impl.NewCell(ExprWord, impl.EqualsWord()));
    impl.Append(pair, impl.NewWord(name));
    impl.Append(pair, impl.NewString(value));
    impl.Append(m_index, pair);
}

CExprTerm CExprTerm::FindAttributePair(std::string_view name) const {
    const ExprCell* c = QB_CELL();
    if (!c || c->kind != ExprList) {
        return {};
    }
    const Impl& impl = *m_store->m_impl;
    // Words are interned, so a word equal to `name` carries its offset; when
    // the text was never interned no word can match.
    std::uint32_t nameOffset = impl.FindInterned(name);
    if (nameOffset == 0 && !name.empty()) {
        return {};
    }
    for (std::uint32_t e = c->value; e != 0; e = impl.At(e).next) {
        const ExprCell* pairName = impl.AttributePairName(impl.At(e));
        if (pairName != nullptr && pairName->value == nameOffset) {
            return {m_store, e};
        }
    }
    return {};
}

CExprTerm CExprTerm::FindAttributeValue(std::string_view name) const {
    CExprTerm pair = FindAttributePair(name);
    return pair ? pair.First().Next().Next() : CExprTerm();
}

bool CExprTerm::GetAttributeText(std::string_view name, std::string& text) const {
    CExprTerm value = FindAttributeValue(name);
    ExprKind kind = value.Kind();
    if (kind != ExprWord && kind != ExprString) {
        return false;
    }
    text.assign(value.WordOrStringText());
    return true;
}

std::string_view CExprTerm::GetFunctor() const {
    CExprTerm first = First();
    return first.Kind() == ExprWord ? first.WordOrStringText() : std::string_view();
}

void CExprTerm::DestroyContents() {
    if (QB_CELL()) {
        m_store->m_impl->DestroyContents(m_index);
    }
}

// ---------------------------------------------------------------------------
// Writer

bool WordNeedsQuotes(std::string_view text) {
    if (text.empty() || text == "e") {
        return true;
    }
    auto first = static_cast<unsigned char>(text[0]);
    if ((first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9')) {
        return true;
    }
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!plain) {
            return true;
        }
    }
    return false;
}

namespace {

constexpr std::array<bool, 256> MakeWriterStops() {
    std::array<bool, 256> t{};
    t['"'] = true;
    t['\\'] = true;
    t['\n'] = true;
    return t;
}

// Bytes of a string value that the writer must look at.
constexpr std::array<bool, 256> kWriterStops = MakeWriterStops();

// Collects small pieces of output in a block and hands them to a sink in
// large pieces.
class OutBuffer {
public:
    OutBuffer(char* block, std::size_t size, const ClauseWriter::TextSink& sink)
        : m_block(block), m_nSize(size), m_sink(sink) {}
    ~OutBuffer() { Flush(); }
    OutBuffer(const OutBuffer&) = delete;
    OutBuffer& operator=(const OutBuffer&) = delete;

    OutBuffer& operator+=(char c) {
        if (m_nUsed == m_nSize) {
            Flush();
        }
        m_block[m_nUsed++] = c;
        return *this;
    }
    OutBuffer& operator+=(std::string_view text) {
        append(text.data(), text.size());
        return *this;
    }
    void append(const char* first, const char* last) {
        append(first, static_cast<std::size_t>(last - first));
    }
    [[gnu::always_inline]] void append(const char* data, std::size_t size) {
        if (size > m_nSize - m_nUsed) {
            AppendLarge(data, size);
            return;
        }
        if (size == 0) {
            return;  // data may be null then
        }
        std::memcpy(m_block + m_nUsed, data, size);
        m_nUsed += size;
    }
    void Flush() {
        if (m_nUsed > 0) {
            m_sink(std::string_view(m_block, m_nUsed));
            m_nUsed = 0;
        }
    }
    // Room for up to `size` bytes written in place, or null when they would
    // not fit in the block; Commit() then takes the end of what was written.
    char* Room(std::size_t size) {
        if (size > m_nSize - m_nUsed) {
            Flush();
            if (size > m_nSize) {
                return nullptr;
            }
        }
        return m_block + m_nUsed;
    }
    void Commit(const char* end) { m_nUsed = static_cast<std::size_t>(end - m_block); }

private:
    void AppendLarge(const char* data, std::size_t size) {
        Flush();
        if (size > m_nSize) {
            m_sink(std::string_view(data, size));
        } else {
            std::memcpy(m_block, data, size);
            m_nUsed = size;
        }
    }

    char* const m_block;
    const std::size_t m_nSize;
    const ClauseWriter::TextSink& m_sink;
    std::size_t m_nUsed = 0;
};

// The block and sink of a writer that appends to a string.
struct StringOutput {
    explicit StringOutput(std::string& out)
        : sink([&out](std::string_view text) { out.append(text); }) {}
    ClauseWriter::TextSink sink;
    char block[4096];
};

class Writer {
public:
    Writer(const Impl& impl, char* block, std::size_t size, const ClauseWriter::TextSink& sink,
           LineEnd ending)
        : m_impl(impl), m_out(block, size, sink), m_bCrLf(ending == LineEnd::CrLf) {}
    Writer(const Impl& impl, std::string& out, LineEnd ending)
        : m_impl(impl),
          m_string(std::in_place, out),
          m_out(m_string->block, sizeof m_string->block, m_string->sink),
          m_bCrLf(ending == LineEnd::CrLf) {}

    void Term(std::uint32_t index) {
        if (!m_impl.Valid(index)) {
            return;
        }
        const ExprCell& c = m_impl.At(index);
        switch (c.kind) {
            case ExprInteger: {
                char buf[16];
                auto r = std::to_chars(buf, buf + sizeof buf, static_cast<std::int32_t>(c.value));
                m_out.append(buf, r.ptr);
                break;
            }
            case ExprReal: {
                // The C conversion "%.6g", independent of the process locale.
                char buf[64];
                auto r = std::to_chars(buf, buf + sizeof buf,
                                       static_cast<double>(std::bit_cast<float>(c.value)),
                                       std::chars_format::general, 6);
                m_out.append(buf, r.ptr);
                break;
            }
            case ExprWord: {
                std::string_view text = m_impl.Text(c.value);
                const Impl::QuoteEntry& quoting = Quoting(c.value, text);
                Word(text, quoting.quoted, quoting.lineFeed);
                break;
            }
            case ExprString:
                String(m_impl.Text(c.value));
                break;
            case ExprList:
                List(c);
                break;
            default:
                break;
        }
    }

    void Clause(std::uint32_t index) {
        if (!m_impl.Valid(index)) {
            return;
        }
        const ExprCell& c = m_impl.At(index);
        if (c.kind != ExprList || c.value == 0) {
            return;
        }
        Term(c.value);
        m_out += '(';
        bool firstArgument = true;
        for (std::uint32_t e = m_impl.At(c.value).next; e != 0; e = m_impl.At(e).next) {
            if (!firstArgument) {
                m_out += "  ";
            }
            firstArgument = false;
            Argument(e);
            if (m_impl.At(e).next != 0) {
                m_out += ',';
                Newline();
            }
        }
        m_out += ").";
        Newline();
        Newline();
    }

    // The clause that NewClause(functor), then AddStringAttributes of
    // `names` with `values`, then appending the terms `extra` would build,
    // written as Clause() writes it; only the extra terms are built.
    void Record(std::string_view functor, const CAttributeNames& names,
                const std::string_view* values, const std::uint32_t* extra,
                std::size_t extraCount) {
        const RecordLayout& layout = Layout(functor, names);
        const std::size_t count = layout.heads.size();
        // Fixed texts plus at most two bytes for each byte of a value.
        std::size_t bound = layout.fixedBytes;
        for (std::size_t i = 0; i < count; ++i) {
            bound += 2 * values[i].size();
        }
        // Short heads are copied as whole slots, which may run past their
        // end into room that what follows overwrites.
        const bool slots = !layout.slots.empty();
        if (char* o = m_out.Room(bound + (slots ? kHeadSlot : 0))) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::string& head = layout.heads[i];
                if (slots) {
                    std::memcpy(o, layout.slots.data() + i * kHeadSlot, kHeadSlot);
                } else {
                    std::memcpy(o, head.data(), head.size());
                }
                o += head.size();
                if (!values[i].empty()) {  // most are
                    o = EscapedText(o, values[i], true);
                }
            }
            if (extraCount == 0) {
                std::memcpy(o, layout.closing.data(), layout.closing.size());
                m_out.Commit(o + layout.closing.size());
                return;
            }
            m_out.Commit(o);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                m_out += layout.heads[i];
                WriteEscaped(values[i], true);
            }
        }
        if (count == 0) {
            m_out += layout.opening;
        } else {
            m_out += '"';
        }
        for (std::size_t j = 0; j < extraCount; ++j) {
            if (count > 0 || j > 0) {
                m_out += ',';
                Newline();
                m_out += "  ";
            }
            Argument(extra[j]);
        }
        m_out += ").";
        Newline();
        Newline();
    }

    void Flush() { m_out.Flush(); }

private:
    // The fixed texts of the records of one functor and one list of names,
    // made once: heads[i] is what comes before value i (the functor and "("
    // or the end of the previous argument, then name i and its " = " and
    // opening quote), exactly as Clause() writes them.
    struct RecordLayout {
        const CAttributeNames* names = nullptr;
        std::string functor;
        std::string opening;  // the functor and "("
        std::vector<std::string> heads;
        std::string closing;         // what ends a record without extra terms
        std::size_t fixedBytes = 0;  // the heads and the closing
        // The heads again, each in a slot of kHeadSlot bytes, when all fit:
        // a copy of fixed size takes a few instructions, one of any size a
        // call, and a record has a head for every name.
        std::string slots;
    };
    static constexpr std::size_t kHeadSlot = 32;

    const RecordLayout& Layout(std::string_view functor, const CAttributeNames& names) {
        if (m_layout.names == &names && m_layout.functor == functor &&
            m_layout.heads.size() == names.Size()) {
            return m_layout;
        }
        RecordLayout layout;
        layout.names = &names;
        layout.functor = functor;
        layout.opening = WordText(functor) + "(";
        const std::string newline = m_bCrLf ? "\r\n" : "\n";
        for (std::size_t i = 0; i < names.Size(); ++i) {
            std::string head = i == 0 ? layout.opening : "\"," + newline + "  ";
            head += WordText(names.Name(i)) + " = \"";
            layout.fixedBytes += head.size();
            layout.heads.push_back(std::move(head));
        }
        layout.closing = (names.Size() == 0 ? layout.opening : "\"") + ")." + newline + newline;
        layout.fixedBytes += layout.closing.size();
        if (std::all_of(layout.heads.begin(), layout.heads.end(),
                        [](const std::string& head) { return head.size() <= kHeadSlot; })) {
            for (const std::string& head : layout.heads) {
                layout.slots += head;
                layout.slots.append(kHeadSlot - head.size(), '\0');
            }
        }
        m_layout = std::move(layout);
        return m_layout;
    }

    // A word as Term() writes it, in a string of its own.
    std::string WordText(std::string_view text) const {
        std::string out;
        Writer(m_impl, out, m_bCrLf ? LineEnd::CrLf : LineEnd::Lf)
            .Word(text, WordNeedsQuotes(text), text.find('\n') != std::string_view::npos);
        return out;
    }

    void Word(std::string_view text, bool quoted, bool lineFeed) {
        if (quoted) {
            m_out += '\'';
            if (lineFeed && m_bCrLf) {
                WriteEscaped(text, false);
            } else {
                m_out += text;
            }
            m_out += '\'';
        } else {
            m_out += text;
        }
    }

    // An argument of a clause.  The usual one, an attribute pair with a
    // string value, is written here directly; every other goes to Term(),
    // which writes the same text for a pair.
    void Argument(std::uint32_t index) {
        const ExprCell& list = m_impl.At(index);
        if (list.kind == ExprList && list.value != 0) {
            const ExprCell& head = m_impl.At(list.value);
            if (head.kind == ExprWord && head.value == m_impl.equalsWord && head.value != 0 &&
                head.next != 0) {
                const ExprCell& name = m_impl.At(head.next);
                if (name.kind == ExprWord && name.next != 0) {
                    const ExprCell& value = m_impl.At(name.next);
                    if (value.kind == ExprString && value.next == 0) {
                        Pair(head.next, m_impl.Text(value.value));
                        return;
                    }
                }
            }
        }
        Term(index);
    }

    const Impl::QuoteEntry& Quoting(std::uint32_t offset, std::string_view text) const {
        Impl::QuoteEntry& e = m_impl.quoteCache[(offset * 2654435761u) >> 26];
        if (e.offset != offset || offset == 0) {
            e = Impl::QuoteEntry{offset, WordNeedsQuotes(text),
                                 text.find('\n') != std::string_view::npos};
        }
        return e;
    }

    void Newline() {
        if (m_bCrLf) {
            m_out += '\r';
        }
        m_out += '\n';
    }

    // `text` through EscapedText, in pieces that always fit the output block.
    void WriteEscaped(std::string_view text, bool escapes) {
        constexpr std::size_t kPiece = 1024;  // at most two bytes out for each
        while (!text.empty()) {
            const std::string_view piece = text.substr(0, kPiece);
            m_out.Commit(EscapedText(m_out.Room(2 * piece.size()), piece, escapes));
            text.remove_prefix(piece.size());
        }
    }

    // name " = " value, written in place when it fits the output block.
    void Pair(std::uint32_t nameIndex, std::string_view value) {
        const std::uint32_t nameOffset = m_impl.At(nameIndex).value;
        const std::string_view name = m_impl.Text(nameOffset);
        const Impl::QuoteEntry& quoting = Quoting(nameOffset, name);
        if (!quoting.lineFeed || !m_bCrLf) {
            // Quotes around the name, " = ", the value's quotes and at most
            // two bytes for each byte of the value.
            if (char* o = m_out.Room(name.size() + 9 + 2 * value.size())) {
                if (quoting.quoted) {
                    *o++ = '\'';
                }
                if (!name.empty()) {
                    std::memcpy(o, name.data(), name.size());
                    o += name.size();
                }
                if (quoting.quoted) {
                    *o++ = '\'';
                }
                std::memcpy(o, " = \"", 4);
                o = EscapedText(o + 4, value, true);
                *o++ = '"';
                m_out.Commit(o);
                return;
            }
        }
        Term(nameIndex);
        m_out += " = ";
        String(value);
    }

    // The one escaper of the writer: `text` written from `o`, each line feed
    // after a carriage return in CR LF mode and, with `escapes` (the bytes of
    // a string value between its quotes), each double quote and backslash
    // after a backslash.  Returns the end; at most two bytes per byte.
    char* EscapedText(char* o, std::string_view text, bool escapes) const {
        const char* p = text.data();
        const char* end = p + text.size();
        const char* run = p;
        for (; p < end; ++p) {
            const char ch = *p;
            if (!kWriterStops[static_cast<unsigned char>(ch)]) {
                continue;
            }
            if (ch == '\n' ? m_bCrLf : escapes) {
                std::memcpy(o, run, static_cast<std::size_t>(p - run));
                o += p - run;
                *o++ = ch == '\n' ? '\r' : '\\';
                run = p;
            }
        }
        if (end != run) {
            std::memcpy(o, run, static_cast<std::size_t>(end - run));
        }
        return o + (end - run);
    }

    void String(std::string_view text) {
        m_out += '"';
        WriteEscaped(text, true);
        m_out += '"';
    }

    // An attribute pair is written "name = value".  Only a list of exactly
    // three elements whose second element is a word is written so: a list that
    // starts with the word "=" but has fewer or more elements, or another kind
    // of name, is written as an ordinary list, so that the writer never looks
    // past the end of the list, drops no element, and the text reads back as
    // the same list.
    bool IsPair(const ExprCell& list) const {
        const ExprCell& head = m_impl.At(list.value);
        if (head.kind != ExprWord || head.next == 0 ||
            (head.value != m_impl.equalsWord && m_impl.Text(head.value) != "=")) {
            return false;
        }
        const ExprCell& name = m_impl.At(head.next);
        return name.kind == ExprWord && name.next != 0 && m_impl.At(name.next).next == 0;
    }

    void List(const ExprCell& list) {
        if (list.value == 0) {
            m_out += "[]";
            return;
        }
        if (IsPair(list)) {
            std::uint32_t name = m_impl.At(list.value).next;
            Term(name);
            m_out += " = ";
            Term(m_impl.At(name).next);
            return;
        }
        m_out += '[';
        for (std::uint32_t e = list.value; e != 0; e = m_impl.At(e).next) {
            Term(e);
            if (m_impl.At(e).next != 0) {
                m_out += ", ";
            }
        }
        m_out += ']';
    }

    const Impl& m_impl;
    std::optional<StringOutput> m_string;  // the output of a writer to a string
    OutBuffer m_out;
    bool m_bCrLf;
    RecordLayout m_layout;
};

}  // namespace

struct ClauseWriter::State {
    static constexpr std::size_t kBlock = std::size_t{1} << 18;
    State(const Impl& impl, TextSink&& textSink, LineEnd ending)
        : sink(std::move(textSink)),
          block(new char[kBlock]),
          writer(impl, block.get(), kBlock, sink, ending) {}
    TextSink sink;
    std::unique_ptr<char[]> block;
    Writer writer;
};

ClauseWriter::ClauseWriter(const Impl& impl, TextSink sink, LineEnd ending)
    : m_state(std::make_unique<State>(impl, std::move(sink), ending)) {}
ClauseWriter::~ClauseWriter() = default;
void ClauseWriter::Clause(std::uint32_t index) {
    m_state->writer.Clause(index);
}
void ClauseWriter::Record(std::string_view functor, const CAttributeNames& names,
                          const std::string_view* values, const std::uint32_t* extra,
                          std::size_t extraCount) {
    m_state->writer.Record(functor, names, values, extra, extraCount);
}
void ClauseWriter::Flush() {
    m_state->writer.Flush();
}

void CExprTerm::WriteTerm(std::string& out, LineEnd ending) const {
    if (QB_CELL()) {
        Writer(*m_store->m_impl, out, ending).Term(m_index);
    }
}

void CExprTerm::WriteClause(std::string& out, LineEnd ending) const {
    if (QB_CELL()) {
        Writer(*m_store->m_impl, out, ending).Clause(m_index);
    }
}

#undef QB_CELL

}  // namespace clausedb
