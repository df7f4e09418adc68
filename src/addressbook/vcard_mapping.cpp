#include "addressbook/vcard_mapping.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <optional>

#include "addressbook/field_table.h"

namespace addressbook::vcard {

namespace {

// The properties that fill fields, one slot each; the export writes them in
// this order.
enum Slot : int {
    kFormattedNameSlot,
    kNameSlot,
    kOrgSlot,
    kTitleSlot,
    kManagerSlot,
    kAddressSlot,
    kHomeTelSlot,
    kWorkTelSlot,
    kCellTelSlot,
    kPagerTelSlot,
    kFaxTelSlot,
    kPagerCardSlot,
    kEmail1Slot,
    kEmail2Slot,
    kWeb1Slot,
    kWeb2Slot,
    kNoteSlot,
    kAdditional1Slot,
    kAdditional2Slot,
    kSlotCount,
    kNoSlot = -1,
};

struct SlotInfo {
    std::array<int, 6> fields;
    int fieldCount;
    std::string_view another;  // a further property of the kind, kept as extra data
    std::string_view details;  // data the form holds beyond the fields
};

constexpr SlotInfo kSlots[kSlotCount] = {
    {{}, 0, "a second display name", "a display name"},
    {{LastName, FirstName, MiddleInitial, Title}, 4, "a second name", "a name suffix"},
    {{Company, Department}, 2, "a second organization", "organization units"},
    {{Position}, 1, "a second title", ""},
    {{Manager}, 1, "a second manager", ""},
    {{Address1, Address2, City, State, ZipCode, Country}, 6, "another address", "address details"},
    {{HomePhone, HomeExt}, 2, "a second home phone", ""},
    {{WorkPhone, WorkExt}, 2, "a second work phone", ""},
    {{CellPhone, CellExt}, 2, "a second mobile phone", ""},
    {{Pager, PagerExt}, 2, "a second pager", ""},
    {{FaxPhone, FaxExt}, 2, "a second fax", ""},
    {{PagerCard}, 1, "a second pager card", ""},
    {{Email1}, 1, "a third e-mail", ""},
    {{Email2}, 1, "a third e-mail", ""},
    {{Web1}, 1, "a third web address", ""},
    {{Web2}, 1, "a third web address", ""},
    {{Notes}, 1, "a second note", ""},
    {{Additional1}, 1, "a second Additional 1", ""},
    {{Additional2}, 1, "a second Additional 2", ""},
};

Slot SlotOfField(int field) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotInfo& info = kSlots[slot];
        if (std::find(info.fields.begin(), info.fields.begin() + info.fieldCount, field) !=
            info.fields.begin() + info.fieldCount) {
            return static_cast<Slot>(slot);
        }
    }
    return kNoSlot;
}

// The 32 texts as views: of an entry on export, of the texts being made
// on import.
using Fields = std::array<std::string_view, kFieldCount>;

std::string_view At(const Fields& fields, int field) {
    return fields[static_cast<std::size_t>(field)];
}

// ---- field texts and property values

std::string NotesToText(std::string_view notes) {
    std::string text;
    text.reserve(notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes.substr(i, 3) == "<p>") {
            text += '\n';
            i += 2;
        } else {
            text += notes[i];
        }
    }
    return text;
}

// The editor stores each line break of a note as "<p>".
std::string TextToNotes(std::string_view text) {
    return ReplaceLineBreaks(text, "<p>");
}

// Appends the value text of a field in a property.  Web addresses are
// URIs, whose commas and semicolons other readers take as they are: only
// backslashes and line breaks are escaped there.
void AppendValueOfField(std::string& out, int field, std::string_view text) {
    if ((field == Web1 || field == Web2) &&
        text.find_first_of("\\\r\n") == std::string_view::npos) {
        out += text;  // most addresses
    } else if (field == Web1 || field == Web2) {
        std::string doubled;
        for (char c : text) {
            doubled += c;
            if (c == '\\') {
                doubled += c;
            }
        }
        out += EscapeLineBreaks(doubled);
    } else if (field == Notes && text.find("<p>") != std::string_view::npos) {
        AppendEscapedText(out, NotesToText(text));
    } else {
        AppendEscapedText(out, text);
    }
}

std::string FieldOfValue(int field, std::string_view raw) {
    const std::string text = UnescapeText(raw);
    return field == Notes ? TextToNotes(text) : text;
}

std::string NormalizedLineBreaks(std::string_view text) {
    return ReplaceLineBreaks(text, "\n");
}

bool IsStructured(const Property& property) {
    return property.Is("N") || property.Is("ADR") || property.Is("ORG") ||
           property.Is("X-ANDROID-CUSTOM");
}

struct CanonicalProperty {
    std::string group;
    std::string name;
    std::vector<std::string> params;
    std::vector<std::string> components;

    bool operator==(const CanonicalProperty&) const = default;
};

CanonicalProperty Canonical(const Property& property) {
    CanonicalProperty canonical{ToLowerAscii(property.group), ToUpperAscii(property.name), {}, {}};
    for (const Param& param : property.params) {
        const std::string name = ToUpperAscii(param.name);
        if (name == "VALUE" || name == "ENCODING" || name == "CHARSET") {
            continue;
        }
        if (name != "TYPE") {
            canonical.params.push_back(name + "=" + param.value);
            continue;
        }
        for (const std::string& value : TypeValues(param.value)) {
            const std::string type = ToLowerAscii(value);
            if (type.empty() || (canonical.name == "TEL" && type == "voice") ||
                (canonical.name == "EMAIL" && type == "internet")) {
                continue;
            }
            canonical.params.push_back("TYPE=" + type);
        }
    }
    std::sort(canonical.params.begin(), canonical.params.end());
    canonical.params.erase(std::unique(canonical.params.begin(), canonical.params.end()),
                           canonical.params.end());
    if (IsStructured(property)) {
        for (std::string_view component : SplitComponents(property.value)) {
            canonical.components.push_back(NormalizedLineBreaks(UnescapeText(component)));
        }
    } else {
        canonical.components.push_back(NormalizedLineBreaks(UnescapeText(property.value)));
    }
    while (!canonical.components.empty() && canonical.components.back().empty()) {
        canonical.components.pop_back();
    }
    return canonical;
}

