#include "booksync/book_link.h"

#include <string_view>

#include "clausedb/expr_term.h"

namespace booksync {

using addressbook::CExtraData;
using addressbook::CExtraDataBuilder;
using addressbook::CExtraTerm;
using addressbook::ExtraKind;

namespace {

constexpr std::string_view kUrl = "Url";
constexpr std::string_view kUser = "User";
constexpr std::string_view kName = "Name";
constexpr std::string_view kToken = "SyncToken";
constexpr std::string_view kCard = "Card";

constexpr std::string_view kEntryHref = "SyncHref";
constexpr std::string_view kEntryEtag = "SyncEtag";
constexpr std::string_view kEntryHash = "SyncHash";

bool IsText(const CExtraTerm& term) {
    return term.Kind() == ExtraKind::String || term.Kind() == ExtraKind::Word;
}

std::string TextOf(const CExtraData& data, std::string_view name) {
    const std::optional<std::string_view> text = data.FindText(name);
    return text ? std::string(*text) : std::string();
}

// A 'Card' value: four texts, UID first.
void ReadCard(const CExtraTerm& value, SyncStatus& known) {
    std::string texts[4];
    CExtraTerm element = value.Kind() == ExtraKind::List ? value.First() : CExtraTerm();
    for (std::string& text : texts) {
        if (!element || !IsText(element)) {
            return;
        }
        text = std::string(element.Text());
        element = element.Next();
    }
    if (!texts[0].empty() && !texts[1].empty()) {
        known.try_emplace(texts[0], ItemStatus{texts[1], texts[2], texts[3]});
    }
}

}  // namespace

std::optional<BookLink> ReadBookLink(const CExtraData& arguments) {
    BookLink link;
    link.url = TextOf(arguments, kUrl);
    if (link.url.empty()) {
        return std::nullopt;
    }
    link.user = TextOf(arguments, kUser);
    link.name = TextOf(arguments, kName);
    link.syncToken = TextOf(arguments, kToken);
    for (CExtraTerm term = arguments.First(); term; term = term.Next()) {
        if (term.Kind() == ExtraKind::Pair && term.Name() == kCard) {
            ReadCard(term.Value(), link.known);
        }
    }
    return link;
}

CExtraData WriteBookLink(const BookLink& link) {
    CExtraDataBuilder builder;
    builder.AddStringAttribute(kUrl, link.url);
    builder.AddStringAttribute(kUser, link.user);
    builder.AddStringAttribute(kName, link.name);
    builder.AddStringAttribute(kToken, link.syncToken);
    // Each card as the pair [=, 'Card', [uid, href, etag, hash]], made in a
    // store of its own and copied into the data at once.
    clausedb::CExprStore store;
    for (const auto& [uid, status] : link.known) {
        const clausedb::StoreMark mark = store.Mark();
        clausedb::CExprTerm values = store.NewList();
        for (const std::string* text : {&uid, &status.href, &status.etag, &status.hash}) {
            values.AddElement(store.NewString(*text));
        }
        clausedb::CExprTerm pair = store.NewList();
        pair.AddElement(store.NewWord("="));
        pair.AddElement(store.NewWord(kCard));
        pair.AddElement(values);
        builder.AddTerm(pair);
        store.Rewind(mark);
    }
    return builder.Build();
}

std::optional<ItemStatus> EntryStatus(const addressbook::CAddressEntry& entry) {
    const CExtraData& extra = entry.Extra();
    const std::optional<std::string_view> href = extra.FindText(kEntryHref);
    const std::optional<std::string_view> etag = extra.FindText(kEntryEtag);
    const std::optional<std::string_view> hash = extra.FindText(kEntryHash);
    if (!href || !etag || !hash || href->empty()) {
        return std::nullopt;
    }
    return ItemStatus{std::string(*href), std::string(*etag), std::string(*hash)};
}

void SetEntryStatus(addressbook::CAddressEntry& entry, const std::optional<ItemStatus>& status) {
    if (EntryStatus(entry) == status) {
        return;
    }
    CExtraDataBuilder builder;
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        const bool own =
            term.Kind() == ExtraKind::Pair &&
            (term.Name() == kEntryHref || term.Name() == kEntryEtag || term.Name() == kEntryHash);
        if (!own) {
            builder.AddTerm(term);
        }
    }
    if (status) {
        builder.AddStringAttribute(kEntryHref, status->href);
        builder.AddStringAttribute(kEntryEtag, status->etag);
        builder.AddStringAttribute(kEntryHash, status->hash);
    }
    entry.SetExtra(builder.Build());
}

}  // namespace booksync
