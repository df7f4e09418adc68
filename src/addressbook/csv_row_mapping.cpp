#include "addressbook/csv_row_mapping.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_syntax.h"

namespace addressbook {

namespace {

using vcard::EscapeText;
using K = ColumnKind;
using L = LabelType;
using P = AddressPart;

// Several values in one cell.
constexpr std::string_view kValueSeparator = " ::: ";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The non-empty pieces of `text` between any of `separators`, trimmed.
std::vector<std::string_view> Pieces(std::string_view text,
                                     std::initializer_list<std::string_view> separators) {
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        std::size_t cut = std::string_view::npos;
        std::size_t width = 0;
        for (std::string_view separator : separators) {
            const std::size_t at = text.find(separator);
            if (at < cut) {
                cut = at;
                width = separator.size();
            }
        }
        const std::string_view piece = Trim(text.substr(0, cut));
        if (!piece.empty()) {
            pieces.push_back(piece);
        }
        text = cut == std::string_view::npos ? std::string_view{} : text.substr(cut + width);
    }
    return pieces;
}

std::string Join(const std::vector<std::string_view>& pieces, std::string_view between) {
    std::string text;
    for (std::string_view piece : pieces) {
        if (!text.empty()) {
            text += between;
        }
        text += piece;
    }
    return text;
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, from)) {
        out.append(text.substr(from, at - from));
        out.append(with);
        from = at + what.size();
    }
    out.append(text.substr(from));
    return out;
}

// Values some programs write for "nothing".
bool IsPlaceholder(std::string_view normalizedName, std::string_view value) {
    struct Placeholder {
        std::string_view name;
        std::string_view value;
    };
    constexpr Placeholder kPlaceholders[] = {
        {"birthday", "0/0/00"},    {"anniversary", "0/0/00"}, {"priority", "Normal"},
        {"sensitivity", "Normal"}, {"private", "False"},      {"gender", "Unspecified"},
    };
    return std::any_of(
        std::begin(kPlaceholders), std::end(kPlaceholders), [&](const Placeholder& p) {
            return p.name == normalizedName && vcard::EqualsIgnoreCase(p.value, Trim(value));
        });
}

// 1980-04-01, 19800401, --04-01, --0401.
bool IsIsoDate(std::string_view text) {
    auto shape = [text](std::string_view pattern) {
        return text.size() == pattern.size() &&
               std::equal(text.begin(), text.end(), pattern.begin(),
                          [](char c, char p) { return p == 'd' ? c >= '0' && c <= '9' : c == p; });
    };
    return shape("dddd-dd-dd") || shape("dddddddd") || shape("--dd-dd") || shape("--dddd");
}

// A column's name as a quoted parameter value.
std::string ParamText(std::string_view name) {
    std::string text;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        text += c == '"' ? '\'' : byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return text;
}

// A URI as a property value: backslashes and line breaks escaped only.
std::string UriText(std::string_view value) {
    return vcard::EscapeLineBreaks(ReplaceAll(value, "\\", "\\\\"));
}

std::string PropertyLine(std::string_view name, std::string_view types, std::string_view value) {
    std::string line(name);
    if (!types.empty()) {
        line += ";TYPE=";
        line += types;
    }
    line += ':';
    line += value;
    return line;
}

int FieldOfPhone(L type) {
    switch (type) {
        case L::kNone:
        case L::kHome:
            return HomePhone;
        case L::kWork:
            return WorkPhone;
        case L::kCell:
            return CellPhone;
        case L::kPager:
            return Pager;
        case L::kFax:
            return FaxPhone;
        default:
            return -1;
    }
}

std::string PhoneWords(L type) {
    switch (type) {
        case L::kHome:
            return "a second home phone";
        case L::kWork:
            return "a second work phone";
        case L::kCell:
            return "a second mobile phone";
        case L::kPager:
            return "a second pager";
        case L::kFax:
            return "a second fax";
        default:
            return "another phone";
    }
}

std::string_view AddressType(L type) {
    return type == L::kHome ? "home" : type == L::kWork ? "work" : "";
}

// The lines of a text, without empty ones.
std::vector<std::string_view> Lines(std::string_view text) {
    return Pieces(text, {"\r\n", "\n", "\r"});
}

constexpr std::size_t kPartCount = static_cast<std::size_t>(P::kFormatted) + 1;

