#include "addressbook/vcard_import.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "addressbook/card_pipeline.h"
#include "addressbook/entry_identity.h"
#include "addressbook/kept_tally.h"

namespace addressbook {

namespace {

// Runs `read` (a read of CVCardReader) and stages an entry for every card
// that `existing` (when given) does not hold.  Without `existing` the cards
// are mapped on a second thread while the reader reads on.
template <typename Read>
void StageCards(Read&& read, vcard::CVCardReader& reader, StagedEntries& staged,
                VCardImportReport& report, const CExistingEntries* existing) {
    staged.Clear();
    report = VCardImportReport{};
    if (existing == nullptr) {
        CCardPipeline pipeline(staged.entries, report.kept);
        read([&pipeline](vcard::Card& card) { pipeline.Add(card); });
        pipeline.Finish();
    } else {
        vcard::KeptTally kept;
        read([&](vcard::Card& card) {
            kept.clear();
            auto entry = std::make_unique<CAddressEntry>(vcard::EntryFromCard(card, kept));
            if (existing->Holds(*entry)) {
                ++report.skipped;
                return;
            }
            for (const auto& [what, count] : kept) {
                report.kept[what] += count;
            }
            staged.entries.push_back(std::move(entry));
        });
    }
    // Once every card is known, so that no new UID is one a later card has.
    GiveMissingUids(staged.entries);
    report.problems = reader.Problems();
    report.imported = static_cast<int>(staged.entries.size());
    staged.announcedRows = report.imported;
}

std::string Count(std::size_t n, std::string_view noun) {
    return std::to_string(n) + " " + std::string(noun) + (n == 1 ? "" : "s");
}

// "2 cards (line 4, no END:VCARD; line 9, no END:VCARD)"
std::string ProblemList(const std::vector<vcard::ReadProblem>& problems, std::string_view noun) {
    constexpr std::size_t kListed = 5;
    std::string text = Count(problems.size(), noun) + " (";
    for (std::size_t i = 0; i < problems.size() && i < kListed; ++i) {
        if (i > 0) {
            text += "; ";
        }
        text += "line " + std::to_string(problems[i].line) + ", " + problems[i].reason;
    }
    if (problems.size() > kListed) {
        text += "; and " + std::to_string(problems.size() - kListed) + " more";
    }
    return text + ")";
}

}  // namespace

int ImportVCardEntries(const std::string& path, StagedEntries& staged, VCardImportReport& report,
                       std::string* errorText, int* errorNumber,
                       const vcard::CVCardReader::ProgressFn& onProgress,
                       const CExistingEntries* existing) {
    vcard::CVCardReader reader;
    bool ok = true;
    StageCards(
        [&](const vcard::CVCardReader::CardFn& onCard) {
            ok = reader.ReadFile(path, onCard, onProgress);
        },
        reader, staged, report, existing);
    if (!ok) {
        staged.Clear();
        report.imported = 0;
        report.skipped = 0;
        if (errorText != nullptr) {
            *errorText = reader.ErrorText();
        }
        if (errorNumber != nullptr) {
            *errorNumber = reader.ErrorNumber();
        }
        return -1;
    }
    return report.imported;
}

int ImportVCardEntriesFromBytes(std::string_view bytes, StagedEntries& staged,
                                VCardImportReport& report, const CExistingEntries* existing) {
    vcard::CVCardReader reader;
    StageCards([&](const vcard::CVCardReader::CardFn& onCard) { reader.ReadBytes(bytes, onCard); },
               reader, staged, report, existing);
    return report.imported;
}

std::string ImportReportText(const VCardImportReport& report, std::string_view fileName) {
    std::string text = report.imported > 0 || report.skipped > 0
                           ? ImportSummaryText(report.imported, report.skipped)
                           : "No contacts found in " + std::string(fileName) + ".";
    text += KeptSentence(report.kept);
    const vcard::ReadProblems& problems = report.problems;
    std::vector<std::string> skipped;
    if (!problems.skippedCards.empty()) {
        skipped.push_back(ProblemList(problems.skippedCards, "card"));
    }
    if (!problems.skippedLines.empty()) {
        skipped.push_back(ProblemList(problems.skippedLines, "line"));
    }
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        text += (i == 0 ? " Skipped: " : ", ") + skipped[i];
    }
    if (!skipped.empty()) {
        text += ".";
    }
    if (problems.linesOutsideCards > 0) {
        text += " Ignored: " + Count(static_cast<std::size_t>(problems.linesOutsideCards), "line") +
                " outside any card.";
    }
    return text;
}

}  // namespace addressbook
