// The whole road on a sandboxed security client: the control library registered from a
// directory of its own, created by ProgID, a proposal made, checked by the site's
// verifier and opened with the stock openssl command.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/run_command.h"
#include "tests/support/sandbox_fixture.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::BuiltProgram;
using testing::CommandResult;
using testing::RunCommand;
using testing::W;

const std::string kInput =
    W("<R><DROW oA='17' oG='3' oB='05-03-2002' lF='L-9'/>"
      "<OFFG gE='7' dG='Бумага' gC='10' gA='5' gF='50.00' PATH='\\Канцтовары\\'/></R>");

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() {
    // The control and its Base64 library installed in a directory of their own, so the
    // store it provides lives there too.
    fs::create_directories(installed_);
    for (const char* file : {"libquillora.so", "libsorlit.so"}) {
      fs::copy_file(BuiltProgram(file), installed_ / file);
    }
  }

  CommandResult Quillora(const std::vector<std::string>& args, const std::string& input = "") {
    return RunCommand(BuiltProgram("quillora"), args, input, {sandbox_.RegistryAssignment()});
  }

  std::string Library() const { return (installed_ / "libquillora.so").string(); }
  std::string Store() const {
    return testing::TempDir::Read((installed_ / "Quillora.xml").string());
  }

  testing::SandboxFixture sandbox_;
  fs::path installed_ = sandbox_.dir().path() / "control";
};

TEST_F(EndToEndTest, RegisterProposeVerifyAndOpenWithOpenssl) {
  const CommandResult registered = Quillora({"register", Library()});
  ASSERT_EQ(registered.status, 0) << registered.out << registered.err;
  EXPECT_EQ(registered.out, "DllRegisterServer 0x00000000\n");
  ASSERT_NE(Store().find("<GOODS_CLASSIFIER/><OFFERS/>"), std::string::npos);

  const CommandResult proposed = Quillora({"propose", "--dest", "srv1", "--yes"}, kInput);
  ASSERT_EQ(proposed.status, 0) << proposed.err;
  ASSERT_FALSE(proposed.out.empty());
  // The store keeps exactly the text the caller received.
  EXPECT_NE(Store().find("<OFFER ID=\"17\">" + proposed.out + "</OFFER>"), std::string::npos);

  const std::string result = sandbox_.dir().Write("result.b64", proposed.out);
  const CommandResult verified =
      Quillora({"verify", "--key", sandbox_.siteKey(), "--cert", sandbox_.siteCertificate(), "--ca",
                sandbox_.authority(), result});
  ASSERT_EQ(verified.status, 0) << verified.err;
  EXPECT_NE(verified.out.find("\"verified\": true"), std::string::npos);
  EXPECT_NE(verified.out.find("\"commonName\": \"supplier\""), std::string::npos);
  EXPECT_NE(verified.out.find("\"NM\": \"Бумага\""), std::string::npos);
  EXPECT_NE(verified.out.find("\"DT\": \"05/03/2002\""), std::string::npos);

  // A changed character anywhere fails the check.
  for (std::size_t at : {std::size_t{10}, proposed.out.size() / 2, proposed.out.size() - 3}) {
    std::string tampered = proposed.out;
    tampered[at] = tampered[at] == 'A' ? 'B' : 'A';
    const CommandResult rejected =
        Quillora({"verify", "--key", sandbox_.siteKey(), "--cert", sandbox_.siteCertificate(),
                  "--ca", sandbox_.authority()},
                 tampered);
    EXPECT_EQ(rejected.status, 1) << at;
    EXPECT_NE(rejected.err.find("error"), std::string::npos);
  }

  // Stock openssl opens the envelope with the site's key and finds the signed document.
  const std::string der = sandbox_.dir().Write("result.der", "");
  const CommandResult decoded = Quillora({"base64", "decode", result});
  ASSERT_EQ(decoded.status, 0);
  sandbox_.dir().Write("result.der", decoded.out);
  const CommandResult opened =
      RunCommand("/usr/bin/openssl", {"cms", "-decrypt", "-inform", "DER", "-in", der, "-recip",
                                      sandbox_.siteCertificate(), "-inkey", sandbox_.siteKey()});
  if (opened.status == 127) GTEST_SKIP() << "openssl is not installed";
  ASSERT_EQ(opened.status, 0) << opened.err;
  EXPECT_EQ(opened.out.rfind("<?xml version='1.0' encoding='windows-1251'?>\n<ZARN_ROOT>\n", 0),
            0u);
  EXPECT_NE(opened.out.find("\t<SIGN_PRIVATE>"), std::string::npos);
  EXPECT_EQ(opened.out.substr(opened.out.size() - 13), "</ZARN_ROOT>\n");

  const CommandResult unregistered = Quillora({"unregister", Library()});
  EXPECT_EQ(unregistered.status, 0);
  EXPECT_EQ(Quillora({"propose", "--dest", "srv1"}, kInput).status, 1);
}

TEST_F(EndToEndTest, CallObservesTheErrorRegisterAcrossCalls) {
  ASSERT_EQ(Quillora({"register", Library()}).status, 0);
  const CommandResult called =
      Quillora({"call", "LastError()", "DestLocation", "MakeEncProposal(<R><DROW/></R>)",
                "LastError()", "DestLocation=srv1", "DestLocation",
                "MakeEncProposal(@" + sandbox_.dir().Write("in.xml", kInput) + ")", "LastError()",
                "MakePreSignSeq(<A>t</A>, A)", "Manage(\"\")", "parseError"});
  ASSERT_EQ(called.status, 0) << called.err;
  EXPECT_EQ(called.out, "0\n\"\"\n\"\"\n-13\n\"srv1\"\n\"\"\n-13\nnull\nfalse\n0\n");

  const CommandResult refused = Quillora({"call", "parseError=1"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("0x800A017B"), std::string::npos);
}

TEST_F(EndToEndTest, CryptoCommandsRunThroughDiscovery) {
  const CommandResult encrypted = Quillora({"encrypt", "--dest", "srv1"}, "secret text");
  ASSERT_EQ(encrypted.status, 0) << encrypted.err;
  const CommandResult decrypted = Quillora({"decrypt", "--dest", "srv1"}, encrypted.out);
  ASSERT_EQ(decrypted.status, 0) << decrypted.err;
  EXPECT_EQ(decrypted.out, "secret text");
  const CommandResult signature = Quillora({"sign", "--dest", "srv1"}, "3|123");
  ASSERT_EQ(signature.status, 0) << signature.err;
  EXPECT_EQ(signature.out.find_first_not_of(
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            std::string::npos);

  EXPECT_EQ(Quillora({"sign", "--dest", "nowhere"}, "x").err.rfind("error -14:", 0), 0u);
  EXPECT_EQ(Quillora({"decrypt", "--dest", "srv1"}, "").err.rfind("error -18:", 0), 0u);
}

TEST_F(EndToEndTest, SandboxRunsAgainKeepingItsKeys) {
  const std::string key = testing::TempDir::Read(sandbox_.Path("halvane/keys/secret/supplier.key"));
  const CommandResult again = Quillora({"sandbox", sandbox_.dir().path().string()});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "export QUILLORA_REGISTRY=" + sandbox_.registry() + "\n");
  EXPECT_EQ(testing::TempDir::Read(sandbox_.Path("halvane/keys/secret/supplier.key")), key);
  EXPECT_EQ(fs::status(sandbox_.Path("site/site.key")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace quillora
