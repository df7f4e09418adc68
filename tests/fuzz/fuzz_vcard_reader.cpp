// Feeds arbitrary bytes to the vCard reader and checks:
// - reading them from a file in small blocks gives the cards and problems
//   that reading them from memory gives;
// - every entry made of a card holds valid UTF-8 only (a book file must stay
//   UTF-8), and its card has one content line per line;
// - the entry's card, read and mapped again, gives the same entry (the
//   export keeps everything the import kept);
// - the import report and the descriptions of the extra data can be made.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/entry_identity.h"
#include "addressbook/extra_description.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vcard_reader.h"
#include "fileio/text_encoding.h"

namespace {

using namespace addressbook;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// The cards of a read as text, and what was skipped.
struct Read {
    std::vector<std::string> cards;
    std::string problems;
};

std::string ProblemsText(const vcard::ReadProblems& problems) {
    std::string text;
    for (const auto& p : problems.skippedCards) {
        text += "card " + std::to_string(p.line) + " " + p.reason + "\n";
    }
    for (const auto& p : problems.skippedLines) {
        text += "line " + std::to_string(p.line) + " " + p.reason + "\n";
    }
    return text + std::to_string(problems.linesOutsideCards);
}

vcard::CVCardReader::CardFn Collect(Read& read) {
    return [&read](vcard::Card& card) {
        std::string text = std::to_string(card.line) + " " + card.version;
        for (const vcard::Property& p : card.properties) {
            text += "\n" + vcard::FormatContentLine(p);
        }
        read.cards.push_back(text);
    };
}

void CheckFileRead(std::string_view input, const Read& reference) {
    const int fd = memfd_create("vcard-fuzz", 0);
    if (fd < 0) {
        return;
    }
    if (write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size())) {
        vcard::CVCardReader::SetBlockSizeForTesting(1 + input.size() % 7);
        Read read;
        vcard::CVCardReader reader;
        Check(reader.ReadFile("/proc/self/fd/" + std::to_string(fd), Collect(read)));
        vcard::CVCardReader::SetBlockSizeForTesting(0);
        read.problems = ProblemsText(reader.Problems());
        Check(read.cards == reference.cards && read.problems == reference.problems);
    }
    close(fd);
}

void CheckUtf8(const CAddressEntry& entry) {
    for (int i = 0; i < kFieldCount; ++i) {
        Check(fileio::IsValidUtf8(entry.GetField(i)));
    }
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        Check(fileio::IsValidUtf8(term.Name()) && fileio::IsValidUtf8(term.Value().Text()));
    }
}

void CheckEntry(const vcard::Card& card) {
    vcard::KeptTally kept;
    CAddressEntry entry = vcard::EntryFromCard(card, kept);
    CheckUtf8(entry);
    DescribeExtraData(entry);
    if (!EntryUid(entry)) {
        SetEntryUid(entry, "u");
    }
    // The export in the card's own version (2.1 is read as 3.0).
    const vcard::Version version = vcard::VersionOf(card.version) == vcard::Version::V40
                                       ? vcard::Version::V40
                                       : vcard::Version::V30;
    std::vector<std::string> lines;
    vcard::CardLines(entry, version, "", lines);
    for (const std::string& line : lines) {
        Check(line.find_first_of("\r\n") == std::string::npos);
    }
    const std::string text = VCardText(entry, version, "");
    int cards = 0;
    vcard::CVCardReader reader;
    reader.ReadBytes(text, [&](vcard::Card& again) {
        ++cards;
        vcard::KeptTally unused;
        Check(vcard::EntryFromCard(again, unused) == entry);
    });
    Check(cards == 1 && reader.Problems().Empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Read reference;
    vcard::CVCardReader reader;
    std::vector<vcard::Card> cards;
    reader.ReadBytes(input, [&](vcard::Card& card) {
        Collect(reference)(card);
        cards.push_back(card);
    });
    reference.problems = ProblemsText(reader.Problems());
    CheckFileRead(input, reference);
    for (const vcard::Card& card : cards) {
        CheckEntry(card);
    }
    StagedEntries staged;
    VCardImportReport report;
    ImportVCardEntriesFromBytes(input, staged, report);
    ImportReportText(report, "fuzz.vcf");
    return 0;
}
