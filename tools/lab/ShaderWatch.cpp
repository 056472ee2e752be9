#include "ShaderWatch.h"

#include "platform/windows_api.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

bool FileStamp::operator==(const FileStamp &other) const {
    return exists == other.exists && modified == other.modified && changed == other.changed &&
           size == other.size && identity == other.identity;
}

#ifdef _WIN32

namespace {

std::int64_t ticksOf(const FILETIME &time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

} // namespace

// The times are in 100 ns ticks. A file renamed over another has its own
// creation time, which stands in for the identity that Windows keeps only
// behind an open handle.
FileStamp stampOf(const std::string &path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.exists = true;
    stamp.modified = ticksOf(data.ftLastWriteTime);
    stamp.changed = static_cast<std::int64_t>(data.dwFileAttributes);
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.identity = static_cast<std::uint64_t>(ticksOf(data.ftCreationTime));
    return stamp;
}

#else

// The times are in nanoseconds. The inode tells a file renamed over the old
// one from the old one; the change time catches a change of permissions.
FileStamp stampOf(const std::string &path) {
    FileStamp stamp;
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return stamp;
    const auto nanoseconds = [](const timespec &time) {
        return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    stamp.exists = true;
    stamp.modified = nanoseconds(status.st_mtim);
    stamp.changed = nanoseconds(status.st_ctim);
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.identity = static_cast<std::uint64_t>(status.st_ino);
    return stamp;
}

#endif

ShaderWatch::ShaderWatch(const std::vector<std::string> &paths) {
    for (const std::string &path : paths) {
        FileStamp now = stampOf(path);
        files_.push_back({path, now, now});
    }
}

std::vector<std::string> ShaderWatch::settledChanges() {
    std::vector<std::string> settled;
    for (Watched &file : files_) {
        FileStamp now = stampOf(file.path);
        if (now != file.seen) {
            file.seen = now; // still changing, perhaps: wait for the next look
        } else if (now != file.loaded) {
            file.loaded = now;
            settled.push_back(file.path);
        }
    }
    return settled;
}