// Whether the property holds anything: what Canonical() gives has
// components (an empty component stays empty unescaped, and an escaped
// semicolon is no separator).
bool HasContent(const Property& property) {
    return IsStructured(property) ? property.value.find_first_not_of(';') != std::string::npos
                                  : !property.value.empty();
}

std::optional<Property> Parsed(std::string_view line) {
    Property property;
    if (!ParseContentLine(line, property)) {
        return std::nullopt;
    }
    return property;
}

// ---- forms: a property's line with {Field} where field texts go

class FormBuilder {
public:
    // An inactive builder keeps nothing: most properties need no form, and
    // one is made again, active, for those that do.
    explicit FormBuilder(bool active) : m_bActive(active) {}

    void Literal(std::string_view raw) {
        if (!m_bActive) {
            return;
        }
        for (std::size_t brace = raw.find('{'); brace != std::string_view::npos;
             brace = raw.find('{')) {
            m_text.append(raw.substr(0, brace + 1));
            m_text += '{';
            raw.remove_prefix(brace + 1);
        }
        m_text.append(raw);
    }
    // A component of a structured value, kept as it is; a lone backslash at
    // its end (possible only at the end of the value) is doubled, so that it
    // does not escape the separator that may follow it now.
    void Component(std::string_view raw) {
        if (!m_bActive) {
            return;
        }
        Literal(raw);
        std::size_t backslashes = 0;
        while (backslashes < raw.size() && raw[raw.size() - 1 - backslashes] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 != 0) {
            m_text += '\\';
        }
    }
    void Marker(int field) {
        if (!m_bActive) {
            return;
        }
        m_text += '{';
        m_text += FieldAt(field).attribute;
        m_text += '}';
    }
    const std::string& Text() const { return m_text; }

private:
    bool m_bActive;
    std::string m_text;
};

// The value of a form with the fields' texts put in; `named` gets a bit for
// every field the form names.
std::string RenderTemplate(std::string_view form, const Fields& fields, std::uint32_t* named) {
    std::string out;
    out.reserve(form.size() + 32);
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] != '{') {
            out += form[i];
            continue;
        }
        if (i + 1 < form.size() && form[i + 1] == '{') {
            out += '{';
            ++i;
            continue;
        }
        const std::size_t close = form.find('}', i);
        const int field = close == std::string_view::npos
                              ? -1
                              : FieldIndexFromAttribute(form.substr(i + 1, close - i - 1));
        if (field < 0) {
            out += '{';
            continue;
        }
        AppendValueOfField(out, field, At(fields, field));
        if (named != nullptr) {
            *named |= std::uint32_t{1} << field;
        }
        i = close;
    }
    return out;
}

// The line of a form with the fields' texts put in.
std::optional<Property> RenderForm(std::string_view form, const Fields& fields,
                                   std::uint32_t* named) {
    std::optional<Property> property = Parsed(form);
    if (property) {
        property->value = RenderTemplate(property->value, fields, named);
    }
    return property;
}

// ---- what a property fills

struct Mapped {
    explicit Mapped(bool withForm) : form(withForm) { fields.reserve(7); }

    std::vector<std::pair<int, std::string>> fields;
    FormBuilder form;

    void Set(int field, std::string_view raw) {
        fields.emplace_back(field, FieldOfValue(field, raw));
        form.Marker(field);
    }
};

// The whole value is one field.
Mapped MapWhole(const Property& property, int field, bool withForm) {
    Mapped mapped(withForm);
    mapped.Set(field, property.value);
    return mapped;
}

// Component i goes to fields[i] (-1: kept as it is); components beyond the
// fields stay in the form.
Mapped MapComponents(const Property& property, std::initializer_list<int> fields, bool withForm) {
    Mapped mapped(withForm);
    const std::vector<std::string_view> parts = SplitComponents(property.value);
    const std::size_t count = std::max(parts.size(), fields.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            mapped.form.Literal(";");
        }
        const std::string_view part = i < parts.size() ? parts[i] : std::string_view();
        const int field = i < fields.size() ? fields.begin()[i] : -1;
        if (field >= 0) {
            mapped.Set(field, part);
        } else {
            mapped.form.Component(part);
        }
    }
    return mapped;
}

// The raw line breaks (\n or \N) of an escaped text: the position of each.
std::vector<std::size_t> EscapedLineBreaks(std::string_view raw) {
    std::vector<std::size_t> breaks;
    for (std::size_t i = 0; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\\') {
            if (raw[i + 1] == 'n' || raw[i + 1] == 'N') {
                breaks.push_back(i);
            }
            ++i;
        }
    }
    return breaks;
}

