// Deterministic sample address books for the benchmarks.
//
// Contact number i of a book made with a given seed depends only on (seed, i),
// so the 1,000-entry book is the first thousand entries of the 10,000-entry
// book, and every run on every machine makes the same bytes.  This code uses
// the standard library only: it must not depend on the libraries it measures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace bench {

inline constexpr int kFieldCount = 32;

// Field indices in book order.
enum Field : int {
    kLastName,
    kFirstName,
    kMiddleInitial,
    kTitle,
    kAddress1,
    kAddress2,
    kCity,
    kCountry,
    kState,
    kZipCode,
    kCompany,
    kDepartment,
    kPosition,
    kManager,
    kAdditional1,
    kAdditional2,
    kHomePhone,
    kHomeExt,
    kWorkPhone,
    kWorkExt,
    kCellPhone,
    kCellExt,
    kPager,
    kPagerCard,
    kPagerExt,
    kFaxPhone,
    kFaxExt,
    kEmail1,
    kEmail2,
    kWeb1,
    kWeb2,
    kNotes,
};

// Attribute names of the book file, in field order.
extern const std::array<std::string_view, kFieldCount> kAttributeNames;
// Words of the header line that the delimited export writes.
extern const std::array<std::string_view, kFieldCount> kHeaderWords;

using Contact = std::array<std::string, kFieldCount>;

inline constexpr std::uint64_t kDefaultSeed = 19970401;

// Contact `index` of the book made with `seed`; most fields stay empty.
Contact MakeContact(std::uint64_t seed, std::uint64_t index);

// Number of non-empty fields.
int CountFilled(const Contact& contact);

// Appends one `contact` clause exactly as the program saves it: 32 attribute
// lines, names in single quotes, string values with `"` and `\` escaped, and
// ").\n\n" after the clause, every line feed written as CR LF as on disk
// (`crlf` false keeps bare line feeds, as the reader sees the text).
void AppendBookClause(const Contact& contact, std::string& out, bool crlf = true);

// Appends one line of a delimited export that maps field i to column i + 1:
// every field in double quotes followed by `separator`, `"` and `\` escaped
// with a backslash, CR LF.
void AppendDelimitedLine(const Contact& contact, char separator, std::string& out);
// The header line of that export (the 32 header words).
void AppendDelimitedHeader(char separator, std::string& out);

// The name abook shows for a contact: never empty, since abook drops nameless
// entries.
std::string AbookName(const Contact& contact, std::uint64_t index);
// The preamble of an abook file, and one numbered entry of it.
void AppendAbookPreamble(std::string& out);
void AppendAbookEntry(const Contact& contact, std::uint64_t index, std::string& out);

// The four files of an n-entry book written by WriteBookFiles.
struct BookPaths {
    std::string book;   // book-N.qxd
    std::string csv;    // book-N.csv
    std::string tdf;    // book-N.tdf
    std::string abook;  // book-N.abook
};
BookPaths PathsFor(const std::string& folder, std::uint64_t count);

struct BookSizes {
    std::uint64_t book = 0;
    std::uint64_t csv = 0;
    std::uint64_t tdf = 0;
    std::uint64_t abook = 0;
    std::uint64_t filledFields = 0;
};

// Writes the four files for `count` contacts into `folder` (which must
// exist).  Each file is written under a temporary name and renamed into
// place, so an interrupted run never leaves a truncated book behind.  False
// with `error` set on any failure.
bool WriteBookFiles(const std::string& folder, std::uint64_t count, std::uint64_t seed,
                    BookSizes& sizes, std::string& error);

// The whole book file for `count` contacts in memory (for in-process
// benchmarks); `crlf` false gives bare line feeds, as the reader sees them.
std::string MakeBookText(std::uint64_t count, std::uint64_t seed, bool crlf);
// The whole delimited export for `count` contacts, header line first.
std::string MakeDelimitedText(std::uint64_t count, std::uint64_t seed, char separator);

}  // namespace bench
