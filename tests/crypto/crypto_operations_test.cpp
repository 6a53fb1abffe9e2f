#include "crypto/crypto_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "control/error_register.h"
#include "crypto/crypto_engine.h"
#include "platform/dynamic_library.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/recording_pause.h"
#include "tests/support/temp_dir.h"

namespace quillora {
namespace {

using quillora::testing::ScopedEnv;
using quillora::testing::TempDir;
using Lines = std::vector<std::string>;

const std::string kBin = QUILLORA_BIN_DIR;
// Built beside the tests: the fake engine (and one without DecodeData) as libzelcor.so
// in directories of their own, and the recording Base64 libraries.
const std::string kEngines = kBin + "/test-engines";
const std::string kFakeEngine = kEngines + "/fake";
const std::string kEngineWithoutDecode = kEngines + "/nodecode";
const std::string kTestBase64Dir = kEngines + "/base64/";
constexpr char kTestBase64[] = "libtestbase64.so";
constexpr char kTestBase64WithoutDecode[] = "libtestbase64-nodecode.so";

// "abc" signed and encrypted by the fake engine, in Base64.
constexpr char kSignatureOfAbc[] = "c2lnOmNiYQ==";  // "sig:cba"
constexpr char kEncryptedAbc[] = "ZW5jOp6dnA==";    // "enc:" and the bytes flipped

using OperationFn = bool (*)(Text, Text&, const CCryptoConfig&);
struct Operation {
  const char* name;
  OperationFn run;
  Text input;
};
const Operation kSign{"sign", CryptoSign, "abc"};
const Operation kEncrypt{"encrypt", CryptoEncrypt, "abc"};
const Operation kDecrypt{"decrypt", CryptoDecrypt, kEncryptedAbc};

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// What the engine hears when a handle is opened and configured.
const Lines kOpening = {"init fake",  "param 1=user1", "param 2=A:\\", "param 3=D:\\keys\\pub",
                        "param 7=ru", "param 6="};

// Whether a file whose path contains `fragment` is mapped into the process.
bool Mapped(const std::string& fragment) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(fragment) != std::string::npos) return true;
  }
  return false;
}

class CryptoOperationsTest : public ::testing::Test {
 protected:
  CryptoOperationsTest() {
    config_.InstallDir = kFakeEngine;
    config_.ModuleDir = kTestBase64Dir;
    config_.CryptoEngine = "fake";
    config_.MnemonicUserName = "user1";
    config_.SecretKeyDir = "A:\\";
    config_.PublicKeyDir = "D:\\keys\\pub";
    config_.Language = "ru";
    SetBase64LibraryFileName(kTestBase64);
  }
  ~CryptoOperationsTest() override { SetBase64LibraryFileName(savedName_); }

  void TearDown() override {
    EXPECT_FALSE(Mapped(kEngines)) << "a test library stayed loaded";
    EXPECT_FALSE(Mapped("libsorlit.so")) << "the Base64 library stayed loaded";
  }

