#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fileio {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
long long g_failAfterBytes = -1;  // test seam, see SetFailAfterBytesForTesting

std::string SystemReason(int err) {
    return std::strerror(err);
}

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

}  // namespace

void AtomicFileWriter::SetFailAfterBytesForTesting(long long bytes) {
    g_failAfterBytes = bytes;
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

bool AtomicFileWriter::Fail(int err, const std::string& what) {
    if (!m_bFailed) {
        m_bFailed = true;
        m_nErrno = err;
        m_strError = what + ": " + SystemReason(err);
    }
    return false;
}

bool AtomicFileWriter::Open(const std::string& path) {
    Discard();
    m_bFailed = false;
    m_strError.clear();
    m_nErrno = 0;
    m_strTarget = ResolveTarget(path);
    std::filesystem::path target(m_strTarget);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) {
        return Fail(errno, m_strTarget);
    }
    m_fd = fd;
    m_strTemp = pattern;

    // Keep the permissions of the file being replaced; a new file gets the
    // usual 0666 less the umask rather than mkstemp's 0600.
    struct stat st {};
    mode_t mode;
    if (stat(m_strTarget.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(m_fd, mode);
    m_strBuffer.reserve(kBufferSize);
    return true;
}

bool AtomicFileWriter::FlushBuffer() {
    std::size_t done = 0;
    while (done < m_strBuffer.size()) {
        std::size_t chunk = m_strBuffer.size() - done;
        if (g_failAfterBytes >= 0) {
            if (g_failAfterBytes == 0) {
                return Fail(ENOSPC, m_strTarget);
            }
            chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(g_failAfterBytes));
        }
        ssize_t n = ::write(m_fd, m_strBuffer.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(errno, m_strTarget);
        }
        if (g_failAfterBytes >= 0) {
            g_failAfterBytes -= n;
        }
        done += static_cast<std::size_t>(n);
    }
    m_strBuffer.clear();
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
            m_strBuffer.assign(bytes);
            return FlushBuffer();
        }
    }
    m_strBuffer.append(bytes);
    return true;
}

bool AtomicFileWriter::Commit() {
    if (m_fd < 0) {
        return m_bFailed ? false : Fail(EBADF, m_strTarget);
    }
    bool ok = !m_bFailed && FlushBuffer();
    if (ok && fsync(m_fd) != 0) {
        ok = Fail(errno, m_strTarget);
    }
    if (::close(m_fd) != 0 && ok) {
        ok = Fail(errno, m_strTarget);
    }
    m_fd = -1;
    if (ok && std::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        ok = Fail(errno, m_strTarget);
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

bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* errorText) {
    AtomicFileWriter writer;
    bool ok = writer.Open(path) && writer.Write(contents) && writer.Commit();
    if (!ok && errorText) {
        *errorText = writer.ErrorText();
    }
    return ok;
}

long ReadSome(int fd, char* buffer, std::size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* errorText,
                   int* errorNumber) {
    auto fail = [&](int err) {
        if (errorText) {
            *errorText = SystemReason(err);
        }
        if (errorNumber) {
            *errorNumber = err;
        }
        return false;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return fail(err);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    out.clear();
    if (st.st_size > 0) {
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            int err = errno;
            ::close(fd);
            return fail(err);
        }
        if (n == 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace fileio
