#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/scoped_env.h"
#include "tests/support/recording_pause.h"
#include "tests/support/temp_dir.h"

namespace quillora::platform {
namespace {

using quillora::testing::ScopedEnv;
using quillora::testing::TempDir;

constexpr char kSample[] =
    "REGEDIT4\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\n"
    "\"InstallPath\"=\"/opt/app\"\n"
    "\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n"
    "\"Count\"=dword:0000002a\n"
    "@=\"default text\"\n"
    "\"Empty\"=\"\"\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App2]\n"
    "\"InstallPath\"=\"/opt/app2\"\n"
    "\n"
    "[HKEY_CLASSES_ROOT\\Velt.Quillora.1]\n"
    "@=\"Quillora Control\"\n";

bool RunningAsRoot() {
  return geteuid() == 0;
}

// Each test gets its own registry file in a fresh directory.
class RegistryTest : public ::testing::Test {
 protected:
  std::string ReadFile() const { return TempDir::Read(file_); }
  void WriteFile(const std::string& content) const { dir_.Write("registry.reg", content); }
  std::vector<std::string> FilesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  quillora::testing::QuietRuntime runtime_;
  TempDir dir_;
  std::string file_ = dir_.File("registry.reg");
  ScopedEnv env_{"QUILLORA_REGISTRY", file_};
};

struct ReadCase {
  const char* label;
  RegHive hive;
  const char* subKey;
  const char* value;
  RegStatus openStatus;
  RegStatus queryStatus;
  uint32_t type;
  std::string data;  // as the query returns it, terminator included
};

std::string DwordBytes(uint32_t number) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &number, 4);
  return bytes;
}

TEST_F(RegistryTest, ReadsKeysAndValuesOfTheFile) {
  WriteFile(kSample);
  const std::vector<ReadCase> cases = {
      {"string value", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "InstallPath", 0, 0,
       kRegString, std::string("/opt/app\0", 9)},
      {"names ignore ASCII case", RegHive::kLocalMachine, "software\\VENDOR\\app", "installpath", 0,
       0, kRegString, std::string("/opt/app\0", 9)},
      {"escapes", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "Quoted", 0, 0, kRegString,
       std::string("say \"hi\" C:\\dir\\\0", 17)},
      {"dword", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "Count", 0, 0, kRegDword,
       DwordBytes(42)},
      {"default value", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "", 0, 0, kRegString,
       std::string("default text\0", 13)},
      {"empty string", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "Empty", 0, 0, kRegString,
       std::string("\0", 1)},
      {"a key whose name starts the same is another key", RegHive::kLocalMachine,
       "SOFTWARE\\Vendor\\App2", "InstallPath", 0, 0, kRegString, std::string("/opt/app2\0", 10)},
      {"parent without a key line exists", RegHive::kLocalMachine, "SOFTWARE\\Vendor",
       "InstallPath", 0, kRegNotFound, 0, ""},
      {"missing value", RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", "Nothing", 0, kRegNotFound,
       0, ""},
      {"missing key", RegHive::kLocalMachine, "SOFTWARE\\Other", "", kRegNotFound, 0, 0, ""},
      {"prefix of a key name is no key", RegHive::kLocalMachine, "SOFTWARE\\Vend", "", kRegNotFound,
       0, 0, ""},
      {"classes root", RegHive::kClassesRoot, "velt.quillora.1", "", 0, 0, kRegString,
       std::string("Quillora Control\0", 17)},
      {"hives are apart", RegHive::kLocalMachine, "Velt.Quillora.1", "", kRegNotFound, 0, 0, ""},
      {"empty path", RegHive::kLocalMachine, "", "", kRegInvalidParameter, 0, 0, ""},
      {"leading backslash", RegHive::kLocalMachine, "\\SOFTWARE", "", kRegInvalidParameter, 0, 0,
       ""},
      {"doubled backslash", RegHive::kLocalMachine, "SOFTWARE\\\\Vendor", "", kRegInvalidParameter,
       0, 0, ""},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.label);
    RegistryKey key;
    ASSERT_EQ(OpenRegistryKey(c.hive, c.subKey, kKeyRead, key), c.openStatus);
    EXPECT_EQ(key.IsOpen(), c.openStatus == kRegSuccess);
    if (c.openStatus != kRegSuccess) continue;
    unsigned char buffer[64];
    uint32_t size = sizeof buffer;
    uint32_t type = 0;
    ASSERT_EQ(QueryRegistryValue(key, c.value, &type, buffer, &size), c.queryStatus);
    if (c.queryStatus != kRegSuccess) continue;
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer), size), c.data);
  }
}

