#include "addresslist/column_layout.h"

#include <climits>
#include <numeric>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace addresslist {

const ColumnValues kDefaultColumnWidths = {
    100, 100,                           // last and first name
    40,  40,                            // middle initial, title
    170, 170,                           // address 1 and 2
    110,                                // city
    90,                                 // country
    60,                                 // state
    100, 100, 100, 100, 100, 100, 100,  // zip code .. additional 2
    120, 60,  120, 60,  120, 60,        // home, work, cell phone and ext.
    120, 120, 60,                       // pager, pager card, pager ext.
    120, 60,                            // fax and ext.
    200, 200,                           // e-mail 1 and 2
    280, 280, 280};                     // web 1 and 2, notes

ColumnValues IdentityColumnOrder() {
    ColumnValues order;
    std::iota(order.begin(), order.end(), 0);
    return order;
}

namespace {

bool IsScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" conversion at `pos`: skips blanks, reads an optional sign and the
// digits.  False when no digit follows.
bool ScanInt(std::string_view text, std::size_t& pos, int& value) {
    while (pos < text.size() && IsScanBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::size_t digits = pos;
    long long magnitude = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    if (pos == digits) {
        return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) {
        signedValue = INT_MAX;
    } else if (signedValue < INT_MIN) {
        signedValue = INT_MIN;
    }
    value = static_cast<int>(signedValue);
    return true;
}

}  // namespace

std::optional<ColumnValues> ParseColumnValues(std::string_view text) {
    ColumnValues values{};
    std::size_t pos = 0;
    for (int i = 0; i < kColumnCount; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') {
                return std::nullopt;
            }
            ++pos;
        }
        if (!ScanInt(text, pos, values[static_cast<std::size_t>(i)])) {
            return std::nullopt;
        }
    }
    return values;
}

std::optional<ColumnValues> ParseColumnOrder(std::string_view text) {
    std::optional<ColumnValues> order = ParseColumnValues(text);
    if (!order) {
        return std::nullopt;
    }
    for (int field : *order) {
        if (field < 0 || field >= kColumnCount) {
            return std::nullopt;
        }
    }
    return order;
}

std::string FormatColumnValues(const std::vector<int>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += std::to_string(values[i]);
    }
    return text;
}

std::string FormatColumnValues(const ColumnValues& values) {
    return FormatColumnValues(std::vector<int>(values.begin(), values.end()));
}

ColumnLayout ReadColumnLayout(const settings::SettingsStore& store) {
    ColumnLayout layout{kDefaultColumnWidths, IdentityColumnOrder()};
    if (settings::Read(store, settings::kRememberCol) != 0) {
        if (auto widths = ParseColumnValues(settings::Read(store, settings::kColumnSizes))) {
            layout.widths = *widths;
        }
    }
    if (settings::Read(store, settings::kRememberPos) != 0) {
        if (auto order = ParseColumnOrder(settings::Read(store, settings::kColumnOrder))) {
            layout.order = *order;
        }
    }
    return layout;
}

}  // namespace addresslist
