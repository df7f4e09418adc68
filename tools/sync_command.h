// quillbox-tool sync: one two-way sync of a book with its CardDAV address
// book, for scripts and the tests.
//
//   quillbox-tool sync [--url URL] [--user USER] [--password-file FILE]
//                      [--accept-certificate SHA256] BOOK
//
// URL and USER default to those the book is linked to.  The password comes
// from the environment variable QUILLBOX_PASSWORD, or from FILE (its first
// line), which must not be readable by the group or others.  A certificate
// the system does not trust is accepted only when its SHA-256 digest is
// given.  The summary goes to standard output and the book is saved safely
// (also after a sync that stopped half-way, so that the work done is kept).
// Exit status: 0 the sync ran to its end; 1 the server refused something
// (a login, an address that is no address book, a card, a server error);
// 2 usage errors, files, and no connection.
#pragma once

#include <string>
#include <vector>

namespace quillbox::tool {

int RunSync(const std::vector<std::string>& args);

}  // namespace quillbox::tool
