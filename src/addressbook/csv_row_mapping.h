// One row of a delimited file whose first line names its columns, turned
// into an entry.  Nothing of the row is lost:
//
// 1. Each field takes the column its number gives (as the plain import
//    does).  A street column (column_aliases.h) of several lines gives its
//    first line to Address1 and the others to Address2.
// 2. The other columns are read by their names (column_aliases.h).  Phones,
//    e-mails and web addresses of columns that never get a number go to
//    their field when it is empty in the row:
//    - numbered pairs ("Phone 2 - Type" = "Mobile", "Phone 2 - Value") by
//      their label: Mobile -> CellPhone, Work -> WorkPhone, Home (or no
//      label, Main, Other, a word of the user's own) -> HomePhone, Pager ->
//      Pager, Fax -> FaxPhone; e-mails to Email1, then Email2; web
//      addresses to Web1, then Web2.  Several values in one cell are
//      separated by " ::: ";
//    - further columns by their names (Home Phone 2, Company Main Phone,
//      Other Fax, E-mail 3 Address);
//    - the first "Address N" group labelled home or nothing, or home
//      address columns without numbers, fill the six address fields when
//      all are empty; what the numbers left of the home address (Home
//      Street 3, a PO box) is kept under the columns' names.
//    A column that names a field but has no number (its field took an
//    earlier column, or the number was changed) is kept, as is:
//    - a label that says more than the kinds above ("Grandma");
//    - a name column ("Display Name", "File As") unless it only repeats the
//      name fields; it fills LastName when the row has no first or last
//      name (and it does not repeat the company or the e-mail address);
//    - everything else is kept as extra data of the entry (extra_data.h),
//      as the vCard property a reader would expect:
//          TEL;TYPE=work:555-0100                    a phone that did not fit
//          EMAIL:third@example.org, URL:...          the same for e-mail, web
//          ADR;TYPE=work:;;1 Main St;Springfield;IL;62701;USA
//          LABEL;TYPE=work:1 Main St\nSpringfield    a formatted address only
//          BDAY:1980-04-01 (BDAY;VALUE=text:4/1/1980 when not ISO 8601)
//          ANNIVERSARY, NICKNAME, ROLE (Profession), PHOTO;VALUE=uri:...
//          CATEGORIES:Friends,Work   (" ::: ", ";" or "," lists; "* " dropped)
//          vCardForm = "N:{LastName};{FirstName};{MiddleInitial};{Title};Jr."
//      and any other column as
//          X-QUILLBOX-CSV;NAME="Spouse":Ann
//      (the column's name with " as '; "Column 12" for a column beyond the
//      names).  Values are escaped as vCard text.
//    Placeholders some programs write for "nothing" are left out: "0/0/00"
//    as a date, "Normal" as Priority or Sensitivity, "False" as Private,
//    "Unspecified" as Gender.
// 3. In files read by RFC 4180 rules, line breaks in Notes become "<p>", the
//    form the editor keeps them in.
//
// The tally counts what was kept: by the column's name ("Birthday"), or in
// words ("a second mobile phone", "a third e-mail", "a work address").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/column_aliases.h"
#include "addressbook/kept_tally.h"

namespace addressbook {

// The vCard property that keeps a column the program has no place for.
inline constexpr std::string_view kCsvColumnProperty = "X-QUILLBOX-CSV";

class CCsvRowMapper {
public:
    // `names`: the first line's column names; `columns`: the field numbers;
    // `notesParagraphs`: write line breaks of Notes as "<p>";
    // `keepEmptyRows`: a row of empty values is an entry with empty fields.
    CCsvRowMapper(std::vector<std::string> names, const ColumnMapping& columns,
                  bool notesParagraphs, bool keepEmptyRows);

    // The entry of the row fields[0 .. count), or nothing for a row without
    // a value (an empty line, count 0, included) unless empty rows are kept
    // and a field has a column in the row.
    std::optional<CAddressEntry> EntryOf(const std::vector<std::string>& fields, std::size_t count,
                                         KeptTally& kept) const;

private:
    // The column holding the label of pair `pair` of `kind`, -1 for none.
    int LabelColumn(ColumnKind kind, int pair) const;

    std::vector<std::string> m_names;
    std::vector<ColumnMeaning> m_meanings;
    ColumnMapping m_columns;
    bool m_bNotesParagraphs;
    bool m_bKeepEmptyRows;
};

}  // namespace addressbook