// post-office box; extended address; street; locality; region; code; country
Mapped MapAddress(const Property& property, bool withForm) {
    Mapped mapped(withForm);
    std::vector<std::string_view> parts = SplitComponents(property.value);
    const std::size_t count = std::max<std::size_t>(parts.size(), 7);
    parts.resize(count);
    const std::string_view street = parts[2];
    const std::vector<std::size_t> breaks = EscapedLineBreaks(street);
    const bool twoLines = !breaks.empty();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            mapped.form.Literal(";");
        }
        switch (i) {
            case 1:
                if (twoLines) {
                    mapped.form.Component(parts[1]);
                } else {
                    mapped.Set(Address2, parts[1]);
                }
                break;
            case 2:
                if (twoLines) {
                    mapped.Set(Address1, street.substr(0, breaks[0]));
                    mapped.form.Literal(street.substr(breaks[0], 2));
                    mapped.Set(Address2, street.substr(breaks[0] + 2));
                } else {
                    mapped.Set(Address1, street);
                }
                break;
            case 3:
                mapped.Set(City, parts[3]);
                break;
            case 4:
                mapped.Set(State, parts[4]);
                break;
            case 5:
                mapped.Set(ZipCode, parts[5]);
                break;
            case 6:
                mapped.Set(Country, parts[6]);
                break;
            default:
                mapped.form.Component(parts[i]);
        }
    }
    return mapped;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

// Where an extension written after a number ("555-0100 x12",
// "555-0100 ext. 12") lies in a text value: the end of the number, and the
// start and end of the extension's digits.
struct ExtensionSpan {
    std::size_t numberEnd;
    std::size_t begin;
    std::size_t end;
};

std::optional<ExtensionSpan> FindExtension(std::string_view raw) {
    std::size_t end = raw.size();
    while (end > 0 && raw[end - 1] == ' ') {
        --end;
    }
    std::size_t begin = end;
    while (begin > 0 && IsDigit(raw[begin - 1])) {
        --begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    std::size_t mark = begin;
    while (mark > 0 && raw[mark - 1] == ' ') {
        --mark;
    }
    static constexpr std::string_view kMarks[] = {"extension", "extn.", "extn", "ext.", "ext", "x"};
    for (std::string_view word : kMarks) {
        if (!EndsWithIgnoreCase(raw.substr(0, mark), word)) {
            continue;
        }
        std::size_t numberEnd = mark - word.size();
        // "x" right after a letter is part of a word, not a mark.
        if (numberEnd > 0 && !IsDigit(raw[numberEnd - 1]) && raw[numberEnd - 1] != ' ' &&
            raw[numberEnd - 1] != ',') {
            return std::nullopt;
        }
        while (numberEnd > 0 && (raw[numberEnd - 1] == ' ' || raw[numberEnd - 1] == ',')) {
            --numberEnd;
        }
        // A comma escaped in the number ("\,") belongs to it.
        std::size_t backslashes = 0;
        while (backslashes < numberEnd && raw[numberEnd - 1 - backslashes] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 != 0) {
            return std::nullopt;
        }
        return ExtensionSpan{numberEnd, begin, end};
    }
    return std::nullopt;
}

bool IsTelUri(const Property& property) {
    const Param* value = property.FindParam("VALUE");
    return (value != nullptr && EqualsIgnoreCase(value->value, "uri")) ||
           StartsWithIgnoreCase(property.value, "tel:");
}

Mapped MapTel(const Property& property, int numberField, int extField, bool withForm) {
    Mapped mapped(withForm);
    std::string_view raw = property.value;
    if (IsTelUri(property)) {
        if (StartsWithIgnoreCase(raw, "tel:")) {
            mapped.form.Literal(raw.substr(0, 4));
            raw.remove_prefix(4);
        }
        // number *(";" parameter); a URI has no escapes.
        std::vector<std::string_view> parts;
        for (std::size_t start = 0;;) {
            const std::size_t semicolon = raw.find(';', start);
            parts.push_back(raw.substr(start, semicolon - start));
            if (semicolon == std::string_view::npos) {
                break;
            }
            start = semicolon + 1;
        }
        mapped.Set(numberField, parts[0]);
        bool haveExt = false;
        for (std::size_t k = 1; k < parts.size(); ++k) {
            mapped.form.Literal(";");
            if (!haveExt && StartsWithIgnoreCase(parts[k], "ext=")) {
                haveExt = true;
                mapped.form.Literal(parts[k].substr(0, 4));
                mapped.Set(extField, parts[k].substr(4));
            } else {
                mapped.form.Literal(parts[k]);
            }
        }
        if (!haveExt) {
            mapped.fields.emplace_back(extField, std::string());
        }
        return mapped;
    }
    if (const std::optional<ExtensionSpan> ext = FindExtension(raw)) {
        mapped.Set(numberField, raw.substr(0, ext->numberEnd));
        mapped.form.Literal(raw.substr(ext->numberEnd, ext->begin - ext->numberEnd));
        mapped.Set(extField, raw.substr(ext->begin, ext->end - ext->begin));
        mapped.form.Literal(raw.substr(ext->end));
        return mapped;
    }
    mapped.Set(numberField, raw);
    mapped.fields.emplace_back(extField, std::string());
    return mapped;
}

// ---- the properties the export writes from the fields

// The formatted name the export writes: the name fields, else the company,
// else the first e-mail address.
void AppendDefaultFormattedName(std::string& line, const Fields& fields) {
    bool any = false;
    for (int field : {Title, FirstName, MiddleInitial, LastName}) {
        if (!At(fields, field).empty()) {
            if (any) {
                line += ' ';
            }
            AppendEscapedText(line, At(fields, field));
            any = true;
        }
    }
    if (!any) {
        AppendEscapedText(line,
                          !At(fields, Company).empty() ? At(fields, Company) : At(fields, Email1));
    }
}

bool AllEmpty(const Fields& fields, Slot slot) {
    const SlotInfo& info = kSlots[slot];
    return std::all_of(info.fields.begin(), info.fields.begin() + info.fieldCount,
                       [&](int field) { return At(fields, field).empty(); });
}

// A telephone number that a tel: URI can hold as it is.
bool IsUriNumber(std::string_view number) {
    return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) {
        return IsDigit(c) || std::string_view("+-.()*#").find(c) != std::string_view::npos;
    });
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

