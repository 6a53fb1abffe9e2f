#include "engine/secure_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace quillora::engine {
namespace {

Status SystemFailure(const std::string& what, const std::filesystem::path& path,
                     int error = errno) {
  return Status::Fail(what + " " + path.string() + ": " + std::strerror(error));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return fsync(fd) == 0;
}

}  // namespace

Status WriteNewFile(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
  // The content goes to a hidden temporary file beside the target first (mkstemp makes it
  // 0600), then a hard link gives it its name: link() never replaces an existing file.
  std::string temporary = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX"));
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return SystemFailure("cannot create a file beside", path);
  if (fchmod(fd, mode) != 0 || !WriteAll(fd, bytes)) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    return SystemFailure("cannot write", path, error);
  }
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    return SystemFailure("cannot write", path, error);
  }
  const bool linked = link(temporary.c_str(), path.c_str()) == 0;
  const int error = errno;
  unlink(temporary.c_str());
  if (!linked && error == EEXIST) return Status::Fail(path.string() + " already exists");
  if (!linked) return SystemFailure("cannot create", path, error);
  return {};
}

Status EnsureDirectory(const std::filesystem::path& directory, mode_t mode) {
  std::error_code failure;
  if (std::filesystem::is_directory(directory, failure)) return {};
  if (directory.has_parent_path()) {
    std::filesystem::create_directories(directory.parent_path(), failure);
    if (failure) {
      return Status::Fail("cannot create " + directory.parent_path().string() + ": " +
                          failure.message());
    }
  }
  if (mkdir(directory.c_str(), mode) != 0 && errno != EEXIST) {
    return SystemFailure("cannot create", directory);
  }
  if (!std::filesystem::is_directory(directory, failure)) {
    return Status::Fail(directory.string() + " is not a directory");
  }
  return {};
}

}  // namespace quillora::engine
