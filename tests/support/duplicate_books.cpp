#include "support/duplicate_books.h"

#include <string>

namespace bench {

namespace {

std::uint64_t Mix(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string AsciiCapitals(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

Contact NearCopy(const Contact& contact, std::uint64_t variant) {
    Contact copy = contact;
    switch (variant % 4) {
        case 0:
            std::swap(copy[kFirstName], copy[kLastName]);
            break;
        case 1:
            for (const int field : {kFirstName, kLastName, kEmail1, kEmail2}) {
                copy[field] = AsciiCapitals(copy[field]);
            }
            break;
        case 2:
            for (const int field : {kHomePhone, kWorkPhone, kCellPhone, kPager, kFaxPhone}) {
                if (!copy[field].empty() && copy[field].front() != '+') {
                    copy[field] = "+1 " + copy[field];
                }
            }
            for (const int field : {kFirstName, kLastName}) {
                if (!copy[field].empty()) {
                    copy[field] = "  " + copy[field] + " ";
                }
            }
            break;
        default:
            for (const int field : {kAddress1, kAddress2, kCity, kNotes}) {
                copy[field].clear();
            }
            break;
    }
    return copy;
}

BookWithDoubles MakeBookWithDoubles(std::uint64_t count, std::uint64_t seed, int perMille) {
    BookWithDoubles book;
    book.contacts.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t dice = Mix(seed ^ Mix(i));
        if (i > 0 && static_cast<int>(dice % 1000) < perMille) {
            const std::size_t original = static_cast<std::size_t>((dice >> 20) % i);
            book.contacts.push_back(NearCopy(book.contacts[original], dice >> 40));
            book.doubles.emplace_back(original, static_cast<std::size_t>(i));
        } else {
            book.contacts.push_back(MakeContact(seed, i));
        }
    }
    return book;
}

}  // namespace bench
