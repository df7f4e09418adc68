// Reads arbitrary bytes as an INI file, sets one key, writes the document out
// and reads it again.  Checks that the key reads back, that every other key
// keeps its value, and that writing is stable (reading what was written and
// writing it again gives the same text).
//
// Input: byte 0 picks the section and key, byte 1 the value, the rest is the
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"

namespace {

struct Target {
    std::string_view section;
    std::string_view key;
};

constexpr Target kTargets[] = {
    {"Preferences", "NumMRU"},
    {"preferences", "USEMRU"},
    {"Columns", "Sizes"},
    {"Recent File List", "File1"},
    {"Settings", "PreviewPages"},
    {"S", "K"},
    {"[A", "k"},
    {"A b", "c d"},
    {"\xC3\x89t\xC3\xA9", "Cl\xC3\xA9"},
};

constexpr std::string_view kValues[] = {
    "",
    "0",
    "-2147483648",
    "http://",
    "a=b ; c",
    "\"quoted\"",
    "M\xC3\xBCller \xE2\x82\xAC",
    "[NotASection]",
    "# not a comment",
    "100,100,40,40,170,170,110,90,60,100",
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const Target& target = kTargets[data[0] % std::size(kTargets)];
    const std::string_view value = kValues[data[1] % std::size(kValues)];
    std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

    settings::IniFile doc = settings::IniFile::Parse(std::move(text));

    struct Seen {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Seen> before;
    for (const settings::IniEntry& entry : doc.Entries()) {
        if (settings::EqualsIgnoreAsciiCase(entry.section, target.section) &&
            settings::EqualsIgnoreAsciiCase(entry.key, target.key)) {
            continue;
        }
        std::optional<std::string_view> first = doc.Find(entry.section, entry.key);
        Check(first.has_value());
        before.push_back({std::string(entry.section), std::string(entry.key), std::string(*first)});
    }

    Check(doc.Set(target.section, target.key, value));
    Check(doc.Find(target.section, target.key) == value);

    const std::string written = doc.Serialize();
    settings::IniFile again = settings::IniFile::Parse(written);
    Check(again.Find(target.section, target.key) == value);
    for (const Seen& seen : before) {
        Check(again.Find(seen.section, seen.key) == std::string_view(seen.value));
    }
    Check(again.Serialize() == written);
    return 0;
}
