// Signatures and envelopes made through the engine library's C entry points and checked
// with the site's checks, for both kinds of keys.
#include <openssl/cms.h>

#include "engine/site_decrypt.h"
#include "engine/site_verify.h"
#include "engine/subject_names.h"
#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

using namespace std::string_literals;

// The pre-sign sequences are Windows-1251 bytes: text with Cyrillic letters in that code
// page, zero bytes and line ends must be signed and sealed exactly as they are.
const std::string kSequence = "2|12\xc8\xe2\xe0\xed\xee\xe2|\r\n\0\xff"s;

using RoundTripTest = EngineTest;

TEST_P(RoundTripTest, SignatureVerifiesAtTheSiteOverExactlyTheSignedBytes) {
  UserHandle user(engine_, keys());
  const SignOutcome signed_ = user.Sign(kSequence);
  ASSERT_EQ(signed_.status, 0);

  const site::VerifyResult verified = site::VerifyDetachedSignature(
      signed_.signature, kSequence, keys().paths.authorityCertificate);
  ASSERT_TRUE(verified.ok) << verified.error;
  EXPECT_EQ(verified.commonName, kUserCommonName);
  // The comma in the name is escaped, as in any distinguished name written on one line.
  EXPECT_EQ(verified.subject,
            "CN=A Иванов Иван Иванович\\, поставщик канцелярских товаров и бумаги");

  // One changed byte, one byte more, a line end converted: none of them was signed.
  std::string flipped = kSequence;
  flipped[3] ^= 0x01;
  for (const std::string& other : {flipped, kSequence + " ", std::string("2|12\n")}) {
    const site::VerifyResult result =
        site::VerifyDetachedSignature(signed_.signature, other, keys().paths.authorityCertificate);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("does not match the content"), std::string::npos) << result.error;
  }
}

TEST_P(RoundTripTest, AlteredSignatureIsRejected) {
  UserHandle user(engine_, keys());
  const SignOutcome signed_ = user.Sign(kSequence);
  ASSERT_EQ(signed_.status, 0);
  // The signature value is the last thing in the structure.
  std::string altered = signed_.signature;
  altered[altered.size() - 2] ^= 0x40;
  const site::VerifyResult result =
      site::VerifyDetachedSignature(altered, kSequence, keys().paths.authorityCertificate);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
}

TEST_P(RoundTripTest, EnvelopeOpensForTheUserAndForTheSite) {
  UserHandle user(engine_, keys());
  const CodecOutcome sealed = user.Encode(kSequence);
  ASSERT_EQ(sealed.status, 0);
  EXPECT_EQ(sealed.bytes.find("\xc8\xe2\xe0\xed\xee\xe2"), std::string::npos) << "not encrypted";

  const CodecOutcome opened = user.Decode(sealed.bytes);
  ASSERT_EQ(opened.status, 0);
  EXPECT_EQ(opened.bytes, kSequence);

  const site::DecryptResult atSite =
      site::DecryptEnvelope(sealed.bytes, keys().paths.siteKey, keys().paths.siteCertificate);
  ASSERT_TRUE(atSite.ok) << atSite.error;
  EXPECT_EQ(atSite.content, kSequence);
}

TEST_P(RoundTripTest, UidIsTheCommonNameCutToTheLimitWithoutSplittingALetter) {
  UserHandle user(engine_, keys());
  const int32_t limit = engine_.maxUid(user.handle());
  ASSERT_EQ(limit, 64);
  const CodecOutcome opened = user.Decode(user.Encode("x").bytes);
  ASSERT_EQ(opened.status, 0);
  // The name is longer than the limit and its 64th byte is the first half of a letter,
  // which must not be left dangling.
  ASSERT_GT(kUserCommonName.size(), 64u);
  ASSERT_EQ(static_cast<unsigned char>(kUserCommonName[63]) & 0xC0, 0xC0);
  EXPECT_EQ(opened.uid, kUserCommonName.substr(0, 63));
}

TEST_P(RoundTripTest, AlteredEnvelopeIsRejectedAndTheBufferKept) {
  UserHandle user(engine_, keys());
  const CodecOutcome sealed = user.Encode(kSequence);
  ASSERT_EQ(sealed.status, 0);
  // The content is the last thing before the 16-byte tag (with its 2-byte header).
  std::string ciphertext = sealed.bytes;
  ciphertext[ciphertext.size() - 20] ^= 0x01;
  std::string tag = sealed.bytes;
  tag.back() ^= 0x01;
  const std::string cut = sealed.bytes.substr(0, sealed.bytes.size() - 1);
  const std::string longer = sealed.bytes + '\0';
  for (const std::string& altered : {ciphertext, tag, cut, longer}) {
    std::vector<unsigned char> buffer(altered.begin(), altered.end());
    int32_t length = static_cast<int32_t>(buffer.size());
    char uid[65] = "untouched";
    EXPECT_NE(engine_.decode(user.handle(), buffer.data(), &length, uid), 0);
    EXPECT_TRUE(SameBytes(std::string(buffer.begin(), buffer.end()), altered));
    EXPECT_EQ(length, static_cast<int32_t>(altered.size()));
    EXPECT_STREQ(uid, "untouched");
    EXPECT_FALSE(
        site::DecryptEnvelope(altered, keys().paths.siteKey, keys().paths.siteCertificate).ok);
  }
}

TEST_P(RoundTripTest, ResultsStayWithinTheAnnouncedMaxima) {
  UserHandle user(engine_, keys());
  const int32_t maxSignature = engine_.maxSignature(user.handle());
  const int32_t maxAddition = engine_.maxAddition(user.handle());
  ASSERT_GT(maxSignature, 0);
  ASSERT_GT(maxAddition, 0);
  for (size_t length : {0, 1, 15, 16, 17, 1000, 100000}) {
    const std::string data = Bytes(length);
    const SignOutcome signed_ = user.Sign(data);
    ASSERT_EQ(signed_.status, 0) << length;
    EXPECT_LE(signed_.signature.size(), static_cast<size_t>(maxSignature)) << length;
    const CodecOutcome sealed = user.Encode(data);
    ASSERT_EQ(sealed.status, 0) << length;
    EXPECT_LE(sealed.bytes.size(), length + maxAddition) << length;
    // Honest, but not so loose that the control would allocate far too much.
    EXPECT_LT(length + maxAddition - sealed.bytes.size(), 1024u) << length;
    EXPECT_LT(static_cast<size_t>(maxSignature) - signed_.signature.size(), 1024u) << length;
    EXPECT_TRUE(SameBytes(user.Decode(sealed.bytes).bytes, data)) << length;
  }
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, RoundTripTest,
                         ::testing::Values(site::KeyKind::kEc, site::KeyKind::kRsa), KindName);

}  // namespace
}  // namespace quillora::testing
