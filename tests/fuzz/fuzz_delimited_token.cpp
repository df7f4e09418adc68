// Splits fuzzed lines with the comma and the tab character sets.  Each field
// must move the position forward, never past the end of the line, and never
// yield more bytes than it consumed; the splitter's view of each field (its
// shortcut for plain fields) must match the field and position exactly.  Values written the way the
// export quotes them (no quote, escape or line break inside) must split back into the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/delimited_token.h"

namespace {

using addressbook::NextDelimitedToken;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string> SplitChecked(std::string_view line, std::string_view white,
                                      std::string_view breaks) {
    std::vector<std::string> fields;
    const addressbook::CDelimitedSplitter splitter(white, breaks, addressbook::kImportQuotes,
                                                   addressbook::kImportEscape);
    std::size_t position = 0;
    for (;;) {
        const std::size_t before = position;
        auto token = NextDelimitedToken(line, position, white, breaks, addressbook::kImportQuotes,
                                        addressbook::kImportEscape);
        if (!token) {
            std::string_view view;
            std::string scratch;
            Check(!splitter.NextView(line, position, view, scratch));
            Check(position == before);
            Check(before >= line.size());
            break;
        }
        Check(position > before);
        Check(position <= line.size());
        Check(token->size() <= position - before);
        std::size_t viewPosition = before;
        std::string_view view;
        std::string scratch;
        Check(splitter.NextView(line, viewPosition, view, scratch));
        Check(view == *token && viewPosition == position);
        fields.push_back(std::move(*token));
    }
    return fields;
}

void RoundTrip(std::string_view data, char separator, std::string_view white,
               std::string_view breaks) {
    // The input's NUL bytes cut it into values.
    std::vector<std::string> values;
    std::string value;
    for (char ch : data) {
        if (ch == '\0') {
            values.push_back(value);
            value.clear();
        } else if (ch != '"' && ch != '\\' && ch != '\n' && ch != '\r') {
            value.push_back(ch);
        }
    }
    values.push_back(value);

    std::string line;
    for (const std::string& v : values) {
        line += '"';
        line += v;
        line += '"';
        line += separator;
    }
    Check(SplitChecked(line, white, breaks) == values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SplitChecked(text, addressbook::kCommaWhite, addressbook::kCommaBreaks);
    SplitChecked(text, addressbook::kTabWhite, addressbook::kTabBreaks);
    RoundTrip(text, ',', addressbook::kCommaWhite, addressbook::kCommaBreaks);
    RoundTrip(text, '\t', addressbook::kTabWhite, addressbook::kTabBreaks);
    return 0;
}
