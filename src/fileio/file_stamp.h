// What a file on disk is at one moment: which file (device and inode), how
// long and when last written.  A window compares the stamp it took after
// its own open or save with a fresh one to notice that another program
// rewrote the file in place or renamed a new file over it.
#pragma once

#include <cstdint>
#include <string>

namespace fileio {

struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds since the epoch

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (symbolic links followed); a stamp
// with `exists` false when there is none.
FileStamp StampOf(const std::string& path);

// True when the file at `path` is no longer the one `before` describes.  A
// file that is gone counts as unchanged: nothing on disk would be
// overwritten, so a save may simply write it again.
bool ChangedSince(const FileStamp& before, const std::string& path);

}  // namespace fileio
