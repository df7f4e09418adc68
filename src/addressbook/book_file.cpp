#include "addressbook/book_file.h"

#include <memory>
#include <vector>

namespace addressbook {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;

const clausedb::CAttributeNames& FieldAttributes() {
    static const clausedb::CAttributeNames names = [] {
        std::vector<std::string_view> attributes;
        for (const FieldInfo& field : kFields) {
            attributes.push_back(field.attribute);
        }
        return clausedb::CAttributeNames(attributes);
    }();
    return names;
}

void FillClauseFromEntry(CExprTerm clause, const CAddressEntry& entry) {
    std::array<std::string_view, kFieldCount> values;
    entry.GetFields(values);
    FieldAttributes().AddStringAttributes(clause, values.data());
    entry.Extra().AppendTo(clause);
}

void WriteEntryClause(clausedb::CClauseSink& sink, clausedb::CExprStore& store,
                      const CAddressEntry& entry) {
    std::array<std::string_view, kFieldCount> values;
    entry.GetFields(values);
    if (entry.Extra().Empty()) {
        sink.Record(kContactFunctor, FieldAttributes(), values.data());
        return;
    }
    std::vector<CExprTerm> extra;
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        extra.push_back(term.ToClauseTerm(store));
    }
    sink.Record(kContactFunctor, FieldAttributes(), values.data(), extra);
}

void GetFieldTexts(CExprTerm clause, std::array<std::string_view, kFieldCount>& texts) {
    FieldAttributes().GetTexts(clause, texts.data());
}

namespace {

// The argument after the functor, or no term.
CExprTerm FirstArgument(CExprTerm clause) {
    const CExprTerm functor = clause.First();
    return functor ? functor.Next() : functor;
}

// The arguments of `clause` that GetFieldTexts does not take (see
// extra_data.h), in their order.
CExtraData ExtraArguments(CExprTerm clause) {
    CExtraDataBuilder extra;
    std::uint32_t seen = 0;  // bit i: the first pair of field i was met
    for (CExprTerm argument = FirstArgument(clause); argument; argument = argument.Next()) {
        // The pairs that FindAttributePair accepts.
        const CExprTerm mark =
            argument.Kind() == clausedb::ExprList ? argument.First() : CExprTerm();
        const CExprTerm name = mark ? mark.Next() : CExprTerm();
        const bool pair = mark.Kind() == clausedb::ExprWord &&
                          mark.WordOrStringText().substr(0, 1) == "=" &&
                          name.Kind() == clausedb::ExprWord;
        const int field = pair ? FieldIndexFromAttribute(name.WordOrStringText()) : -1;
        if (field >= 0 && (seen >> field & 1u) == 0) {
            seen |= std::uint32_t{1} << field;
            const clausedb::ExprKind kind = name.Next().Kind();
            if (name.Next() && (kind == clausedb::ExprWord || kind == clausedb::ExprString)) {
                continue;  // the field's text
            }
        }
        extra.AddTerm(argument);
    }
    return extra.Build();
}

}  // namespace

CExtraData LinkFromClause(CExprTerm clause) {
    CExtraDataBuilder arguments;
    for (CExprTerm argument = FirstArgument(clause); argument; argument = argument.Next()) {
        arguments.AddTerm(argument);
    }
    return arguments.Build();
}

std::unique_ptr<CAddressEntry> EntryFromClause(CExprTerm clause) {
    std::array<std::string_view, kFieldCount> texts;
    const bool onlyFields = FieldAttributes().GetTexts(clause, texts.data());
    auto entry = std::make_unique<CAddressEntry>();
    entry->AssignFields(texts);
    if (!onlyFields) {
        entry->SetExtra(ExtraArguments(clause));
    }
    return entry;
}

int LoadEntries(StagedEntries& staged, IAddressList& list) {
    list.SetRedraw(false);
    list.ReserveRows(staged.announcedRows);
    int appended = 0;
    for (std::unique_ptr<CAddressEntry>& entry : staged.entries) {
        if (!list.AppendEntry(std::move(entry))) {
            break;
        }
        ++appended;
    }
    staged.Clear();
    list.ResortList();
    list.SetRedraw(true);
    return appended;
}

bool SaveBook(const IAddressList& list, CExprDatabase& db, const std::string& path,
              const CExtraData* link) {
    return SaveBook(list, db, path, link, nullptr, nullptr);
}

bool SaveBook(const IAddressList& list, CExprDatabase& db, const std::string& path,
              const CExtraData* link, const EntryTextSource& more,
              const std::function<bool()>& keep) {
    db.RemoveAllClauses();
    const int rows = list.RowCount();
    int row = 0;
    bool linkWritten = link == nullptr;
    const bool ok = db.WriteRecords(
        path,
        [&](clausedb::CClauseSink& sink) {
            if (!linkWritten) {
                linkWritten = true;
                CExprTerm clause = db.NewClause(kLinkFunctor);
                link->AppendTo(clause);
                sink.Clause(clause);
                return true;
            }
            if (row < rows) {
                WriteEntryClause(sink, db.Store(), list.EntryAt(row++));
                return true;
            }
            std::array<std::string_view, kFieldCount> texts;
            if (!more || !more(texts)) {
                return false;
            }
            sink.Record(kContactFunctor, FieldAttributes(), texts.data());
            return true;
        },
        keep);
    db.Store().Clear();  // keeps the error count and the reason of a failure
    return ok;
}

}  // namespace addressbook
