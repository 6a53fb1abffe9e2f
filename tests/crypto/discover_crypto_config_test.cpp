#include "crypto/discover_crypto_config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "control/error_register.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/recording_pause.h"
#include "tests/support/temp_dir.h"

namespace quillora {

void PrintTo(const CCryptoConfig& c, std::ostream* os) {
  *os << "{InstallDir=[" << c.InstallDir << "] EncryptForUid=[" << c.EncryptForUid
      << "] WebServerHost=[" << c.WebServerHost << "] WebServerAddress=[" << c.WebServerAddress
      << "] CryptoEngine=[" << c.CryptoEngine << "] CompressMode=" << c.CompressMode
      << " MnemonicUserName=[" << c.MnemonicUserName << "] SecretKeyDir=[" << c.SecretKeyDir
      << "] PublicKeyDir=[" << c.PublicKeyDir << "] Language=[" << c.Language << "] ModuleDir=["
      << c.ModuleDir << "]}";
}

namespace {

using quillora::testing::ScopedEnv;
using quillora::testing::TempDir;

constexpr char kKeyLine[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvane]";

// Lines of a configuration file, each ended with CR LF.
std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string RegistryWith(const std::string& valueLine) {
  return CrLf({"REGEDIT4", "", kKeyLine, valueLine});
}

// The example configuration: every field gets a value from the srv1 sections.
const std::string kExample = CrLf(
    {"[Client\\Web servers\\srv1]", "web server host=sitehost", "web server address=siteaddr",
     "crypto engine=engine-id", "compress mode=1", "[Client\\Web servers\\srv1\\Crypto engine]",
     "Mnemonic user name=user1", "Public key directory=D:\\keys\\pub", "Secret key directory=A:\\",
     "Encrypt for UID=site-uid", "Language=ru"});

// A registry file that names an installation directory, both in a directory of their own.
struct Scene {
  Scene() {
    std::filesystem::create_directory(installDir);
    WriteRegistry(RegistryWith("\"InstallPath\"=\"" + installDir + "\""));
  }
  void WriteRegistry(const std::string& content) const { dir.Write("registry.reg", content); }
  void WriteConfig(const std::string& content) const { dir.Write("halvane/halvane.cfg", content); }

  TempDir dir;
  ScopedEnv registry{"QUILLORA_REGISTRY", dir.File("registry.reg")};
  std::string installDir = dir.File("halvane");
};

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() { config_.ModuleDir = "/module/"; }

  // The configuration the example gives, read from the scene's installation directory.
  CCryptoConfig ExampleConfig() const {
    CCryptoConfig c;
    c.InstallDir = scene_.installDir;
    c.WebServerHost = "sitehost";
    c.WebServerAddress = "siteaddr";
    c.CryptoEngine = "engine-id";
    c.CompressMode = 1;
    c.MnemonicUserName = "user1";
    c.PublicKeyDir = "D:\\keys\\pub";
    c.SecretKeyDir = "A:\\";
    c.EncryptForUid = "site-uid";
    c.Language = "ru";
    c.ModuleDir = "/module/";
    return c;
  }

