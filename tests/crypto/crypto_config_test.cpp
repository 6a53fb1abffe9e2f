#include "crypto/crypto_config.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "control/error_register.h"
#include "crypto/config_file.h"
#include "tests/support/recording_pause.h"

namespace quillora {
namespace {

struct ValueCase {
  const char* label;
  Text text;
  const char* key;
  std::size_t start;
  std::size_t end;
  Text expected;
};

TEST(ReadConfigValueTest, FindsTheFirstOccurrenceWithinTheSection) {
  quillora::testing::QuietRuntime runtime;
  const Text twoSections = "[a]\r\nkey=one\r\n[b]\r\nother=x\r\nkey=two\r\n";
  const std::size_t b = twoSections.find("[b]");
  const std::vector<ValueCase> cases = {
      {"plain", "key=v\r\n", "key", 0, 7, "v"},
      {"value runs to the line end unchanged", "key= \"v\" x \r\n", "key", 0, 13, " \"v\" x "},
      {"one separator of any kind", "key\tv\r\n", "key", 0, 7, "v"},
      {"no line end after the value", "key=v", "key", 0, 5, ""},
      {"key at the very end", "x\r\nkey", "key", 0, 6, ""},
      {"key ending its line has no value", "key\r\nnext=v\r\n", "key", 0, 13, ""},
      {"inside a longer name", "secondary key=s\r\n", "key", 0, 17, "s"},
      {"first occurrence counts", "key=1\r\nkey=2\r\n", "key", 0, 14, "1"},
      {"case matters", "KEY=1\r\nkey=2\r\n", "key", 0, 14, "2"},
      {"a lone CR is part of the value", "key=a\rb\r\n", "key", 0, 9, "a\rb"},
      {"only in the next section", twoSections, "other", 0, b, ""},
      {"found from the section start on", twoSections, "key", b, twoSections.size(), "two"},
      {"begins exactly at the section end", "ab key=v\r\n", "key", 0, 3, "v"},
      {"missing", "a=b\r\n", "key", 0, 5, ""},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ReadConfigValue(c.text, c.key, c.start, c.end), c.expected);
  }
}

TEST(ReadConfigValueTest, ReadsNothingWhileAnErrorIsRecorded) {
  quillora::testing::QuietRuntime runtime;
  RecordError(-3);
  EXPECT_EQ(ReadConfigValue("key=v\r\n", "key", 0, 7), "");
}

TEST(ConfigNumberTest, ReadsLikeAtoi) {
  const std::vector<std::pair<Text, int32_t>> cases = {
      {"1", 1},
      {" 12", 12},
      {"\t\r\n\v\f7", 7},
      {"+5", 5},
      {"-42x", -42},
      {"abc", 0},
      {"", 0},
      {"- 1", 0},
      {"12 34", 12},
      {"0x10", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"99999999999999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ConfigNumber(text), expected) << "[" << text << "]";
  }
}

TEST(JoinPathTest, PutsOneSlashBetween) {
  EXPECT_EQ(JoinPath("/opt/halvane", "halvane.cfg"), "/opt/halvane/halvane.cfg");
  EXPECT_EQ(JoinPath("/opt/halvane/", "halvane.cfg"), "/opt/halvane/halvane.cfg");
  EXPECT_EQ(JoinPath("/", "halvane.cfg"), "/halvane.cfg");
}

}  // namespace
}  // namespace quillora
