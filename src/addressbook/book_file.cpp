#include "addressbook/book_file.h"

#include <memory>

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
}

void StoreEntriesAsClauses(const IAddressList& list, CExprDatabase& db) {
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        CExprTerm clause = db.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, list.EntryAt(row));
        db.AddClause(clause);
    }
}

void GetFieldTexts(CExprTerm clause, std::array<std::string_view, kFieldCount>& texts) {
    FieldAttributes().GetTexts(clause, texts.data());
}

std::unique_ptr<CAddressEntry> EntryFromClause(CExprTerm clause) {
    std::array<std::string_view, kFieldCount> texts;
    GetFieldTexts(clause, texts);
    auto entry = std::make_unique<CAddressEntry>();
    entry->AssignFields(texts);
    return entry;
}

bool InsertEntryFromClause(CExprTerm clause, IAddressList& list) {
    return list.AppendEntry(EntryFromClause(clause));
}

namespace {

// Stages the entry of every `contact` clause and drops every clause.
clausedb::ClauseConsumer StageContacts(StagedEntries& staged) {
    return [&staged](CExprTerm clause) {
        ++staged.announcedRows;
        if (clause.GetFunctor() == kContactFunctor) {
            staged.entries.push_back(EntryFromClause(clause));
        }
        return false;
    };
}

// After a streaming read the database holds no clause; its store still
// holds the interned words and spare chunks, which go back to the system
// here (the error count stays for the caller).
bool FinishStaging(CExprDatabase& db, bool ok, StagedEntries& staged) {
    db.Store().Clear();
    if (!ok) {
        staged.Clear();
    }
    return ok;
}

}  // namespace

bool ReadBook(CExprDatabase& db, const std::string& path, StagedEntries& staged,
              clausedb::ParseErrors* errors) {
    db.RemoveAllClauses();
    staged.Clear();
    return FinishStaging(db, db.ReadFile(path, StageContacts(staged), errors), staged);
}

bool ReadBookText(CExprDatabase& db, std::string_view text, StagedEntries& staged,
                  clausedb::ParseErrors* errors) {
    db.RemoveAllClauses();
    staged.Clear();
    return FinishStaging(db, db.ReadText(text, StageContacts(staged), errors), staged);
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

bool SaveBook(const IAddressList& list, CExprDatabase& db, const std::string& path) {
    db.RemoveAllClauses();
    const int rows = list.RowCount();
    int row = 0;
    const bool ok = db.WriteFile(path, [&]() {
        if (row >= rows) {
            return CExprTerm();
        }
        CExprTerm clause = db.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, list.EntryAt(row++));
        return clause;
    });
    db.Store().Clear();  // keeps the error count and the reason of a failure
    return ok;
}

}  // namespace addressbook
