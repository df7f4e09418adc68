#include "fileio/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "fileio/utf8_check.h"

namespace fileio {
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t ReadSomeAt(int fd, char* buffer, std::size_t size, std::uint64_t offset) {
    ssize_t n;
    do {
        n = ::pread(fd, buffer, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    return n;
}

int OpenForReading(const std::string& path, bool& regular, int& errorNumber) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        errorNumber = errno;
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        errorNumber = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return -1;
    }
    regular = S_ISREG(st.st_mode);
    return fd;
}

bool ReadToEnd(int fd, std::string& out, int& errorNumber) {
    struct stat st {};
    const off_t at = lseek(fd, 0, SEEK_CUR);
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && at >= 0 && st.st_size > at) {
        out.reserve(out.size() + static_cast<std::size_t>(st.st_size - at));
    }
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ReadSome(fd, buf, sizeof buf);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            errorNumber = errno;
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string* errorText,
                   int* errorNumber) {
    auto fail = [&](int err) {
        if (errorText) {
            *errorText = std::strerror(err);
        }
        if (errorNumber) {
            *errorNumber = err;
        }
        return false;
    };
    bool regular = false;
    int err = 0;
    const int fd = OpenForReading(path, regular, err);
    if (fd < 0) {
        return fail(err);
    }
    out.clear();
    const bool ok = ReadToEnd(fd, out, err);
    ::close(fd);
    return ok || fail(err);
}

bool ScanTextEncoding(int fd, TextEncoding& encoding, int& errorNumber) {
    constexpr std::size_t kBlock = std::size_t{1} << 18;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    Utf8StreamCheck check;
    std::string head;  // the first three bytes, for the byte-order marks
    for (;;) {
        const ssize_t n = ReadSome(fd, buffer.get(), kBlock);
        if (n < 0) {
            errorNumber = errno;
            return false;
        }
        const std::string_view bytes(buffer.get(), static_cast<std::size_t>(n));
        if (head.size() < 3) {
            head.append(bytes.substr(0, 3 - head.size()));
            const std::string_view mark = std::string_view(head).substr(0, 2);
            if (mark == "\xFF\xFE" || mark == "\xFE\xFF") {
                encoding = TextEncoding::kOther;
                return true;
            }
        }
        if (n == 0) {
            encoding = !check.Finish()          ? TextEncoding::kOther
                       : head == "\xEF\xBB\xBF" ? TextEncoding::kUtf8Bom
                                                : TextEncoding::kUtf8;
            return true;
        }
        if (!check.Feed(bytes)) {
            encoding = TextEncoding::kOther;
            return true;
        }
    }
}

}  // namespace fileio
