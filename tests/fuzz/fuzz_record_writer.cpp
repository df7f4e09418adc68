// Fuzzed records through both ways of writing a clause: written straight
// from their texts (CClauseSink::Record, and WriteEntryClause for a book's
// entries) they must give exactly the bytes of the clause built and then
// written, with either line end, for any names, texts and extra data.
//
// Input: pieces separated by NUL bytes: the functor, an entry's 32 fields,
// then one extra term per piece.  The distinct pieces also serve as
// attribute names of their own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
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

// A number from the first bytes of `text`, zeros for those missing.
template <typename Number>
Number NumberOf(std::string_view text) {
    Number value{};
    std::memcpy(&value, text.data(), std::min(text.size(), sizeof value));
    return value;
}

// One extra term from a piece: the first byte picks the kind, the rest
// gives its text (a pair's name before the first '=', its value after).
CExprTerm ExtraTerm(CExprStore& store, std::string_view piece) {
    const unsigned kind = piece.empty() ? 0 : static_cast<unsigned char>(piece[0]) % 8;
    const std::string_view text = piece.substr(piece.empty() ? 0 : 1);
    const std::size_t cut = text.find('=');
    const std::string_view name = text.substr(0, cut);
    const std::string_view rest = cut == std::string_view::npos ? "" : text.substr(cut + 1);
    auto list = [&store](std::initializer_list<CExprTerm> elements) {
        CExprTerm made = store.NewList();
        for (CExprTerm element : elements) {
            made.AddElement(element);
        }
        return made;
    };
    auto pair = [&](CExprTerm value) {
        return list({store.NewWord("="), store.NewWord(name), value});
    };
    // Every kind is built (the scratch store takes them all); the first
    // byte picks one.
    const CExprTerm kinds[] = {
        store.NewInteger(NumberOf<std::int32_t>(text)),
        store.NewReal(NumberOf<float>(text)),
        store.NewWord(text),
        store.NewString(text),
        pair(store.NewString(rest)),
        pair(store.NewWord(rest)),
        pair(store.NewInteger(NumberOf<std::int32_t>(rest))),
        list({store.NewString(name), pair(store.NewString(rest))}),  // a nested pair
    };
    return kinds[kind];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> pieces;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t end; (end = input.find('\0')) != std::string_view::npos;
         input.remove_prefix(end + 1)) {
        pieces.push_back(input.substr(0, end));
    }
    pieces.push_back(input);
    const std::string_view functor = pieces[0];

    // The entry: its fields, then its extra data.  Names of their own: the
    // distinct pieces, each with the next piece as its value.
    CAddressEntry entry;
    CExprStore scratch;
    CExtraDataBuilder extra;
    std::vector<std::string_view> names, values;
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > kFieldCount) {
            extra.AddTerm(ExtraTerm(scratch, pieces[i]));
        } else if (i > 0) {
            entry.SetField(static_cast<int>(i - 1), pieces[i]);
        }
        if (seen.insert(pieces[i]).second) {
            names.push_back(pieces[i]);
            values.push_back(pieces[names.size() % pieces.size()]);
        }
    }
    entry.SetExtra(extra.Build());
    const clausedb::CAttributeNames own(names);

    for (LineEnd ending : {LineEnd::Lf, LineEnd::CrLf}) {
        clausedb::CExprDatabase db;
        CExprStore& store = db.Store();

        // Built, then written: the entry, the own names with the entry's
        // extra terms, the entry again (the writer switches names twice).
        std::string entryText, built;
        CExprTerm clause = store.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, entry);
        clause.WriteClause(entryText, ending);
        clause = store.NewClause(functor);
        own.AddStringAttributes(clause, values.data());
        entry.Extra().AppendTo(clause);
        clause.WriteClause(built, ending);
        built = entryText + built + entryText;
        store.Clear();

        // Written straight from the texts.
        std::string direct;
        int step = 0;
        db.WriteToString(direct, ending, [&](clausedb::CClauseSink& sink) {
            if (step == 3) {
                return false;
            }
            if (step++ != 1) {
                WriteEntryClause(sink, store, entry);
                return true;
            }
            std::vector<CExprTerm> terms;
            for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
                terms.push_back(term.ToClauseTerm(store));
            }
            sink.Record(functor, own, values.data(), terms);
            return true;
        });
        if (direct != built) {
            std::abort();
        }
    }
    return 0;
}
