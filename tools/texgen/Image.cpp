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

Color Image::get(int x, int y) const {
    const std::uint8_t *p = &bytes_[(static_cast<std::size_t>(y) * side_ + x) * 3];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
}

bool Image::writeRaw(const std::string &path, std::string &error) const {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot open " + path + " for writing: " + std::strerror(errno);
        return false;
    }
    const std::size_t written = std::fwrite(bytes_.data(), 1, bytes_.size(), file);
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written != bytes_.size() || !closed) {
        error = "cannot write " + path + ": " +
                std::strerror(written != bytes_.size() ? writeErrno : errno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}
