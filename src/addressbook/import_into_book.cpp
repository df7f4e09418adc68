#include "addressbook/import_into_book.h"

#include <exception>
#include <thread>

#include "addressbook/book_file.h"
#include "addressbook/field_text_queue.h"

namespace addressbook {

namespace {

// One pass of ImportDelimitedIntoBook; it leaves no file behind when the text
// has to be read again (file.StartOver()).
int ImportOnce(CDelimitedTextFile& file, const ColumnMapping& columns, std::string_view white,
               std::string_view breaks, const IAddressList& book, const CExtraData* link,
               clausedb::CExprDatabase& db, const std::string& path, bool& saved) {
    saved = false;
    CFieldTextQueue queue;
    // Set before the queue is closed, read by the writer after it saw the
    // close: whether the new book replaces the old file.
    bool keep = false;
    std::exception_ptr writeFailure;
    std::thread writer([&] {
        try {
            saved = SaveBook(
                book, db, path, link, [&queue](FieldTexts& texts) { return queue.Next(texts); },
                [&keep] { return keep; });
        } catch (...) {
            writeFailure = std::current_exception();
        }
        // A failed write stops taking entries; the reading goes on to its end
        // so that a read error is still told first, as when reading came
        // before writing.
        queue.GiveUp();
    });
    int count = -1;
    try {
        count = ForEachDelimitedEntry(file, columns, white, breaks,
                                      [&queue](const FieldTexts& texts) { queue.Add(texts); });
    } catch (...) {
        queue.Close();
        writer.join();
        throw;
    }
    keep = count > 0;
    queue.Close();
    writer.join();
    if (writeFailure) {
        std::rethrow_exception(writeFailure);
    }
    return count;
}

}  // namespace

int ImportDelimitedIntoBook(CDelimitedTextFile& file, const ColumnMapping& columns,
                            std::string_view white, std::string_view breaks,
                            const IAddressList& book, const CExtraData* link,
                            clausedb::CExprDatabase& db, const std::string& path, bool& saved) {
    // The text is read once, checked as it goes; when it turns out not to be
    // UTF-8, the book is written again from its decoded text.
    const int count = ImportOnce(file, columns, white, breaks, book, link, db, path, saved);
    return count < 0 && file.StartOver()
               ? ImportOnce(file, columns, white, breaks, book, link, db, path, saved)
               : count;
}

}  // namespace addressbook
