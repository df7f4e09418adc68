// Sample books with planted doubles, for the duplicate finder's tests and
// benchmark: the same people entered twice, as a second import leaves them.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "support/book_generator.h"

namespace bench {

// A near copy of `contact`, as another program or a second import writes
// the same person: `variant` % 4 picks the names swapped; names and e-mail
// addresses in capitals; "+1 " before the phone numbers and extra spaces
// around the names; or the address, city and notes left out.  Each keeps
// the names, e-mail addresses and phone numbers recognisable.
Contact NearCopy(const Contact& contact, std::uint64_t variant);

struct BookWithDoubles {
    std::vector<Contact> contacts;
    // (original, copy) indexes into `contacts`, original < copy.
    std::vector<std::pair<std::size_t, std::size_t>> doubles;
};

// `count` contacts: each is MakeContact(seed, i), or with a chance of
// `perMille` / 1000 a NearCopy of an earlier contact of the book.
BookWithDoubles MakeBookWithDoubles(std::uint64_t count, std::uint64_t seed, int perMille);

}  // namespace bench
