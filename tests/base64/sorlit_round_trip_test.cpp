#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>
#include <vector>

#include "base64/base64_codec.h"
#include "tests/base64/sorlit_library.h"

namespace quillora::base64::testing {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t length) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(length, '\0');
  for (char& b : bytes) b = static_cast<char>(byte(random));
  return bytes;
}

std::string OpenSslText(const std::string& bytes) {
  std::string text(EncodedLength(bytes.size()) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                     reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// The text broken into lines of `width` characters with CR LF, and a blank in front of
// every line, as a text typed or mailed may come.
std::string Wrapped(const std::string& text, std::size_t width) {
  std::string wrapped;
  for (std::size_t at = 0; at < text.size(); at += width) {
    wrapped += ' ';
    wrapped += text.substr(at, width);
    wrapped += "\r\n";
  }
  return wrapped;
}

class SorlitRoundTripTest : public SorlitLibraryTest {
 protected:
  void ExpectRoundTrip(const std::string& bytes) {
    const std::string text = Encode(bytes);
    if (bytes.empty()) {
      EXPECT_EQ(text, "<null>");
      return;
    }
    ASSERT_EQ(text, OpenSslText(bytes)) << "length " << bytes.size();
    for (const std::string& form : {text, Wrapped(text, 76), Wrapped(text, 5)}) {
      const Decoded decoded = Decode(Wide(form));
      ASSERT_EQ(decoded.result, 1) << "length " << bytes.size();
      ASSERT_EQ(decoded.bytes, bytes) << "length " << bytes.size();
    }
  }
  std::mt19937 random_{20240611};
};

TEST_F(SorlitRoundTripTest, MatchesOpenSslForEveryShortLength) {
  for (std::size_t length = 0; length <= 300; ++length) {
    ExpectRoundTrip(RandomBytes(random_, length));
    if (HasFatalFailure()) return;
  }
}

TEST_F(SorlitRoundTripTest, MatchesOpenSslForALargeBuffer) {
  ExpectRoundTrip(RandomBytes(random_, (1 << 20) + 1));
}

TEST_F(SorlitRoundTripTest, ConcatenatedTextsGiveConcatenatedBytes) {
  for (std::size_t first = 1; first <= 7; ++first) {
    for (std::size_t second = 1; second <= 7; ++second) {
      const std::string a = RandomBytes(random_, first);
      const std::string b = RandomBytes(random_, second);
      const Decoded decoded = Decode(Wide(Encode(a) + Encode(b)));
      ASSERT_EQ(decoded.result, 1);
      EXPECT_EQ(decoded.bytes, a + b) << first << "+" << second;
    }
  }
}

}  // namespace
}  // namespace quillora::base64::testing
