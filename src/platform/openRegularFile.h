// Opening the program's data files for reading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Closes the file when its owner goes.
struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using DataFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for reading with the given fopen mode ("r" or "rb") only if it
// is a regular file, and stores its size in bytes. Returns null, without
// waiting, for anything else: a missing file, a directory, a FIFO, a device.
// A FIFO is opened without blocking, so a data file replaced by a pipe that
// nobody writes cannot stall start-up.
DataFile openRegularFile(const std::string &path, const char *mode, std::uint64_t &size);
