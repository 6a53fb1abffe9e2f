// The test certificate authority and its key pairs, made once and kept.
#include "engine/test_pki.h"

#include <openssl/x509v3.h>
#include <sys/stat.h>

#include "engine/key_files.h"
#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

using engine::X509Ptr;

mode_t Mode(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

class TestPkiTest : public ::testing::TestWithParam<site::KeyKind> {
 protected:
  site::TestPkiRequest Request() const {
    site::TestPkiRequest request;
    request.dir = root_.path() / "sandbox";
    request.secretKeyDir = root_.path() / "sandbox" / "secret";
    request.publicKeyDir = root_.path() / "sandbox" / "public";
    request.userName = "petrov";
    request.keyKind = GetParam();
    return request;
  }
  static X509Ptr Certificate(const std::filesystem::path& file) {
    auto certificate = engine::LoadCertificate(file);
    EXPECT_TRUE(certificate) << certificate.error();
    return certificate ? std::move(*certificate) : nullptr;
  }
  TempDir root_;
};

TEST_P(TestPkiTest, CreatesTheAuthorityAndTwoPairsItIssued) {
  const site::TestPkiResult result = site::CreateTestPki(Request());
  ASSERT_TRUE(result.ok) << result.error;
  const site::TestPkiPaths& paths = result.paths;
  EXPECT_EQ(paths.authorityKey, root_.path() / "sandbox/ca/ca.key");
  EXPECT_EQ(paths.userKey, root_.path() / "sandbox/secret/petrov.key");
  EXPECT_EQ(paths.userCertificate, root_.path() / "sandbox/public/petrov.crt");
  EXPECT_EQ(paths.siteCertificate, root_.path() / "sandbox/site/site.crt");
  EXPECT_EQ(result.created.size(), 7u);

  for (const auto& key : {paths.authorityKey, paths.userKey, paths.siteKey}) {
    EXPECT_EQ(Mode(key), 0600u) << key;
    auto loaded = engine::LoadPrivateKey(key);
    ASSERT_TRUE(loaded) << loaded.error();
    EXPECT_EQ(EVP_PKEY_get_base_id(loaded->get()),
              GetParam() == site::KeyKind::kEc ? EVP_PKEY_EC : EVP_PKEY_RSA);
  }
  EXPECT_EQ(Mode(paths.userKey.parent_path()), 0700u);

  X509Ptr authority = Certificate(paths.authorityCertificate);
  X509Ptr user = Certificate(paths.userCertificate);
  X509Ptr site = Certificate(paths.siteCertificate);
  ASSERT_TRUE(authority && user && site);
  EXPECT_EQ(X509_cmp(site.get(), Certificate(paths.publishedSiteCertificate).get()), 0);

  // The authority is one, the others are not, and both chain to it.
  EXPECT_EQ(X509_check_ca(authority.get()), 1);
  EXPECT_TRUE(X509_get_key_usage(authority.get()) & KU_KEY_CERT_SIGN);
  const uint32_t endEntityUsage = KU_DIGITAL_SIGNATURE | KU_KEY_AGREEMENT |
                                  (GetParam() == site::KeyKind::kRsa ? KU_KEY_ENCIPHERMENT : 0);
  engine::X509StorePtr store(X509_STORE_new());
  X509_STORE_add_cert(store.get(), authority.get());
  for (X509* member : {user.get(), site.get()}) {
    EXPECT_EQ(X509_check_ca(member), 0);
    EXPECT_TRUE(X509_get_extension_flags(member) & EXFLAG_BCONS) << "CA:FALSE is written";
    EXPECT_EQ(X509_get_key_usage(member), endEntityUsage);
    EXPECT_EQ(X509_get_signature_nid(member), GetParam() == site::KeyKind::kEc
                                                  ? NID_ecdsa_with_SHA256
                                                  : NID_sha256WithRSAEncryption);
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> context(X509_STORE_CTX_new(),
                                                                            X509_STORE_CTX_free);
    X509_STORE_CTX_init(context.get(), store.get(), member, nullptr);
    EXPECT_EQ(X509_verify_cert(context.get()), 1)
        << X509_verify_cert_error_string(X509_STORE_CTX_get_error(context.get()));
    // Ten years, give or take the leap days.
    int days = 0, seconds = 0;
    ASSERT_EQ(
        ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(member), X509_get0_notAfter(member)),
        1);
    EXPECT_EQ(days, 3650);
  }
}

