#include "column_spec.h"

#include <charconv>

#include "addressbook/field_table.h"

namespace quillbox::tool {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

bool ParseColumnSpec(std::string_view spec, ColumnMapping& columns, std::string& error) {
    columns.fill(0);
    if (Trim(spec).empty()) {
        error = "empty column mapping";
        return false;
    }
    while (!spec.empty()) {
        std::size_t comma = spec.find(',');
        std::string_view pair = Trim(spec.substr(0, comma));
        spec = comma == std::string_view::npos ? std::string_view{} : spec.substr(comma + 1);
        if (pair.empty()) {
            continue;  // tolerate "A=1,,B=2" and a trailing comma
        }
        std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            error = "expected Attribute=N, got '" + std::string(pair) + "'";
            return false;
        }
        std::string_view name = Trim(pair.substr(0, equals));
        std::string_view number = Trim(pair.substr(equals + 1));
        int field = addressbook::FieldIndexFromAttribute(name);
        if (field < 0) {
            error = "unknown attribute '" + std::string(name) + "'";
            return false;
        }
        int value = 0;
        auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || ec != std::errc() || end != number.data() + number.size()) {
            error = "bad column number '" + std::string(number) + "' for " + std::string(name);
            return false;
        }
        columns[static_cast<std::size_t>(field)] = value;
    }
    return true;
}

}  // namespace quillbox::tool
