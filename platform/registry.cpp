#include "platform/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quillora::platform {
namespace {

namespace fs = std::filesystem;

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  // Closes now and tells whether the close succeeded (a late write error shows here).
  bool Reset() {
    if (fd_ < 0) return true;
    return ::close(std::exchange(fd_, -1)) == 0;
  }

 private:
  int fd_;
};

// Removes a half-written replacement unless it has been renamed into place.
class PendingFile {
 public:
  explicit PendingFile(std::string path) : path_(std::move(path)) {}
  ~PendingFile() {
    if (!committed_) ::unlink(path_.c_str());
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  void Commit() { committed_ = true; }

 private:
  std::string path_;
  bool committed_ = false;
};

RegStatus StatusOfErrno(int error) {
  return (error == EACCES || error == EPERM || error == EROFS) ? kRegAccessDenied : kRegIoFailed;
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return std::string();
}

std::string_view HiveName(RegHive hive) {
  return hive == RegHive::kClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
}

bool Writable(std::string_view text) {
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::optional<RegKeyPath> KeyPathOf(RegHive hive, std::string_view subKey) {
  RegKeyPath path{std::string(HiveName(hive))};
  std::size_t begin = 0;
  while (true) {
    const std::size_t slash = subKey.find('\\', begin);
    const std::string_view part = subKey.substr(begin, slash - begin);
    if (part.empty() || !Writable(part)) return std::nullopt;
    path.emplace_back(part);
    if (slash == std::string_view::npos) return path;
    begin = slash + 1;
  }
}

RegStatus LoadRegistryFile(const std::string& path, RegistryDocument& document) {
  document = RegistryDocument();
  if (path.empty()) return kRegSuccess;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    // No file is an empty registry.
    if (errno == ENOENT || errno == ENOTDIR) return kRegSuccess;
    return StatusOfErrno(errno);
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return kRegIoFailed;
  std::string content;
  char piece[8192];
  while (true) {
    const ssize_t got = ::read(fd.get(), piece, sizeof piece);
    if (got < 0) {
      if (errno == EINTR) continue;
      return kRegIoFailed;
    }
    if (got == 0) break;
    content.append(piece, static_cast<std::size_t>(got));
  }
  document = RegistryDocument::Parse(content);
  return kRegSuccess;
}

RegStatus ReplaceRegistryFile(const std::string& path, std::string_view content) {
  if (path.empty()) return kRegIoFailed;
  std::error_code error;
  fs::path target = path;
  // A registry file that is a link keeps being one: the file it points to is replaced.
  if (fs::is_symlink(target, error)) {
    fs::path real = fs::canonical(target, error);
    if (!error) target = std::move(real);
  }
  fs::path directory = target.parent_path();
  if (directory.empty()) directory = ".";
  fs::create_directories(directory, error);
  if (error) return StatusOfErrno(error.value());

  mode_t mode = 0644;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) mode = existing.st_mode & 07777;

  std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
  UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) return StatusOfErrno(errno);
  PendingFile pending(temporary);
  if (!WriteAll(fd.get(), content) || ::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0 ||
      !fd.Reset()) {
    return StatusOfErrno(errno);
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) return StatusOfErrno(errno);
  pending.Commit();
  // The rename itself lasts only once the directory is on disk too.
  UniqueFd directoryFd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directoryFd.get() >= 0) ::fsync(directoryFd.get());
  return kRegSuccess;
}

// Loads the file, applies `edit` and writes the result back when it changed anything.
// A file that did not parse is never written: the user's hand-edited lines would be
// lost or mangled.
RegStatus EditRegistryFile(const std::string& path,
                           const std::function<RegStatus(RegistryDocument&)>& edit) {
  RegistryDocument document;
  if (RegStatus status = LoadRegistryFile(path, document); status != kRegSuccess) return status;
  const std::string before = document.Serialize();
  if (RegStatus status = edit(document); status != kRegSuccess) return status;
  const std::string after = document.Serialize();
  if (after == before) return kRegSuccess;
  if (!document.WellFormed()) return kRegCorrupt;
  return ReplaceRegistryFile(path, after);
}

}  // namespace

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : file_(std::move(other.file_)),
      path_(std::move(other.path_)),
      access_(std::exchange(other.access_, 0)) {
  other.Close();
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    file_ = std::move(other.file_);
    path_ = std::move(other.path_);
    access_ = std::exchange(other.access_, 0);
    other.Close();
  }
  return *this;
}

void RegistryKey::Close() {
  file_.clear();
  path_.clear();
  access_ = 0;
}

