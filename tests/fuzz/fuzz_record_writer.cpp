// Fuzzed records through both ways of writing a clause: the records written
// straight from their texts (CClauseSink::Record, and WriteEntryClause for a
// book's entries) must give exactly the bytes of the clause built and then
// written, with either line end, for any names, texts and extra data.
//
// Input: pieces separated by NUL bytes.  The first piece picks the functor;
// the next 32 are an entry's fields; each later piece is one extra term, its
// first byte choosing the kind and the rest giving its texts.  The same
// pieces (distinct ones only) also serve as attribute names of their own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/book_file.h"
#include "addressbook/extra_data.h"
#include "clausedb/attribute_names.h"
#include "clausedb/expr_database.h"

namespace {

using namespace addressbook;
using clausedb::CExprStore;
using clausedb::CExprTerm;
using clausedb::LineEnd;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string_view> Pieces(std::string_view input) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = input.find('\0', start);
        pieces.push_back(input.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

std::int32_t Number(std::string_view text) {
    std::int32_t value = 0;
    std::memcpy(&value, text.data(), std::min(text.size(), sizeof value));
    return value;
}

// One extra term from a piece: the first byte picks the kind.
CExprTerm ExtraTerm(CExprStore& store, std::string_view piece) {
    const unsigned kind = piece.empty() ? 0 : static_cast<unsigned char>(piece[0]) % 8;
    const std::string_view text = piece.empty() ? piece : piece.substr(1);
    const std::size_t cut = text.find('=');
    const std::string_view name = text.substr(0, cut);
    const std::string_view rest = cut == std::string_view::npos ? "" : text.substr(cut + 1);
    auto pair = [&](CExprTerm value) {
        CExprTerm list = store.NewList();
        list.AddElement(store.NewWord("="));
        list.AddElement(store.NewWord(name));
        list.AddElement(value);
        return list;
    };
    switch (kind) {
        case 0:
            return store.NewInteger(Number(text));
        case 1: {
            float real = 0;
            std::memcpy(&real, text.data(), std::min(text.size(), sizeof real));
            return store.NewReal(real);
        }
        case 2:
            return store.NewWord(text);
        case 3:
            return store.NewString(text);
        case 4:
            return pair(store.NewString(rest));
        case 5:
            return pair(store.NewWord(rest));
        case 6:
            return pair(store.NewInteger(Number(rest)));
        default: {
            // A list of strings, one of them a nested pair.
            CExprTerm list = store.NewList();
            list.AddElement(store.NewString(name));
            list.AddElement(pair(store.NewString(rest)));
            return list;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> pieces =
        Pieces(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string_view functor = pieces[0];

    // The entry: its fields, then its extra data.
    CAddressEntry entry;
    CExprStore scratch;
    CExtraDataBuilder extra;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (i <= kFieldCount) {
            entry.SetField(static_cast<int>(i - 1), pieces[i]);
        } else {
            extra.AddTerm(ExtraTerm(scratch, pieces[i]));
        }
    }
    entry.SetExtra(extra.Build());

    // Names of their own: the distinct pieces, each with the next piece as
    // its value.
    std::vector<std::string_view> names;
    std::set<std::string_view> seen;
    for (std::string_view piece : pieces) {
        if (seen.insert(piece).second) {
            names.push_back(piece);
        }
    }
    const clausedb::CAttributeNames own(names);
    std::vector<std::string_view> values;
    for (std::size_t i = 0; i < names.size(); ++i) {
        values.push_back(pieces[(i + 1) % pieces.size()]);
    }

    for (LineEnd ending : {LineEnd::Lf, LineEnd::CrLf}) {
        clausedb::CExprDatabase db;
        CExprStore& store = db.Store();

        // Built, then written: the entry, the own names with the entry's
        // extra terms, the entry again (the writer switches names twice).
        std::string built;
        CExprTerm clause = store.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, entry);
        clause.WriteClause(built, ending);
        clause = store.NewClause(functor);
        own.AddStringAttributes(clause, values.data());
        entry.Extra().AppendTo(clause);
        clause.WriteClause(built, ending);
        std::string first;
        clause = store.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, entry);
        clause.WriteClause(first, ending);
        built += first;
        store.Clear();

        // Written straight from the texts.
        std::string direct;
        int step = 0;
        db.WriteToString(direct, ending, [&](clausedb::CClauseSink& sink) {
            switch (step++) {
                case 0:
                case 2:
                    WriteEntryClause(sink, store, entry);
                    return true;
                case 1: {
                    std::vector<CExprTerm> terms;
                    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
                        terms.push_back(term.ToClauseTerm(store));
                    }
                    sink.Record(functor, own, values.data(), terms);
                    return true;
                }
                default:
                    return false;
            }
        });
        Check(direct == built);
    }
    return 0;
}
