// Who an envelope is made for, and with which algorithms.
#include <openssl/cms.h>
#include <openssl/x509.h>

#include "engine/openssl_ptr.h"
#include "engine/site_decrypt.h"
#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

engine::CmsPtr ParseCms(const std::string& der) {
  const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
  return engine::CmsPtr(d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(der.size())));
}

int RecipientCount(const std::string& der) {
  engine::CmsPtr cms = ParseCms(der);
  return cms ? sk_CMS_RecipientInfo_num(CMS_get0_RecipientInfos(cms.get())) : -1;
}

class RecipientTest : public EngineTest {
 protected:
  // Keys of this test's own, since the test changes the public key directory.
  TestKeys own_{GetParam()};
};

TEST_P(RecipientTest, AlgorithmsAreAuthenticatedAesAndSha256KeyTransport) {
  const std::string der = UserHandle(engine_, own_).Encode("text").bytes;
  engine::CmsPtr cms = ParseCms(der);
  ASSERT_TRUE(cms);
  EXPECT_EQ(OBJ_obj2nid(CMS_get0_type(cms.get())), NID_id_smime_ct_authEnvelopedData);
  STACK_OF(CMS_RecipientInfo)* recipients = CMS_get0_RecipientInfos(cms.get());
  ASSERT_EQ(sk_CMS_RecipientInfo_num(recipients), 2);
  for (int i = 0; i < 2; ++i) {
    CMS_RecipientInfo* recipient = sk_CMS_RecipientInfo_value(recipients, i);
    if (GetParam() == site::KeyKind::kEc) {
      ASSERT_EQ(CMS_RecipientInfo_type(recipient), CMS_RECIPINFO_AGREE);
      X509_ALGOR* algorithm = nullptr;
      ASN1_OCTET_STRING* ukm = nullptr;
      ASSERT_EQ(CMS_RecipientInfo_kari_get0_alg(recipient, &algorithm, &ukm), 1);
      const ASN1_OBJECT* oid = nullptr;
      X509_ALGOR_get0(&oid, nullptr, nullptr, algorithm);
      EXPECT_EQ(OBJ_obj2nid(oid), NID_dhSinglePass_stdDH_sha256kdf_scheme);
    } else {
      ASSERT_EQ(CMS_RecipientInfo_type(recipient), CMS_RECIPINFO_TRANS);
      X509_ALGOR* algorithm = nullptr;
      ASSERT_EQ(CMS_RecipientInfo_ktri_get0_algs(recipient, nullptr, nullptr, &algorithm), 1);
      const ASN1_OBJECT* oid = nullptr;
      X509_ALGOR_get0(&oid, nullptr, nullptr, algorithm);
      EXPECT_EQ(OBJ_obj2nid(oid), NID_rsaesOaep);
    }
  }
}

TEST_P(RecipientTest, AuthoritiesAndRepeatedCertificatesAreLeftOut) {
  const auto publicDir = std::filesystem::path(own_.publicKeyDir());
  std::filesystem::copy_file(own_.paths.authorityCertificate, publicDir / "ca.crt");
  std::filesystem::copy_file(own_.paths.userCertificate, publicDir / "me-again.pem");
  // A PEM file with only a key in it holds no certificate and is passed over.
  std::filesystem::copy_file(own_.paths.siteKey, publicDir / "stray-key.pem");
  UserHandle user(engine_, own_);
  const CodecOutcome sealed = user.Encode("text");
  ASSERT_EQ(sealed.status, 0);
  EXPECT_EQ(RecipientCount(sealed.bytes), 2);
}

TEST_P(RecipientTest, EveryEndEntityCertificateInThePublicDirectoryCanOpen) {
  // A second site, of its own authority, published beside the first.
  const TestKeys other(GetParam());
  std::filesystem::copy_file(other.paths.siteCertificate,
                             std::filesystem::path(own_.publicKeyDir()) / "second-site.crt");
  UserHandle user(engine_, own_);
  const CodecOutcome sealed = user.Encode("for three");
  ASSERT_EQ(sealed.status, 0);
  EXPECT_EQ(RecipientCount(sealed.bytes), 3);
  EXPECT_LE(sealed.bytes.size(), 9 + static_cast<size_t>(engine_.maxAddition(user.handle())));
  EXPECT_EQ(
      site::DecryptEnvelope(sealed.bytes, other.paths.siteKey, other.paths.siteCertificate).content,
      "for three");
  EXPECT_EQ(user.Decode(sealed.bytes).bytes, "for three");
}

TEST_P(RecipientTest, DamagedCertificateInThePublicDirectoryFailsEncryption) {
  // Leaving it out could leave the site unable to read what was sent.
  std::string damaged = ReadFile(own_.paths.siteCertificate);
  damaged[damaged.size() / 2] = '*';
  own_.root.Write("public/broken.crt", damaged);
  UserHandle user(engine_, own_);
  EXPECT_EQ(engine_.maxAddition(user.handle()), 0);
  int32_t length = 4;
  unsigned char buffer[8192] = "text";
  EXPECT_NE(engine_.encode(user.handle(), buffer, &length, 0), 0);
  EXPECT_EQ(length, 4);
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, RecipientTest,
                         ::testing::Values(site::KeyKind::kEc, site::KeyKind::kRsa), KindName);

}  // namespace
}  // namespace quillora::testing
