#include "addressbook/extra_description.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "addressbook/csv_row_mapping.h"
#include "addressbook/entry_identity.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_syntax.h"

namespace addressbook {

namespace {

using vcard::Property;

constexpr std::size_t kMaxShown = 100;

struct Known {
    std::string_view property;
    std::string_view words;
};

constexpr Known kKnown[] = {
    {"BDAY", "Birthday"},
    {"ANNIVERSARY", "Anniversary"},
    {"NICKNAME", "Nickname"},
    {"EMAIL", "E-mail"},
    {"TEL", "Phone"},
    {"ADR", "Address"},
    {"LABEL", "Address label"},
    {"URL", "Web"},
    {"NOTE", "Note"},
    {"ORG", "Organization"},
    {"TITLE", "Title"},
    {"ROLE", "Role"},
    {"CATEGORIES", "Categories"},
    {"GEO", "Location"},
    {"TZ", "Time zone"},
    {"LANG", "Language"},
    {"GENDER", "Gender"},
    {"IMPP", "Instant messaging"},
    {"RELATED", "Related"},
    {"X-ABRELATEDNAMES", "Related name"},
    {"X-ABDATE", "Date"},
    {"N", "Name"},
    {"FN", "Display name"},
    {"SOURCE", "Source"},
    {"KIND", "Kind"},
    {"MEMBER", "Member"},
    {"REV", "Revised"},
    {"X-SOCIALPROFILE", "Social profile"},
    {"X-AIM", "Instant messaging (AIM)"},
    {"X-ICQ", "Instant messaging (ICQ)"},
    {"X-JABBER", "Instant messaging (Jabber)"},
    {"X-MSN", "Instant messaging (MSN)"},
    {"X-YAHOO", "Instant messaging (Yahoo)"},
    {"X-SKYPE", "Instant messaging (Skype)"},
    {"X-SKYPE-USERNAME", "Instant messaging (Skype)"},
    {"X-GOOGLE-TALK", "Instant messaging (Google Talk)"},
    {"X-QQ", "Instant messaging (QQ)"},
    {"PHOTO", "Photo"},
    {"LOGO", "Logo"},
    {"SOUND", "Sound"},
    {"KEY", "Key"},
};

// Properties that only qualify others.
bool IsQualifier(const Property& property) {
    return property.Is("X-ABLabel") || property.Is("X-ABShowAs") || property.Is("X-ABADR");
}

std::string Shortened(std::string_view text) {
    std::string out = vcard::ReplaceLineBreaks(text, " / ");
    if (out.size() > kMaxShown) {
        std::size_t cut = kMaxShown;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a UTF-8 character
        }
        out.resize(cut);
        out += "...";
    }
    return out;
}

// "_$!<Mobile>!$_" (the labels some address books use for their own words)
// as "Mobile".
std::string LabelWords(std::string label) {
    if (label.size() > 8 && label.rfind("_$!<", 0) == 0 &&
        label.compare(label.size() - 4, 4, ">!$_") == 0) {
        return label.substr(4, label.size() - 8);
    }
    return label;
}

std::string SizeWords(std::size_t bytes) {
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    return std::to_string((bytes + 512) / 1024) + " KB";
}

// "12 KB JPEG" for inline data, the address of a linked one.
std::string MediaWords(const Property& property) {
    std::string_view value = property.value;
    std::string type;
    bool inlineData = false;
    if (const vcard::Param* encoding = property.FindParam("ENCODING")) {
        inlineData = vcard::EqualsIgnoreCase(encoding->value, "b") ||
                     vcard::EqualsIgnoreCase(encoding->value, "BASE64");
    }
    if (value.rfind("data:", 0) == 0) {
        // data:image/jpeg;base64,....
        const std::size_t comma = value.find(',');
        const std::string_view head =
            value.substr(5, comma == std::string_view::npos ? 0 : comma - 5);
        const std::size_t slash = head.find('/');
        type = vcard::ToUpperAscii(head.substr(slash == std::string_view::npos ? 0 : slash + 1,
                                               head.find(';') - (slash + 1)));
        value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
        inlineData = true;
    }
    if (!inlineData) {
        return Shortened(vcard::UnescapeText(value));
    }
    if (type.empty()) {
        if (const vcard::Param* param = property.FindParam("TYPE")) {
            type = vcard::ToUpperAscii(vcard::TypeValues(param->value).front());
            if (type.rfind("IMAGE/", 0) == 0) {
                type.erase(0, 6);
            }
        }
    }
    std::size_t padding = 0;
    while (padding < value.size() && value[value.size() - 1 - padding] == '=') {
        ++padding;
    }
    const std::size_t bytes = value.size() / 4 * 3 - std::min<std::size_t>(padding, 2);
    return SizeWords(bytes) + (type.empty() ? "" : " " + type);
}

std::string ValueWords(const Property& property) {
    if (property.undecoded) {
        return "(in a character set the program cannot show)";
    }
    if (property.Is("PHOTO") || property.Is("LOGO") || property.Is("SOUND") || property.Is("KEY")) {
        return MediaWords(property);
    }
    if (property.Is("ADR") || property.Is("ORG") || property.Is("N")) {
        std::string text;
        for (std::string_view part : vcard::SplitComponents(property.value)) {
            const std::string piece = vcard::UnescapeText(part);
            if (!piece.empty()) {
                text += (text.empty() ? "" : ", ") + piece;
            }
        }
        return Shortened(text);
    }
    std::string text = vcard::UnescapeText(property.value);
    if (property.Is("CATEGORIES") || property.Is("NICKNAME")) {
        // Several values, separated by commas.
        std::string spaced;
        for (std::size_t i = 0; i < text.size(); ++i) {
            spaced += text[i];
            if (text[i] == ',' && i + 1 < text.size() && text[i + 1] != ' ') {
                spaced += ' ';
            }
        }
        text = std::move(spaced);
    }
    if (property.Is("TEL") && text.rfind("tel:", 0) == 0) {
        text.erase(0, 4);
    }
    if (property.Is("EMAIL") && text.rfind("mailto:", 0) == 0) {
        text.erase(0, 7);
    }
    return Shortened(text);
}

std::string PropertyWords(const Property& property,
                          const std::map<std::string, std::string>& groupLabels) {
    std::string words = property.name;
    const std::string upper = vcard::ToUpperAscii(property.name);
    for (const Known& known : kKnown) {
        if (upper == known.property) {
            words = known.words;
        }
    }
    // A column of a delimited file kept under its name (csv_row_mapping.h).
    if (const vcard::Param* name = property.FindParam("NAME");
        name != nullptr && property.Is(kCsvColumnProperty)) {
        std::string_view text = name->value;
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
            text = text.substr(1, text.size() - 2);
        }
        return std::string(text) + ": " + ValueWords(property);
    }
    std::string label;
    const auto group = groupLabels.find(vcard::ToLowerAscii(property.group));
    if (!property.group.empty() && group != groupLabels.end()) {
        label = LabelWords(group->second);
    } else {
        for (const vcard::Param& param : property.params) {
            if (!vcard::EqualsIgnoreCase(param.name, "TYPE") || property.Is("PHOTO") ||
                property.Is("LOGO")) {
                continue;
            }
            for (const std::string& value : vcard::TypeValues(param.value)) {
                const std::string type = vcard::ToLowerAscii(value);
                if (type != "pref" && type != "internet" && type != "voice" && !type.empty()) {
                    label += (label.empty() ? "" : ", ") + type;
                }
            }
        }
    }
    if (!label.empty()) {
        words += " (" + label + ")";
    }
    return words + ": " + ValueWords(property);
}

