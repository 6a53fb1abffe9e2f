#include "engine/site_decrypt.h"

#include "engine/cms_envelope.h"
#include "engine/key_files.h"
#include "engine/openssl_errors.h"

namespace quillora::site {
namespace {

DecryptResult Failure(std::string error) {
  return {false, std::move(error), {}};
}

}  // namespace

DecryptResult DecryptEnvelope(std::string_view der, const std::filesystem::path& keyFile,
                              const std::filesystem::path& certificateFile) {
  auto certificate = engine::LoadCertificate(certificateFile);
  if (!certificate) return Failure(certificate.error());
  auto key = engine::LoadPrivateKey(keyFile);
  if (!key) return Failure(key.error());
  engine::OpenSslErrorScope scope;
  if (X509_check_private_key(certificate->get(), key->get()) != 1) {
    return Failure("the key in " + keyFile.string() + " does not belong to the certificate in " +
                   certificateFile.string());
  }
  auto content = engine::OpenEnvelope(der, key->get(), certificate->get());
  if (!content) return Failure(content.error());
  return {true, {}, std::move(*content)};
}

}  // namespace quillora::site
