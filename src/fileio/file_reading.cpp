#include "fileio/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "fileio/text_encoding.h"

namespace fileio {
namespace {

// The length of `bytes` without a multi-byte UTF-8 sequence cut off at its end.
std::size_t CompletePrefix(const char* bytes, std::size_t size) {
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto b = static_cast<unsigned char>(bytes[size - back]);
        if ((b & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return back < need ? size - back : size;
    }
    return size;
}

}  // namespace

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
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
    std::unique_ptr<char[]> buffer(new char[kBlock + 4]);
    char* buf = buffer.get();
    encoding = TextEncoding::kUtf8;
    std::size_t carry = 0;  // bytes kept at the front: the head, or a cut character
    bool head = true;       // the first three bytes are still to be looked at
    for (;;) {
        const ssize_t n = ReadSome(fd, buf + carry, kBlock);
        if (n < 0) {
            errorNumber = errno;
            return false;
        }
        const std::size_t have = carry + static_cast<std::size_t>(n);
        if (head) {
            if (have < 3 && n > 0) {
                carry = have;  // a short read: wait for the whole head
                continue;
            }
            head = false;
            const std::string_view start(buf, have < 3 ? have : 3);
            if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
                encoding = TextEncoding::kOther;
                return true;
            }
            if (start == "\xEF\xBB\xBF") {
                encoding = TextEncoding::kUtf8Bom;
            }
        }
        const std::size_t complete = n == 0 ? have : CompletePrefix(buf, have);
        if (!IsValidUtf8(std::string_view(buf, complete))) {
            encoding = TextEncoding::kOther;
            return true;
        }
        if (n == 0) {
            return true;
        }
        carry = have - complete;
        std::memmove(buf, buf + complete, carry);
    }
}

}  // namespace fileio
