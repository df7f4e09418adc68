#include "addressbook/book_copy.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <thread>
#include <utility>

#include "addressbook/book_file.h"
#include "addressbook/field_text_queue.h"
#include "addressbook/vector_address_list.h"

namespace addressbook {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;

namespace {

// The writing thread and what it shares with the reading thread.  The
// writer starts at the first contact, once the link clause that SaveBook
// writes first is known, so that a book refused before its first contact
// never opens the target's temporary file.  FieldAttributes() is shared:
// only the reading thread walks clauses with it; the writer reads names.
class CBookCopier {
public:
    CBookCopier(CExprDatabase& writeDb, const std::string& out) : m_writeDb(writeDb), m_out(out) {}
    ~CBookCopier() { Stop(false); }
    CBookCopier(const CBookCopier&) = delete;
    CBookCopier& operator=(const CBookCopier&) = delete;

    // False once this copy cannot be kept; the caller's old route does it.
    bool Usable() const { return !m_bOldRoute; }
    void GiveUpCopy() { m_bOldRoute = true; }

    void Contact(const FieldTexts& texts) {
        if (m_bOldRoute) {
            return;
        }
        Start();
        m_queue.Add(texts);
    }

    void Link(CExprTerm clause) {
        if (m_link) {
            return;  // the first one counts
        }
        if (m_writer.joinable()) {
            m_bOldRoute = true;  // too late to be written before the contacts
            return;
        }
        m_link = LinkFromClause(clause);
    }

    // Ends the writing; `keep` replaces the target (a book of no contacts
    // is written here).  Rethrows what the writer threw.
    bool Finish(bool keep) {
        Stop(keep);
        if (m_writeFailure) {
            std::rethrow_exception(std::exchange(m_writeFailure, nullptr));
        }
        return m_bSaved;
    }

private:
    void Stop(bool keep) {
        if (keep) {
            Start();
        }
        if (m_writer.joinable()) {
            m_bKeep = keep;  // set before the close; read by the writer after it
            m_queue.Close();
            m_writer.join();
        }
    }

    void Start() {
        if (m_writer.joinable()) {
            return;
        }
        m_writer = std::thread([this] {
            try {
                m_bSaved = SaveBook(
                    m_none, m_writeDb, m_out, m_link ? &*m_link : nullptr,
                    [this](FieldTexts& texts) { return m_queue.Next(texts); },
                    [this] { return m_bKeep; });
            } catch (...) {
                m_writeFailure = std::current_exception();
            }
            // A failed write takes no more; the reading goes on, so that the
            // book's errors are still told before the write's.
            m_queue.GiveUp();
        });
    }

    CExprDatabase& m_writeDb;
    const std::string& m_out;
    VectorAddressList m_none;  // SaveBook's rows: every entry comes as texts
    std::optional<CExtraData> m_link;
    CFieldTextQueue m_queue;
    std::thread m_writer;
    std::exception_ptr m_writeFailure;
    bool m_bKeep = false;
    bool m_bSaved = false;
    bool m_bOldRoute = false;
};

}  // namespace

BookRead CopyPlainBook(CExprDatabase& readDb, CExprDatabase& writeDb, const std::string& in,
                       const std::string& out, clausedb::ParseErrors* errors, bool& saved) {
    CBookCopier copier(writeDb, out);
    clausedb::ReadTargets targets;
    targets.errors = errors;
    targets.consumer = [&copier](CExprTerm clause) {
        const std::string_view functor = clause.GetFunctor();
        if (functor == kContactFunctor) {
            const std::unique_ptr<CAddressEntry> entry = EntryFromClause(clause);
            if (!entry->Extra().Empty()) {
                copier.GiveUpCopy();  // the texts alone would lose it
                return false;
            }
            FieldTexts texts;
            entry->GetFields(texts);
            copier.Contact(texts);
        } else if (functor == kLinkFunctor) {
            copier.Link(clause);
        }
        return false;
    };
    targets.records.names = &FieldAttributes();
    targets.records.take = [&copier](std::string_view functor, const std::string_view* texts) {
        if (functor == kContactFunctor) {
            FieldTexts fields;
            std::copy_n(texts, kFieldCount, fields.begin());
            copier.Contact(fields);
        }
    };
    BookRead read = ReadPlainBook(readDb, in, targets);
    readDb.Store().Clear();
    if (read == BookRead::kRead && !copier.Usable()) {
        read = BookRead::kNotPlain;
    }
    saved = copier.Finish(read == BookRead::kRead);
    return read;
}

}  // namespace addressbook
