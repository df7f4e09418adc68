#include "extra_json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "addressbook/field_table.h"
#include "json_lines.h"

namespace quillbox::tool {

namespace {

using addressbook::CExtraTerm;
using addressbook::ExtraKind;

void AppendValue(std::string& out, const CExtraTerm& term);

void AppendPairObject(std::string& out, const CExtraTerm& pair) {
    out += '{';
    AppendJsonString(out, pair.Name());
    out += ':';
    AppendValue(out, pair.Value());
    out += '}';
}

void AppendValue(std::string& out, const CExtraTerm& term) {
    switch (term.Kind()) {
        case ExtraKind::Integer:
            out += std::to_string(term.IntegerValue());
            return;
        case ExtraKind::Real: {
            const float value = term.RealValue();
            if (!std::isfinite(value)) {
                out += "null";
                return;
            }
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(value));
            out += buf;
            return;
        }
        case ExtraKind::Word:
        case ExtraKind::String:
            AppendJsonString(out, term.Text());
            return;
        case ExtraKind::List: {
            out += '[';
            for (CExtraTerm e = term.First(); e; e = e.Next()) {
                if (e != term.First()) {
                    out += ',';
                }
                AppendValue(out, e);
            }
            out += ']';
            return;
        }
        case ExtraKind::Pair:
            AppendPairObject(out, term);
            return;
        default:
            out += "null";
    }
}

}  // namespace

void AppendExtraMembers(std::string& out, const addressbook::CExtraData& extra) {
    std::vector<std::pair<std::string_view, std::vector<std::string>>> named;
    std::vector<std::string> other;
    for (CExtraTerm term = extra.First(); term; term = term.Next()) {
        std::string value;
        if (term.Kind() != ExtraKind::Pair ||
            addressbook::FieldIndexFromAttribute(term.Name()) >= 0) {
            AppendValue(value, term);
            other.push_back(std::move(value));
            continue;
        }
        AppendValue(value, term.Value());
        auto it = std::find_if(named.begin(), named.end(),
                               [&](const auto& entry) { return entry.first == term.Name(); });
        if (it == named.end()) {
            named.emplace_back(term.Name(), std::vector<std::string>{std::move(value)});
        } else {
            it->second.push_back(std::move(value));
        }
    }
    auto appendMember = [&out](std::string_view name, const std::vector<std::string>& values,
                               bool array) {
        out += ',';
        AppendJsonString(out, name);
        out += ':';
        if (array) {
            out += '[';
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            out += values[i];
        }
        if (array) {
            out += ']';
        }
    };
    for (const auto& [name, values] : named) {
        appendMember(name, values, values.size() > 1);
    }
    if (!other.empty()) {
        appendMember("(other)", other, true);
    }
}

}  // namespace quillbox::tool
