// What a sync changed, made to the window's list as one undo step.
//
// The sync worked on copies of the entries taken when it started; the user
// may have edited the list meanwhile.  Each change is matched to the entry
// it was made for (by its address in the list and the copy it came from):
// - an entry unchanged since takes the sync's version, or goes;
// - an entry the user changed meanwhile keeps the user's change, and takes
//   only what the sync gave its identity (a UID, the status of the sync),
//   so the next sync sends the user's change; a server version the sync
//   brought for it is left for the next sync, which then meets both;
// - an entry the user deleted meanwhile stays deleted.
// The book's link (document Link()) changes in the same step, so undoing a
// sync brings the book back to where it was before it: the next sync then
// meets its changes again and takes them as they are.
#pragma once

#include <QString>
#include <vector>

#include "addressbook/address_entry.h"
#include "carddav/sync_run.h"

namespace document {
class CQX32Doc;
}
namespace entries {
class CEntryUndo;
class IEntryListUi;
}  // namespace entries

namespace syncui {

// The list as a sync saw it when it started.
struct SyncSnapshot {
    std::vector<addressbook::CAddressEntry*> live;   // the rows' entries
    std::vector<addressbook::CAddressEntry> copies;  // what the sync was given
};

SyncSnapshot TakeSnapshot(entries::IEntryListUi& list);

struct AppliedSync {
    int changed = 0;  // entries changed, deleted or added
    int kept = 0;     // changes left out: the user changed those entries meanwhile
};

// Makes the outcome's changes to the list and the document's link as one
// undo step named `text`.  When no entry changes, no step is made: a link
// that differs only in its sync token is taken as it is, without setting
// the modified flag.
AppliedSync ApplySyncOutcome(entries::CEntryUndo& undo, const SyncSnapshot& snapshot,
                             carddav::SyncOutcome& outcome, document::CQX32Doc& document,
                             const QString& text);

}  // namespace syncui
