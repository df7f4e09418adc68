// Fuzzed texts through the duplicate keys and a merge.  The keys keep their
// shapes (a phone key is six or more digits, an e-mail key holds an "@", a
// name key is sorted words, folded text has single inner spaces), and a
// merge of fuzzed entries loses nothing: every text of every entry is held
// by a field of its family in the merged entry, appears in its notes, or is
// held by a vCard property of its extra data.
//
// Input: values separated by NUL bytes, dealt to the fields of three
// entries in turn.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/duplicate_finder.h"
#include "addressbook/duplicate_merge.h"
#include "addressbook/match_keys.h"
#include "addressbook/vcard_mapping.h"

namespace {

using namespace addressbook;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void CheckKeys(std::string_view text) {
    const std::string phone = PhoneKey(text);
    Check(phone.empty() || phone.size() >= 6);
    Check(std::all_of(phone.begin(), phone.end(), [](char c) { return c >= '0' && c <= '9'; }));
    const std::string email = EmailKey(text);
    Check(email.empty() || email.find('@') != std::string::npos);
    const std::string folded = FoldForMatch(text);
    Check(folded.empty() || (folded.front() != ' ' && folded.back() != ' '));
    Check(folded.find("  ") == std::string::npos);
    const std::string name = NameKey(text, text);
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start < name.size();) {
        const std::size_t end = std::min(name.find(' ', start), name.size());
        words.push_back(std::string_view(name).substr(start, end - start));
        start = end + 1;
    }
    Check(std::is_sorted(words.begin(), words.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<CAddressEntry> entries(3);
    std::size_t slot = 0;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        const std::string_view value = input.substr(start, end - start);
        CheckKeys(value);
        entries[slot % 3].SetField(static_cast<int>((slot / 3) % kFieldCount), value);
        ++slot;
        start = end + 1;
    }

    std::vector<const CAddressEntry*> group;
    for (const CAddressEntry& entry : entries) {
        group.push_back(&entry);
        MatchKeysOf(entry);
    }
    const CAddressEntry merged = MergeEntries(group, DefaultMerge(group));
    // Per family, the keys the merged entry keeps: those of its fields, and
    // those of every text that its notes hold word for word.
    const std::string_view notes = merged.GetField(Notes);
    std::vector<std::string> kept[kFieldCount];
    for (int field = 0; field < kFieldCount; ++field) {
        const std::span<const int> family = FieldFamily(field);
        auto& keys = kept[family.front()];
        if (!merged.GetField(field).empty()) {
            keys.push_back(ValueKey(field, merged.GetField(field)));
        }
        for (const CAddressEntry& entry : entries) {
            const std::string_view text = entry.GetField(field);
            if (!text.empty() && notes.find(text) != std::string_view::npos) {
                keys.push_back(ValueKey(field, text));
            }
        }
    }
    std::vector<std::string_view> properties;
    for (CExtraTerm term = merged.Extra().First(); term; term = term.Next()) {
        if (term.Kind() == ExtraKind::Pair && term.Name() == vcard::kPropertyAttribute) {
            properties.push_back(term.Value().Text());
        }
    }
    for (const CAddressEntry& entry : entries) {
        for (int field = 0; field < kFieldCount; ++field) {
            const std::string_view text = entry.GetField(field);
            if (IsBlank(text)) {
                continue;
            }
            const auto& keys = kept[FieldFamily(field).front()];
            if (std::find(keys.begin(), keys.end(), ValueKey(field, text)) != keys.end()) {
                continue;
            }
            // Held as the property line of this text, or of a text of the
            // same family that the merge counts as the same value (it keeps
            // each value once).
            const auto keptAsProperty = [&](const CAddressEntry& from, int other) {
                const std::optional<std::string> line = vcard::LonePropertyLine(from, other);
                return line &&
                       std::find(properties.begin(), properties.end(), *line) != properties.end();
            };
            bool held = false;
            for (const CAddressEntry& from : entries) {
                for (const int other : FieldFamily(field)) {
                    const std::string_view otherText = from.GetField(other);
                    held = held || (!IsBlank(otherText) &&
                                    ValueKey(other, otherText) == ValueKey(field, text) &&
                                    keptAsProperty(from, other));
                }
            }
            Check(held);
        }
    }
    return 0;
}
