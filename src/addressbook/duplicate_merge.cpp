#include "addressbook/duplicate_merge.h"

#include <algorithm>
#include <utility>

#include "addressbook/match_keys.h"

namespace addressbook {

namespace {

constexpr int kNameFamily[] = {LastName, FirstName};
constexpr int kEmailFamily[] = {Email1, Email2};
constexpr int kWebFamily[] = {Web1, Web2};
constexpr int kVoiceFamily[] = {HomePhone, WorkPhone, CellPhone};
constexpr int kVoiceExtFamily[] = {HomeExt, WorkExt, CellExt};
// The families whose free fields take the texts that lost their own field.
// The names are left out: a second last name is no first name.
constexpr std::span<const int> kPlacedFamilies[] = {kEmailFamily, kWebFamily, kVoiceFamily};

constexpr std::array<int, kFieldCount> kEveryField = [] {
    std::array<int, kFieldCount> fields{};
    for (int i = 0; i < kFieldCount; ++i) {
        fields[static_cast<std::size_t>(i)] = i;
    }
    return fields;
}();

// The fields that belong to a phone number and go where it goes.
std::span<const int> Companions(int field) {
    static constexpr int kHome[] = {HomeExt};
    static constexpr int kWork[] = {WorkExt};
    static constexpr int kCell[] = {CellExt};
    static constexpr int kPager[] = {PagerExt, PagerCard};
    static constexpr int kFax[] = {FaxExt};
    switch (field) {
        case HomePhone:
            return kHome;
        case WorkPhone:
            return kWork;
        case CellPhone:
            return kCell;
        case Pager:
            return kPager;
        case FaxPhone:
            return kFax;
        default:
            return {};
    }
}

// The phone number whose companion `field` is, or -1.
int OwnerOf(int field) {
    for (const int phone : {HomePhone, WorkPhone, CellPhone, Pager, FaxPhone}) {
        const std::span<const int> companions = Companions(phone);
        if (std::find(companions.begin(), companions.end(), field) != companions.end()) {
            return phone;
        }
    }
    return -1;
}

bool IsPhone(int field) {
    return !Companions(field).empty();
}

// Whether a non-empty field of `family` in `values` holds `text` of `field`.
bool FamilyHolds(const MergeValues& values, std::span<const int> family, int field,
                 std::string_view text) {
    return std::any_of(family.begin(), family.end(), [&](int other) {
        const std::string& held = values[static_cast<std::size_t>(other)];
        return !held.empty() && SameFieldValue(field, text, held);
    });
}

// The entry whose text of phone field `field` spells the same number as
// entry `chosen`'s with the most digits (the first of equals).
std::size_t FullestSpelling(const std::vector<const CAddressEntry*>& entries, int field,
                            std::size_t chosen) {
    const std::string_view number = entries[chosen]->GetField(field);
    std::size_t best = chosen;
    std::size_t bestDigits = DigitsOf(number).size();
    for (std::size_t i = chosen + 1; i < entries.size(); ++i) {
        const std::string_view text = entries[i]->GetField(field);
        if (text.empty() || !SameFieldValue(field, text, number)) {
            continue;
        }
        const std::size_t digits = DigitsOf(text).size();
        if (digits > bestDigits) {
            best = i;
            bestDigits = digits;
        }
    }
    return best;
}

// Puts the texts of `family` that no field of it holds into the family's
// empty fields, in order, each phone number with its companions.
void PlaceInFamily(const std::vector<const CAddressEntry*>& entries, std::span<const int> family,
                   MergeValues& values) {
    const auto isFree = [&values](int field) {
        const std::span<const int> companions = Companions(field);
        return values[static_cast<std::size_t>(field)].empty() &&
               std::all_of(companions.begin(), companions.end(), [&values](int companion) {
                   return values[static_cast<std::size_t>(companion)].empty();
               });
    };
    for (const CAddressEntry* entry : entries) {
        for (const int field : family) {
            const std::string_view text = entry->GetField(field);
            if (text.empty() || FamilyHolds(values, family, field, text)) {
                continue;
            }
            const auto target = std::find_if(family.begin(), family.end(), isFree);
            if (target == family.end()) {
                return;  // no free field left: the rest become leftovers
            }
            values[static_cast<std::size_t>(*target)] = text;
            const std::span<const int> from = Companions(field);
            const std::span<const int> to = Companions(*target);
            for (std::size_t k = 0; k < from.size() && k < to.size(); ++k) {
                values[static_cast<std::size_t>(to[k])] = entry->GetField(from[k]);
            }
        }
    }
}

}  // namespace

std::span<const int> FieldFamily(int field) {
    for (const std::span<const int> family :
         {std::span<const int>(kNameFamily), std::span<const int>(kEmailFamily),
          std::span<const int>(kWebFamily), std::span<const int>(kVoiceFamily),
          std::span<const int>(kVoiceExtFamily)}) {
        if (std::find(family.begin(), family.end(), field) != family.end()) {
            return family;
        }
    }
    return std::span<const int>(kEveryField).subspan(static_cast<std::size_t>(field), 1);
}

std::vector<std::string> MergeCandidates(const std::vector<const CAddressEntry*>& entries,
                                         int field) {
    std::vector<std::string> candidates;
    const auto collect = [&](int from) {
        for (const CAddressEntry* entry : entries) {
            const std::string_view text = entry->GetField(from);
            if (!text.empty() &&
                std::find(candidates.begin(), candidates.end(), text) == candidates.end()) {
                candidates.emplace_back(text);
            }
        }
    };
    collect(field);
    for (const int other : FieldFamily(field)) {
        if (other != field) {
            collect(other);
        }
    }
    return candidates;
}

MergeValues DefaultMerge(const std::vector<const CAddressEntry*>& entries) {
    MergeValues values;
    for (int field = 0; field < kFieldCount; ++field) {
        if (OwnerOf(field) >= 0) {
            continue;  // set with its phone number below
        }
        const auto first = std::find_if(entries.begin(), entries.end(), [field](const auto* e) {
            return !e->GetField(field).empty();
        });
        if (first == entries.end()) {
            continue;
        }
        std::size_t source = static_cast<std::size_t>(first - entries.begin());
        if (IsPhone(field)) {
            source = FullestSpelling(entries, field, source);
            for (const int companion : Companions(field)) {
                values[static_cast<std::size_t>(companion)] = entries[source]->GetField(companion);
            }
        }
        values[static_cast<std::size_t>(field)] = entries[source]->GetField(field);
    }
    // An extension without a number stays as the first entry with one has it.
    for (int field = 0; field < kFieldCount; ++field) {
        const int owner = OwnerOf(field);
        if (owner < 0 || !values[static_cast<std::size_t>(owner)].empty()) {
            continue;
        }
        for (const CAddressEntry* entry : entries) {
            if (!entry->GetField(field).empty()) {
                values[static_cast<std::size_t>(field)] = entry->GetField(field);
                break;
            }
        }
    }
    for (const std::span<const int> family : kPlacedFamilies) {
        PlaceInFamily(entries, family, values);
    }
    return values;
}

CAddressEntry MergeEntries(const std::vector<const CAddressEntry*>& entries,
                           const MergeValues& values) {
    CAddressEntry merged;
    for (int field = 0; field < kFieldCount; ++field) {
        merged.SetField(field, values[static_cast<std::size_t>(field)]);
    }
    std::vector<std::pair<int, std::string_view>> leftovers;
    for (int field = 0; field < kFieldCount; ++field) {
        const std::span<const int> family = FieldFamily(field);
        for (const CAddressEntry* entry : entries) {
            const std::string_view text = entry->GetField(field);
            if (text.empty() || FamilyHolds(values, family, field, text)) {
                continue;
            }
            const bool kept = std::any_of(leftovers.begin(), leftovers.end(), [&](const auto& l) {
                return std::find(family.begin(), family.end(), l.first) != family.end() &&
                       SameFieldValue(field, text, l.second);
            });
            if (!kept) {
                leftovers.emplace_back(field, text);
            }
        }
    }
    for (const auto& [field, text] : leftovers) {
        KeepLeftover(merged, field, text);
    }
    return merged;
}

void KeepLeftover(CAddressEntry& merged, int field, std::string_view text) {
    std::string notes(merged.GetField(Notes));
    if (!notes.empty()) {
        notes += "<p>";
    }
    if (field != Notes) {
        notes += FieldAt(field).label;
        notes += ": ";
    }
    notes += text;
    merged.SetField(Notes, notes);
}

}  // namespace addressbook