void AppendTelLine(std::string& line, std::string_view types30, std::string_view types40,
                   const Fields& fields, Slot slot, Version version) {
    const std::string_view number = At(fields, kSlots[slot].fields[0]);
    const std::string_view ext = At(fields, kSlots[slot].fields[1]);
    if (version == Version::V40 && IsUriNumber(number) && IsDigits(ext)) {
        line += "TEL;VALUE=uri;TYPE=";
        line += types40;
        line += ":tel:";
        line += number;
        if (!ext.empty()) {
            line += ";ext=";
            line += ext;
        }
        return;
    }
    line += "TEL;TYPE=";
    line += version == Version::V40 ? types40 : types30;
    line += ':';
    AppendEscapedText(line, number);
    if (!ext.empty()) {
        line += number.empty() ? "x" : " x";
        AppendEscapedText(line, ext);
    }
}

// The second e-mail or web address alone would come back as the first: it
// says where it belongs.
constexpr std::string_view kSlotParam = "X-QUILLBOX-SLOT";

void AppendSecondSlotMark(std::string& line, const Fields& fields, int first) {
    if (At(fields, first).empty()) {
        line += ';';
        line += kSlotParam;
        line += "=2";
    }
    line += ':';
}

bool MarkedSecond(const Property& property) {
    const Param* param = property.FindParam(kSlotParam);
    return param != nullptr && param->value == "2";
}

// The types of the phones the export writes.
struct TelTypes {
    Slot slot;
    std::string_view types30;
    std::string_view types40;
};
constexpr TelTypes kTelTypes[] = {
    {kHomeTelSlot, "HOME,VOICE", "home,voice"},
    {kWorkTelSlot, "WORK,VOICE", "work,voice"},
    {kCellTelSlot, "CELL,VOICE", "cell,voice"},
    {kPagerTelSlot, "PAGER", "pager"},
    {kFaxTelSlot, "FAX", "fax"},
};

// The properties whose whole value is one field: what comes before the
// value in 3.0 and 4.0, and for the second of a pair the first field.
struct PlainLine {
    Slot slot;
    std::string_view head30;
    std::string_view head40;
    int first;  // -1, or the first field of the pair (the head then ends before ":")
};
constexpr PlainLine kPlainLines[] = {
    {kTitleSlot, "TITLE:", "TITLE:", -1},
    {kManagerSlot, "X-MANAGER:", "X-MANAGER:", -1},
    {kPagerCardSlot, "X-QUILLBOX-PAGERCARD:", "X-QUILLBOX-PAGERCARD:", -1},
    {kEmail1Slot, "EMAIL;TYPE=INTERNET:", "EMAIL:", -1},
    {kEmail2Slot, "EMAIL;TYPE=INTERNET", "EMAIL", Email1},
    {kWeb1Slot, "URL:", "URL:", -1},
    {kWeb2Slot, "URL", "URL", Web1},
    {kNoteSlot, "NOTE:", "NOTE:", -1},
    {kAdditional1Slot, "X-QUILLBOX-ADDITIONAL1:", "X-QUILLBOX-ADDITIONAL1:", -1},
    {kAdditional2Slot, "X-QUILLBOX-ADDITIONAL2:", "X-QUILLBOX-ADDITIONAL2:", -1},
};

// Puts in `line` the property the export writes for `slot` from the
// fields alone; false (and `line` empty) when it writes none.
bool DefaultLine(std::string& line, Slot slot, const Fields& fields, Version version) {
    const bool v4 = version == Version::V40;
    line.clear();
    auto value = [&](int field) { AppendValueOfField(line, field, At(fields, field)); };
    if (slot == kFormattedNameSlot) {
        line += "FN:";
        AppendDefaultFormattedName(line, fields);
        return true;
    }
    if (AllEmpty(fields, slot) && (slot != kNameSlot || v4)) {
        return false;
    }
    // Each field of the slot after `head`, separated by semicolons.
    auto components = [&](std::string_view head, std::initializer_list<int> parts) {
        line += head;
        for (const int* part = parts.begin(); part != parts.end(); ++part) {
            if (part != parts.begin()) {
                line += ';';
            }
            value(*part);
        }
    };
    switch (slot) {
        case kNameSlot:
            components("N:", {LastName, FirstName, MiddleInitial, Title});
            line += ';';
            break;
        case kOrgSlot:
            line += "ORG:";
            value(Company);
            if (!At(fields, Department).empty()) {
                line += ';';
                value(Department);
            }
            break;
        case kAddressSlot:
            line += v4 ? "ADR;TYPE=home:;;" : "ADR;TYPE=HOME:;;";
            value(Address1);
            if (!At(fields, Address2).empty()) {
                line += "\\n";
                value(Address2);
            }
            components(";", {City, State, ZipCode, Country});
            break;
        default:
            for (const TelTypes& tel : kTelTypes) {
                if (tel.slot == slot) {
                    AppendTelLine(line, tel.types30, tel.types40, fields, slot, version);
                    return true;
                }
            }
            for (const PlainLine& plain : kPlainLines) {
                if (plain.slot == slot) {
                    line += v4 ? plain.head40 : plain.head30;
                    if (plain.first >= 0) {
                        AppendSecondSlotMark(line, fields, plain.first);
                    }
                    value(kSlots[slot].fields[0]);
                    return true;
                }
            }
            return false;
    }
    return true;
}