  // The calls and loads since the last look, and a fresh start.
  Lines TakeLog() {
    Lines lines;
    std::ifstream in(logFile_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(logFile_);
    return lines;
  }

  // Runs an operation that has to fail and checks that it left its output alone.
  void ExpectFailure(const Operation& op, const CCryptoConfig& config, int32_t code) {
    SCOPED_TRACE(op.name);
    quillora::testing::QuietRuntime fresh;
    Text out = "untouched";
    EXPECT_FALSE(op.run(op.input, out, config));
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(TheErrorRegister().GetError(), code);
  }

  quillora::testing::QuietRuntime runtime_;
  TempDir dir_;
  std::string logFile_ = dir_.File("calls.log");
  ScopedEnv log_{"QUILLORA_TEST_ENGINE_LOG", logFile_};
  ScopedEnv base64Mode_{"QUILLORA_TEST_BASE64_MODE", nullptr};
  std::string savedName_ = Base64LibraryFileName();
  CCryptoConfig config_;
};

TEST_F(CryptoOperationsTest, SignLoadsTheBase64LibraryOnlyAfterSigning) {
  Text out;
  ASSERT_TRUE(CryptoSign("abc", out, config_));
  EXPECT_EQ(out, kSignatureOfAbc);
  EXPECT_EQ(TakeLog(), Concat({{"engine load"},
                               kOpening,
                               {"max-signature", "sign 3 room 64", "base64 load", "base64 encode 7",
                                "done 7", "engine unload", "base64 unload"}}));
}

TEST_F(CryptoOperationsTest, EncryptAndDecryptBindBothLibrariesBeforeTheEngineIsCalled) {
  Text encrypted;
  ASSERT_TRUE(CryptoEncrypt("abc", encrypted, config_));
  EXPECT_EQ(encrypted, kEncryptedAbc);
  EXPECT_EQ(TakeLog(), Concat({{"engine load", "base64 load"},
                               kOpening,
                               {"max-addition", "encode 3", "base64 encode 7", "done 7",
                                "engine unload", "base64 unload"}}));

  Text decrypted;
  ASSERT_TRUE(CryptoDecrypt(encrypted, decrypted, config_));
  EXPECT_EQ(decrypted, "abc");
  EXPECT_EQ(TakeLog(), Concat({{"engine load", "base64 load"},
                               kOpening,
                               {"base64 decode 12", "max-uid", "decode 7", "done 7",
                                "engine unload", "base64 unload"}}));
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(CryptoOperationsTest, DecryptGivesBackWhatWasEncryptedUpToAZeroByte) {
  const std::vector<std::pair<Text, Text>> cases = {
      {"abc", "abc"},
      {"", ""},
      {"\xcf\xf0\xe5\xe4\xeb\xee\xe6\xe5\xed\xe8\xe5 \xb9 1",
       "\xcf\xf0\xe5\xe4\xeb\xee\xe6\xe5\xed\xe8\xe5 \xb9 1"},
      {Text("abc\0def", 7), "abc"},
      {Text("\0abc", 4), ""},
      {Text(5000, 'x'), Text(5000, 'x')},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text.size());
    Text encrypted;
    ASSERT_TRUE(CryptoEncrypt(text, encrypted, config_));
    Text decrypted = "untouched";
    ASSERT_TRUE(CryptoDecrypt(encrypted, decrypted, config_));
    EXPECT_EQ(decrypted, expected);
  }
}

struct FaultCase {
  const char* engineMode;  // a word in the engine name the fake engine reacts to
  const char* base64Mode;
  Operation op;
  int32_t code;
  const char* notReached = nullptr;  // a call that must not follow the fault
};

TEST_F(CryptoOperationsTest, FailuresOfTheLibrariesAreRecordedAndEverythingIsReleased) {
  const Operation decryptEmpty{"decrypt an empty text", CryptoDecrypt, ""};
  const Operation decryptForeign{"decrypt what the engine did not encrypt", CryptoDecrypt, "QUJD"};
  const std::vector<FaultCase> cases = {
      {"fail-init", nullptr, kSign, -18},
      {"fail-init", nullptr, kEncrypt, -18},
      {"fail-init", nullptr, kDecrypt, -18},
      {"zero-max", nullptr, kSign, -18},
      {"zero-max", nullptr, kEncrypt, -18},
      {"negative-max", nullptr, kSign, -18},
      {"negative-max", nullptr, kEncrypt, -18},
      {"huge-max", nullptr, kSign, -19},
      {"huge-max", nullptr, kEncrypt, -19},
      {"fail-sign", nullptr, kSign, -18, "base64 load"},
      {"long-sign", nullptr, kSign, -18, "base64 encode"},
      {"fail-encode", nullptr, kEncrypt, -18},
      {"long-encode", nullptr, kEncrypt, -18, "base64 encode"},
      {"fail-decode", nullptr, kDecrypt, -18},
      {"long-decode", nullptr, kDecrypt, -18},
      {"negative-uid", nullptr, kDecrypt, -18, "decode 7"},
      {"", nullptr, kSign, -18},  // an engine name the engine refuses
      {nullptr, "encode-null", kSign, -18},
      {nullptr, "encode-null", kEncrypt, -18},
      {nullptr, "decode-fail", kDecrypt, -18},
      {nullptr, "decode-overlong", kDecrypt, -18, "max-uid"},
      {nullptr, nullptr, decryptEmpty, -18, "base64 decode 0"},
      {nullptr, nullptr, decryptForeign, -18},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.engineMode ? c.engineMode : c.base64Mode ? c.base64Mode : "");
    ScopedEnv mode("QUILLORA_TEST_BASE64_MODE", c.base64Mode);
    CCryptoConfig config = config_;
    if (c.engineMode != nullptr) {
      config.CryptoEngine = *c.engineMode ? std::string("fake ") + c.engineMode : "";
    }
    ExpectFailure(c.op, config, c.code);
    const Lines log = TakeLog();
    const bool opened = c.engineMode == nullptr || std::string(c.engineMode) != "fail-init";
    if (opened && *config.CryptoEngine.c_str() != '\0') {
      EXPECT_NE(std::find(log.begin(), log.end(), "done 7"), log.end()) << "handle not closed";
    }
    if (c.notReached != nullptr) {
      EXPECT_EQ(std::find(log.begin(), log.end(), c.notReached), log.end()) << c.notReached;
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "engine load"),
              std::count(log.begin(), log.end(), "engine unload"));
    EXPECT_EQ(std::count(log.begin(), log.end(), "base64 load"),
              std::count(log.begin(), log.end(), "base64 unload"));
  }
}