struct AddressGroup {
    int pair = 0;  // 0: a group of its own by type
    L type = L::kNone;
    std::array<std::string, kPartCount> parts;
    std::array<int, kPartCount> columns{};  // the column of each part

    std::string& Part(P part) { return parts[static_cast<std::size_t>(part)]; }
    bool Structured() const {
        return std::any_of(parts.begin(), parts.end() - 1,
                           [](const std::string& part) { return !part.empty(); });
    }
    // The street's lines, then (when asked) the extended address.
    std::vector<std::string_view> StreetLines(bool withExtended) {
        std::vector<std::string_view> lines;
        for (P part : {P::kStreet, P::kStreet2, P::kStreet3, P::kExtended}) {
            if (part == P::kExtended && !withExtended) {
                break;
            }
            for (std::string_view line : Lines(Part(part))) {
                lines.push_back(line);
            }
        }
        return lines;
    }
};

// The entry being made of one row.
struct RowBuilder {
    explicit RowBuilder(KeptTally& tally) : kept(tally) {}

    // Empty in this row (its column, if any, holds nothing).
    bool Free(int field) const { return Text(field).empty(); }
    std::string& Text(int field) { return texts[static_cast<std::size_t>(field)]; }
    const std::string& Text(int field) const { return texts[static_cast<std::size_t>(field)]; }

    void Keep(std::string line, const std::string& words) {
        extra.AddStringAttribute(vcard::kPropertyAttribute, line);
        ++kept[words];
    }
    void KeepColumn(const std::string& name, std::string_view value) {
        Keep(std::string(kCsvColumnProperty) + ";NAME=\"" + ParamText(name) +
                 "\":" + EscapeText(value),
             name);
    }
    // A street of several lines: the first line in Address1, the others
    // before what Address2 holds.
    // The lines may point into Address1 itself: both fields are made anew.
    void PutStreet(const std::vector<std::string_view>& lines) {
        if (lines.empty()) {
            return;
        }
        std::vector<std::string_view> rest(lines.begin() + 1, lines.end());
        if (!Text(Address2).empty()) {
            rest.push_back(Text(Address2));
        }
        std::string address2 = Join(rest, ", ");
        std::string address1(lines.front());
        Text(Address1) = std::move(address1);
        Text(Address2) = std::move(address2);
    }
    // Whether `name` only repeats the name fields.
    bool IsNameOfFields(std::string_view name) const {
        const std::string wanted = Join(Pieces(name, {" "}), " ");
        auto joined = [this](std::initializer_list<int> fields, std::string_view between) {
            std::vector<std::string_view> parts;
            for (int field : fields) {
                if (!Text(field).empty()) {
                    parts.push_back(Text(field));
                }
            }
            return Join(parts, between);
        };
        for (const std::string& candidate :
             {joined({Title, FirstName, MiddleInitial, LastName}, " "),
              joined({FirstName, MiddleInitial, LastName}, " "), joined({FirstName, LastName}, " "),
              joined({LastName, FirstName}, " "), joined({LastName, FirstName}, ", "),
              joined({LastName, FirstName, MiddleInitial}, " ")}) {
            if (candidate == wanted) {
                return true;
            }
        }
        // "Doe, Jane Q"
        return Text(LastName) + ", " + joined({FirstName, MiddleInitial}, " ") == wanted;
    }

    std::array<std::string, kFieldCount> texts;
    std::array<bool, kFieldCount> fed{};
    CExtraDataBuilder extra;
    KeptTally& kept;
};

// Birth Year, Birth Month and Birth Day columns (with values) as one BDAY:
// 1991-02-28, or --02-28 without a year; kept column by column unless they
// are numbers of a date.
template <typename NameOf>
void KeepBirthday(const std::vector<std::pair<std::size_t, std::string_view>>& parts,
                  const std::vector<std::string>& fields, RowBuilder& row, NameOf&& nameOf) {
    int year = -1;
    int month = -1;
    int day = -1;
    bool numbers = true;
    for (const auto& [column, part] : parts) {
        const std::string_view text = Trim(fields[column]);
        int value = 0;
        numbers =
            numbers && !text.empty() && text.size() <= 4 &&
            std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        for (char c : text) {
            value = value * 10 + (c - '0');
        }
        (part == "year" ? year : part == "month" ? month : day) = value;
    }
    if (parts.empty()) {
        return;
    }
    if (numbers && month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        char date[40];
        if (year >= 0) {
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        } else {
            std::snprintf(date, sizeof date, "--%02d-%02d", month, day);
        }
        row.Keep(std::string("BDAY:") + date, "Birthday");
        return;
    }
    for (const auto& [column, part] : parts) {
        row.KeepColumn(nameOf(column), fields[column]);
    }
}

}  // namespace