// ---- import

std::string GroupLabelKey(std::string_view group) {
    return ToLowerAscii(group);
}

// `name`: the property's name in capitals.
bool IsManager(std::string_view name, const Property& property,
               const std::map<std::string, std::string>& labels) {
    if (name == "X-MANAGER" || name == "X-EVOLUTION-MANAGER" ||
        name == "X-KADDRESSBOOK-X-MANAGERSNAME" || name == "X-MS-MANAGER") {
        return true;
    }
    if (name == "X-ABRELATEDNAMES" && !property.group.empty()) {
        const auto label = labels.find(GroupLabelKey(property.group));
        return label != labels.end() && EqualsIgnoreCase(label->second, "_$!<Manager>!$_");
    }
    if (name == "X-ANDROID-CUSTOM") {
        const std::vector<std::string_view> parts = SplitComponents(property.value);
        return parts.size() >= 3 && parts[0] == "vnd.android.cursor.item/relation" &&
               parts[2] == "7";
    }
    return false;
}

Slot TelSlot(const Property& property) {
    // One walk over the types; the most particular one decides.
    enum : unsigned { kFax = 1, kPager = 2, kCell = 4, kWork = 8, kHome = 16 };
    unsigned types = 0;
    for (const Param& param : property.params) {
        if (!EqualsIgnoreCase(param.name, "TYPE")) {
            continue;
        }
        for (const std::string& value : TypeValues(param.value)) {
            const std::string type = ToUpperAscii(value);
            types |= type == "FAX"                                            ? kFax
                     : type == "PAGER"                                        ? kPager
                     : type == "CELL" || type == "MOBILE" || type == "IPHONE" ? kCell
                     : type == "WORK"                                         ? kWork
                     : type == "HOME"                                         ? kHome
                                                                              : 0u;
        }
    }
    return (types & kFax) != 0     ? kFaxTelSlot
           : (types & kPager) != 0 ? kPagerTelSlot
           : (types & kCell) != 0  ? kCellTelSlot
           : (types & kWork) != 0  ? kWorkTelSlot
           : (types & kHome) != 0  ? kHomeTelSlot
                                   : kNoSlot;  // untyped: the home phone when it is still free
}

bool IsPreferred(const Property& property) {
    return property.HasType("PREF") || property.FindParam("PREF") != nullptr;
}

// What becomes of each property of a card.
struct Plan {
    std::vector<Slot> slot;          // per property; kNoSlot: kept as a vCard line
    std::vector<std::string> label;  // per property kept: how the report names it
    std::vector<bool> dropped;       // per property: left out altogether
    std::optional<std::size_t> uid;  // the property holding the UID
    bool haveName = false;           // a non-empty N
};

Plan PlanCard(const Card& card) {
    const std::vector<Property>& properties = card.properties;
    const std::size_t count = properties.size();
    Plan plan{std::vector<Slot>(count, kNoSlot), std::vector<std::string>(count),
              std::vector<bool>(count, false), std::nullopt};
    std::map<std::string, std::string> labels;
    for (const Property& p : properties) {
        if (p.Is("X-ABLabel") && !p.group.empty()) {
            labels.emplace(GroupLabelKey(p.group), UnescapeText(p.value));
        }
    }
    std::array<bool, kSlotCount> taken{};
    auto take = [&](std::size_t i, Slot slot) {
        if (!taken[slot]) {
            taken[slot] = true;
            plan.slot[i] = slot;
        } else {
            plan.label[i] = kSlots[slot].another;
        }
    };
    auto label = [&](std::size_t i, std::string text) {
        if (plan.label[i].empty() && plan.slot[i] == kNoSlot && !plan.dropped[i]) {
            plan.label[i] = std::move(text);
        }
    };
    std::vector<std::size_t> emails;
    std::vector<std::size_t> urls;
    std::vector<std::size_t> untypedTels;
    std::vector<std::size_t> addresses;
    for (std::size_t i = 0; i < count; ++i) {
        const Property& p = properties[i];
        const std::string upper = ToUpperAscii(p.name);
        const std::string_view name = upper;  // compared many times below
        if (p.undecoded) {
            plan.label[i] = upper + " in an unknown character set";
            continue;
        }
        if (name == "VERSION" || name == "PRODID" || !HasContent(p)) {
            plan.dropped[i] = true;  // the export writes its own; or it holds nothing
            continue;
        }
        if (name == "UID" && !plan.uid) {
            plan.uid = i;
            continue;
        }
        if (name == "TEL") {
            const Slot tel = TelSlot(p);
            if (tel == kNoSlot) {
                untypedTels.push_back(i);
            } else {
                take(i, tel);
            }
            continue;
        }
        if (name == "EMAIL" || name == "URL" || name == "ADR") {
            (name == "EMAIL" ? emails : name == "URL" ? urls : addresses).push_back(i);
            continue;
        }
        const Slot slot = name == "N"                        ? kNameSlot
                          : name == "FN"                     ? kFormattedNameSlot
                          : name == "ORG"                    ? kOrgSlot
                          : name == "TITLE"                  ? kTitleSlot
                          : name == "NOTE"                   ? kNoteSlot
                          : name == "X-QUILLBOX-PAGERCARD"   ? kPagerCardSlot
                          : name == "X-QUILLBOX-ADDITIONAL1" ? kAdditional1Slot
                          : name == "X-QUILLBOX-ADDITIONAL2" ? kAdditional2Slot
                          : IsManager(name, p, labels)       ? kManagerSlot
                                                             : kNoSlot;
        if (slot != kNoSlot) {
            plan.haveName = plan.haveName || slot == kNameSlot;
            take(i, slot);
        } else if (name != "X-ABLABEL" && name != "X-ABADR") {
            // Labels of grouped properties go with them, unnamed.
            label(i, upper);
        }
    }
    for (std::size_t i : untypedTels) {
        if (!taken[kHomeTelSlot]) {
            take(i, kHomeTelSlot);
        } else {
            plan.label[i] = "another phone";
        }
    }
    // The first home address, else the first without a type.
    auto isHome = [&](std::size_t i) { return properties[i].HasType("HOME"); };
    auto isUntyped = [&](std::size_t i) { return properties[i].FindParam("TYPE") == nullptr; };
    auto home = std::find_if(addresses.begin(), addresses.end(), isHome);
    if (home == addresses.end()) {
        home = std::find_if(addresses.begin(), addresses.end(), isUntyped);
    }
    for (auto it = addresses.begin(); it != addresses.end(); ++it) {
        if (it == home) {
            take(*it, kAddressSlot);
        } else {
            plan.label[*it] =
                properties[*it].HasType("WORK") ? "a work address" : "another address";
        }
    }
    // Preferred e-mail addresses first; one marked as the second goes there.
    std::stable_partition(emails.begin(), emails.end(),
                          [&](std::size_t i) { return IsPreferred(properties[i]); });
    auto twoSlots = [&](const std::vector<std::size_t>& list, Slot first, Slot second) {
        for (std::size_t i : list) {
            if (MarkedSecond(properties[i]) && !taken[second]) {
                take(i, second);
            }
        }
        for (std::size_t i : list) {
            if (plan.slot[i] == kNoSlot) {
                take(i, !taken[first] ? first : second);
            }
        }
    };
    twoSlots(emails, kEmail1Slot, kEmail2Slot);
    twoSlots(urls, kWeb1Slot, kWeb2Slot);
    return plan;
}