struct MissingCase {
  const char* label;
  std::function<void(CCryptoConfig&)> arrange;
  const char* base64Name;
  Operation op;
  int32_t code;
  Lines log;
};

TEST_F(CryptoOperationsTest, MissingLibrariesAndEntryPoints) {
  TempDir empty;
  TempDir garbage;
  garbage.Write("libzelcor.so", "not a library");
  const Lines signedButNotEncoded = Concat(
      {{"engine load"}, kOpening, {"max-signature", "sign 3 room 64", "done 7", "engine unload"}});
  const auto noEngine = [&](CCryptoConfig& c) { c.InstallDir = empty.path().string(); };
  const auto noInstallDir = [](CCryptoConfig& c) { c.InstallDir.clear(); };
  const auto garbageEngine = [&](CCryptoConfig& c) { c.InstallDir = garbage.path().string(); };
  const auto noDecodeData = [](CCryptoConfig& c) { c.InstallDir = kEngineWithoutDecode; };
  const auto asIs = [](CCryptoConfig&) {};
  const std::vector<MissingCase> cases = {
      {"no engine", noEngine, kTestBase64, kSign, -16, {}},
      {"no engine", noEngine, kTestBase64, kEncrypt, -16, {}},
      {"no engine", noEngine, kTestBase64, kDecrypt, -16, {}},
      {"no installation directory", noInstallDir, kTestBase64, kSign, -16, {}},
      {"engine file is no library", garbageEngine, kTestBase64, kEncrypt, -16, {}},
      {"engine without DecodeData",
       noDecodeData,
       kTestBase64,
       kEncrypt,
       -17,
       {"engine load", "engine unload"}},
      {"engine without DecodeData",
       noDecodeData,
       kTestBase64,
       kDecrypt,
       -17,
       {"engine load", "engine unload"}},
      {"Base64 library without its decoder",
       asIs,
       kTestBase64WithoutDecode,
       kEncrypt,
       -17,
       {"engine load", "base64 load", "engine unload", "base64 unload"}},
      {"Base64 library without its decoder",
       asIs,
       kTestBase64WithoutDecode,
       kDecrypt,
       -17,
       {"engine load", "base64 load", "engine unload", "base64 unload"}},
      {"no Base64 library anywhere",
       asIs,
       "libquillora-nowhere.so",
       kEncrypt,
       -20,
       {"engine load", "engine unload"}},
      {"no Base64 library anywhere",
       asIs,
       "libquillora-nowhere.so",
       kDecrypt,
       -20,
       {"engine load", "engine unload"}},
      {"no Base64 library: signing fails after the engine signed", asIs, "libquillora-nowhere.so",
       kSign, -20, signedButNotEncoded},
  };
  for (const MissingCase& c : cases) {
    SCOPED_TRACE(c.label);
    CCryptoConfig config = config_;
    c.arrange(config);
    SetBase64LibraryFileName(c.base64Name);
    ExpectFailure(c.op, config, c.code);
    EXPECT_EQ(TakeLog(), c.log);
  }
}