TEST_P(TestPkiTest, SecondRunKeepsEverything) {
  const site::TestPkiResult first = site::CreateTestPki(Request());
  ASSERT_TRUE(first.ok) << first.error;
  const std::string userKey = ReadFile(first.paths.userKey);
  const std::string authority = ReadFile(first.paths.authorityCertificate);
  const site::TestPkiResult second = site::CreateTestPki(Request());
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_TRUE(second.created.empty());
  EXPECT_EQ(ReadFile(second.paths.userKey), userKey);
  EXPECT_EQ(ReadFile(second.paths.authorityCertificate), authority);
}

TEST_P(TestPkiTest, MissingCertificateIsIssuedAgainForTheKeptKey) {
  const site::TestPkiResult first = site::CreateTestPki(Request());
  ASSERT_TRUE(first.ok) << first.error;
  const std::string userKey = ReadFile(first.paths.userKey);
  std::filesystem::remove(first.paths.userCertificate);
  const site::TestPkiResult second = site::CreateTestPki(Request());
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_EQ(second.created, std::vector{first.paths.userCertificate});
  EXPECT_EQ(ReadFile(second.paths.userKey), userKey);
  auto key = engine::LoadPrivateKey(second.paths.userKey);
  ASSERT_TRUE(key);
  EXPECT_EQ(X509_check_private_key(Certificate(second.paths.userCertificate).get(), key->get()), 1);
}

TEST_P(TestPkiTest, CertificatesThatNoLongerFitAreReportedNotReplaced) {
  const site::TestPkiResult first = site::CreateTestPki(Request());
  ASSERT_TRUE(first.ok) << first.error;
  const site::TestPkiPaths& paths = first.paths;
  const struct {
    const char* name;
    std::filesystem::path removed;
    std::filesystem::path reported;
    // What has to go before the set is whole again.
    std::vector<std::filesystem::path> stale;
  } cases[] = {
      // A new key would not fit the kept certificate.
      {"user key lost", paths.userKey, paths.userCertificate, {paths.userCertificate}},
      // A new authority would not have issued the kept certificates.
      {"authority lost",
       paths.authorityCertificate.parent_path(),
       paths.userCertificate,
       {paths.userCertificate, paths.siteCertificate, paths.publishedSiteCertificate}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(c.removed);
    const std::string kept = ReadFile(c.reported);
    const site::TestPkiResult result = site::CreateTestPki(Request());
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_NE(result.error.find(c.reported.string()), std::string::npos) << result.error;
    EXPECT_EQ(ReadFile(c.reported), kept) << c.name;
    for (const auto& file : c.stale) std::filesystem::remove(file);
    const site::TestPkiResult repaired = site::CreateTestPki(Request());
    ASSERT_TRUE(repaired.ok) << c.name << ": " << repaired.error;
  }
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, TestPkiTest,
                         ::testing::Values(site::KeyKind::kEc, site::KeyKind::kRsa), KindName);

TEST(TestPkiRequestTest, UserNamesThatAreNoFileNamesAreRefused) {
  TempDir root;
  for (const std::string name : {"", ".", "..", "../x", "a/b", "site"}) {
    site::TestPkiRequest request;
    request.dir = root.path();
    request.secretKeyDir = root.path() / "secret";
    request.publicKeyDir = root.path() / "public";
    request.userName = name;
    EXPECT_FALSE(site::CreateTestPki(request).ok) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(root.path() / "ca")) << "nothing made for a bad request";
}

}  // namespace
}  // namespace quillora::testing