// Whether the export would write the property back the same from the
// fields alone; `line` is scratch.
bool WrittenBack(const Property& property, Slot slot, const Fields& fields, Version version,
                 std::string& line) {
    if (!DefaultLine(line, slot, fields, version)) {
        return false;
    }
    // Cards this program wrote have the very same line.
    if (IsWrittenAs(property, line)) {
        return true;
    }
    const std::optional<Property> written = Parsed(line);
    return written && SameProperty(*written, property);
}

// The form line of a property mapped with its form.
std::optional<std::string> FormLine(const Property& property, const Mapped& mapped,
                                    const Fields& fields) {
    std::string form = FormatHeader(property);
    form += ':';
    form += mapped.form.Text();
    const std::optional<Property> rendered = RenderForm(form, fields, nullptr);
    if (!rendered || !SameProperty(*rendered, property)) {
        return std::nullopt;  // cannot happen: a form always renders its property
    }
    return form;
}

void Apply(Mapped&& mapped, std::array<std::string, kFieldCount>& texts) {
    for (auto& [field, text] : mapped.fields) {
        texts[static_cast<std::size_t>(field)] = std::move(text);
    }
}

Fields ViewsOf(const std::array<std::string, kFieldCount>& texts) {
    Fields fields;
    std::copy(texts.begin(), texts.end(), fields.begin());
    return fields;
}

// FN when the name comes from N: each field's text found in the value (at
// word bounds, longest first) becomes its marker.
Mapped MapFormattedName(const Property& property, const Fields& fields) {
    struct Piece {
        std::string text;  // raw text, or the field's marker
        int field;         // -1 for raw text
    };
    std::vector<Piece> pieces{{property.value, -1}};
    std::vector<std::pair<std::string, int>> candidates;
    for (int field : {Title, FirstName, MiddleInitial, LastName, Company, Email1}) {
        if (!At(fields, field).empty()) {
            candidates.emplace_back(EscapeText(At(fields, field)), field);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    auto isWordByte = [](char c) {
        return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    for (const auto& [needle, field] : candidates) {
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (pieces[k].field >= 0) {
                continue;
            }
            const std::string& text = pieces[k].text;
            std::size_t at = text.find(needle);
            while (at != std::string::npos &&
                   ((at > 0 && isWordByte(text[at - 1])) ||
                    (at + needle.size() < text.size() && isWordByte(text[at + needle.size()])))) {
                at = text.find(needle, at + 1);
            }
            if (at == std::string::npos) {
                continue;
            }
            Piece before{text.substr(0, at), -1};
            Piece after{text.substr(at + needle.size()), -1};
            pieces[k] = Piece{{}, field};
            pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(k) + 1, after);
            pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(k), before);
            break;
        }
    }
    Mapped mapped(true);
    for (const Piece& piece : pieces) {
        if (piece.field >= 0) {
            mapped.form.Marker(piece.field);
        } else {
            mapped.form.Literal(piece.text);
        }
    }
    return mapped;
}

