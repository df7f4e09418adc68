#include "addresslist/sort_order.h"

#include <algorithm>
#include <array>
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

// Sorts `slots` by prefix, stably, one byte at a time from the lowest
// (a radix sort: eight passes over the slots, none comparing two of them;
// a pass whose byte is the same in every slot is skipped).
void RadixSortByPrefix(std::vector<SortSlot>& slots) {
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (const SortSlot& slot : slots) {
        for (std::size_t b = 0; b < 8; ++b) {
            ++counts[b][slot.prefix >> (8 * b) & 0xFF];
        }
    }
    std::vector<SortSlot> buffer(slots.size());
    for (std::size_t b = 0; b < 8; ++b) {
        std::array<std::size_t, 256>& count = counts[b];
        if (std::find(count.begin(), count.end(), slots.size()) != count.end()) {
            continue;
        }
        std::size_t next = 0;
        for (std::size_t& c : count) {
            next += c;
            c = next - c;  // where the first slot with this byte goes
        }
        for (const SortSlot& slot : slots) {
            buffer[count[slot.prefix >> (8 * b) & 0xFF]++] = slot;
        }
        slots.swap(buffer);
    }
}

}  // namespace

std::vector<int> StableSortOrder(const std::vector<std::string>& keys, bool ascending) {
    std::vector<SortSlot> slots(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // Descending is ascending on the complement: a stable sort on it
        // keeps rows of equal keys in their order, as the descending stable
        // sort does.
        const std::uint64_t prefix = PrefixOf(keys[i]);
        slots[i] = {ascending ? prefix : ~prefix, static_cast<int>(i)};
    }
    // Prefixes in order mean keys in order (a shorter key pads with zeros,
    // below every byte a longer key may have there); only a run of equal
    // prefixes is left to order by the texts, unless its keys are all of one
    // length up to eight bytes, and so equal.
    RadixSortByPrefix(slots);
    const auto text = [&keys](const SortSlot& slot) -> const std::string& {
        return keys[static_cast<std::size_t>(slot.row)];
    };
    for (auto first = slots.begin(); first != slots.end();) {
        auto end = first + 1;
        const std::size_t size = text(*first).size();
        bool equal = size <= 8;
        while (end != slots.end() && end->prefix == first->prefix) {
            equal = equal && text(*end).size() == size;
            ++end;
        }
        if (!equal) {
            std::stable_sort(first, end, [&](const SortSlot& a, const SortSlot& b) {
                return ascending ? text(a) < text(b) : text(b) < text(a);
            });
        }
        first = end;
    }
    std::vector<int> order(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        order[k] = slots[k].row;
    }
    return order;
}

std::vector<int> ReversedRunsOrder(const std::vector<std::string>& keys) {
    std::vector<int> order;
    order.reserve(keys.size());
    std::size_t end = keys.size();
    while (end > 0) {
        std::size_t first = end - 1;
        while (first > 0 && keys[first - 1] == keys[first]) {
            --first;
        }
        for (std::size_t i = first; i < end; ++i) {
            order.push_back(static_cast<int>(i));
        }
        end = first;
    }
    return order;
}

}  // namespace addresslist
