// The stock openssl command, as a procurement site would use it, accepts what the engine
// makes.
#include <cstdlib>

#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

bool HaveOpenSslCommand() {
  return std::system("command -v openssl >/dev/null 2>&1") == 0;
}

// Runs a command with its output in `log`; true when it exits with 0.
bool RunCommand(const std::string& command, const std::string& log) {
  return std::system((command + " >'" + log + "' 2>&1").c_str()) == 0;
}

std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

class OpenSslCommandTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!HaveOpenSslCommand()) GTEST_SKIP() << "no openssl command";
  }
  TempDir work_;
};

TEST_P(OpenSslCommandTest, VerifiesTheSignatureOverTheExactBytes) {
  const std::string data = "5|\xcf\xf0\xe8\xe2\xe5\xf2\r\n0|";
  UserHandle user(engine_, keys());
  const SignOutcome signed_ = user.Sign(data);
  ASSERT_EQ(signed_.status, 0);
  const std::string signature = work_.Write("signature.der", signed_.signature);
  const std::string content = work_.Write("content.bin", data);
  const std::string altered = work_.Write("altered.bin", data + "\n");
  const std::string verify = "openssl cms -verify -binary -inform DER -in " + signature +
                             " -CAfile " + Quoted(keys().paths.authorityCertificate) +
                             " -out /dev/null -content ";
  EXPECT_TRUE(RunCommand(verify + content, work_.File("log"))) << TempDir::Read(work_.File("log"));
  EXPECT_FALSE(RunCommand(verify + altered, work_.File("log")));
}

TEST_P(OpenSslCommandTest, DecryptsTheEnvelopeAsSiteAndAsUser) {
  const std::string data = Bytes(3000);
  UserHandle user(engine_, keys());
  const CodecOutcome sealed = user.Encode(data);
  ASSERT_EQ(sealed.status, 0);
  const std::string envelope = work_.Write("envelope.der", sealed.bytes);
  const struct {
    std::filesystem::path certificate, key;
  } recipients[] = {{keys().paths.siteCertificate, keys().paths.siteKey},
                    {keys().paths.userCertificate, keys().paths.userKey}};
  for (const auto& recipient : recipients) {
    const std::string out = work_.File("out.bin");
    ASSERT_TRUE(RunCommand("openssl cms -decrypt -inform DER -in " + envelope + " -recip " +
                               Quoted(recipient.certificate) + " -inkey " + Quoted(recipient.key) +
                               " -out " + out,
                           work_.File("log")))
        << TempDir::Read(work_.File("log"));
    EXPECT_TRUE(SameBytes(TempDir::Read(out), data));
  }
  // What openssl reports of the structure names the algorithms the site must support.
  ASSERT_TRUE(
      RunCommand("openssl cms -cmsout -print -inform DER -in " + envelope, work_.File("dump")));
  const std::string dump = TempDir::Read(work_.File("dump"));
  EXPECT_NE(dump.find("aes-256-gcm"), std::string::npos);
  EXPECT_NE(dump.find(GetParam() == site::KeyKind::kEc ? "dhSinglePass-stdDH-sha256kdf-scheme"
                                                       : "rsaesOaep"),
            std::string::npos)
      << dump;
  EXPECT_EQ(dump.find("sha1"), std::string::npos) << dump;
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, OpenSslCommandTest,
                         ::testing::Values(site::KeyKind::kEc, site::KeyKind::kRsa), KindName);

}  // namespace
}  // namespace quillora::testing
