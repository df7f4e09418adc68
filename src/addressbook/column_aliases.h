// What the column names of a delimited file's first line mean: the names
// this program's own export writes ("LASTNAME", "EMAIL1", ...), the field
// captions ("Last Name", "M.I.", "Zip Code") and the names other programs
// give their columns when they export contacts as CSV.
//
// Names are compared without regard to case, spaces and punctuation:
// "E-mail Address", "e_mail address" and "EMAILADDRESS" are one name.
//
// A column either names a field (Match Columns gives it that field's number;
// when another column already took the field, or its number is changed, the
// column is kept as extra data), or it is read per row:
//
// Fields (the first column with one of these names takes the field):
//   LastName       Last Name, Surname, Family Name
//   FirstName      First Name, Given Name, Forename
//   MiddleInitial  Middle Name, Additional Name, Middle Initial, MI, Middle
//   Title          Title, Name Prefix, Prefix
//   Address1       Home Street, Home Address, Street, Street Address,
//                  Address, Address Line 1, Street 1  (a street of several
//                  lines: the first line here, the others in Address2)
//   Address2       Home Street 2, Home Address 2, Address Line 2, Street 2
//   City           Home City, City, Town, Locality
//   State          Home State, State, Region, Province, State/Province
//   ZipCode        Home Postal Code, Home ZIP, Home ZipCode, ZIP, ZIP Code,
//                  Postal Code, Postcode, ZIP/Postal Code
//   Country        Home Country, Home Country/Region, Country,
//                  Country/Region
//   Company        Company, Company Name, Organization, Organisation,
//                  Organization Name, Organization 1 - Name, Org
//   Department     Department, Dept, Organization Department,
//                  Organization 1 - Department
//   Position       Job Title, Position, Organization Title,
//                  Organization 1 - Title
//   Manager        Manager, Manager's Name
//   Additional1/2  Custom 1/2, User 1/2
//   HomePhone      Home Phone, Phone Home, Home, Phone, Telephone,
//                  Phone Number, Tel
//   WorkPhone      Business Phone, Work Phone, Office Phone, Work,
//                  Phone Work
//   CellPhone      Mobile Phone, Mobile, Mobile Number, Cell Phone, Cell,
//                  Cellular, Cellular Phone, Phone Mobile
//   Pager          Pager, Pager Number, Beeper
//   FaxPhone       Business Fax, Work Fax, Home Fax, Fax, Fax Number
//   Email1         E-mail Address, E-mail, Email Address, Primary Email,
//                  Mail, E-mail 1
//   Email2         E-mail 2 Address, Secondary Email, E-mail 2
//   Web1           Web Page, Website, Web Page 1, Web Site, URL,
//                  Home Page, Personal Web Page, Web Address, Web
//   Web2           Web Page 2, Website 2, Business Web Page
//   Notes          Notes, Note, Comments, Comment
//   and every field's own export word, caption and attribute name.
//
// Read per row (never given a number):
//   "Phone 1 - Type"/"Phone 1 - Label" with "Phone 1 - Value", and the same
//   for "E-mail N", "Website N" and the parts of "Address N" (Street, City,
//   Region, Postal Code, Country, PO Box, Extended Address, Formatted):
//   the label picks the field (LabelType); several values in one cell are
//   separated by " ::: ".
//   Further phones, e-mails and addresses (Home Phone 2, Business Phone 2,
//   Car Phone, Other Phone, Other Fax, Company Main Phone, Primary Phone,
//   Assistant's Phone, Callback, ISDN, Radio Phone, Telex, TTY/TDD Phone,
//   E-mail 3 Address, the Business and Other address columns, Home Street 3,
//   Home Address PO Box) are kept as TEL, EMAIL and ADR properties.
//   Name, Full Name, Display Name: the name when the row has no first or
//   last name, else kept when it says more than the name fields.
//   Suffix, Name Suffix: the name's suffix (kept as the N property's form).
//   Birthday, Anniversary, Nickname, Profession, Photo, Categories, Group
//   Membership, Labels, Group: BDAY, ANNIVERSARY, NICKNAME, ROLE, PHOTO,
//   CATEGORIES.  Birth Year, Birth Month and Birth Day in columns of their
//   own make one BDAY ("Birth Day" reads as "Birthday" alone; the row
//   mapping tells them apart, see HasBirthParts).
//   E-mail Type (SMTP), E-mail Display Name: describe the e-mail address
//   beside them, and are kept only when they say more.
//   Any other name: kept as X-QUILLBOX-CSV;NAME="<the column's name>".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/delimited_import.h"

