// A directory under the system's temporary directory that is removed with everything
// in it when the object goes away.
#pragma once

#include <filesystem>
#include <string>

namespace quillora::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes bytes to a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Reads a whole file.
  static std::string Read(const std::string& path);

 private:
  std::filesystem::path path_;
};

}  // namespace quillora::testing
