// Safe file replacement, standard C++ and POSIX only.
//
// AtomicFileWriter writes a new version of a file beside the old one, flushes
// and syncs it, and only then renames it over the target.  A crash, a full
// disk or any other failure on the way leaves the previous version intact and
// removes the temporary file.  When the target is a symbolic link the file it
// names is replaced and the link is kept.  A replaced file keeps its
// permissions; a new file gets those of any new file (0666 less the umask).
#pragma once

#include <sys/types.h>

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

    // Creates the temporary file beside `path`, with the permissions the
    // target will have.  False with ErrorText() set (and nothing left behind)
    // when the folder cannot take a new file or the permissions cannot be
    // set.
    bool Open(const std::string& path);
    // Appends bytes; buffered.  False once any write has failed.
    bool Write(std::string_view bytes);
    // Flushes, syncs and renames over the target.  False (old file intact)
    // when anything failed since Open.
    bool Commit();
    // Abandons the new version and removes the temporary file.
    void Discard();

    bool IsOpen() const { return m_fd >= 0; }
    // The system's reason for the first failure ("No space left on device");
    // it does not name the file, which the caller knows.
    const std::string& ErrorText() const { return m_strError; }
    int ErrorNumber() const { return m_nErrno; }

    // Test seam: makes every writer fail once this many bytes in total have
    // been written to disk, as a full disk would.  Negative turns it off.
    static void SetFailAfterBytesForTesting(long long bytes);
    // Test seam: makes setting the permissions of a replacement fail (EPERM),
    // as it does on file systems that refuse them.
    static void SetFailModeChangeForTesting(bool fail);

private:
    bool FlushBuffer();
    // Writes all of `bytes` to the file; false (with the reason kept) when
    // the system refuses.
    bool WriteOut(std::string_view bytes);
    bool Fail(int err);

    int m_fd = -1;
    std::string m_strTarget;  // the real file (symbolic links resolved)
    std::string m_strTemp;
    std::string m_strBuffer;
    std::string m_strError;
    int m_nErrno = 0;
    bool m_bFailed = false;
    off_t m_nWritten = 0;  // bytes written to the file so far
    off_t m_nSyncing = 0;  // bytes whose writing to disk was started
};

// False when `path` names a file that the user may not write: one that
// access() refuses, or one with no write permission at all (which even a
// privileged user is taken to mean as "read-only").  Replacing a file by a
// rename needs only the folder's permission, so callers that must respect a
// read-only file ask this first.  A missing file may be written.
bool MayReplace(const std::string& path);

// Convenience wrapper: the whole contents at once.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* errorText = nullptr);

}  // namespace fileio
