#pragma once

#include <filesystem>
#include <string>

namespace zelvo::test {

// A fresh directory under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The directory as the program writes data directories: with a trailing separator.
    std::string prefix() const { return m_path.string() + "/"; }

  private:
    std::filesystem::path m_path;
};

// The whole content of a file, as bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace zelvo::test