  quillora::testing::QuietRuntime runtime_;
  Scene scene_;
  CCryptoConfig config_;
};

TEST_F(DiscoveryTest, ReadsTheExampleWithThreeMessages) {
  scene_.WriteConfig(kExample);
  ASSERT_TRUE(DiscoverCryptoConfig("srv1", config_));
  EXPECT_EQ(config_, ExampleConfig());
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
  EXPECT_EQ(runtime_.messages(),
            (std::vector<Text>{kRegistryMessage, kLookingMessage, kReadingMessage}));
  EXPECT_FALSE(runtime_.progress().IsVisible()) << "the window is not shown";
}

struct ConfigCase {
  const char* label;
  std::string file;
  std::function<void(CCryptoConfig&)> expect;  // changes from an all-empty configuration
};

TEST_F(DiscoveryTest, ReadsSectionsAndValuesAsTheFileHasThem) {
  const std::string padding(5000, ';');
  const std::vector<ConfigCase> cases = {
      {"a longer web server name that begins with the name is taken",
       CrLf({"[Client\\Web servers\\srv10]", "web server host=ten", "compress mode=10",
             "[Client\\Web servers\\srv1]", "web server host=one",
             "[Client\\Web servers\\srv1\\Crypto engine]", "Language=one-lang",
             "[Client\\Web servers\\srv10\\Crypto engine]", "Language=ten-lang"}),
       [](CCryptoConfig& c) {
         c.WebServerHost = "ten";
         c.CompressMode = 10;
         c.Language = "one-lang";
       }},
      {"the last section runs to the end of the file; no crypto engine section",
       CrLf({"[Client\\Web servers\\other]", "web server host=o", "[Client\\Web servers\\srv1]",
             "web server host=h", "", "", "crypto engine=late"}),
       [](CCryptoConfig& c) {
         c.WebServerHost = "h";
         c.CryptoEngine = "late";
       }},
      {"a key on the last line without a line end is empty",
       CrLf({"[Client\\Web servers\\srv1]", "web server host=h"}) + "crypto engine=e",
       [](CCryptoConfig& c) { c.WebServerHost = "h"; }},
      {"a key only in the next section is empty",
       CrLf({"[Client\\Web servers\\srv1]", "web server host=h", "[Client\\Web servers\\srv2]",
             "crypto engine=e"}),
       [](CCryptoConfig& c) { c.WebServerHost = "h"; }},
      {"key names are matched with their case, also against the section header",
       CrLf({"[Client\\Web servers\\srv1]", "Crypto Engine=wrong",
             "[Client\\Web servers\\srv1\\Crypto engine]", "language=wrong"}),
       [](CCryptoConfig&) {}},
      {"lines of the web server section",
       CrLf({"[Client\\Web servers\\srv1]", "secondary web server host=x", "web server host = h",
             "web server address\tsite", "compress mode= 12"}),
       [](CCryptoConfig& c) {
         c.WebServerHost = "x";
         c.WebServerAddress = "site";
         c.CompressMode = 12;
       }},
      {"compress mode that is no number is 0",
       CrLf({"[Client\\Web servers\\srv1]", "compress mode=abc"}), [](CCryptoConfig&) {}},
      {"compress mode out of range stops at the limit",
       CrLf({"[Client\\Web servers\\srv1]", "compress mode=99999999999"}),
       [](CCryptoConfig& c) { c.CompressMode = INT32_MAX; }},
      {"a key that ends its line does not take the next line",
       CrLf({"[Client\\Web servers\\srv1]", "web server host", "web server address=a"}),
       [](CCryptoConfig& c) { c.WebServerAddress = "a"; }},
      {"a zero byte ends the file",
       CrLf({"[Client\\Web servers\\srv1]", "web server host=h"}) + std::string(1, '\0') +
           CrLf({"crypto engine=hidden"}),
       [](CCryptoConfig& c) { c.WebServerHost = "h"; }},
      {"sections far into the file are found",
       CrLf({padding, "[Client\\Web servers\\srv1]", padding, "crypto engine=far",
             "[Client\\Web servers\\srv1\\Crypto engine]", padding, "Language=far"}),
       [](CCryptoConfig& c) {
         c.CryptoEngine = "far";
         c.Language = "far";
       }},
      {"lines that end with LF alone never end a value",
       "[Client\\Web servers\\srv1]\nweb server host=h\ncrypto engine=e\n", [](CCryptoConfig&) {}},
      {"the header can stand anywhere, in any brackets",
       CrLf({"x = \"Client\\Web servers\\srv1\"", "crypto engine=e"}),
       [](CCryptoConfig& c) { c.CryptoEngine = "e"; }},
  };
  for (const ConfigCase& c : cases) {
    SCOPED_TRACE(c.label);
    scene_.WriteConfig(c.file);
    // Every field is overwritten, except ModuleDir which is not discovered.
    CCryptoConfig config = ExampleConfig();
    ASSERT_TRUE(DiscoverCryptoConfig("srv1", config));
    CCryptoConfig expected;
    expected.InstallDir = scene_.installDir;
    expected.ModuleDir = "/module/";
    c.expect(expected);
    EXPECT_EQ(config, expected);
  }
}

TEST_F(DiscoveryTest, AcceptsAnInstallPathEndingWithASlash) {
  scene_.WriteRegistry(RegistryWith("\"InstallPath\"=\"" + scene_.installDir + "/\""));
  scene_.WriteConfig(kExample);
  ASSERT_TRUE(DiscoverCryptoConfig("srv1", config_));
  EXPECT_EQ(config_.InstallDir, scene_.installDir + "/");
}

TEST_F(DiscoveryTest, ReadsThroughARegistryFileItMayNotWrite) {
  scene_.WriteConfig(kExample);
  chmod(scene_.dir.File("registry.reg").c_str(), 0444);
  ASSERT_TRUE(DiscoverCryptoConfig("srv1", config_));
  EXPECT_EQ(config_.InstallDir, scene_.installDir);
}

TEST_F(DiscoveryTest, DoesNothingWhileAnErrorIsRecorded) {
  scene_.WriteConfig(kExample);
  RecordError(-3);
  const CCryptoConfig before = config_;
  EXPECT_FALSE(DiscoverCryptoConfig("srv1", config_));
  EXPECT_EQ(config_, before);
  EXPECT_EQ(TheErrorRegister().GetError(), -3);
  EXPECT_TRUE(runtime_.messages().empty());
}

TEST_F(DiscoveryTest, AnUnreadableFileCannotBeOpened) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  scene_.WriteConfig(kExample);
  chmod((scene_.installDir + "/halvane.cfg").c_str(), 0);
  EXPECT_FALSE(DiscoverCryptoConfig("srv1", config_));
  EXPECT_EQ(TheErrorRegister().GetError(), -12);
  EXPECT_EQ(config_.InstallDir, scene_.installDir);
}

