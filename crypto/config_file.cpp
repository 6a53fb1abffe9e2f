#include "crypto/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quillora {
namespace {

// The configuration is read in pieces of this size.
constexpr std::size_t kPieceSize = 4096;

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool PathExists(const Text& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::optional<Text> ReadWholeFile(const Text& path) {
  // Not blocking at open: a FIFO in the file's place must not hang the caller.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  Text text;
  char piece[kPieceSize];
  while (true) {
    const ssize_t got = ::read(fd.get(), piece, sizeof piece);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return text;
    text.append(piece, static_cast<std::size_t>(got));
  }
}

Text JoinPath(const Text& directory, const Text& name) {
  if (!directory.empty() && directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

}  // namespace quillora
