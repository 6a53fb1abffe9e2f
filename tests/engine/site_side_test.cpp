// The site's side says clearly why a signature or an envelope is not accepted.
#include "engine/cms_envelope.h"
#include "engine/cms_signing.h"
#include "engine/key_files.h"
#include "engine/site_decrypt.h"
#include "engine/site_verify.h"
#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

class SiteSideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.Complete()) << engine_.library.LoadError();
    UserHandle user(engine_, keys_);
    signature_ = user.Sign(content_).signature;
    envelope_ = user.Encode(content_).bytes;
    ASSERT_FALSE(signature_.empty());
    ASSERT_FALSE(envelope_.empty());
  }
  const TestKeys& keys_ = SharedKeys(site::KeyKind::kEc);
  const TestKeys& otherKeys_ = SharedKeys(site::KeyKind::kRsa);
  EngineLibrary engine_;
  std::string content_ = "3|abc";
  std::string signature_;
  std::string envelope_;
};

TEST_F(SiteSideTest, VerificationFailuresNameTheirCause) {
  const struct {
    const char* name;
    std::string signature;
    std::string content;
    std::filesystem::path ca;
    const char* expected;
  } cases[] = {
      {"wrong authority", signature_, content_, otherKeys_.paths.authorityCertificate,
       "not trusted"},
      {"end entity as authority", signature_, content_, keys_.paths.siteCertificate, "not trusted"},
      {"altered content", signature_, "3|abd", keys_.paths.authorityCertificate,
       "does not match the content"},
      {"not DER", "MIIB" + signature_, content_, keys_.paths.authorityCertificate,
       "not a DER-encoded CMS"},
      {"trailing bytes", signature_ + "x", content_, keys_.paths.authorityCertificate,
       "unexpected bytes"},
      {"empty", "", content_, keys_.paths.authorityCertificate, "not a DER-encoded CMS"},
      {"envelope, not signature", envelope_, content_, keys_.paths.authorityCertificate,
       "not a CMS SignedData"},
      {"missing authority file", signature_, content_, keys_.root.path() / "none.crt",
       "cannot open"},
      {"authority file without certificate", signature_, content_, keys_.paths.siteKey,
       "no certificate"},
  };
  for (const auto& c : cases) {
    const site::VerifyResult result = site::VerifyDetachedSignature(c.signature, c.content, c.ca);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_NE(result.error.find(c.expected), std::string::npos) << c.name << ": " << result.error;
    EXPECT_TRUE(result.commonName.empty()) << c.name;
  }
}

TEST_F(SiteSideTest, SignatureWithEmbeddedContentIsNotTakenForADetachedOne) {
  auto key = engine::LoadPrivateKey(keys_.paths.userKey);
  auto certificate = engine::LoadCertificate(keys_.paths.userCertificate);
  ASSERT_TRUE(key && certificate);
  engine::BioPtr in(BIO_new_mem_buf(content_.data(), static_cast<int>(content_.size())));
  engine::CmsPtr attached(CMS_sign(certificate->get(), key->get(), nullptr, in.get(), CMS_BINARY));
  ASSERT_TRUE(attached);
  unsigned char* der = nullptr;
  const int size = i2d_CMS_ContentInfo(attached.get(), &der);
  engine::OpenSslBytesPtr owned(der);
  const std::string signature(reinterpret_cast<char*>(der), static_cast<size_t>(size));
  const site::VerifyResult result =
      site::VerifyDetachedSignature(signature, content_, keys_.paths.authorityCertificate);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("detached"), std::string::npos) << result.error;
}

TEST_F(SiteSideTest, DecryptionFailuresNameTheirCause) {
  const struct {
    const char* name;
    std::string envelope;
    std::filesystem::path key, certificate;
    const char* expected;
  } cases[] = {
      {"someone else's envelope", envelope_, otherKeys_.paths.siteKey,
       otherKeys_.paths.siteCertificate, "not addressed to this certificate"},
      {"key of another certificate", envelope_, keys_.paths.userKey, keys_.paths.siteCertificate,
       "does not belong"},
      {"not DER", "garbage", keys_.paths.siteKey, keys_.paths.siteCertificate,
       "not a DER-encoded CMS"},
      {"signature, not envelope", signature_, keys_.paths.siteKey, keys_.paths.siteCertificate,
       "not an envelope"},
      {"missing key", envelope_, keys_.root.path() / "none.key", keys_.paths.siteCertificate,
       "cannot open"},
  };
  for (const auto& c : cases) {
    const site::DecryptResult result = site::DecryptEnvelope(c.envelope, c.key, c.certificate);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_NE(result.error.find(c.expected), std::string::npos) << c.name << ": " << result.error;
    EXPECT_TRUE(result.content.empty()) << c.name;
  }
}

TEST_F(SiteSideTest, AlteredEnvelopeGivesNoPartOfItsContent) {
  std::string altered = envelope_;
  altered.back() ^= 0x10;  // the authentication tag
  const site::DecryptResult result =
      site::DecryptEnvelope(altered, keys_.paths.siteKey, keys_.paths.siteCertificate);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("damaged or was altered"), std::string::npos) << result.error;
  EXPECT_TRUE(result.content.empty());
}

TEST_F(SiteSideTest, SiteKeyOpenToOthersIsRefused) {
  TestKeys keys(site::KeyKind::kEc);
  const std::string sealed = UserHandle(engine_, keys).Encode("x").bytes;
  ASSERT_EQ(chmod(keys.paths.siteKey.c_str(), 0644), 0);
  const site::DecryptResult result =
      site::DecryptEnvelope(sealed, keys.paths.siteKey, keys.paths.siteCertificate);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("chmod 600"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace quillora::testing
