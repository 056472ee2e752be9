// Notices when shader files change on disk, whether an editor writes a file
// in place or writes a new one and renames it over the old. It only looks at
// each file's directory entry (times, size, identity), never at its content,
// so a look costs a few system calls however large the files are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file as its directory entry shows it. Two stamps that are equal mean, as
// far as can be told without reading it, the same content.
struct FileStamp {
    bool exists = false;
    std::int64_t modified = 0;  // last write, in the platform's finest unit
    std::int64_t changed = 0;   // last change of the entry itself (mode, links)
    std::uint64_t size = 0;     // bytes
    std::uint64_t identity = 0; // which file the name leads to
    bool operator==(const FileStamp &other) const;
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

// The stamp of the file at `path`; one with `exists` false if there is none
// or it cannot be looked at.
FileStamp stampOf(const std::string &path);

class ShaderWatch {
  public:
    // Takes the files as they are now as the ones already loaded.
    explicit ShaderWatch(const std::vector<std::string> &paths);

    // Looks at every file again and returns those that have changed since
    // they were last loaded and have then stayed as they are since the
    // previous look, so that a file still being written is not read half
    // way. Each state of a file is returned once, whether it then loads or
    // not: a file that is broken, missing or unreadable is reported once,
    // and again only when it changes.
    std::vector<std::string> settledChanges();

  private:
    struct Watched {
        std::string path;
        FileStamp loaded; // the state last returned (or found at the start)
        FileStamp seen;   // the state found by the previous look
    };
    std::vector<Watched> files_;
};