std::string TermWords(const CExtraTerm& term) {
    switch (term.Kind()) {
        case ExtraKind::Integer:
            return std::to_string(term.IntegerValue());
        case ExtraKind::Real: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%g", static_cast<double>(term.RealValue()));
            return buf;
        }
        case ExtraKind::Word:
        case ExtraKind::String:
            return std::string(term.Text());
        case ExtraKind::List: {
            std::string text = "[";
            for (CExtraTerm e = term.First(); e; e = e.Next()) {
                text += (e == term.First() ? "" : ", ") + TermWords(e);
            }
            return text + "]";
        }
        case ExtraKind::Pair:
            return std::string(term.Name()) + " = " + TermWords(term.Value());
        default:
            return "(nothing)";
    }
}

}  // namespace

std::vector<std::string> DescribeExtraData(const CAddressEntry& entry) {
    const CExtraData& extra = entry.Extra();
    std::vector<Property> properties;
    std::map<std::string, std::string> groupLabels;
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        Property property;
        if (term.Kind() == ExtraKind::Pair && term.Name() == vcard::kPropertyAttribute &&
            term.Value().Kind() == ExtraKind::String &&
            vcard::ParseContentLine(term.Value().Text(), property) && property.Is("X-ABLabel") &&
            !property.group.empty()) {
            groupLabels.emplace(vcard::ToLowerAscii(property.group),
                                vcard::UnescapeText(property.value));
        }
    }
    std::vector<std::string> lines;
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        if (term.Kind() != ExtraKind::Pair) {
            lines.push_back(Shortened(TermWords(term)));
            continue;
        }
        const std::string_view name = term.Name();
        const CExtraTerm value = term.Value();
        const bool text = value.Kind() == ExtraKind::String;
        if (IsIdentityAttribute(name)) {
            continue;
        }
        Property property;
        if (name == vcard::kPropertyAttribute && text &&
            vcard::ParseContentLine(value.Text(), property)) {
            property.undecoded = property.FindParam("CHARSET") != nullptr &&
                                 property.FindParam("ENCODING") != nullptr;
            if (!IsQualifier(property)) {
                lines.push_back(PropertyWords(property, groupLabels));
            }
            continue;
        }
        if (name == vcard::kFormAttribute && text) {
            if (std::optional<std::string> words = vcard::DescribeForm(value.Text(), entry)) {
                lines.push_back(Shortened(std::move(*words)));
            }
            continue;
        }
        lines.push_back(Shortened(std::string(name) + ": " + TermWords(value)));
    }
    return lines;
}

}  // namespace addressbook
