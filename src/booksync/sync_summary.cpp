#include "booksync/sync_summary.h"

namespace booksync {

namespace {

std::string Counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "3 received, 1 sent, 0 deleted, 1 conflict"
std::string CountsText(const SyncCounts& counts) {
    return std::to_string(counts.received) + " received, " + std::to_string(counts.sent) +
           " sent, " + std::to_string(counts.deleted) + " deleted, " +
           Counted(counts.conflicts, "conflict", "conflicts");
}

}  // namespace

std::string SummaryText(const SyncReport& report, std::string_view name) {
    std::string text;
    if (report.failure) {
        text =
            "The synchronization with " + std::string(name) + " stopped: " + report.failure.message;
        const SyncCounts& c = report.counts;
        if (c.received + c.sent + c.deleted + c.conflicts > 0) {
            text += "\nDone until then: " + CountsText(c) + ".";
        }
    } else {
        text = "Synchronized with " + std::string(name) + ": " + CountsText(report.counts) + ".";
    }
    if (!report.conflicts.empty()) {
        text += "\nChanged here and on the server: ";
        for (std::size_t i = 0; i < report.conflicts.size(); ++i) {
            text += (i > 0 ? ", " : "") + report.conflicts[i];
        }
        text +=
            ". The server's version is in the list; this computer's is kept as a copy marked in "
            "its notes.";
    }
    if (report.counts.postponed > 0) {
        text += "\n" + Counted(report.counts.postponed, "card was", "cards were") +
                " changed on the server during the synchronization; the next one takes "
                "them up.";
    }
    for (const std::string& problem : report.problems) {
        text += "\n" + problem;
    }
    return text;
}

}  // namespace booksync
