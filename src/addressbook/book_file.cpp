#include "addressbook/book_file.h"

#include <bitset>
#include <memory>

namespace addressbook {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;

void FillClauseFromEntry(CExprTerm clause, const CAddressEntry& entry) {
    for (int i = 0; i < kFieldCount; ++i) {
        clause.AddStringAttribute(FieldAt(i).attribute, entry.GetField(i));
    }
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
    texts.fill(std::string_view());
    std::bitset<kFieldCount> seen;
    int remaining = kFieldCount;
    int hint = 0;
    // The elements that FindAttributePair accepts: a list whose first element
    // is a word starting with '=' and whose second element is a word.
    for (CExprTerm element = clause.First(); element; element = element.Next()) {
        if (element.Kind() != clausedb::ExprList) {
            continue;
        }
        CExprTerm equals = element.First();
        if (!equals || equals.Kind() != clausedb::ExprWord) {
            continue;
        }
        std::string_view equalsText = equals.WordOrStringText();
        if (equalsText.empty() || equalsText.front() != '=') {
            continue;
        }
        CExprTerm name = equals.Next();
        if (!name || name.Kind() != clausedb::ExprWord) {
            continue;
        }
        const int index = FieldIndexFromAttribute(name.WordOrStringText(), hint);
        if (index < 0) {
            continue;
        }
        hint = index + 1;
        if (seen.test(static_cast<std::size_t>(index))) {
            continue;  // the first pair with a name counts, whatever its value
        }
        seen.set(static_cast<std::size_t>(index));
        CExprTerm value = name.Next();
        if (value && (value.Kind() == clausedb::ExprWord || value.Kind() == clausedb::ExprString)) {
            texts[static_cast<std::size_t>(index)] = value.WordOrStringText();
        }
        if (--remaining == 0) {
            break;
        }
    }
}

bool InsertEntryFromClause(CExprTerm clause, IAddressList& list) {
    std::array<std::string_view, kFieldCount> texts;
    GetFieldTexts(clause, texts);
    auto entry = std::make_unique<CAddressEntry>();
    entry->AssignFields(texts);
    return list.AppendEntry(std::move(entry));
}

int LoadEntriesFromClauses(CExprDatabase& db, IAddressList& list) {
    list.SetRedraw(false);
    list.ReserveRows(db.CountClauses());
    int appended = 0;
    for (auto* node = db.First(); node != nullptr; node = node->Next()) {
        CExprTerm clause = db.ClauseOf(node);
        if (clause.GetFunctor() != kContactFunctor) {
            continue;
        }
        if (!InsertEntryFromClause(clause, list)) {
            break;
        }
        ++appended;
    }
    db.RemoveAllClauses();
    list.ResortList();
    list.SetRedraw(true);
    return appended;
}

bool ReadBook(CExprDatabase& db, const std::string& path) {
    db.RemoveAllClauses();
    return db.ReadFile(path);
}

bool WriteBook(const IAddressList& list, CExprDatabase& db, const std::string& path) {
    db.RemoveAllClauses();
    StoreEntriesAsClauses(list, db);
    if (!db.WriteFile(path)) {
        return false;
    }
    db.RemoveAllClauses();
    return true;
}

}  // namespace addressbook