CCsvRowMapper::CCsvRowMapper(std::vector<std::string> names, const ColumnMapping& columns,
                             bool notesParagraphs, bool keepEmptyRows)
    : m_names(std::move(names)),
      m_columns(columns),
      m_bNotesParagraphs(notesParagraphs),
      m_bKeepEmptyRows(keepEmptyRows) {
    m_meanings.reserve(m_names.size());
    const bool birthParts = HasBirthParts(m_names);
    for (const std::string& name : m_names) {
        m_meanings.push_back(MeaningOfColumn(name));
        if (birthParts && NormalizeColumnName(name) == "birthday") {
            m_meanings.back().kind = K::kBirthPart;  // the day of the month
            m_meanings.back().vcard = "day";
        }
    }
}

int CCsvRowMapper::LabelColumn(ColumnKind kind, int pair) const {
    for (std::size_t c = 0; c < m_meanings.size(); ++c) {
        if (m_meanings[c].kind == K::kLabel && m_meanings[c].labels == kind &&
            m_meanings[c].pair == pair) {
            return static_cast<int>(c);
        }
    }
    return -1;
}

std::optional<CAddressEntry> CCsvRowMapper::EntryOf(const std::vector<std::string>& fields,
                                                    std::size_t count, KeptTally& kept) const {
    if (count == 0) {
        return std::nullopt;  // an empty line
    }
    const ColumnMeaning none;
    auto meaningOf = [&](std::size_t c) -> const ColumnMeaning& {
        return c < m_meanings.size() ? m_meanings[c] : none;
    };
    auto nameOf = [&](std::size_t c) {
        return c < m_names.size() && !m_names[c].empty() ? m_names[c]
                                                         : "Column " + std::to_string(c + 1);
    };
    // The label of pair `pair` of `kind` in this row.
    auto labelOf = [&](ColumnKind kind, int pair) {
        const int column = LabelColumn(kind, pair);
        return column >= 0 && static_cast<std::size_t>(column) < count
                   ? MeaningOfLabel(fields[static_cast<std::size_t>(column)])
                   : LabelMeaning{};
    };

    // 1. The fields by their numbers.
    RowBuilder row(kept);
    std::vector<bool> used(count, false);
    bool anyField = false;
    for (int field = 0; field < kFieldCount; ++field) {
        const int column = m_columns[static_cast<std::size_t>(field)];
        if (column >= 1 && static_cast<std::size_t>(column) <= count) {
            row.Text(field) = fields[static_cast<std::size_t>(column - 1)];
            row.fed[static_cast<std::size_t>(field)] = true;
            used[static_cast<std::size_t>(column - 1)] = true;
            anyField = true;
        }
    }
    if (row.fed[Address1] &&
        meaningOf(static_cast<std::size_t>(m_columns[Address1] - 1)).part == P::kStreet) {
        row.PutStreet(Lines(row.Text(Address1)));
    }

    // 2. The other columns by their names.
    std::vector<AddressGroup> groups;
    std::vector<std::size_t> later;  // names and pair labels: once the fields are known
    std::vector<std::pair<std::size_t, std::string_view>> birth;  // column, "year"...
    for (std::size_t c = 0; c < count; ++c) {
        const std::string& value = fields[c];
        const ColumnMeaning& meaning = meaningOf(c);
        if (used[c] || value.empty() ||
            (c < m_names.size() && IsPlaceholder(NormalizeColumnName(m_names[c]), value))) {
            continue;
        }
        switch (meaning.kind) {
            case K::kPhone: {
                const LabelMeaning label = meaning.pair > 0
                                               ? labelOf(K::kPhone, meaning.pair)
                                               : LabelMeaning{meaning.type, true, meaning.vcard};
                // A column that could have had a number but has none is kept.
                const bool placed = meaning.pair > 0 || meaning.field < 0;
                for (std::string_view number : Pieces(value, {kValueSeparator})) {
                    const int field = placed ? FieldOfPhone(label.type) : -1;
                    if (field >= 0 && row.Free(field)) {
                        row.Text(field) = std::string(number);
                    } else {
                        row.Keep(PropertyLine("TEL", label.vcard, EscapeText(number)),
                                 PhoneWords(label.type));
                    }
                }
                break;
            }
            case K::kEmail:
            case K::kWeb: {
                const bool email = meaning.kind == K::kEmail;
                const LabelMeaning label =
                    meaning.pair > 0 ? labelOf(meaning.kind, meaning.pair) : LabelMeaning{};
                const int first = email ? Email1 : Web1;
                for (std::string_view address : Pieces(value, {kValueSeparator})) {
                    const bool placed = meaning.pair > 0 || meaning.field < 0;
                    const int field = !placed               ? -1
                                      : row.Free(first)     ? first
                                      : row.Free(first + 1) ? first + 1
                                                            : -1;
                    if (field >= 0) {
                        row.Text(field) = std::string(address);
                    } else if (email) {
                        row.Keep(
                            PropertyLine("EMAIL", AddressType(label.type), EscapeText(address)),
                            "a third e-mail");
                    } else {
                        row.Keep(PropertyLine("URL", "", UriText(address)), "a third web address");
                    }
                }
                break;
            }
            case K::kAddress: {
                auto group = std::find_if(groups.begin(), groups.end(), [&](const AddressGroup& g) {
                    return meaning.pair > 0 ? g.pair == meaning.pair
                                            : g.pair == 0 && g.type == meaning.type;
                });
                if (group == groups.end()) {
                    group = groups.emplace(groups.end());
                    group->pair = meaning.pair;
                    group->type = meaning.type;
                }
                std::string& part = group->Part(meaning.part);
                part += (part.empty() ? "" : "\n") + value;
                group->columns[static_cast<std::size_t>(meaning.part)] = static_cast<int>(c);
                break;
            }
            case K::kLabel:
            case K::kFullName:
            case K::kEmailName:
                later.push_back(c);
                break;
            case K::kNameSuffix: {
                std::string form = "N:{LastName};{FirstName};{MiddleInitial};{Title};" +
                                   ReplaceAll(EscapeText(value), "{", "{{");
                row.extra.AddStringAttribute(vcard::kFormAttribute, form);
                ++kept[nameOf(c)];
                break;
            }
            case K::kProperty: {
                const std::string_view name = meaning.vcard;
                if (name == "PHOTO") {
                    row.Keep(PropertyLine("PHOTO;VALUE=uri", "", UriText(value)), nameOf(c));
                } else if ((name == "BDAY" || name == "ANNIVERSARY") && !IsIsoDate(Trim(value))) {
                    row.Keep(std::string(name) + ";VALUE=text:" + EscapeText(value), nameOf(c));
                } else {
                    row.Keep(PropertyLine(name, "",
                                          EscapeText(name == "NICKNAME" ? value : Trim(value))),
                             nameOf(c));
                }
                break;
            }
            case K::kCategories: {
                std::vector<std::string> escaped;
                for (std::string_view category : Pieces(value, {kValueSeparator, ";", ","})) {
                    // "* starred": the star marks a group of the program that wrote it.
                    escaped.push_back(EscapeText(
                        category.rfind("* ", 0) == 0 ? Trim(category.substr(2)) : category));
                }
                if (!escaped.empty()) {
                    row.Keep("CATEGORIES:" + Join({escaped.begin(), escaped.end()}, ","),
                             nameOf(c));
                }
                break;
            }
            case K::kBirthPart:
                birth.emplace_back(c, meaning.vcard);
                break;
            case K::kField:
            case K::kOther:
                row.KeepColumn(nameOf(c), value);
                break;
        }
    }
    KeepBirthday(birth, fields, row, nameOf);

    // Postal addresses: an "Address N" group at home or without a label
    // fills the free address fields; every other is kept.
    constexpr int kAddressFields[] = {Address1, Address2, City, State, ZipCode, Country};
    for (AddressGroup& group : groups) {
        const LabelMeaning label = group.pair > 0
                                       ? labelOf(K::kAddress, group.pair)
                                       : LabelMeaning{group.type, true, AddressType(group.type)};
        const bool structured = group.Structured();
        const bool fits = (label.type == L::kHome || label.type == L::kNone) &&
                          std::all_of(std::begin(kAddressFields), std::end(kAddressFields),
                                      [&](int field) { return row.Free(field); });
        if (fits) {
            row.PutStreet(structured ? group.StreetLines(true) : Lines(group.Part(P::kFormatted)));
            row.Text(City) = group.Part(P::kCity);
            row.Text(State) = group.Part(P::kRegion);
            row.Text(ZipCode) = group.Part(P::kCode);
            row.Text(Country) = group.Part(P::kCountry);
            if (!group.Part(P::kPoBox).empty()) {
                row.KeepColumn(nameOf(static_cast<std::size_t>(
                                   group.columns[static_cast<std::size_t>(P::kPoBox)])),
                               group.Part(P::kPoBox));
            }
            continue;
        }
        if (group.pair == 0 && group.type == L::kHome) {
            // What the numbers left of the home address (a third street
            // line, a post-office box), kept under the columns' names.
            for (std::size_t part = 0; part < kPartCount; ++part) {
                if (!group.parts[part].empty()) {
                    row.KeepColumn(nameOf(static_cast<std::size_t>(group.columns[part])),
                                   group.parts[part]);
                }
            }
            continue;
        }
        const std::string words = label.type == L::kWork ? "a work address" : "another address";
        const std::string_view type = AddressType(label.type);
        if (!structured) {
            row.Keep(PropertyLine("LABEL", type, EscapeText(group.Part(P::kFormatted))), words);
            continue;
        }
        std::string value;
        for (P part :
             {P::kPoBox, P::kExtended, P::kStreet, P::kCity, P::kRegion, P::kCode, P::kCountry}) {
            if (part != P::kPoBox) {
                value += ';';
            }
            value += EscapeText(part == P::kStreet ? Join(group.StreetLines(false), "\n")
                                                   : group.Part(part));
        }
        row.Keep(PropertyLine("ADR", type, value), words);
    }

    // Names and labels, now that the fields are known.
    for (std::size_t c : later) {
        const std::string& value = fields[c];
        const ColumnMeaning& meaning = meaningOf(c);
        if (meaning.kind == K::kFullName) {
            if (row.Text(LastName).empty() && row.Text(FirstName).empty()) {
                const std::string_view name = Trim(value);
                if (name != row.Text(Company) && name != row.Text(Email1) &&
                    name != row.Text(Email2)) {
                    row.Text(LastName) = value;
                }
            } else if (!row.IsNameOfFields(value)) {
                row.KeepColumn(nameOf(c), value);
            }
        } else if (meaning.kind == K::kEmailName) {
            // "Jane Doe (jane@example.org)" says nothing new.
            const bool repeats =
                row.IsNameOfFields(value) ||
                std::any_of(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(count),
                            [&](const std::string& other) {
                                return &other != &value && !other.empty() &&
                                       other.find('@') != std::string::npos &&
                                       value.find(other) != std::string::npos;
                            });
            if (!repeats) {
                row.KeepColumn(nameOf(c), value);
            }
        } else if (!MeaningOfLabel(value).generic) {
            // A label of its own words is kept when it labels something.
            bool labelsValue = meaning.pair == 0;
            for (std::size_t d = 0; d < count && !labelsValue; ++d) {
                labelsValue = meaningOf(d).kind == meaning.labels &&
                              meaningOf(d).pair == meaning.pair && !fields[d].empty();
            }
            if (labelsValue) {
                row.KeepColumn(nameOf(c), value);
            }
        }
    }

    // 3. Notes keep their line breaks as the editor does.
    if (m_bNotesParagraphs) {
        row.Text(Notes) = ReplaceAll(row.Text(Notes), "\n", "<p>");
    }

    const bool anyText = std::any_of(row.texts.begin(), row.texts.end(),
                                     [](const std::string& text) { return !text.empty(); });
    if (!anyText && row.extra.Empty() && !(anyField && m_bKeepEmptyRows)) {
        return std::nullopt;
    }
    CAddressEntry entry;
    std::array<std::string_view, kFieldCount> views;
    std::copy(row.texts.begin(), row.texts.end(), views.begin());
    entry.AssignFields(views);
    entry.SetExtra(row.extra.Build());
    return entry;
}

}  // namespace addressbook
