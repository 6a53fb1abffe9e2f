// The engine's care with the caller's buffers and with the key files it reads.
#include <sys/stat.h>

#include "tests/engine/engine_fixture.h"

namespace quillora::testing {
namespace {

constexpr unsigned char kGuard = 0xA5;
constexpr size_t kGuardBytes = 64;

// A buffer of `room` bytes followed by guard bytes that no call may touch.
struct GuardedBuffer {
  std::vector<unsigned char> bytes;
  size_t room;
  explicit GuardedBuffer(size_t room) : bytes(room + kGuardBytes, 0x5A), room(room) {
    std::fill(bytes.begin() + room, bytes.end(), kGuard);
  }
  bool GuardIntact() const {
    return std::all_of(bytes.begin() + room, bytes.end(),
                       [](unsigned char b) { return b == kGuard; });
  }
};

using BufferTest = EngineTest;

TEST_P(BufferTest, SignatureLargerThanTheRoomFailsWithoutWriting) {
  UserHandle user(engine_, keys());
  const std::string data = "2|12";
  const size_t needed = user.Sign(data).signature.size();
  ASSERT_GT(needed, 0u);
  // ECDSA signatures vary by a byte or two in length; eight less never fits.
  for (size_t room : {size_t{0}, size_t{1}, needed - 8}) {
    GuardedBuffer out(room);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    int32_t length = static_cast<int32_t>(room);
    EXPECT_NE(engine_.sign(user.handle(), &bytes, 4, out.bytes.data(), &length, 0), 0) << room;
    EXPECT_EQ(length, static_cast<int32_t>(room));
    EXPECT_TRUE(out.GuardIntact()) << room;
    EXPECT_TRUE(std::all_of(out.bytes.begin(), out.bytes.begin() + room,
                            [](unsigned char b) { return b == 0x5A; }));
  }
  GuardedBuffer enough(needed + 8);
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  int32_t length = static_cast<int32_t>(needed + 8);
  EXPECT_EQ(engine_.sign(user.handle(), &bytes, 4, enough.bytes.data(), &length, 0), 0);
  EXPECT_TRUE(enough.GuardIntact());
  EXPECT_LE(length, static_cast<int32_t>(needed + 8));
}

TEST_P(BufferTest, EncryptionStaysInsideTheRoomTheCallerMade) {
  UserHandle user(engine_, keys());
  const int32_t addition = engine_.maxAddition(user.handle());
  ASSERT_GT(addition, 0);
  for (size_t length : {0, 1, 16, 5000}) {
    GuardedBuffer buffer(length + static_cast<size_t>(addition));
    const std::string data = Bytes(length);
    std::copy(data.begin(), data.end(), buffer.bytes.begin());
    int32_t inOut = static_cast<int32_t>(length);
    ASSERT_EQ(engine_.encode(user.handle(), buffer.bytes.data(), &inOut, 0), 0);
    EXPECT_TRUE(buffer.GuardIntact()) << length;
    // Decryption shrinks in place and leaves what follows the input alone.
    GuardedBuffer sealed(static_cast<size_t>(inOut));
    std::copy(buffer.bytes.begin(), buffer.bytes.begin() + inOut, sealed.bytes.begin());
    char uid[65];
    ASSERT_EQ(engine_.decode(user.handle(), sealed.bytes.data(), &inOut, uid), 0);
    EXPECT_EQ(inOut, static_cast<int32_t>(length));
    EXPECT_TRUE(SameBytes(std::string(sealed.bytes.begin(), sealed.bytes.begin() + inOut), data));
    EXPECT_TRUE(sealed.GuardIntact()) << length;
  }
}

TEST_P(BufferTest, BadArgumentsFail) {
  UserHandle user(engine_, keys());
  unsigned char buffer[4096] = {};
  const unsigned char* none = nullptr;
  const unsigned char* data = buffer;
  int32_t room = sizeof buffer;
  int32_t negative = -1;
  char uid[65];
  EXPECT_NE(engine_.sign(user.handle(), nullptr, 1, buffer, &room, 0), 0);
  EXPECT_NE(engine_.sign(user.handle(), &none, 1, buffer, &room, 0), 0);
  EXPECT_NE(engine_.sign(user.handle(), &data, -1, buffer, &room, 0), 0);
  EXPECT_NE(engine_.sign(user.handle(), &data, 1, nullptr, &room, 0), 0);
  EXPECT_NE(engine_.sign(user.handle(), &data, 1, buffer, nullptr, 0), 0);
  EXPECT_NE(engine_.sign(user.handle(), &data, 1, buffer, &negative, 0), 0);
  EXPECT_NE(engine_.encode(user.handle(), buffer, &negative, 0), 0);
  EXPECT_NE(engine_.encode(user.handle(), nullptr, &room, 0), 0);
  EXPECT_NE(engine_.decode(user.handle(), buffer, &negative, uid), 0);
  int32_t length = 16;
  EXPECT_NE(engine_.decode(user.handle(), buffer, &length, nullptr), 0);
  // Sixteen zero bytes are no envelope.
  EXPECT_NE(engine_.decode(user.handle(), buffer, &length, uid), 0);
  EXPECT_EQ(length, 16);
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, BufferTest,
                         ::testing::Values(site::KeyKind::kEc, site::KeyKind::kRsa), KindName);

class KeyFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.Complete()) << engine_.library.LoadError(); }
  EngineLibrary engine_;
  TestKeys keys_{site::KeyKind::kEc};
};

