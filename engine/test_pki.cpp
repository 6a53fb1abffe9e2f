#include "engine/test_pki.h"

#include <openssl/x509.h>

#include "engine/engine_settings.h"
#include "engine/key_files.h"
#include "engine/openssl_errors.h"
#include "engine/secure_files.h"

namespace quillora::site {
namespace {

using engine::EvpPkeyPtr;
using engine::Outcome;
using engine::Status;
using engine::X509Ptr;

constexpr mode_t kSecretFileMode = 0600;
constexpr mode_t kPublicFileMode = 0644;
constexpr mode_t kPrivateDirectoryMode = 0700;
constexpr mode_t kPublicDirectoryMode = 0755;

bool Exists(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

class PkiBuilder {
 public:
  explicit PkiBuilder(const TestPkiRequest& request) : request_(request) {}

  Outcome<EvpPkeyPtr> EnsureKey(const std::filesystem::path& file) {
    if (Exists(file)) return engine::LoadPrivateKey(file);
    auto key = engine::GenerateKey(request_.keyKind);
    if (!key) return key;
    auto pem = engine::PrivateKeyPem(key->get());
    if (!pem) return Outcome<EvpPkeyPtr>::Fail(pem.error());
    const Status written = engine::WriteNewFile(file, *pem, kSecretFileMode);
    OPENSSL_cleanse(pem->data(), pem->size());
    if (!written) return Outcome<EvpPkeyPtr>::Fail(written.error);
    created_.push_back(file);
    return key;
  }

  // The certificate of `file` for `key`, issued by `issuer` (the authority itself when
  // null) if the file is missing.
  Outcome<X509Ptr> EnsureCertificate(const std::filesystem::path& file, EVP_PKEY* key,
                                     const std::string& commonName, X509* issuer,
                                     EVP_PKEY* issuerKey) {
    using Result = Outcome<X509Ptr>;
    if (Exists(file)) {
      auto kept = engine::LoadCertificate(file);
      if (!kept) return kept;
      if (Status fits = CheckKept(file, kept->get(), key, issuer ? issuerKey : key); !fits) {
        return Result::Fail(fits.error);
      }
      return kept;
    }
    engine::CertificateRequest certificateRequest;
    certificateRequest.subjectKey = key;
    certificateRequest.commonName = commonName;
    certificateRequest.authority = issuer == nullptr;
    certificateRequest.issuer = issuer;
    certificateRequest.issuerKey = issuerKey;
    auto issued = engine::IssueCertificate(certificateRequest);
    if (!issued) return issued;
    if (Status written = WriteCertificate(file, issued->get()); !written) {
      return Result::Fail(written.error);
    }
    return issued;
  }

  Status WriteCertificate(const std::filesystem::path& file, X509* certificate) {
    auto pem = engine::CertificatePem(certificate);
    if (!pem) return Status::Fail(pem.error());
    Status written = engine::WriteNewFile(file, *pem, kPublicFileMode);
    if (written) created_.push_back(file);
    return written;
  }

  std::vector<std::filesystem::path> TakeCreated() { return std::move(created_); }

 private:
  static Status CheckKept(const std::filesystem::path& file, X509* certificate, EVP_PKEY* key,
                          EVP_PKEY* issuerKey) {
    engine::OpenSslErrorScope scope;
    if (X509_check_private_key(certificate, key) != 1) {
      return Status::Fail(file.string() +
                          " does not belong to its key; remove it to have it issued again");
    }
    if (X509_verify(certificate, issuerKey) != 1) {
      return Status::Fail(file.string() +
                          " was not issued by the test authority; remove it to have it "
                          "issued again");
    }
    return {};
  }

  const TestPkiRequest& request_;
  std::vector<std::filesystem::path> created_;
};

TestPkiResult Failure(std::string error, TestPkiPaths paths,
                      std::vector<std::filesystem::path> created) {
  return {false, std::move(error), std::move(paths), std::move(created)};
}

}  // namespace

TestPkiPaths TestPkiLayout(const TestPkiRequest& request) {
  TestPkiPaths paths;
  paths.authorityKey = request.dir / "ca" / "ca.key";
  paths.authorityCertificate = request.dir / "ca" / "ca.crt";
  paths.userKey = request.secretKeyDir / (request.userName + ".key");
  paths.userCertificate = request.publicKeyDir / (request.userName + ".crt");
  paths.siteKey = request.dir / "site" / "site.key";
  paths.siteCertificate = request.dir / "site" / "site.crt";
  if (request.publishSiteCertificate) {
    paths.publishedSiteCertificate = request.publicKeyDir / "site.crt";
  }
  return paths;
}

TestPkiResult CreateTestPki(const TestPkiRequest& request) {
  const TestPkiPaths paths = TestPkiLayout(request);
  if (!engine::IsPlainFileName(request.userName)) {
    return Failure("user name \"" + request.userName + "\" cannot name a key file", paths, {});
  }
  if (request.publishSiteCertificate && paths.publishedSiteCertificate == paths.userCertificate) {
    return Failure("the user's certificate and the site's published certificate would share " +
                       paths.userCertificate.string(),
                   paths, {});
  }
  for (const auto& [directory, mode] :
       {std::pair{paths.authorityKey.parent_path(), kPrivateDirectoryMode},
        std::pair{paths.siteKey.parent_path(), kPrivateDirectoryMode},
        std::pair{request.secretKeyDir, kPrivateDirectoryMode},
        std::pair{request.publicKeyDir, kPublicDirectoryMode}}) {
    if (Status made = engine::EnsureDirectory(directory, mode); !made) {
      return Failure(made.error, paths, {});
    }
  }

  PkiBuilder builder(request);
  auto fail = [&](const std::string& error) {
    return Failure(error, paths, builder.TakeCreated());
  };

  auto authorityKey = builder.EnsureKey(paths.authorityKey);
  if (!authorityKey) return fail(authorityKey.error());
  auto authority = builder.EnsureCertificate(paths.authorityCertificate, authorityKey->get(),
                                             request.authorityCommonName, nullptr, nullptr);
  if (!authority) return fail(authority.error());

  struct Member {
    const std::filesystem::path& key;
    const std::filesystem::path& certificate;
    std::string commonName;
  };
  const Member members[] = {
      {paths.userKey, paths.userCertificate,
       request.userCommonName.empty() ? request.userName : request.userCommonName},
      {paths.siteKey, paths.siteCertificate, request.siteCommonName},
  };
  for (const Member& member : members) {
    auto key = builder.EnsureKey(member.key);
    if (!key) return fail(key.error());
    auto certificate = builder.EnsureCertificate(member.certificate, key->get(), member.commonName,
                                                 authority->get(), authorityKey->get());
    if (!certificate) return fail(certificate.error());
  }

  if (request.publishSiteCertificate) {
    auto site = engine::LoadCertificate(paths.siteCertificate);
    if (!site) return fail(site.error());
    if (!Exists(paths.publishedSiteCertificate)) {
      if (Status written = builder.WriteCertificate(paths.publishedSiteCertificate, site->get());
          !written) {
        return fail(written.error);
      }
    } else {
      auto published = engine::LoadCertificate(paths.publishedSiteCertificate);
      if (!published) return fail(published.error());
      if (X509_cmp(published->get(), site->get()) != 0) {
        return fail(paths.publishedSiteCertificate.string() + " is not the site's certificate " +
                    paths.siteCertificate.string() + "; remove it to have it published again");
      }
    }
  }
  return {true, {}, paths, builder.TakeCreated()};
}

}  // namespace quillora::site
