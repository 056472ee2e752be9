#include "platform/openRegularFile.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32

DataFile openRegularFile(const std::string &path, const char *mode, std::uint64_t &size) {
    // Windows has no FIFOs among ordinary paths and fopen refuses a
    // directory; the check below still turns away devices such as "NUL".
    DataFile file(std::fopen(path.c_str(), mode));
    if (!file)
        return nullptr;
    struct _stat64 info;
    if (_fstat64(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return nullptr;
    size = static_cast<std::uint64_t>(info.st_size);
    return file;
}

#else

#include <fcntl.h>
#include <unistd.h>

DataFile openRegularFile(const std::string &path, const char *mode, std::uint64_t &size) {
    // O_NONBLOCK makes opening a FIFO return at once instead of waiting for
    // a writer; the type is then checked on the open descriptor, so the file
    // cannot be swapped between the check and the read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    // Reads of a regular file never block, but stdio should see an ordinary
    // descriptor.
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    DataFile file(fdopen(fd, mode));
    if (!file) {
        close(fd);
        return nullptr;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return file;
}

#endif
