#include "Image.h"

#include <cstdio>
#include <cstring>
#include <cerrno>

namespace {

std::uint8_t toByte(float v) {
    if (!(v > 0.0f)) // also catches NaN
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<std::uint8_t>(v * 255.0f + 0.5f);
}

} // namespace

Image::Image(int side) : side_(side), bytes_(static_cast<std::size_t>(side) * side * 3, 0) {}

void Image::set(int x, int y, Color c) {
    std::uint8_t *p = &bytes_[(static_cast<std::size_t>(y) * side_ + x) * 3];
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}

bool Image::writeRaw(const std::string &path, std::string &error) const {
    const std::string temporary = path + ".part";
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot open " + temporary + " for writing: " + std::strerror(errno);
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + temporary + ": " + std::strerror(!written ? writeErrno : errno);
        std::remove(temporary.c_str());
        return false;
    }
    // Some platforms do not let rename replace an existing file.
    if (std::rename(temporary.c_str(), path.c_str()) != 0 &&
        (std::remove(path.c_str()) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0)) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