TEST_F(RegistryTest, QueryTellsTheSizeAndRefusesTooSmallRoom) {
  WriteFile(kSample);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyRead, key), 0);

  uint32_t size = 0;
  EXPECT_EQ(QueryRegistryValue(key, "InstallPath", nullptr, nullptr, &size), kRegSuccess);
  EXPECT_EQ(size, 9u);

  unsigned char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  size = 8;  // one short of the terminator
  EXPECT_EQ(QueryRegistryValue(key, "InstallPath", nullptr, buffer, &size), kRegMoreData);
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(buffer[8], 'x') << "nothing is written past the room";

  size = 9;
  EXPECT_EQ(QueryRegistryValue(key, "InstallPath", nullptr, buffer, &size), kRegSuccess);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "/opt/app");

  EXPECT_EQ(QueryRegistryValue(key, "InstallPath", nullptr, buffer, nullptr), kRegInvalidParameter);
}

TEST_F(RegistryTest, MissingFileIsAnEmptyRegistryAndADirectoryNone) {
  RegistryKey key;
  EXPECT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE", kKeyAllAccess, key), kRegNotFound);

  std::filesystem::create_directory(file_);
  EXPECT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE", kKeyRead, key), kRegIoFailed);
}

TEST_F(RegistryTest, UnreadableFileIsDenied) {
  if (RunningAsRoot()) GTEST_SKIP() << "permissions do not bind root";
  RegistryKey key;
  WriteFile(kSample);
  chmod(file_.c_str(), 0);
  EXPECT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE", kKeyRead, key), kRegAccessDenied);
}

TEST_F(RegistryTest, FullAccessOpensAReadOnlyFileForReading) {
  WriteFile(kSample);
  chmod(file_.c_str(), 0444);
  chmod(dir_.path().c_str(), 0555);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyAllAccess, key),
            kRegSuccess);
  unsigned char buffer[32];
  uint32_t size = sizeof buffer;
  EXPECT_EQ(QueryRegistryValue(key, "InstallPath", nullptr, buffer, &size), kRegSuccess);
  if (!RunningAsRoot()) {
    EXPECT_EQ(SetRegistryString(key, "InstallPath", "/elsewhere"), kRegAccessDenied);
    EXPECT_EQ(ReadFile(), kSample);
  }
  chmod(dir_.path().c_str(), 0755);
}

TEST_F(RegistryTest, RightsAskedForAtOpeningBindTheKey) {
  WriteFile(kSample);
  RegistryKey reader;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyRead, reader), 0);
  EXPECT_EQ(SetRegistryString(reader, "InstallPath", "/x"), kRegAccessDenied);
  EXPECT_EQ(DeleteRegistryValue(reader, "InstallPath"), kRegAccessDenied);

  RegistryKey writer;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeySetValue, writer),
            0);
  uint32_t size = 0;
  EXPECT_EQ(QueryRegistryValue(writer, "InstallPath", nullptr, nullptr, &size), kRegAccessDenied);
  EXPECT_EQ(ReadFile(), kSample);

  RegistryKey closed;
  EXPECT_EQ(QueryRegistryValue(closed, "InstallPath", nullptr, nullptr, &size), kRegInvalidHandle);
}

TEST_F(RegistryTest, CreateWritesTheKeyAndItsParentsIntoANewFile) {
  file_ = dir_.File("nested/deeper/registry.reg");
  ScopedEnv nested("QUILLORA_REGISTRY", file_);
  RegistryKey key;
  ASSERT_EQ(CreateRegistryKey(RegHive::kClassesRoot, "CLSID\\{1234}", key), kRegSuccess);
  ASSERT_EQ(SetRegistryString(key, "", "Quillora \"Control\" C:\\x"), kRegSuccess);
  ASSERT_EQ(SetRegistryDword(key, "Flags", 0x2a), kRegSuccess);
  EXPECT_EQ(ReadFile(),
            "REGEDIT4\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\CLSID]\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\CLSID\\{1234}]\n"
            "@=\"Quillora \\\"Control\\\" C:\\\\x\"\n"
            "\"Flags\"=dword:0000002a\n"
            "\n");

  // Creating what exists changes nothing.
  const auto stamp = std::filesystem::last_write_time(file_);
  RegistryKey again;
  ASSERT_EQ(CreateRegistryKey(RegHive::kClassesRoot, "clsid\\{1234}", again), kRegSuccess);
  EXPECT_EQ(std::filesystem::last_write_time(file_), stamp);

  unsigned char buffer[64];
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  ASSERT_EQ(QueryRegistryValue(again, "", &type, buffer, &size), kRegSuccess);
  EXPECT_EQ(type, kRegString);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "Quillora \"Control\" C:\\x");
}

