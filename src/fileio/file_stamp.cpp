#include "fileio/file_stamp.h"

#include <sys/stat.h>

namespace fileio {

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                       static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

bool ChangedSince(const FileStamp& before, const std::string& path) {
    const FileStamp now = StampOf(path);
    return now.exists && now != before;
}

}  // namespace fileio
