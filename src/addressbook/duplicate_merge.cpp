#include "addressbook/duplicate_merge.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "addressbook/match_keys.h"
#include "addressbook/merge_extra.h"
#include "addressbook/vcard_mapping.h"

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

// The keys (ValueKey) of the non-empty fields of `family` in `values`.
std::unordered_set<std::string> HeldKeys(const MergeValues& values, std::span<const int> family) {
    std::unordered_set<std::string> keys;
    for (const int field : family) {
        const std::string& text = values[static_cast<std::size_t>(field)];
        if (!text.empty()) {
            keys.insert(ValueKey(field, text));
        }
    }
    return keys;
}

// A text of nothing but blanks, which holds nothing worth keeping.
bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The entry whose text of phone field `field` spells the same number as
// entry `chosen`'s with the most digits (the first of equals).
std::size_t FullestSpelling(const std::vector<const CAddressEntry*>& entries, int field,
                            std::size_t chosen) {
    const std::string_view number = entries[chosen]->GetField(field);
    const std::string key = ValueKey(field, number);
    std::size_t best = chosen;
    std::size_t bestDigits = DigitsOf(number).size();
    for (std::size_t i = chosen + 1; i < entries.size(); ++i) {
        const std::string_view text = entries[i]->GetField(field);
        if (text.empty() || ValueKey(field, text) != key) {
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
    std::unordered_set<std::string> held = HeldKeys(values, family);
    for (const CAddressEntry* entry : entries) {
        for (const int field : family) {
            const std::string_view text = entry->GetField(field);
            if (IsBlank(text)) {
                continue;
            }
            std::string key = ValueKey(field, text);
            if (held.count(key) != 0) {
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
            held.insert(std::move(key));
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
                                         int field, std::size_t limit) {
    std::vector<std::string> candidates;
    std::unordered_set<std::string_view> seen;
    const auto collect = [&](int from) {
        for (const CAddressEntry* entry : entries) {
            if (candidates.size() >= limit) {
                return;
            }
            const std::string_view text = entry->GetField(from);
            if (!text.empty() && seen.insert(text).second) {
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
    // Per family (by its first field): the keys of the texts the merged
    // entry holds or has already kept as leftovers.
    std::array<std::unordered_set<std::string>, kFieldCount> kept;
    std::array<bool, kFieldCount> started{};
    std::vector<Leftover> leftovers;
    for (int field = 0; field < kFieldCount; ++field) {
        const std::span<const int> family = FieldFamily(field);
        const auto head = static_cast<std::size_t>(family.front());
        if (!started[head]) {
            kept[head] = HeldKeys(values, family);
            started[head] = true;
        }
        for (const CAddressEntry* entry : entries) {
            const std::string_view text = entry->GetField(field);
            if (!IsBlank(text) && kept[head].insert(ValueKey(field, text)).second) {
                leftovers.push_back({field, text, entry});
            }
        }
    }
    std::vector<std::string> words;
    merged.SetExtra(MergeExtraData(entries, merged, leftovers, words));
    for (const std::string& text : words) {
        leftovers.push_back({Notes, text});
    }
    KeepLeftovers(merged, leftovers);
    return merged;
}

void KeepLeftovers(CAddressEntry& merged, std::span<const Leftover> leftovers) {
    if (leftovers.empty()) {
        return;
    }
    std::string notes(merged.GetField(Notes));
    // The merged entry's extra data, then the properties kept here, each
    // line once.
    CExtraDataBuilder extra;
    std::unordered_set<std::string> lines;
    for (CExtraTerm term = merged.Extra().First(); term; term = term.Next()) {
        extra.AddTerm(term);
        if (term.Kind() == ExtraKind::Pair && term.Name() == vcard::kPropertyAttribute &&
            term.Value().Kind() == ExtraKind::String) {
            lines.emplace(term.Value().Text());
        }
    }
    bool added = false;
    for (const Leftover& leftover : leftovers) {
        if (leftover.field != Notes) {
            CAddressEntry alone;
            if (leftover.from == nullptr) {
                alone.SetField(leftover.field, leftover.text);
            }
            std::optional<std::string> line = vcard::LonePropertyLine(
                leftover.from != nullptr ? *leftover.from : alone, leftover.field);
            if (line) {
                if (lines.insert(*line).second) {
                    extra.AddStringAttribute(vcard::kPropertyAttribute, *line);
                    added = true;
                }
                continue;
            }
        }
        if (!notes.empty()) {
            notes += "<p>";
        }
        if (leftover.field != Notes) {
            notes += FieldAt(leftover.field).label;
            notes += ": ";
        }
        notes += leftover.text;
    }
    merged.SetField(Notes, notes);
    if (added) {
        merged.SetExtra(extra.Build());
    }
}

}  // namespace addressbook
