// Between vCards and address entries: which property fills which field, and
// how everything else is kept.
//
// Import (EntryFromCard), by property:
//   N             family; given; additional; prefix -> LastName, FirstName,
//                 MiddleInitial, Title (the suffix and further parts stay in
//                 the form, see below)
//   FN            with an N: no field (FN is built from the name on export);
//                 without one: LastName, unless it only repeats the company
//                 or the first e-mail address
//   ORG           company; department -> Company, Department
//   TITLE         Position
//   X-MANAGER, X-EVOLUTION-MANAGER, X-KADDRESSBOOK-X-ManagersName,
//   X-MS-MANAGER, X-ABRELATEDNAMES labelled _$!<Manager>!$_, and
//   X-ANDROID-CUSTOM relation of type 7                      -> Manager
//   ADR           the first home or untyped one: street (first line) ->
//                 Address1; a second street line, else the extended address
//                 -> Address2; locality, region, code, country -> City,
//                 State, ZipCode, Country
//   TEL           by type: home (or none) -> HomePhone, work -> WorkPhone,
//                 cell -> CellPhone, pager -> Pager, fax -> FaxPhone, each
//                 with its extension (";ext=" of a tel: URI, or a trailing
//                 "x123" / "ext. 123") in HomeExt ... FaxExt
//   EMAIL         preferred ones first -> Email1, Email2
//   URL           Web1, Web2
//                 (the export marks a second address written without a
//                 first X-QUILLBOX-SLOT=2, and the import puts it back there)
//   NOTE          Notes, line breaks as "<p>" as the editor stores them
//   X-QUILLBOX-ADDITIONAL1, X-QUILLBOX-ADDITIONAL2, X-QUILLBOX-PAGERCARD
//                 Additional1, Additional2, PagerCard
// The first of each fills its fields; a further one (a third e-mail, a
// second home phone, a work address) is kept as extra data, as is every
// other property.  VERSION and PRODID are left out (the export writes its
// own), and so are properties with empty values (N:;;;; included), which
// hold nothing.
//
// Extra data (extra_data.h) of an imported entry: the UID, the forms in the
// order the export writes their properties, the other properties in card
// order:
//   'UID' = "..."        the card's UID
//   vCard = "..."        each property that fills no field, as one unfolded
//                        content line (vcard_syntax.h: UTF-8, 3.0 syntax)
//   vCardForm = "..."    for a property that fills fields but that the
//                        export would not write back the same (a group,
//                        other parameters, a name suffix, a post-office
//                        box, "ext. 12" for "x12"): its content line with
//                        each field's text replaced by {FieldName}
//                        ("{{" stands for "{"), e.g.
//                        item1.EMAIL;TYPE=INTERNET,pref:{Email1}
//                        N:{LastName};{FirstName};{MiddleInitial};{Title};Jr.
//
// Export (CardLines): FN, N, ORG, TITLE, X-MANAGER, ADR;TYPE=HOME,
// TEL;TYPE=HOME,VOICE (and WORK,VOICE / CELL,VOICE / PAGER / FAX; in 4.0 as
// tel: URIs where the number allows), X-QUILLBOX-PAGERCARD, EMAIL, URL, NOTE,
// X-QUILLBOX-ADDITIONAL1/2 from the fields; where the entry holds a form for
// the property it is written from the form instead, as long as the form
// still names every field the property needs.  Then the vCard lines as they
// came.  So a card imported and exported again has the same properties with
// the same values, and repeated import and export neither loses nor adds
// anything.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/entry_identity.h"
#include "addressbook/kept_tally.h"
#include "addressbook/vcard_reader.h"

namespace addressbook::vcard {

enum class Version { V21, V30, V40 };

// "2.1" and "4.0"; anything else is read as 3.0.
Version VersionOf(std::string_view text);

inline constexpr std::string_view kPropertyAttribute = "vCard";
inline constexpr std::string_view kFormAttribute = "vCardForm";

// What an import kept as extra data instead of a field, and how often:
// property names ("BDAY", "PHOTO") and descriptions ("a third e-mail",
// "a name suffix").  The labels of grouped properties (X-ABLabel, X-ABADR)
// are kept but not counted: they go with the property they name.
using KeptTally = addressbook::KeptTally;

// The entry of `card`: its fields, its UID (when it has one) and its extra
// data.  Adds to `kept` what did not go into a field.
CAddressEntry EntryFromCard(const Card& card, KeptTally& kept);

// Calls `write` with each content line (unfolded, without its line end) of
// the card for `entry`, BEGIN:VCARD to END:VCARD; a line is valid during
// its call only.  `uid` is written when the entry has no UID of its own.
void ForEachCardLine(const CAddressEntry& entry, Version version, std::string_view uid,
                     const std::function<void(std::string_view line)>& write);
// The same lines appended to `lines`.
void CardLines(const CAddressEntry& entry, Version version, std::string_view uid,
               std::vector<std::string>& lines);

// What a form holds beyond the entry's fields, in plain words ("Name
// suffix: Jr.", "Display name: Dr. John Doe Jr.", "Organization units:
// West", "Address details: PO Box 5"); nothing when it only shapes them.
std::optional<std::string> DescribeForm(std::string_view form, const CAddressEntry& entry);

// Whether `property` is the same as `other` for a reader: the same name and
// group, the same parameters (any case, any order; TYPE values as a set,
// without the defaults VOICE of TEL and INTERNET of EMAIL; VALUE, ENCODING
// and CHARSET left out) and the same value once unescaped (components of N,
// ADR and ORG each; the several values of a component read as one text with
// commas; empty components at the end left out; line breaks alike).
bool SameProperty(const Property& property, const Property& other);

}  // namespace addressbook::vcard
