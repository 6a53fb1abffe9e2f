#include "engine/engine_settings.h"

#include <openssl/x509v3.h>

#include <algorithm>
#include <filesystem>

#include "engine/key_files.h"

namespace quillora::engine {
namespace {

Outcome<std::filesystem::path> UserFile(const std::string& directory, const std::string& userName,
                                        const char* extension, const char* what) {
  if (!IsPlainFileName(userName)) {
    return Outcome<std::filesystem::path>::Fail("user name \"" + userName +
                                                "\" cannot name a key file");
  }
  if (directory.empty())
    return Outcome<std::filesystem::path>::Fail(std::string(what) + " not set");
  return std::filesystem::path(directory) / (userName + extension);
}

bool IsCertificateAuthority(X509* certificate) {
  return (X509_get_extension_flags(certificate) & EXFLAG_CA) != 0;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

Outcome<X509Ptr> LoadUserCertificate(const EngineSettings& settings) {
  auto file = UserFile(settings.publicKeyDir, settings.userName, ".crt", "public key directory");
  if (!file) return Outcome<X509Ptr>::Fail(file.error());
  return LoadCertificate(*file);
}

Outcome<UserKeys> LoadUserKeys(const EngineSettings& settings) {
  auto keyFile = UserFile(settings.secretKeyDir, settings.userName, ".key", "secret key directory");
  if (!keyFile) return Outcome<UserKeys>::Fail(keyFile.error());
  auto certificate = LoadUserCertificate(settings);
  if (!certificate) return Outcome<UserKeys>::Fail(certificate.error());
  auto key = LoadPrivateKey(*keyFile);
  if (!key) return Outcome<UserKeys>::Fail(key.error());
  if (X509_check_private_key(certificate->get(), key->get()) != 1) {
    return Outcome<UserKeys>::Fail("the key in " + keyFile->string() +
                                   " does not belong to the user's certificate");
  }
  return UserKeys{std::move(*certificate), std::move(*key)};
}

Outcome<std::vector<X509Ptr>> LoadRecipients(const EngineSettings& settings) {
  using Result = Outcome<std::vector<X509Ptr>>;
  auto own = LoadUserCertificate(settings);
  if (!own) return Result::Fail(own.error());
  auto directory = LoadDirectoryCertificates(settings.publicKeyDir);
  if (!directory) return Result::Fail(directory.error());
  std::vector<X509Ptr> recipients;
  recipients.push_back(std::move(*own));
  for (auto& certificate : *directory) {
    if (IsCertificateAuthority(certificate.get())) continue;
    const bool known = std::any_of(recipients.begin(), recipients.end(), [&](const X509Ptr& kept) {
      return X509_cmp(kept.get(), certificate.get()) == 0;
    });
    if (!known) recipients.push_back(std::move(certificate));
  }
  return recipients;
}

}  // namespace quillora::engine