Mapped MapProperty(const Property& p, Slot slot, bool withForm) {
    switch (slot) {
        case kNameSlot:
            return MapComponents(p, {LastName, FirstName, MiddleInitial, Title}, withForm);
        case kOrgSlot:
            return MapComponents(p, {Company, Department}, withForm);
        case kManagerSlot:
            return p.Is("X-ANDROID-CUSTOM") ? MapComponents(p, {-1, Manager}, withForm)
                                            : MapWhole(p, Manager, withForm);
        case kAddressSlot:
            return MapAddress(p, withForm);
        case kHomeTelSlot:
        case kWorkTelSlot:
        case kCellTelSlot:
        case kPagerTelSlot:
        case kFaxTelSlot:
            return MapTel(p, kSlots[slot].fields[0], kSlots[slot].fields[1], withForm);
        default:
            return MapWhole(p, kSlots[slot].fields[0], withForm);
    }
}

Fields FieldsOf(const CAddressEntry& entry) {
    Fields fields;
    entry.GetFields(fields);
    return fields;
}

// Whether a form's literal parts hold data of their own.
bool FormHoldsData(std::string_view form) {
    const std::optional<Property> empty = RenderForm(form, Fields{}, nullptr);
    return empty && HasContent(*empty);
}

// The slot a form writes: rendered with any texts, it is FN or names the
// fields of one slot.
Slot SlotOfForm(const Property& rendered, std::uint32_t named) {
    return rendered.Is("FN") ? kFormattedNameSlot
           : named != 0      ? SlotOfField(std::countr_zero(named))
                             : kNoSlot;
}

// The entry's forms by the slot they write, the first of each slot.
using SlotForms = std::array<std::optional<std::string_view>, kSlotCount>;

SlotForms FormsBySlot(const CExtraData& extra, const Fields& fields) {
    SlotForms forms;
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        if (term.Kind() != ExtraKind::Pair || term.Name() != kFormAttribute ||
            term.Value().Kind() != ExtraKind::String) {
            continue;
        }
        const std::string_view form = term.Value().Text();
        std::uint32_t named = 0;
        const std::optional<Property> rendered = RenderForm(form, fields, &named);
        if (!rendered) {
            continue;
        }
        const Slot slot = SlotOfForm(*rendered, named);
        if (slot != kNoSlot && !forms[slot]) {
            forms[slot] = form;
        }
    }
    return forms;
}

// Puts in `line` the property the export writes for `slot`: from its form
// while the form names every field of the slot that has a text, else from
// the fields alone.  False (nothing written) when there is none.
bool SlotLine(std::string& line, Slot slot, const SlotForms& forms, const Fields& fields,
              Version version) {
    if (forms[slot]) {
        std::uint32_t named = 0;
        std::optional<Property> rendered = RenderForm(*forms[slot], fields, &named);
        const SlotInfo& info = kSlots[slot];
        const bool complete = std::all_of(
            info.fields.begin(), info.fields.begin() + info.fieldCount,
            [&](int field) { return At(fields, field).empty() || (named >> field & 1u) != 0; });
        if (rendered && complete) {
            const bool always =
                slot == kFormattedNameSlot || (slot == kNameSlot && version != Version::V40);
            if (always || HasContent(*rendered)) {
                line = FormatContentLine(*rendered);
                return true;
            }
            return false;
        }
    }
    return DefaultLine(line, slot, fields, version);
}

}  // namespace

Version VersionOf(std::string_view text) {
    if (text == "2.1") {
        return Version::V21;
    }
    return text == "4.0" ? Version::V40 : Version::V30;
}

bool SameProperty(const Property& property, const Property& other) {
    return Canonical(property) == Canonical(other);
}

std::string CanonicalPropertyText(const Property& property) {
    const CanonicalProperty canonical = Canonical(property);
    // Each part with its length in front, so that no text can pass for a
    // separator.
    std::string text;
    auto append = [&text](std::string_view part) {
        text += std::to_string(part.size());
        text += ':';
        text += part;
    };
    append(canonical.group);
    append(canonical.name);
    text += 'P' + std::to_string(canonical.params.size());
    for (const std::string& param : canonical.params) {
        append(param);
    }
    text += 'C' + std::to_string(canonical.components.size());
    for (const std::string& component : canonical.components) {
        append(component);
    }
    return text;
}

CAddressEntry EntryFromCard(const Card& card, KeptTally& kept) {
    const Version version = VersionOf(card.version);
    const std::vector<Property>& properties = card.properties;
    const Plan plan = PlanCard(card);
    // Every field first, so that each form is judged by the whole entry.
    std::array<std::string, kFieldCount> texts;
    std::optional<std::size_t> formattedName;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const Slot slot = plan.slot[i];
        if (slot == kFormattedNameSlot) {
            formattedName = i;  // mapped once every other field is known
        } else if (slot != kNoSlot) {
            Apply(MapProperty(properties[i], slot, false), texts);
        }
    }
    // Without N the formatted name is the last name, unless it only repeats
    // the company or the e-mail address (a card of a company, or of an
    // address without a name).
    bool fnIsLastName = false;
    if (formattedName) {
        const Property& fn = properties[*formattedName];
        const std::string text = FieldOfValue(LastName, fn.value);
        fnIsLastName = !plan.haveName && text != texts[Company] && text != texts[Email1];
        if (fnIsLastName) {
            Apply(MapWhole(fn, LastName, false), texts);
        }
    }
    const Fields fields = ViewsOf(texts);
    std::vector<std::optional<std::string>> forms(properties.size());
    std::string line;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const Slot slot = plan.slot[i];
        if (slot == kNoSlot || WrittenBack(properties[i], slot, fields, version, line)) {
            continue;
        }
        const Property& p = properties[i];
        const Mapped mapped = slot != kFormattedNameSlot ? MapProperty(p, slot, true)
                              : fnIsLastName             ? MapWhole(p, LastName, true)
                                                         : MapFormattedName(p, fields);
        forms[i] = FormLine(p, mapped, fields);
    }

    // The UID, the forms in the order the export writes them, then the
    // other properties in card order: the order an import of the entry's
    // own export gives again.
    CExtraDataBuilder extra;
    if (plan.uid) {
        extra.AddStringAttribute(kUidAttribute, UnescapeText(properties[*plan.uid].value));
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (std::size_t i = 0; i < properties.size(); ++i) {
            if (plan.slot[i] == slot && forms[i]) {
                extra.AddStringAttribute(kFormAttribute, *forms[i]);
                const std::string_view details = kSlots[slot].details;
                if (!details.empty() && FormHoldsData(*forms[i])) {
                    ++kept[std::string(details)];
                }
            }
        }
    }
    for (std::size_t i = 0; i < properties.size(); ++i) {
        if (plan.slot[i] == kNoSlot && !plan.dropped[i] && !(plan.uid && *plan.uid == i)) {
            extra.AddStringAttribute(kPropertyAttribute, FormatContentLine(properties[i]));
            if (!plan.label[i].empty()) {
                ++kept[plan.label[i]];
            }
        }
    }
    CAddressEntry entry;
    entry.AssignFields(fields);
    entry.SetExtra(extra.Build());
    return entry;
}

