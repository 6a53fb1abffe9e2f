#include "engine/key_files.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/openssl_errors.h"

namespace quillora::engine {
namespace {

// Keys and certificates are a few kilobytes; a cap keeps a wrong path (a device, a huge
// file) from being read into memory.
constexpr off_t kMaxPemFileSize = 4 * 1024 * 1024;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The permissions are checked on the opened file itself, so the file that is read is
// the file that was checked.
Outcome<std::string> ReadPemFile(const std::filesystem::path& file, bool ownerOnly) {
  // Non-blocking, so that a FIFO put in place of a key cannot hang the open.
  FileDescriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    return Outcome<std::string>::Fail("cannot open " + file.string() + ": " + std::strerror(errno));
  }
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return Outcome<std::string>::Fail(file.string() + " is not a regular file");
  }
  if (ownerOnly && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    return Outcome<std::string>::Fail("secret key " + file.string() +
                                      " is accessible to others than its owner; "
                                      "restrict it with chmod 600");
  }
  if (info.st_size > kMaxPemFileSize) {
    return Outcome<std::string>::Fail(file.string() + " is too large for a key or certificate");
  }
  std::string content(static_cast<size_t>(info.st_size), '\0');
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t got = read(fd.get(), content.data() + done, content.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      return Outcome<std::string>::Fail("cannot read " + file.string() + ": " +
                                        std::strerror(errno));
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  content.resize(done);
  return content;
}

BioPtr MemoryBio(const std::string& bytes) {
  return BioPtr(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

// Keys are stored without a pass phrase; an encrypted one must fail rather than wait for
// someone to type at a terminal that may not exist.
int NoPassPhrase(char*, int, int, void*) {
  return -1;
}

bool IsEndOfPemData(const OpenSslErrors& errors) {
  return errors.codes.size() == 1 && errors.Has(ERR_LIB_PEM, PEM_R_NO_START_LINE);
}

}  // namespace

Outcome<EvpPkeyPtr> LoadPrivateKey(const std::filesystem::path& file) {
  OpenSslErrorScope scope;
  auto content = ReadPemFile(file, /*ownerOnly=*/true);
  if (!content) return Outcome<EvpPkeyPtr>::Fail(content.error());
  BioPtr bio = MemoryBio(*content);
  EvpPkeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassPhrase, nullptr));
  // The key text is a secret; do not leave a copy in freed memory.
  OPENSSL_cleanse(content->data(), content->size());
  if (!key) {
    return Outcome<EvpPkeyPtr>::Fail("no usable private key in " + file.string() + ": " +
                                     TakeOpenSslErrors().text);
  }
  return key;
}

Outcome<std::vector<X509Ptr>> LoadCertificates(const std::filesystem::path& file) {
  using Result = Outcome<std::vector<X509Ptr>>;
  OpenSslErrorScope scope;
  auto content = ReadPemFile(file, /*ownerOnly=*/false);
  if (!content) return Result::Fail(content.error());
  BioPtr bio = MemoryBio(*content);
  std::vector<X509Ptr> certificates;
  for (;;) {
    X509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, NoPassPhrase, nullptr));
    if (!certificate) break;
    certificates.push_back(std::move(certificate));
  }
  // Running out of PEM blocks ends the loop with "no start line"; anything else is a
  // damaged block.
  const OpenSslErrors errors = TakeOpenSslErrors();
  if (!errors.codes.empty() && !IsEndOfPemData(errors)) {
    return Result::Fail("damaged certificate in " + file.string() + ": " + errors.text);
  }
  return certificates;
}

Outcome<X509Ptr> LoadCertificate(const std::filesystem::path& file) {
  auto certificates = LoadCertificates(file);
  if (!certificates) return Outcome<X509Ptr>::Fail(certificates.error());
  if (certificates->empty()) return Outcome<X509Ptr>::Fail("no certificate in " + file.string());
  return std::move(certificates->front());
}

Outcome<std::vector<X509Ptr>> LoadDirectoryCertificates(const std::filesystem::path& directory) {
  using Result = Outcome<std::vector<X509Ptr>>;
  std::error_code failure;
  std::vector<std::filesystem::path> files;
  for (std::filesystem::directory_iterator it(directory, failure), end; !failure && it != end;
       it.increment(failure)) {
    const std::string extension = it->path().extension().string();
    std::error_code notRegular;
    if ((extension == ".crt" || extension == ".pem") && it->is_regular_file(notRegular)) {
      files.push_back(it->path());
    }
  }
  if (failure) {
    return Result::Fail("cannot list " + directory.string() + ": " + failure.message());
  }
  std::sort(files.begin(), files.end());
  std::vector<X509Ptr> certificates;
  for (const auto& file : files) {
    auto loaded = LoadCertificates(file);
    if (!loaded) return Result::Fail(loaded.error());
    for (auto& certificate : *loaded) certificates.push_back(std::move(certificate));
  }
  return certificates;
}

}  // namespace quillora::engine
