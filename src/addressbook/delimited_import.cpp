#include "addressbook/delimited_import.h"

#include <algorithm>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_token.h"
#include "fileio/atomic_file.h"
#include "fileio/text_encoding.h"

namespace addressbook {

namespace {

// The line that starts at `start`, as a text-mode read sees it, and the
// position after its line end.
std::string_view LineAt(std::string_view text, std::size_t start, std::size_t& next) {
    std::size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
        next = text.size();
        return text.substr(start);
    }
    next = newline + 1;
    std::size_t end = newline;
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(start, end - start);
}

}  // namespace

bool ReadDelimitedFile(const std::string& path, std::string& text, std::string* errorText,
                       int* errorNumber) {
    if (!quillbox::ReadWholeFile(path, text, errorText, errorNumber)) {
        return false;
    }
    quillbox::DecodeToUtf8(text);
    return true;
}

std::optional<std::string> FirstLine(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t next = 0;
    return std::string(LineAt(text, 0, next));
}

int ImportDelimitedText(std::string_view text, const ColumnMapping& columns, std::string_view white,
                        std::string_view breaks, clausedb::CExprDatabase& db) {
    db.RemoveAllClauses();
    const int maxColumn = *std::max_element(columns.begin(), columns.end());
    if (maxColumn < 1) {
        return 0;  // no field takes a column, so no line can give an entry
    }

    const CDelimitedSplitter splitter(white, breaks, kImportQuotes, kImportEscape);
    // Fields beyond the highest column number are never used, and stopping
    // there does not change which columns exist (c <= n holds for every used
    // c exactly when it holds with n capped at maxColumn).
    std::vector<std::string> fields(static_cast<std::size_t>(std::min(maxColumn, 256)));
    int count = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(text, start, next);
        start = next;

        int fieldCount = 0;
        std::size_t position = 0;
        while (fieldCount < maxColumn) {
            if (static_cast<std::size_t>(fieldCount) == fields.size()) {
                fields.emplace_back();
            }
            if (!splitter.Next(line, position, fields[static_cast<std::size_t>(fieldCount)])) {
                break;
            }
            ++fieldCount;
        }

        auto takesColumn = [fieldCount](int column) { return column >= 1 && column <= fieldCount; };
        if (std::none_of(columns.begin(), columns.end(), takesColumn)) {
            continue;
        }
        clausedb::CExprTerm clause = db.NewClause(kContactFunctor);
        for (int i = 0; i < kFieldCount; ++i) {
            const int column = columns[static_cast<std::size_t>(i)];
            if (takesColumn(column)) {
                clause.AddStringAttribute(FieldAt(i).attribute,
                                          fields[static_cast<std::size_t>(column - 1)]);
            }
        }
        db.AddClause(clause);
        ++count;
    }
    return count;
}

}  // namespace addressbook
