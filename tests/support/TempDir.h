// Temporary folders for tests: a fresh folder under the system's temporary
// directory that goes with all its contents when the object goes, and a
// change of working directory for a scope.
#pragma once

#include <string>
#include <vector>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // False if the folder could not be made.
    bool ok() const { return !path_.empty(); }
    // The folder itself.
    const std::string &path() const { return path_; }
    // The full path of a file below the folder.
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    // Writes bytes to a file below the folder, making folders on the way, and
    // returns the file's full path.
    std::string write(const std::string &name, const std::string &bytes) const;
    std::string write(const std::string &name, const std::vector<unsigned char> &bytes) const;

  private:
    std::string path_;
};

// Makes a folder the working directory until the object goes.
class ScopedWorkingDirectory {
  public:
    explicit ScopedWorkingDirectory(const std::string &dir);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory &) = delete;
    ScopedWorkingDirectory &operator=(const ScopedWorkingDirectory &) = delete;

  private:
    std::string previous_;
};