struct FailureCase {
  const char* label;
  std::function<void(const Scene&)> setUp;
  const char* destLocation;
  int32_t code;
  std::size_t messages;  // shown before the failure
  bool installDirSet;
};

TEST(DiscoveryFailureTest, RecordsTheCodeOfTheFirstStepThatFails) {
  const std::vector<FailureCase> cases = {
      {"no DestLocation, before the registry or any message",
       [](const Scene& s) { std::filesystem::remove(s.dir.File("registry.reg")); }, "", -13, 0,
       false},
      {"no registry file",
       [](const Scene& s) { std::filesystem::remove(s.dir.File("registry.reg")); }, "srv1", -7, 1,
       false},
      {"no key",
       [](const Scene& s) {
         s.WriteRegistry(CrLf({"REGEDIT4", "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]"}));
       },
       "srv1", -7, 1, false},
      {"no InstallPath", [](const Scene& s) { s.WriteRegistry(RegistryWith("\"Other\"=\"x\"")); },
       "srv1", -7, 1, false},
      {"empty InstallPath",
       [](const Scene& s) { s.WriteRegistry(RegistryWith("\"InstallPath\"=\"\"")); }, "srv1", -7, 1,
       false},
      {"InstallPath is a number",
       [](const Scene& s) { s.WriteRegistry(RegistryWith("\"InstallPath\"=dword:00000001")); },
       "srv1", -7, 1, false},
      {"InstallPath longer than its buffer",
       [](const Scene& s) {
         s.WriteRegistry(RegistryWith("\"InstallPath\"=\"/" + std::string(1023, 'd') + "\""));
       },
       "srv1", -7, 1, false},
      {"no configuration file", [](const Scene&) {}, "srv1", -11, 2, false},
      {"the configuration file is a directory",
       [](const Scene& s) { std::filesystem::create_directory(s.installDir + "/halvane.cfg"); },
       "srv1", -12, 3, true},
      {"the configuration file is a pipe",
       [](const Scene& s) { mkfifo((s.installDir + "/halvane.cfg").c_str(), 0644); }, "srv1", -12,
       3, true},
      {"no section for DestLocation", [](const Scene& s) { s.WriteConfig(kExample); }, "srv2", -14,
       3, true},
      {"a section name is no prefix of DestLocation",
       [](const Scene& s) { s.WriteConfig(CrLf({"[Client\\Web servers\\srv]"})); }, "srv1", -14, 3,
       true},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.label);
    quillora::testing::QuietRuntime runtime;
    Scene scene;
    c.setUp(scene);
    CCryptoConfig config;
    config.InstallDir = "before";
    config.WebServerHost = "before";
    EXPECT_FALSE(DiscoverCryptoConfig(c.destLocation, config));
    EXPECT_EQ(TheErrorRegister().GetError(), c.code);
    const std::vector<Text> all = {kRegistryMessage, kLookingMessage, kReadingMessage};
    EXPECT_EQ(runtime.messages(), std::vector<Text>(all.begin(), all.begin() + c.messages));
    EXPECT_EQ(config.InstallDir, c.installDirSet ? scene.installDir : "before");
    EXPECT_EQ(config.WebServerHost, "before");
  }
}

}  // namespace
}  // namespace quillora