TEST_F(CryptoOperationsTest, SigningNeedsNeitherDecoder) {
  config_.InstallDir = kEngineWithoutDecode;
  SetBase64LibraryFileName(kTestBase64WithoutDecode);
  Text out;
  ASSERT_TRUE(CryptoSign("abc", out, config_));
  EXPECT_EQ(out, kSignatureOfAbc);
}

TEST_F(CryptoOperationsTest, NothingIsLoadedWhileAnErrorIsRecorded) {
  for (const Operation& op : {kSign, kEncrypt, kDecrypt}) {
    SCOPED_TRACE(op.name);
    quillora::testing::QuietRuntime fresh;
    RecordError(-3);
    Text out = "untouched";
    EXPECT_FALSE(op.run(op.input, out, config_));
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(TheErrorRegister().GetError(), -3);
    EXPECT_EQ(TakeLog(), Lines{});
  }
}

TEST_F(CryptoOperationsTest, ALockedRegisterRecordsNothing) {
  config_.CryptoEngine = "fake fail-decode";
  Text out = "untouched";
  TheErrorRegister().Lock();
  EXPECT_FALSE(CryptoDecrypt(kEncryptedAbc, out, config_));
  EXPECT_EQ(out, "untouched");
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
  TheErrorRegister().Unlock();
  EXPECT_FALSE(CryptoDecrypt(kEncryptedAbc, out, config_));
  EXPECT_EQ(TheErrorRegister().GetError(), -18);
}

// Signs, encrypts and decrypts through the system's own Base64 library.
void ExpectWorksWithTheBase64Library(const CCryptoConfig& config) {
  Text signature;
  ASSERT_TRUE(CryptoSign("abc", signature, config));
  EXPECT_EQ(signature, kSignatureOfAbc);
  Text encrypted;
  ASSERT_TRUE(CryptoEncrypt("abc", encrypted, config));
  EXPECT_EQ(encrypted, kEncryptedAbc);
  Text decrypted;
  ASSERT_TRUE(CryptoDecrypt(encrypted, decrypted, config));
  EXPECT_EQ(decrypted, "abc");
  EXPECT_FALSE(Mapped("libsorlit.so"));
  EXPECT_EQ(TheErrorRegister().GetError(), 0);
}

TEST_F(CryptoOperationsTest, FindsTheBase64LibraryInTheModuleDirectory) {
  SetBase64LibraryFileName(savedName_);
  config_.ModuleDir = kBin + "/";
  ExpectWorksWithTheBase64Library(config_);
}

TEST_F(CryptoOperationsTest, FallsBackToTheLibrarySearchPath) {
  SetBase64LibraryFileName(savedName_);
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer's dlopen hook loads in its own name, so the test program's run path
  // (the directory of the built libraries) is not searched; LD_LIBRARY_PATH still is.
  if (!platform::DynamicLibrary(savedName_).IsLoaded()) {
    GTEST_SKIP() << "run with LD_LIBRARY_PATH=" << kBin << " to reach the search path";
  }
#endif
  TempDir emptyModuleDir;
  for (const std::string& moduleDir : {emptyModuleDir.path().string() + "/", std::string()}) {
    SCOPED_TRACE(moduleDir);
    config_.ModuleDir = moduleDir;
    ExpectWorksWithTheBase64Library(config_);
  }
}

}  // namespace
}  // namespace quillora
