#include "addressbook/delimited_export.h"

#include <algorithm>
#include <vector>

#include "addressbook/book_file.h"
#include "fileio/atomic_file.h"

namespace addressbook {

namespace {

// Appends `text` as a text-mode write would: each LF becomes CR LF.
void AppendTextMode(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t newline = text.find('\n'); newline != std::string_view::npos;
         newline = text.find('\n', start)) {
        out.append(text.substr(start, newline - start));
        out.append("\r\n");
        start = newline + 1;
    }
    out.append(text.substr(start));
}

}  // namespace

void AddExportHeaderClause(clausedb::CExprDatabase& db) {
    clausedb::CExprTerm clause = db.NewClause(kContactFunctor);
    for (const FieldInfo& field : kFields) {
        clause.AddStringAttribute(field.attribute, field.header);
    }
    db.AddClause(clause);
}

void StageExportClauses(const IAddressList& list, clausedb::CExprDatabase& db) {
    db.RemoveAllClauses();
    AddExportHeaderClause(db);
    StoreEntriesAsClauses(list, db);
}

int ExportDelimitedClauses(clausedb::CExprDatabase& db, const ColumnMapping& columns,
                           char separator, std::string& out) {
    out.clear();
    const int maxColumn = std::max(0, *std::max_element(columns.begin(), columns.end()));
    if (maxColumn > kMaxExportColumn) {
        db.RemoveAllClauses();
        return -1;
    }
    // fieldOfColumn[k]: the field written in column k, the later field in
    // field order when several share k; -1 for a gap.  Column 0 is never
    // written.
    std::vector<int> fieldOfColumn(static_cast<std::size_t>(maxColumn) + 1, -1);
    for (int i = 0; i < kFieldCount; ++i) {
        const int column = columns[static_cast<std::size_t>(i)];
        if (column > 0) {
            fieldOfColumn[static_cast<std::size_t>(column)] = i;
        }
    }

    int lines = 0;
    if (maxColumn > 0) {
        std::array<std::string_view, kFieldCount> texts;
        for (auto* node = db.First(); node != nullptr; node = node->Next()) {
            GetFieldTexts(db.ClauseOf(node), texts);
            for (int k = 1; k <= maxColumn; ++k) {
                const int field = fieldOfColumn[static_cast<std::size_t>(k)];
                out.push_back('"');
                if (field >= 0) {
                    AppendTextMode(out, texts[static_cast<std::size_t>(field)]);
                }
                out.push_back('"');
                out.push_back(separator);
            }
            out.append("\r\n");
            ++lines;
        }
    }
    db.RemoveAllClauses();
    return lines;
}

int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, std::string& out) {
    StageExportClauses(list, db);
    return ExportDelimitedClauses(db, columns, separator, out);
}

bool WriteDelimitedFile(const std::string& path, std::string_view bytes, std::string* errorText) {
    return quillbox::WriteFileAtomically(path, bytes, errorText);
}

}  // namespace addressbook