TEST_F(KeyFileTest, SecretKeyOpenToOthersIsRefused) {
  const std::string sealed = UserHandle(engine_, keys_).Encode("text").bytes;
  ASSERT_FALSE(sealed.empty());
  for (mode_t mode : {0640, 0604, 0620, 0660, 0644, 0601}) {
    ASSERT_EQ(chmod(keys_.paths.userKey.c_str(), mode), 0);
    UserHandle user(engine_, keys_);
    EXPECT_NE(user.Sign("text").status, 0) << std::oct << mode;
    EXPECT_NE(user.Decode(sealed).status, 0) << std::oct << mode;
  }
  ASSERT_EQ(chmod(keys_.paths.userKey.c_str(), 0400), 0);
  UserHandle user(engine_, keys_);
  EXPECT_EQ(user.Sign("text").status, 0);
  EXPECT_EQ(user.Decode(sealed).status, 0);
}

TEST_F(KeyFileTest, UserNameCannotReachOutsideTheKeyDirectories) {
  // A copy of the user's files one level up, where "../name" would find them.
  const auto up = keys_.root.path();
  std::filesystem::copy_file(keys_.paths.userKey, up / "ivanov.key");
  std::filesystem::copy_file(keys_.paths.userCertificate, up / "ivanov.crt");
  for (const std::string name : {"../ivanov", "./../ivanov", "..", ".", ""}) {
    UserHandle user(engine_, name, keys_.secretKeyDir(), keys_.publicKeyDir());
    EXPECT_EQ(engine_.maxSignature(user.handle()), 0) << name;
    EXPECT_EQ(engine_.maxAddition(user.handle()), 0) << name;
    const unsigned char* data = reinterpret_cast<const unsigned char*>("x");
    unsigned char out[8192];
    int32_t room = sizeof out;
    EXPECT_NE(engine_.sign(user.handle(), &data, 1, out, &room, 0), 0) << name;
  }
}

TEST_F(KeyFileTest, MissingOrMismatchedKeysFail) {
  // A key that is not the certificate's: the site's key in the user's place.
  std::filesystem::remove(keys_.paths.userKey);
  std::filesystem::copy_file(keys_.paths.siteKey, keys_.paths.userKey);
  EXPECT_NE(UserHandle(engine_, keys_).Sign("x").status, 0);
  std::filesystem::remove(keys_.paths.userKey);
  EXPECT_NE(UserHandle(engine_, keys_).Sign("x").status, 0);
  // Without the user's certificate there is neither a signature size nor a recipient.
  std::filesystem::remove(keys_.paths.userCertificate);
  UserHandle user(engine_, keys_);
  EXPECT_EQ(engine_.maxSignature(user.handle()), 0);
  EXPECT_EQ(engine_.maxAddition(user.handle()), 0);
}

}  // namespace
}  // namespace quillora::testing
