// Safe file replacement and whole-file reading, standard C++ and POSIX only.
//
// AtomicFileWriter writes a new version of a file beside the old one, flushes
// and syncs it, and only then renames it over the target.  A crash, a full
// disk or any other failure on the way leaves the previous version intact and
// removes the temporary file.  When the target is a symbolic link the file it
// names is replaced and the link is kept; the target's permissions are kept.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fileio {

class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();  // discards an uncommitted temporary file
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside `path`.  False with ErrorText() set
    // when the folder cannot take a new file.
    bool Open(const std::string& path);
    // Appends bytes; buffered.  False once any write has failed.
    bool Write(std::string_view bytes);
    // Flushes, syncs and renames over the target.  False (old file intact)
    // when anything failed since Open.
    bool Commit();
    // Abandons the new version and removes the temporary file.
    void Discard();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& ErrorText() const { return m_strError; }
    int ErrorNumber() const { return m_nErrno; }

    // Test seam: makes every writer fail once this many bytes in total have
    // been written to disk, as a full disk would.  Negative turns it off.
    static void SetFailAfterBytesForTesting(long long bytes);

private:
    bool FlushBuffer();
    bool Fail(int err, const std::string& what);

    int m_fd = -1;
    std::string m_strTarget;  // the real file (symbolic links resolved)
    std::string m_strTemp;
    std::string m_strBuffer;
    std::string m_strError;
    int m_nErrno = 0;
    bool m_bFailed = false;
};

// Convenience wrapper: the whole contents at once.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* errorText = nullptr);

// read(2) retried after signals: the bytes read (0 at the end of the file),
// or -1 with errno set.
long ReadSome(int fd, char* buffer, std::size_t size);

// Reads a whole file into `out`.  False with the system's reason otherwise.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* errorText = nullptr,
                   int* errorNumber = nullptr);

}  // namespace fileio
