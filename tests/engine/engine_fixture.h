// What the engine tests share: the engine library bound by name as the control binds it,
// and test key sets made once per test program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "crypto/engine_api.h"
#include "engine/test_pki.h"
#include "platform/dynamic_library.h"
#include "tests/support/temp_dir.h"

namespace quillora::testing {

// A user name long enough, and with enough two-byte letters, that cutting its common
// name to the identifier length lands inside a letter.
inline const std::string kUserCommonName =
    "A Иванов Иван Иванович, поставщик канцелярских товаров и бумаги";

// One user's and one site's keys under a temporary directory.
struct TestKeys {
  TempDir root;
  std::string userName = "ivanov";
  site::TestPkiPaths paths;
  std::string secretKeyDir() const { return (root.path() / "secret").string(); }
  std::string publicKeyDir() const { return (root.path() / "public").string(); }

  explicit TestKeys(site::KeyKind kind) {
    site::TestPkiRequest request;
    request.dir = root.path() / "pki";
    request.secretKeyDir = secretKeyDir();
    request.publicKeyDir = publicKeyDir();
    request.userName = userName;
    request.userCommonName = kUserCommonName;
    request.keyKind = kind;
    const site::TestPkiResult result = site::CreateTestPki(request);
    if (!result.ok) throw std::runtime_error(result.error);
    paths = result.paths;
  }
};

// Key sets are slow to make (RSA above all), so each kind is made once.
inline const TestKeys& SharedKeys(site::KeyKind kind) {
  if (kind == site::KeyKind::kEc) {
    static const TestKeys ec(site::KeyKind::kEc);
    return ec;
  }
  static const TestKeys rsa(site::KeyKind::kRsa);
  return rsa;
}

inline std::string KindName(const ::testing::TestParamInfo<site::KeyKind>& info) {
  return info.param == site::KeyKind::kEc ? "Ec" : "Rsa";
}

inline std::string ReadFile(const std::filesystem::path& path) {
  return TempDir::Read(path);
}

inline std::string Bytes(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  return bytes;
}

// Compares byte strings without printing them whole: they may be long and binary.
inline ::testing::AssertionResult SameBytes(const std::string& actual,
                                            const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected, first difference at byte " << at;
}

// The engine library with its nine entry points, bound by name.
struct EngineLibrary {
  platform::DynamicLibrary library{QUILLORA_BIN_DIR "/libzelcor.so"};
  InitCryptoEngineFn init = library.Bind<InitCryptoEngineFn>("InitCryptoEngine");
  SetCryptoParamValueFn set = library.Bind<SetCryptoParamValueFn>("SetCryptoParamValue");
  DoneCryptoEngineFn done = library.Bind<DoneCryptoEngineFn>("DoneCryptoEngine");
  GetMaxSignatureLengthFn maxSignature =
      library.Bind<GetMaxSignatureLengthFn>("GetMaxSignatureLength");
  SignDataFn sign = library.Bind<SignDataFn>("SignData");
  GetMaxEncodeAdditionFn maxAddition = library.Bind<GetMaxEncodeAdditionFn>("GetMaxEncodeAddition");
  EncodeDataFn encode = library.Bind<EncodeDataFn>("EncodeData");
  GetMaxUIDLengthFn maxUid = library.Bind<GetMaxUIDLengthFn>("GetMaxUIDLength");
  DecodeDataFn decode = library.Bind<DecodeDataFn>("DecodeData");

  bool Complete() const {
    return init && set && done && maxSignature && sign && maxAddition && encode && maxUid && decode;
  }
};

struct SignOutcome {
  int32_t status = -1;
  std::string signature;
};

struct CodecOutcome {
  int32_t status = -1;
  std::string bytes;
  std::string uid;
};

// One open, configured handle, closed on destruction; its calls size their buffers the
// way the control does.
class UserHandle {
 public:
  UserHandle(const EngineLibrary& engine, const std::string& userName,
             const std::string& secretKeyDir, const std::string& publicKeyDir)
      : engine_(engine), handle_(engine.init("cms")) {
    engine_.set(handle_, engine_params::kUserName, userName.c_str());
    engine_.set(handle_, engine_params::kSecretKeyDir, secretKeyDir.c_str());
    engine_.set(handle_, engine_params::kPublicKeyDir, publicKeyDir.c_str());
    engine_.set(handle_, engine_params::kLanguage, "RUS");
    engine_.set(handle_, engine_params::kReserved, "");
  }
  UserHandle(const EngineLibrary& engine, const TestKeys& keys)
      : UserHandle(engine, keys.userName, keys.secretKeyDir(), keys.publicKeyDir()) {}
  ~UserHandle() { engine_.done(handle_); }
  UserHandle(const UserHandle&) = delete;
  UserHandle& operator=(const UserHandle&) = delete;

  EngineHandle handle() const { return handle_; }

  SignOutcome Sign(const std::string& data) const {
    const int32_t room = engine_.maxSignature(handle_);
    if (room <= 0) return {};
    std::vector<unsigned char> out(static_cast<size_t>(room) + data.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    int32_t length = room;
    SignOutcome outcome;
    outcome.status =
        engine_.sign(handle_, &bytes, static_cast<int32_t>(data.size()), out.data(), &length, 0);
    if (outcome.status == 0) outcome.signature.assign(out.begin(), out.begin() + length);
    return outcome;
  }

  CodecOutcome Encode(const std::string& data) const {
    const int32_t addition = engine_.maxAddition(handle_);
    if (addition <= 0) return {};
    std::vector<unsigned char> buffer(data.size() + static_cast<size_t>(addition));
    std::copy(data.begin(), data.end(), buffer.begin());
    int32_t length = static_cast<int32_t>(data.size());
    CodecOutcome outcome;
    outcome.status = engine_.encode(handle_, buffer.data(), &length, 0);
    if (outcome.status == 0) outcome.bytes.assign(buffer.begin(), buffer.begin() + length);
    return outcome;
  }

  CodecOutcome Decode(const std::string& data) const {
    std::vector<unsigned char> buffer(data.begin(), data.end());
    std::string uid(static_cast<size_t>(engine_.maxUid(handle_)) + 1, '\x7f');
    int32_t length = static_cast<int32_t>(data.size());
    CodecOutcome outcome;
    outcome.status = engine_.decode(handle_, buffer.data(), &length, uid.data());
    if (outcome.status == 0) {
      outcome.bytes.assign(buffer.begin(), buffer.begin() + length);
      outcome.uid = uid.c_str();
    }
    return outcome;
  }

 private:
  const EngineLibrary& engine_;
  EngineHandle handle_;
};

// A test that needs the engine library and the shared key sets of one key kind.
class EngineTest : public ::testing::TestWithParam<site::KeyKind> {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.Complete()) << engine_.library.LoadError(); }
  const TestKeys& keys() const { return SharedKeys(GetParam()); }

  EngineLibrary engine_;
};

}  // namespace quillora::testing