std::string RegistryFilePath() {
  if (const char* explicitPath = std::getenv("QUILLORA_REGISTRY");
      explicitPath != nullptr && explicitPath[0] != '\0') {
    return explicitPath;
  }
  std::string config;
  // A relative XDG_CONFIG_HOME is to be ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    const std::string home = HomeDirectory();
    if (home.empty()) return std::string();
    config = home + "/.config";
  }
  return config + "/quillora/registry.reg";
}

RegStatus OpenRegistryKey(RegHive hive, std::string_view subKey, uint32_t access,
                          RegistryKey& key) {
  key.Close();
  auto path = KeyPathOf(hive, subKey);
  if (!path) return kRegInvalidParameter;
  const std::string file = RegistryFilePath();
  RegistryDocument document;
  if (RegStatus status = LoadRegistryFile(file, document); status != kRegSuccess) return status;
  if (!document.KeyExists(*path)) return kRegNotFound;
  key.file_ = file;
  key.path_ = std::move(*path);
  key.access_ = access;
  return kRegSuccess;
}

RegStatus QueryRegistryValue(const RegistryKey& key, std::string_view name, uint32_t* type,
                             unsigned char* data, uint32_t* size) {
  if (!key.IsOpen()) return kRegInvalidHandle;
  if ((key.access_ & kKeyQueryValue) == 0) return kRegAccessDenied;
  if (data != nullptr && size == nullptr) return kRegInvalidParameter;
  RegistryDocument document;
  if (RegStatus status = LoadRegistryFile(key.file_, document); status != kRegSuccess) {
    return status;
  }
  if (!document.KeyExists(key.path_)) return kRegKeyDeleted;
  const auto value = document.FindValue(key.path_, name);
  if (!value) return kRegNotFound;

  std::string bytes;
  if (value->type == kRegDword) {
    bytes.resize(sizeof value->number);
    std::memcpy(bytes.data(), &value->number, sizeof value->number);
  } else {
    bytes = value->text;
    bytes += '\0';
  }
  if (type != nullptr) *type = value->type;
  const auto needed = static_cast<uint32_t>(bytes.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return kRegSuccess;
  }
  const uint32_t room = *size;
  *size = needed;
  if (room < needed) return kRegMoreData;
  std::memcpy(data, bytes.data(), bytes.size());
  return kRegSuccess;
}

void CloseRegistryKey(RegistryKey& key) {
  key.Close();
}

RegStatus CreateRegistryKey(RegHive hive, std::string_view subKey, RegistryKey& key) {
  key.Close();
  auto path = KeyPathOf(hive, subKey);
  if (!path) return kRegInvalidParameter;
  const std::string file = RegistryFilePath();
  const RegStatus status = EditRegistryFile(file, [&](RegistryDocument& document) {
    document.CreateKey(*path);
    return kRegSuccess;
  });
  if (status != kRegSuccess) return status;
  key.file_ = file;
  key.path_ = std::move(*path);
  key.access_ = kKeyAllAccess;
  return kRegSuccess;
}

RegStatus SetRegistryValue(const RegistryKey& key, std::string_view name, const RegValue& value) {
  if (!key.IsOpen()) return kRegInvalidHandle;
  if ((key.access_ & kKeySetValue) == 0) return kRegAccessDenied;
  if (!Writable(name) || (value.type != kRegString && value.type != kRegDword) ||
      (value.type == kRegString && !Writable(value.text))) {
    return kRegInvalidParameter;
  }
  return EditRegistryFile(key.file_, [&](RegistryDocument& document) {
    if (!document.KeyExists(key.path_)) return kRegKeyDeleted;
    document.SetValue(key.path_, name, value);
    return kRegSuccess;
  });
}

RegStatus SetRegistryString(const RegistryKey& key, std::string_view name, std::string_view value) {
  return SetRegistryValue(key, name, RegValue{kRegString, std::string(value), 0});
}

RegStatus SetRegistryDword(const RegistryKey& key, std::string_view name, uint32_t value) {
  return SetRegistryValue(key, name, RegValue{kRegDword, std::string(), value});
}

RegStatus DeleteRegistryValue(const RegistryKey& key, std::string_view name) {
  if (!key.IsOpen()) return kRegInvalidHandle;
  if ((key.access_ & kKeySetValue) == 0) return kRegAccessDenied;
  return EditRegistryFile(key.file_, [&](RegistryDocument& document) {
    if (!document.KeyExists(key.path_)) return kRegKeyDeleted;
    return document.DeleteValue(key.path_, name) ? kRegSuccess : kRegNotFound;
  });
}

RegStatus DeleteRegistryTree(RegHive hive, std::string_view subKey) {
  auto path = KeyPathOf(hive, subKey);
  if (!path) return kRegInvalidParameter;
  return EditRegistryFile(RegistryFilePath(), [&](RegistryDocument& document) {
    return document.DeleteTree(*path) ? kRegSuccess : kRegNotFound;
  });
}

}  // namespace quillora::platform
