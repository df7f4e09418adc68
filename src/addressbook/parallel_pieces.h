// Running independent pieces of work on the machine's processors.
//
// This is the one place where Quillbox starts threads.  Opening and saving a
// large book cut their work into pieces that share nothing they change:
// each piece reads its own part of the file into its own clause database
// and its own entries, or writes its own rows into its own buffer, and only
// reads what all pieces share (the open file, the list's rows, constant
// tables).  No piece uses an object with hidden mutable state that another
// piece can reach (such as the cache inside FieldAttributes(); pieces make
// their own CAttributeNames).  The caller waits for every piece before it
// looks at any result, so no locks are needed.
#pragma once

#include <cstddef>
#include <functional>

namespace addressbook {

// How many pieces of work are worth running at once: the processors of the
// machine, at least 1.
std::size_t ProcessorCount();

// Runs piece(0) ... piece(count - 1) at the same time, piece(0) on the
// calling thread and each other one on a thread of its own, and returns once
// all are done.  A piece whose thread cannot be started runs on the calling
// thread.  When pieces throw, the first exception (by piece number) is
// thrown again here, after every piece has ended.
void RunPieces(std::size_t count, const std::function<void(std::size_t)>& piece);

}  // namespace addressbook
