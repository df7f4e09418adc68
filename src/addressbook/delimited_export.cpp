#include "addressbook/delimited_export.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "addressbook/book_file.h"
#include "fileio/atomic_file.h"

namespace addressbook {

namespace {

// Lines go to the sink in blocks of about this size.
constexpr std::size_t kExportBlock = std::size_t{1} << 18;

// Appends `text` as a text-mode write would: each LF becomes CR LF.
void AppendTextMode(std::string& out, std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (found == nullptr) {
            break;
        }
        const char* newline = static_cast<const char*>(found);
        out.append(p, newline);
        out.append("\r\n");
        p = newline + 1;
    }
    out.append(p, end);
}

// The column layout of an export and the line of one clause.
class ExportLayout {
public:
    explicit ExportLayout(const ColumnMapping& columns)
        : m_nMaxColumn(std::max(0, *std::max_element(columns.begin(), columns.end()))) {
        if (m_nMaxColumn > kMaxExportColumn) {
            return;
        }
        // m_fieldOfColumn[k]: the field written in column k, the later field
        // in field order when several share k; -1 for a gap.  Column 0 is
        // never written.
        m_fieldOfColumn.assign(static_cast<std::size_t>(m_nMaxColumn) + 1, -1);
        for (int i = 0; i < kFieldCount; ++i) {
            const int column = columns[static_cast<std::size_t>(i)];
            if (column > 0) {
                m_fieldOfColumn[static_cast<std::size_t>(column)] = i;
            }
        }
    }

    bool TooLarge() const { return m_nMaxColumn > kMaxExportColumn; }
    bool WritesNothing() const { return m_nMaxColumn == 0; }

    // Appends the line of `clause`, line end included.
    void AppendLine(clausedb::CExprTerm clause, char separator, std::string& out) {
        GetFieldTexts(clause, m_texts);
        for (int k = 1; k <= m_nMaxColumn; ++k) {
            const int field = m_fieldOfColumn[static_cast<std::size_t>(k)];
            out.push_back('"');
            if (field >= 0) {
                AppendTextMode(out, m_texts[static_cast<std::size_t>(field)]);
            }
            out.push_back('"');
            out.push_back(separator);
        }
        out.append("\r\n");
    }

private:
    int m_nMaxColumn;
    std::vector<int> m_fieldOfColumn;
    std::array<std::string_view, kFieldCount> m_texts;
};

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
    ExportLayout layout(columns);
    if (layout.TooLarge()) {
        db.RemoveAllClauses();
        return kExportColumnTooLarge;
    }
    int lines = 0;
    if (!layout.WritesNothing()) {
        for (auto* node = db.First(); node != nullptr; node = node->Next()) {
            layout.AppendLine(db.ClauseOf(node), separator, out);
            ++lines;
        }
    }
    db.RemoveAllClauses();
    return lines;
}

int ExportDelimitedTo(const IAddressList& list, clausedb::CExprDatabase& db,
                      const ColumnMapping& columns, char separator, const TextSink& sink) {
    db.RemoveAllClauses();
    ExportLayout layout(columns);
    if (layout.TooLarge()) {
        return kExportColumnTooLarge;
    }
    if (layout.WritesNothing()) {
        return 0;
    }
    clausedb::CExprStore& store = db.Store();
    const clausedb::StoreMark mark = store.Mark();
    std::string block;
    block.reserve(kExportBlock + (std::size_t{1} << 16));
    int lines = 0;
    // Turns the clause into its line and gives it back to the store.
    auto emit = [&](clausedb::CExprTerm clause) {
        layout.AppendLine(clause, separator, block);
        store.Rewind(mark);
        ++lines;
        if (block.size() < kExportBlock) {
            return true;
        }
        const bool ok = sink(block);
        block.clear();
        return ok;
    };

    clausedb::CExprTerm header = db.NewClause(kContactFunctor);
    for (int i = 0; i < kFieldCount; ++i) {
        FieldAttributes().AddStringAttribute(header, static_cast<std::size_t>(i),
                                             FieldAt(i).header);
    }
    bool ok = emit(header);
    const int rows = list.RowCount();
    for (int row = 0; ok && row < rows; ++row) {
        clausedb::CExprTerm clause = db.NewClause(kContactFunctor);
        FillClauseFromEntry(clause, list.EntryAt(row));
        ok = emit(clause);
    }
    ok = ok && (block.empty() || sink(block));
    store.Clear();
    return ok ? lines : kExportWriteFailed;
}

int ExportDelimitedToWriter(const IAddressList& list, clausedb::CExprDatabase& db,
                            const ColumnMapping& columns, char separator,
                            quillbox::AtomicFileWriter& writer) {
    return ExportDelimitedTo(list, db, columns, separator,
                             [&writer](std::string_view bytes) { return writer.Write(bytes); });
}

int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, std::string& out) {
    out.clear();
    return ExportDelimitedTo(list, db, columns, separator, [&out](std::string_view bytes) {
        out.append(bytes);
        return true;
    });
}

bool WriteDelimitedFile(const std::string& path, std::string_view bytes, std::string* errorText) {
    return quillbox::WriteFileAtomically(path, bytes, errorText);
}

}  // namespace addressbook
