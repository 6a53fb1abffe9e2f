// Reading and writing files as text. A write replaces the file whole or not at all.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

namespace fs = std::filesystem;
using FileTest = XmlDocumentTest;

std::vector<std::string> Entries(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}

TEST_F(FileTest, ReadsTheWholeFile) {
  TempDir dir;
  const Text content = Cp1251(u8"<R>Ж</R>") + Text(5000, 'x');
  Text text;
  ASSERT_TRUE(doc_.LoadFileText(dir.Write("store.xml", content), text));
  EXPECT_EQ(text, content);
}

// Each 1024-byte piece counts up to its first zero byte.
TEST_F(FileTest, BytesBehindAZeroByteInAPieceAreDropped) {
  TempDir dir;
  std::string bytes = std::string(10, 'a') + '\0' + std::string(1013, 'b');
  bytes += std::string(1024, 'c') + std::string(100, 'd') + '\0' + "tail";
  Text text;
  ASSERT_TRUE(doc_.LoadFileText(dir.Write("zero.xml", bytes), text));
  EXPECT_EQ(text, std::string(10, 'a') + std::string(1024, 'c') + std::string(100, 'd'));
}

TEST_F(FileTest, EmptyFileIsFalseWithoutACode) {
  TempDir dir;
  Text text = "kept";
  EXPECT_FALSE(doc_.LoadFileText(dir.Write("empty.xml", ""), text));
  EXPECT_FALSE(doc_.LoadFileText(dir.Write("zeros.xml", std::string(3, '\0')), text));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(RecordedCode(), 0);
}

TEST(FileOpenTest, WhatCannotBeOpenedRecordsMinus21) {
  TempDir dir;
  fs::create_directory(dir.path() / "folder");
  for (const std::string& path : {dir.File("missing.xml"), dir.File("folder")}) {
    QuietRuntime runtime;
    CXmlDocument doc;
    Text text = "kept";
    EXPECT_FALSE(doc.LoadFileText(path, text)) << path;
    EXPECT_EQ(RecordedCode(), -21) << path;
    EXPECT_EQ(text, "kept");
  }
}

TEST_F(FileTest, EmptyNameReadsQuilloraXmlInTheCurrentDirectory) {
  TempDir dir;
  dir.Write("Quillora.xml", "<ROOT/>");
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  Text text;
  const bool read = doc_.LoadFileText("", text);
  fs::current_path(previous);
  ASSERT_TRUE(read);
  EXPECT_EQ(text, "<ROOT/>");
}

TEST_F(FileTest, WriteReplacesContentAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.Write("store.xml", "old content that is longer");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(doc_.WriteFileText(path, "new"));
  EXPECT_EQ(TempDir::Read(path), "new");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"store.xml"});

  const mode_t previousMask = ::umask(022);
  const bool created = doc_.WriteFileText(dir.File("fresh.xml"), "x");
  ::umask(previousMask);
  ASSERT_TRUE(created);
  EXPECT_EQ(ModeOf(dir.File("fresh.xml")), 0644u);
  EXPECT_EQ(RecordedCode(), 0);
}

// Through a link the file it points to is replaced; the link stays a link.
TEST_F(FileTest, WriteThroughALinkKeepsTheLink) {
  TempDir dir;
  const std::string target = dir.Write("real.xml", "old");
  fs::create_symlink(target, dir.path() / "link.xml");
  ASSERT_TRUE(doc_.WriteFileText(dir.File("link.xml"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.xml"));
  EXPECT_EQ(TempDir::Read(target), "new");
}

TEST_F(FileTest, EmptyNameOrTextWritesNothing) {
  TempDir dir;
  const std::string path = dir.Write("store.xml", "old");
  EXPECT_FALSE(doc_.WriteFileText(path, ""));
  EXPECT_FALSE(doc_.WriteFileText("", "text"));
  EXPECT_EQ(TempDir::Read(path), "old");
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(FileTest, DirectoryAsTargetRecordsMinus21) {
  TempDir dir;
  fs::create_directory(dir.path() / "store.xml");
  EXPECT_FALSE(doc_.WriteFileText(dir.File("store.xml"), "text"));
  EXPECT_EQ(RecordedCode(), -21);
  EXPECT_TRUE(fs::is_directory(dir.path() / "store.xml"));
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"store.xml"});
}

// The failing writes run in a forked child (the death tests' default style here, so the
// child writes into this test's directory): one drops its rights, the other limits the
// size of the files it may write. Each exits with 0 when the write failed with the
// expected code.
class FailingWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    path_ = dir_.Write("store.xml", kOld);
  }

  static void ExitWithWriteCode(const std::string& path, int32_t expected) {
    QuietRuntime runtime;
    CXmlDocument doc;
    const bool written = doc.WriteFileText(path, std::string(64 * 1024, 'n'));
    std::_Exit(!written && RecordedCode() == expected ? 0 : 1);
  }

  static constexpr char kOld[] = "<ROOT>old</ROOT>";
  TempDir dir_;
  std::string path_;
};

TEST_F(FailingWriteTest, UnwritableDirectoryLeavesTheFileAlone) {
  ::chmod(dir_.path().c_str(), 0555);
  EXPECT_EXIT(
      {
        // Root may write anywhere: the child gives up its rights first.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        ExitWithWriteCode(path_, -21);
      },
      ::testing::ExitedWithCode(0), "");
  ::chmod(dir_.path().c_str(), 0755);
  EXPECT_EQ(TempDir::Read(path_), kOld);
  EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"store.xml"});
}

TEST_F(FailingWriteTest, ReadOnlyFileIsNotReplaced) {
  ::chmod(dir_.path().c_str(), 0777);
  ::chmod(path_.c_str(), 0444);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        ExitWithWriteCode(path_, -21);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(TempDir::Read(path_), kOld);
  EXPECT_EQ(ModeOf(path_), 0444u);
  EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"store.xml"});
}

TEST_F(FailingWriteTest, FailedWriteLeavesTheFileAlone) {
  EXPECT_EXIT(
      {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = {};
        limit.rlim_cur = limit.rlim_max = 1024;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
        ExitWithWriteCode(path_, -24);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(TempDir::Read(path_), kOld);
  EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"store.xml"});
}

}  // namespace
}  // namespace quillora::testing
