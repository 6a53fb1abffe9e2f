// The quillora command as scripts use it: bytes in, bytes out, and the recorded error
// code on standard error with exit status 1.
#include <gtest/gtest.h>

#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::BuiltProgram;
using testing::RunCommand;
using testing::W;

testing::CommandResult Quillora(const std::vector<std::string>& args,
                                const std::string& input = "") {
  return RunCommand(BuiltProgram("quillora"), args, input);
}

const std::string kInput =
    W("<R><DROW oA='123' oKID='secret' oB='01-02-2003' lF='17'/>"
      "<OFFG gE='1' dG='Бумага' gC='10' gA='5' gF='50.00'/></R>");

TEST(CliTest, ComposeGivesTheEditorsDocumentWithoutTp) {
  const auto result = Quillora({"compose", "--date", "05/03/2003"}, kInput);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, 46), "<?xml version='1.0' encoding='windows-1251'?>\n");
  EXPECT_NE(result.out.find("\t<DOC TS='05/03/2003' TYPE='offer'>\n"), std::string::npos);
  EXPECT_NE(result.out.find(W("\t\t\t\t\t<NM>Бумага</NM>\n")), std::string::npos);
  EXPECT_EQ(result.out.find("secret"), std::string::npos);  // TP is not carried into the editor
  EXPECT_EQ(result.out.back(), '\n');
  EXPECT_EQ(result.out.substr(result.out.size() - 13), "</ZARN_ROOT>\n");

  // Its sequences are those the pipeline signs.
  const auto privatePart = Quillora({"presign", "--start", "PRIVATE"}, result.out);
  ASSERT_EQ(privatePart.status, 0) << privatePart.err;
  EXPECT_EQ(privatePart.out, "3|123A|01/02/2003");
  const auto whole = Quillora({"presign"}, result.out);
  EXPECT_EQ(whole.out, W("2|171|16|Бумага2|101|55|50.003|123A|01/02/2003"));
}

TEST(CliTest, Utf8ModeConvertsInputArgumentsAndOutput) {
  const auto result = Quillora({"--utf8", "presign", "--start", "Имя"}, "<R><Имя>Привет</Имя></R>");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "6|Привет");
}

TEST(CliTest, ReadsFromAFileOperand) {
  testing::TempDir dir;
  const auto result = Quillora({"presign", dir.Write("in.xml", "<A>t</A>")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "1|t");
}

TEST(CliTest, FailuresExitOneWithTheRecordedCode) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    std::string expected;
  } cases[] = {
      {{"presign"}, "not xml", "error -10:"},
      {{"presign", "--start", "MISSING"}, "<A/>", "error -3:"},
      {{"compose"}, "<R/>", "error 0:"},
      {{"compose"}, "<R><DROW></R>", "error -10:"},
      {{"compose", "--date", "2003-03-05"}, kInput, "error 0:"},
      {{"base64", "decode"}, "QU", "error -18:"},
      {{"presign", "/nonexistent/file"}, "", "error 0:"},
  };
  for (const Case& c : cases) {
    const auto result = Quillora(c.args, c.input);
    EXPECT_EQ(result.status, 1) << c.args[0];
    EXPECT_EQ(result.err.rfind(c.expected, 0), 0u) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

TEST(CliTest, Base64RoundTripsThroughTheLibrary) {
  const auto encoded = Quillora({"base64", "encode"}, "ABC");
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(encoded.out, "QUJD");
  const auto decoded = Quillora({"base64", "decode"}, "QUJD\r\nQQ==");
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out, "ABCA");
}

TEST(CliTest, UnknownCommandsAndOptionsAreRefused) {
  EXPECT_EQ(Quillora({"frobnicate"}).status, 2);
  EXPECT_EQ(Quillora({"presign", "--bogus"}, "<A/>").status, 1);
  EXPECT_EQ(Quillora({}).status, 2);
}

}  // namespace
}  // namespace quillora
