#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
// Bytes written between the starts of writing them to disk.
constexpr off_t kSyncStep = off_t{8} << 20;
long long g_failAfterBytes = -1;  // test seam, see SetFailAfterBytesForTesting
bool g_failModeChange = false;    // test seam, see SetFailModeChangeForTesting

// Follows symbolic links so that the file they name is replaced, not the link.
std::string ResolveTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        char buf[PATH_MAX];
        ssize_t n = readlink(current.c_str(), buf, sizeof buf - 1);
        if (n < 0) {
            return current;
        }
        std::string link(buf, static_cast<std::size_t>(n));
        if (!link.empty() && link[0] == '/') {
            current = link;
        } else {
            current = (std::filesystem::path(current).parent_path() / link).string();
        }
    }
    return current;
}

// Creates a new file named `prefix` and six random letters or digits, with
// `mode` less the umask; its name goes to `path`.  -1 with errno set when the
// folder cannot take it.
int CreateUnique(const std::string& prefix, mode_t mode, std::string& path) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random(std::random_device{}() ^
                                        static_cast<std::uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix;
        for (int i = 0; i < 6; ++i) {
            path += kLetters[random() % (sizeof kLetters - 1)];
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            if (fd < 0) {
                path.clear();
            }
            return fd;
        }
    }
    path.clear();
    errno = EEXIST;
    return -1;
}

// fchmod, or its failure when the test seam asks for one.
bool SetMode(int fd, mode_t mode) {
    if (g_failModeChange) {
        errno = EPERM;
        return false;
    }
    return fchmod(fd, mode) == 0;
}

}  // namespace

void AtomicFileWriter::SetFailAfterBytesForTesting(long long bytes) {
    g_failAfterBytes = bytes;
}

void AtomicFileWriter::SetFailModeChangeForTesting(bool fail) {
    g_failModeChange = fail;
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

bool AtomicFileWriter::Fail(int err) {
    if (!m_bFailed) {
        m_bFailed = true;
        m_nErrno = err;
        m_strError = std::strerror(err);
    }
    return false;
}

bool AtomicFileWriter::Open(const std::string& path) {
    Discard();
    m_bFailed = false;
    m_nWritten = 0;
    m_nSyncing = 0;
    m_strError.clear();
    m_nErrno = 0;
    m_strTarget = ResolveTarget(path);
    std::filesystem::path target(m_strTarget);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::string prefix = (folder / ("." + target.filename().string() + ".")).string();

    // A replacement keeps the permissions of the file it replaces; it starts
    // private and takes them before any byte is written.  A new file is
    // created with 0666 and the system takes away what the umask (or the
    // folder's default ACL) says, as for any new file; the process umask is
    // never changed, since other threads may be creating files meanwhile.
    struct stat st {};
    const bool replacing = stat(m_strTarget.c_str(), &st) == 0;
    int fd = CreateUnique(prefix, replacing ? 0600 : 0666, m_strTemp);
    if (fd < 0) {
        return Fail(errno);
    }
    m_fd = fd;
    if (replacing && !SetMode(m_fd, st.st_mode & 07777)) {
        Fail(errno);
        Discard();
        return false;
    }
    m_strBuffer.reserve(kBufferSize);
    return true;
}

bool AtomicFileWriter::FlushBuffer() {
    if (!WriteOut(m_strBuffer)) {
        return false;
    }
    m_strBuffer.clear();
    return true;
}

bool AtomicFileWriter::WriteOut(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (g_failAfterBytes >= 0) {
            if (g_failAfterBytes == 0) {
                return Fail(ENOSPC);
            }
            chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(g_failAfterBytes));
        }
        ssize_t n = ::write(m_fd, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(errno);
        }
        if (g_failAfterBytes >= 0) {
            g_failAfterBytes -= n;
        }
        done += static_cast<std::size_t>(n);
        m_nWritten += n;
    }
    // Start writing what is written so far to disk, without waiting, so that
    // the disk works while the caller makes the rest and the fsync of Commit
    // waits only for the tail.  A failure here shows again in that fsync.
    if (m_nWritten - m_nSyncing >= kSyncStep) {
        sync_file_range(m_fd, m_nSyncing, m_nWritten - m_nSyncing, SYNC_FILE_RANGE_WRITE);
        m_nSyncing = m_nWritten;
    }
    return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
    if (m_fd < 0 || m_bFailed) {
        return false;
    }
    if (m_strBuffer.size() + bytes.size() > kBufferSize) {
        if (!FlushBuffer()) {
            return false;
        }
        if (bytes.size() > kBufferSize) {
            return WriteOut(bytes);  // a large block goes out without a copy
        }
    }
    m_strBuffer.append(bytes);
    return true;
}

bool AtomicFileWriter::Commit() {
    if (m_fd < 0) {
        return m_bFailed ? false : Fail(EBADF);
    }
    bool ok = !m_bFailed && FlushBuffer();
    if (ok && fsync(m_fd) != 0) {
        ok = Fail(errno);
    }
    if (::close(m_fd) != 0 && ok) {
        ok = Fail(errno);
    }
    m_fd = -1;
    if (ok && std::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        ok = Fail(errno);
    }
    if (!ok) {
        ::unlink(m_strTemp.c_str());
    } else {
        // Make the rename itself durable.
        std::filesystem::path folder = std::filesystem::path(m_strTarget).parent_path();
        int dirfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dirfd >= 0) {
            fsync(dirfd);
            ::close(dirfd);
        }
    }
    m_strTemp.clear();
    m_strBuffer.clear();
    return ok;
}

void AtomicFileWriter::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTemp.empty()) {
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
    }
    m_strBuffer.clear();
}

bool MayReplace(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return false;
    }
    return ::access(path.c_str(), W_OK) == 0;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* errorText) {
    AtomicFileWriter writer;
    bool ok = writer.Open(path) && writer.Write(contents) && writer.Commit();
    if (!ok && errorText) {
        *errorText = writer.ErrorText();
    }
    return ok;
}

}  // namespace fileio
