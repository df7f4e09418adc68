#include "addresslist/sort_order.h"

#include <algorithm>
#include <cstdint>

namespace addresslist {

namespace {

struct SortSlot {
    std::uint64_t prefix;  // the key's first eight bytes, big-endian, zeros after its end
    int row;
};

std::uint64_t PrefixOf(const std::string& key) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const unsigned char byte = i < key.size() ? static_cast<unsigned char>(key[i]) : 0;
        prefix = prefix << 8 | byte;
    }
    return prefix;
}

}  // namespace

std::vector<int> StableSortOrder(const std::vector<std::string>& keys, bool ascending) {
    std::vector<SortSlot> slots(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        slots[i] = {PrefixOf(keys[i]), static_cast<int>(i)};
    }
    // Prefixes in order mean keys in order (a shorter key pads with zeros,
    // below every byte a longer key may have there); equal prefixes leave it
    // to the texts.
    auto less = [&keys](const SortSlot& a, const SortSlot& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        return keys[static_cast<std::size_t>(a.row)] < keys[static_cast<std::size_t>(b.row)];
    };
    if (ascending) {
        std::stable_sort(slots.begin(), slots.end(), less);
    } else {
        std::stable_sort(slots.begin(), slots.end(),
                         [&less](const SortSlot& a, const SortSlot& b) { return less(b, a); });
    }
    std::vector<int> order(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        order[k] = slots[k].row;
    }
    return order;
}

}  // namespace addresslist