std::optional<std::string> DescribeForm(std::string_view form, const CAddressEntry& entry) {
    const std::optional<Property> property = Parsed(form);
    if (!property || !FormHoldsData(form)) {
        return std::nullopt;
    }
    if (property->Is("FN")) {
        const std::optional<Property> rendered = RenderForm(form, FieldsOf(entry), nullptr);
        return "Display name: " + UnescapeText(rendered->value);
    }
    // The components without a field.
    const std::vector<std::string_view> parts = SplitComponents(property->value);
    std::string literal;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool named = parts[i].find('{') != std::string_view::npos;
        if (!named && !parts[i].empty()) {
            literal += (literal.empty() ? "" : ", ") + UnescapeText(parts[i]);
        }
    }
    if (property->Is("N")) {
        return "Name suffix: " + literal;
    }
    if (property->Is("ORG")) {
        return "Organization units: " + literal;
    }
    if (property->Is("ADR")) {
        return "Address details: " + literal;
    }
    return std::nullopt;
}

void ForEachCardLine(const CAddressEntry& entry, Version version, std::string_view uid,
                     const std::function<void(std::string_view line)>& write) {
    const Fields fields = FieldsOf(entry);
    const CExtraData& extra = entry.Extra();
    const SlotForms forms = FormsBySlot(extra, fields);

    write("BEGIN:VCARD");
    write(version == Version::V40 ? "VERSION:4.0" : "VERSION:3.0");
    write("PRODID:-//Quillbox//Quillbox//EN");
    std::string line = "UID:";
    const std::optional<std::string_view> ownUid = extra.FindText(kUidAttribute);
    AppendEscapedText(line, ownUid ? *ownUid : uid);
    write(line);
    for (int s = 0; s < kSlotCount; ++s) {
        if (SlotLine(line, static_cast<Slot>(s), forms, fields, version)) {
            write(line);
        }
    }
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        if (term.Kind() == ExtraKind::Pair && term.Name() == kPropertyAttribute &&
            term.Value().Kind() == ExtraKind::String) {
            write(term.Value().Text());
        }
    }
    write("END:VCARD");
}

std::uint32_t FieldsNamedBy(std::string_view form) {
    std::uint32_t named = 0;
    RenderForm(form, Fields{}, &named);
    return named;
}

int PropertyOfForm(std::string_view form) {
    std::uint32_t named = 0;
    const std::optional<Property> rendered = RenderForm(form, Fields{}, &named);
    return rendered ? SlotOfForm(*rendered, named) : kNoSlot;
}

std::optional<std::string> LonePropertyLine(const CAddressEntry& from, int field) {
    const Slot slot = SlotOfField(field);
    // A card holds one name; the notes have their field.
    if (slot == kNoSlot || slot == kNameSlot || slot == kNoteSlot) {
        return std::nullopt;
    }
    const SlotInfo& info = kSlots[slot];
    const Fields fields = FieldsOf(from);
    const bool phone = std::any_of(std::begin(kTelTypes), std::end(kTelTypes),
                                   [slot](const TelTypes& tel) { return tel.slot == slot; });
    if (phone && At(fields, info.fields[0]).empty()) {
        return std::nullopt;  // an extension without its number
    }
    std::string line;
    const SlotForms forms = FormsBySlot(from.Extra(), fields);
    if (forms[slot]) {
        if (SlotLine(line, slot, forms, fields, Version::V30)) {
            return line;
        }
    }
    // From the fields of this property alone; a second e-mail or web
    // address is written as a first, since nothing else is written with it.
    const Slot lone = slot == kEmail2Slot ? kEmail1Slot : slot == kWeb2Slot ? kWeb1Slot : slot;
    Fields alone{};
    for (int i = 0; i < info.fieldCount; ++i) {
        alone[static_cast<std::size_t>(kSlots[lone].fields[static_cast<std::size_t>(i)])] =
            At(fields, info.fields[static_cast<std::size_t>(i)]);
    }
    if (DefaultLine(line, lone, alone, Version::V30)) {
        return line;
    }
    return std::nullopt;
}

void CardLines(const CAddressEntry& entry, Version version, std::string_view uid,
               std::vector<std::string>& lines) {
    ForEachCardLine(entry, version, uid,
                    [&lines](std::string_view line) { lines.emplace_back(line); });
}

}  // namespace addressbook::vcard
