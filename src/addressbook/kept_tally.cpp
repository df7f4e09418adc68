#include "addressbook/kept_tally.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace addressbook {

std::string KeptSentence(const KeptTally& kept) {
    if (kept.empty()) {
        return {};
    }
    std::vector<std::pair<std::string, int>> sorted(kept.begin(), kept.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text = " Kept as extra data: ";
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        text += (i > 0 ? ", " : "") + sorted[i].first + " " + std::to_string(sorted[i].second);
    }
    return text + ".";
}

}  // namespace addressbook
