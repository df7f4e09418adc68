#include "addressbook/merge_extra.h"

#include <algorithm>
#include <unordered_set>

#include "addressbook/entry_identity.h"
#include "addressbook/vcard_mapping.h"

namespace addressbook {

namespace {

bool Named(std::uint32_t named, int field) {
    return (named >> field & 1u) != 0;
}

// Whether every field a form names holds the same text in `from` and in
// `merged`.
bool SameTexts(std::uint32_t named, const CAddressEntry& from, const CAddressEntry& merged) {
    for (int field = 0; field < kFieldCount; ++field) {
        if (Named(named, field) && from.GetField(field) != merged.GetField(field)) {
            return false;
        }
    }
    return true;
}

// Whether the property a form of `from` wrote is kept whole anyway: a text
// of one of its fields is a leftover that KeepLeftovers keeps as a vCard
// property (written from this form).
bool KeptWhole(const CAddressEntry* from, std::uint32_t named,
               std::span<const Leftover> leftovers) {
    return std::any_of(leftovers.begin(), leftovers.end(), [&](const Leftover& leftover) {
        return leftover.from == from && Named(named, leftover.field) &&
               vcard::LonePropertyLine(*from, leftover.field).has_value();
    });
}

bool IsForm(const CExtraTerm& term) {
    return term.Kind() == ExtraKind::Pair && term.Name() == vcard::kFormAttribute &&
           term.Value().Kind() == ExtraKind::String;
}

}  // namespace

CExtraData MergeExtraData(const std::vector<const CAddressEntry*>& entries,
                          const CAddressEntry& merged, std::span<const Leftover> leftovers,
                          std::vector<std::string>& notes) {
    CExtraDataBuilder builder;
    if (entries.empty()) {
        return builder.Build();
    }
    const auto identity = std::find_if(entries.begin(), entries.end(), [](const auto* entry) {
        return EntryUid(*entry).has_value();
    });
    if (identity != entries.end()) {
        for (CExtraTerm term = (*identity)->Extra().First(); term; term = term.Next()) {
            if (term.Kind() == ExtraKind::Pair && IsIdentityAttribute(term.Name())) {
                builder.AddTerm(term);
            }
        }
    }
    // The encoded terms kept so far; views into the entries' data.
    std::unordered_set<std::string_view> kept;
    std::unordered_set<int> formProperties;
    for (const CAddressEntry* entry : entries) {
        for (CExtraTerm term = entry->Extra().First(); term; term = term.Next()) {
            if (term.Kind() == ExtraKind::Pair && IsIdentityAttribute(term.Name())) {
                continue;
            }
            if (IsForm(term) && kept.count(term.Encoded()) == 0) {
                const std::string_view form = term.Value().Text();
                const std::uint32_t named = vcard::FieldsNamedBy(form);
                const bool fits =
                    (named != 0 || entry == entries.front()) && SameTexts(named, *entry, merged);
                // The first form of a property is the one the export writes.
                const int property = vcard::PropertyOfForm(form);
                if (!fits || (property >= 0 && !formProperties.insert(property).second)) {
                    if (!KeptWhole(entry, named, leftovers)) {
                        std::optional<std::string> words = vcard::DescribeForm(form, *entry);
                        if (words && std::find(notes.begin(), notes.end(), *words) == notes.end()) {
                            notes.push_back(std::move(*words));
                        }
                    }
                    continue;
                }
            }
            if (kept.insert(term.Encoded()).second) {
                builder.AddTerm(term);
            }
        }
    }
    return builder.Build();
}

}  // namespace addressbook