namespace addressbook {

enum class ColumnKind : std::uint8_t {
    kOther,       // matches nothing the program knows
    kField,       // a field's text
    kPhone,       // a phone number
    kEmail,       // an e-mail address
    kWeb,         // a web address
    kAddress,     // one part of a postal address
    kLabel,       // the label of the phone, e-mail, web or postal address beside it
    kFullName,    // the whole name
    kNameSuffix,  // "Jr."
    kEmailName,   // the display name of an e-mail address
    kProperty,    // a vCard property of its own
    kCategories,  // categories or groups
    kBirthPart,   // the year, month or day of a birthday in columns of their own
};

// What a label or a column name says about a phone (or an address).
enum class LabelType : std::uint8_t { kNone, kHome, kWork, kCell, kPager, kFax, kOther };

enum class AddressPart : std::uint8_t {
    kNone,
    kStreet,
    kStreet2,
    kStreet3,
    kCity,
    kRegion,
    kCode,
    kCountry,
    kPoBox,
    kExtended,
    kFormatted,
};

struct ColumnMeaning {
    ColumnKind kind = ColumnKind::kOther;
    int field = -1;  // the field Match Columns gives the column, -1 for none
    // N of "Phone N - Value": the column is read per row with the label of
    // the same N (and kind); 0 when the name alone says what it is.
    int pair = 0;
    // Labels: the kind of column they label (kPhone, kEmail, kWeb, kAddress).
    ColumnKind labels = ColumnKind::kOther;
    LabelType type = LabelType::kNone;  // phones and addresses by name
    AddressPart part = AddressPart::kNone;
    // Phones kept as extra data: the TYPE ("home", "work,fax", "car");
    // kProperty: the property's name ("BDAY"); kBirthPart: "year", "month"
    // or "day".
    std::string_view vcard;
};

// Lower-case ASCII letters and digits of `name`, other bytes of ASCII left
// out, bytes of UTF-8 characters kept.
std::string NormalizeColumnName(std::string_view name);

ColumnMeaning MeaningOfColumn(std::string_view name);

// What a phone's label says: "Mobile", "* Mobile", "Work Fax", "Home".
// Labels that only qualify ("Main", "Other", "SMTP", "Internet", "") give
// kNone and are generic; a word the program does not know gives kNone and
// is not generic.
struct LabelMeaning {
    LabelType type = LabelType::kNone;
    bool generic = true;     // says nothing beyond the type
    std::string_view vcard;  // TEL or ADR TYPE ("cell", "work,fax"), empty for none
};
LabelMeaning MeaningOfLabel(std::string_view label);

// The field numbers the names give: each field gets the first column that
// names it; fields no column names get 0.
ColumnMapping MatchColumns(const std::vector<std::string>& names);

// Whether `names` hold a Birth Year or Birth Month column, so that a
// "Birth Day" among them is the day of the month, not the date.
bool HasBirthParts(const std::vector<std::string>& names);

// Whether `name` is one of this program's export header words, exactly as
// the export writes it ("LASTNAME").
bool IsOwnHeaderWord(std::string_view name);
// Whether `names` are the header of this program's export: its words, or
// empty (a column no field is exported to), at least one word.
bool IsOwnHeader(const std::vector<std::string>& names);

}  // namespace addressbook
