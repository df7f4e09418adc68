// The keys by which two entries are taken to describe the same person, and
// the looser sameness by which two texts of one field count as one value.
//
// Names: the words of First Name and Last Name, folded to lower case with
// accents removed (é, Ä, ß, ø, ł become e, a, ss, o, l), anything that is
// not a letter or a digit treated as a space, and sorted, so "Smith, John"
// and "JOHN  SMITH" give the same key.  A name of one word gives no key: a
// first name alone says too little.
//
// E-mail addresses: trimmed and folded to lower case; a text without an "@"
// between other characters gives no key.
//
// Phone numbers: the digits only, as the national number.  A number written
// internationally ("+1 555 123 4567", "0044 20 7946 0000") loses its country
// code, whose length the first digits decide since country codes never
// begin one another; a leading trunk "0" ("020 7946 0000", "+44 (0)20 ...")
// and the "1" before an 11-digit North American number are dropped too.
// Fewer than 6 digits left give no key.
#pragma once

#include <string>
#include <string_view>

namespace addressbook {

// `text` with letters in lower case (ASCII, Latin-1, Latin Extended-A, Greek
// and Cyrillic capitals) and everything else unchanged.
std::string FoldCase(std::string_view text);

// `text` folded for matching: lower case, accents removed, every run of
// characters that are neither letters nor digits made one space, no space
// at either end.
std::string FoldForMatch(std::string_view text);

// The name key of an entry; empty when the two fields hold fewer than two
// words together.
std::string NameKey(std::string_view firstName, std::string_view lastName);

// The key of an e-mail address; empty when the text is not one.
std::string EmailKey(std::string_view address);

// The number of digits of the country code that begins `digits` (1 to 3),
// from the first digits alone; 0 when `digits` is empty or begins with 0.
int CountryCodeLength(std::string_view digits);

// The key of a phone number: its national digits; empty when fewer than 6.
std::string PhoneKey(std::string_view number);

// Every digit of `text`, in order.
std::string DigitsOf(std::string_view text);

// The key by which texts of field `field` count as one value: e-mail
// addresses that differ only in case, phone numbers with the same key (or,
// without one, the same digits), names that fold to the same text for
// matching, other texts that differ only in case and spacing.
std::string ValueKey(int field, std::string_view text);

// Whether `a` and `b` are one value of field `field` (the same ValueKey).
bool SameFieldValue(int field, std::string_view a, std::string_view b);

}  // namespace addressbook