TEST_F(RegistryTest, WritesKeepEveryLineTheyDoNotTouch) {
  const std::string original =
      "REGEDIT4\r\n"
      "\r\n"
      "; kept by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Mine]\r\n"
      "\"A\" = \"spaced\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\r\n"
      "\"Keep\"=dword:00000001\r\n"
      "\"installpath\"=\"/old\"\r\n"
      "; trailing comment\r\n"
      "\r\n";
  WriteFile(original);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyAllAccess, key),
            0);
  ASSERT_EQ(SetRegistryString(key, "InstallPath", "/new"), kRegSuccess);
  ASSERT_EQ(SetRegistryString(key, "Added", "v"), kRegSuccess);
  EXPECT_EQ(ReadFile(),
            "REGEDIT4\r\n"
            "\r\n"
            "; kept by hand\r\n"
            "[HKEY_CURRENT_USER\\Software\\Mine]\r\n"
            "\"A\" = \"spaced\"\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\r\n"
            "\"Keep\"=dword:00000001\r\n"
            "\"installpath\"=\"/new\"\r\n"
            "\"Added\"=\"v\"\r\n"
            "; trailing comment\r\n"
            "\r\n");

  ASSERT_EQ(DeleteRegistryValue(key, "ADDED"), kRegSuccess);
  ASSERT_EQ(SetRegistryString(key, "InstallPath", "/old"), kRegSuccess);
  EXPECT_EQ(ReadFile(), original);
  EXPECT_EQ(DeleteRegistryValue(key, "Added"), kRegNotFound);
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"registry.reg"}) << "no temporary file left";
}

TEST_F(RegistryTest, ALaterSettingOfTheSameValueWins) {
  WriteFile(
      "REGEDIT4\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"V\"=\"first\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"v\"=\"second\"\n");
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\A", kKeyAllAccess, key), 0);
  unsigned char buffer[16];
  uint32_t size = sizeof buffer;
  ASSERT_EQ(QueryRegistryValue(key, "V", nullptr, buffer, &size), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "second");

  // Setting it leaves one line for it.
  ASSERT_EQ(SetRegistryString(key, "V", "third"), 0);
  EXPECT_EQ(ReadFile(),
            "REGEDIT4\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"v\"=\"third\"\n");
}

