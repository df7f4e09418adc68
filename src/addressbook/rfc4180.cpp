#include "addressbook/rfc4180.h"

#include "addressbook/delimited_import.h"

namespace addressbook {

namespace {

enum class FieldState { FieldStart, Unquoted, InQuote, AfterQuote };

}  // namespace

std::string& CRfc4180Reader::NewField() {
    if (m_nFields == m_fields.size()) {
        m_fields.emplace_back();
    }
    std::string& field = m_fields[m_nFields++];
    field.clear();
    return field;
}

bool CRfc4180Reader::AddLine(std::string_view line) {
    FieldState state = FieldState::FieldStart;
    std::string* field = nullptr;
    if (m_bInQuote) {
        // The quoted field of the last line goes on after its line break.
        state = FieldState::InQuote;
        field = &m_fields[m_nFields - 1];
        field->push_back('\n');
    } else {
        m_nFields = 0;
        field = &NewField();
    }
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        if (state == FieldState::InQuote) {
            const std::size_t quote = line.find('"', i);
            if (quote == std::string_view::npos) {
                field->append(line.substr(i));
                i = n;
            } else if (quote + 1 < n && line[quote + 1] == '"') {
                field->append(line.substr(i, quote + 1 - i));  // a doubled quote: one
                i = quote + 2;
            } else {
                field->append(line.substr(i, quote - i));
                state = FieldState::AfterQuote;
                i = quote + 1;
            }
            continue;
        }
        if (state == FieldState::FieldStart && line[i] == '"') {
            state = FieldState::InQuote;
            ++i;
            continue;
        }
        if (state == FieldState::FieldStart) {
            state = FieldState::Unquoted;
        }
        // Unquoted text, or text after a closing quote: up to the separator.
        const std::size_t separator = line.find(m_separator, i);
        if (separator == std::string_view::npos) {
            field->append(line.substr(i));
            i = n;
        } else {
            field->append(line.substr(i, separator - i));
            field = &NewField();
            state = FieldState::FieldStart;
            i = separator + 1;
        }
    }
    m_bInQuote = state == FieldState::InQuote;
    if (m_bInQuote) {
        return false;
    }
    if (state != FieldState::FieldStart && n > 0 && line[n - 1] == '\r' && !field->empty() &&
        field->back() == '\r') {
        field->pop_back();
    }
    return true;
}

bool CRfc4180Reader::Finish() {
    if (!m_bInQuote) {
        return false;
    }
    m_bInQuote = false;
    return true;
}

std::vector<std::vector<std::string>> ReadRfc4180Records(std::string_view text, char separator) {
    std::vector<std::vector<std::string>> records;
    CRfc4180Reader reader(separator);
    auto take = [&] {
        const auto first = reader.Fields().begin();
        records.emplace_back(first, first + static_cast<std::ptrdiff_t>(reader.FieldCount()));
    };
    ForEachLineOfText(text, [&](std::string_view line) {
        if (reader.AddLine(line)) {
            take();
        }
        return true;
    });
    if (reader.Finish()) {
        take();
    }
    return records;
}

}  // namespace addressbook
