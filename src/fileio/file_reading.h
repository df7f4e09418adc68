// Reading files, standard C++ and POSIX only: the one read loop every reader
// of the program goes through, opening a file for reading, reading it whole,
// and telling plain UTF-8 from text that must be decoded first.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fileio {

// Reads up to `size` bytes from `fd` into `buffer`, trying again when a
// signal interrupts the call.  The number of bytes read (0 at the end of the
// file), or -1 with errno set.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);
// The same from `offset` in the file, leaving the file position alone (so
// that several threads may read one descriptor).
ssize_t ReadSomeAt(int fd, char* buffer, std::size_t size, std::uint64_t offset);

// Opens `path` for reading (closed on exec).  A folder is refused with
// EISDIR.  The descriptor, with `regular` telling a regular file (which can
// be read twice) from a pipe or device; -1 with `errorNumber` set otherwise.
int OpenForReading(const std::string& path, bool& regular, int& errorNumber);

// Appends everything from the file's current position to its end to `out`.
// False with `errorNumber` set when reading fails (`out` then holds what was
// read before).
bool ReadToEnd(int fd, std::string& out, int& errorNumber);

// Reads a whole file into `out`.  False with the system's reason otherwise.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* errorText = nullptr,
                   int* errorNumber = nullptr);

enum class TextEncoding {
    kUtf8,     // UTF-8 without a byte-order mark
    kUtf8Bom,  // UTF-8 after a 3-byte byte-order mark
    kOther,    // a UTF-16 byte-order mark, or bytes that are not UTF-8
};

// Reads the open file from its current position to its end, in blocks, to
// find its encoding (see TextEncoding).  Leaves the position anywhere.
// False with `errorNumber` set when reading fails.
bool ScanTextEncoding(int fd, TextEncoding& encoding, int& errorNumber);

}  // namespace fileio