TEST_F(RegistryTest, DeleteTreeTakesTheKeyAndWhatIsBelowIt) {
  WriteFile(std::string(kSample) +
            "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App\\Sub]\n\"X\"=\"1\"\n");
  RegistryKey opened;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyRead, opened), 0);

  ASSERT_EQ(DeleteRegistryTree(RegHive::kLocalMachine, "software\\vendor\\app"), kRegSuccess);
  EXPECT_EQ(ReadFile(),
            "REGEDIT4\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App2]\n"
            "\"InstallPath\"=\"/opt/app2\"\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\Velt.Quillora.1]\n"
            "@=\"Quillora Control\"\n"
            "\n");
  uint32_t size = 0;
  EXPECT_EQ(QueryRegistryValue(opened, "InstallPath", nullptr, nullptr, &size), kRegKeyDeleted);
  EXPECT_EQ(DeleteRegistryTree(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App"), kRegNotFound);
  RegistryKey parent;
  EXPECT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor", kKeyRead, parent), 0);
}

TEST_F(RegistryTest, ParentsCreatedExplicitlyOutliveTheirChild) {
  RegistryKey key;
  ASSERT_EQ(CreateRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", key), 0);
  ASSERT_EQ(DeleteRegistryTree(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App"), 0);
  RegistryKey parent;
  EXPECT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor", kKeyRead, parent), 0);
}

TEST_F(RegistryTest, AFileThatDoesNotParseIsReadAroundButNeverWritten) {
  const std::vector<std::string> badLines = {
      "\"Binary\"=hex:01,02",
      "garbage",
      "\"Unterminated=\"x\"",
      "\"Bad escape\"=\"C:\\dir\"",
      "\"Too long\"=dword:123456789",
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Gone]\n\"Orphan\"=\"1\"",
      "[SOFTWARE\\NoHive]\n\"Orphan\"=\"1\"",
  };
  for (const std::string& bad : badLines) {
    SCOPED_TRACE(bad);
    const std::string content =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\n" + bad + "\n\"Good\"=\"yes\"\n";
    WriteFile(content);
    RegistryKey key;
    ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyAllAccess, key),
              0);
    unsigned char buffer[16];
    uint32_t size = sizeof buffer;
    // Values that follow a key line that did not parse belong to no key.
    const bool orphaned = bad.front() == '[';
    EXPECT_EQ(QueryRegistryValue(key, "Good", nullptr, buffer, &size),
              orphaned ? kRegNotFound : kRegSuccess);
    EXPECT_EQ(QueryRegistryValue(key, "Orphan", nullptr, buffer, &size), kRegNotFound);
    EXPECT_EQ(SetRegistryString(key, "Good", "no"), kRegCorrupt);
    EXPECT_EQ(DeleteRegistryTree(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App"), kRegCorrupt);
    RegistryKey created;
    EXPECT_EQ(CreateRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\New", created), kRegCorrupt);
    EXPECT_EQ(ReadFile(), content);
  }
}

TEST_F(RegistryTest, AFileWithoutTheHeaderIsNotWritten) {
  const std::string content = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"V\"=\"1\"\n";
  WriteFile(content);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\A", kKeyAllAccess, key), 0);
  uint32_t size = 0;
  EXPECT_EQ(QueryRegistryValue(key, "V", nullptr, nullptr, &size), kRegSuccess);
  EXPECT_EQ(SetRegistryString(key, "V", "2"), kRegCorrupt);
  EXPECT_EQ(ReadFile(), content);
}

TEST_F(RegistryTest, TextsTheFileCannotHoldAreRefused) {
  RegistryKey key;
  ASSERT_EQ(CreateRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\A", key), 0);
  const std::string before = ReadFile();
  EXPECT_EQ(SetRegistryString(key, "V", "two\nlines"), kRegInvalidParameter);
  EXPECT_EQ(SetRegistryString(key, "V", std::string("zero\0byte", 9)), kRegInvalidParameter);
  EXPECT_EQ(SetRegistryString(key, "line\rend", "x"), kRegInvalidParameter);
  RegistryKey other;
  EXPECT_EQ(CreateRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\B\nC", other),
            kRegInvalidParameter);
  EXPECT_EQ(ReadFile(), before);
}

TEST_F(RegistryTest, AReplacedFileKeepsItsPermissions) {
  WriteFile(kSample);
  chmod(file_.c_str(), 0600);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyAllAccess, key),
            0);
  ASSERT_EQ(SetRegistryDword(key, "Count", 7), 0);
  struct stat info {};
  ASSERT_EQ(stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, ALinkedFileStaysLinked) {
  const std::string target = dir_.Write("real.reg", kSample);
  std::filesystem::create_symlink(target, file_);
  RegistryKey key;
  ASSERT_EQ(OpenRegistryKey(RegHive::kLocalMachine, "SOFTWARE\\Vendor\\App", kKeyAllAccess, key),
            0);
  ASSERT_EQ(SetRegistryDword(key, "Count", 7), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
  EXPECT_NE(TempDir::Read(target).find("\"Count\"=dword:00000007"), std::string::npos);
}

struct PathCase {
  const char* label;
  const char* registry;
  const char* xdg;
  const char* home;
  const char* expected;
};

TEST(RegistryFilePathTest, FollowsTheEnvironment) {
  const std::vector<PathCase> cases = {
      {"explicit file wins", "/etc/q.reg", "/xdg", "/home/u", "/etc/q.reg"},
      {"empty explicit file is none", "", "/xdg", "/home/u", "/xdg/quillora/registry.reg"},
      {"configuration home", nullptr, "/xdg", "/home/u", "/xdg/quillora/registry.reg"},
      {"relative configuration home is ignored", nullptr, "rel", "/home/u",
       "/home/u/.config/quillora/registry.reg"},
      {"home", nullptr, nullptr, "/home/u", "/home/u/.config/quillora/registry.reg"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.label);
    quillora::testing::ScopedEnv registry("QUILLORA_REGISTRY", c.registry);
    quillora::testing::ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    quillora::testing::ScopedEnv home("HOME", c.home);
    EXPECT_EQ(RegistryFilePath(), c.expected);
  }
}

}  // namespace
}  // namespace quillora::platform
