// What a sync tells the user at its end, in the window's status bar and
// message box and on the tool's standard output.
#pragma once

#include <string>
#include <string_view>

#include "booksync/sync_types.h"

namespace booksync {

// After a sync that ran to its end:
//     Synchronized with Contacts: 3 received, 1 sent, 0 deleted, 1 conflict.
// then, one a line, the conflicts ("Changed here and on the server: Jane
// Doe. The server's version is in the list; this computer's is kept as a
// copy marked in its notes."), the changes left for the next sync, and the
// problems.  After a sync that stopped: why, and what was done until then.
std::string SummaryText(const SyncReport& report, std::string_view name);

}  // namespace booksync
