#include "proposal/presign.h"

#include <gtest/gtest.h>

#include "tests/support/recording_pause.h"
#include "tests/support/text.h"

namespace quillora {
namespace {

using testing::W;

struct Result {
  bool isNull;
  Text text;
  int32_t code;
};

Result Sequence(const Text& xml, const Text& start) {
  testing::QuietRuntime runtime;
  platform::AutomationString sequence = BuildPreSignSequence(xml, start);
  return Result{sequence == nullptr, WideToAnsi(platform::StringView(sequence.get())),
                TheErrorRegister().GetError()};
}

struct Case {
  const char* name;
  Text xml;
  Text start;
  Text expected;
};

class PreSignTest : public ::testing::TestWithParam<Case> {};

TEST_P(PreSignTest, GivesTheSequence) {
  const Case& c = GetParam();
  const Result result = Sequence(c.xml, c.start);
  EXPECT_FALSE(result.isNull);
  EXPECT_EQ(result.text, c.expected);
  EXPECT_EQ(result.code, 0);
}

const Text k255(255, 'x');
const Text k4096(4096, 'y');

INSTANTIATE_TEST_SUITE_P(
    Sequences, PreSignTest,
    ::testing::Values(Case{"three_children",
                           "<D><PRIVATE><ID>12</ID><NR>abc</NR><DT>01/02/2003</DT></PRIVATE></D>",
                           "PRIVATE", "2|123|abcA|01/02/2003"},
                      Case{"mixed_content", "<A>x<B>y</B>z</A>", "A", "1|x1|y1|z"},
                      Case{"attributes_do_not_count", "<A n='v'>t</A>", "A", "1|t"},
                      Case{"no_text_gives_empty", "<R><A><B/></A></R>", "A", ""},
                      Case{"length_255", "<A>" + k255 + "</A>", "A", "FF|" + k255},
                      Case{"length_4096", "<A>" + k4096 + "</A>", "A", "1000|" + k4096},
                      Case{"cyrillic_counts_bytes", W("<A>Ручк</A>"), "A", W("4|Ручк")},
                      Case{"entities_are_replaced", "<A>&lt;b&gt;</A>", "A", "3|<b>"},
                      Case{"character_references", "<A>&#65;&#x42;</A>", "A", "2|AB"},
                      Case{"empty_start_takes_root", "<R>1<S>2</S></R>", "", "1|11|2"},
                      Case{"first_of_several", "<R><A>1</A><A>2</A></R>", "A", "1|1"},
                      Case{"whitespace_between_elements_is_dropped",
                           "<R>\n\t<A>1</A>\n\t<B>  </B>\n</R>", "", "1|1"},
                      Case{"comments_and_cdata_contribute_nothing",
                           "<R><!--c--><![CDATA[d]]><A>1</A></R>", "", "1|1"},
                      Case{"outside_the_start_element_is_ignored", "<R>a<P>b</P>c</R>", "P", "1|b"},
                      Case{"declaration_is_replaced",
                           "<?xml version='1.0' encoding='utf-8'?><A>t</A>", "A", "1|t"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(PreSignFailureTest, NamesAreComparedExactly) {
  const Result result = Sequence("<R><PRIVATE>1</PRIVATE></R>", "private");
  EXPECT_TRUE(result.isNull);
  EXPECT_EQ(result.code, -3);
}

TEST(PreSignFailureTest, TextThatDoesNotParseGivesEmptyAndMinusTen) {
  for (const char* bad : {"not xml", "<a><b></a>", "", "<a/><b/>"}) {
    const Result result = Sequence(bad, "");
    EXPECT_FALSE(result.isNull) << bad;
    EXPECT_EQ(result.text, "") << bad;
    EXPECT_EQ(result.code, -10) << bad;
  }
}

TEST(PreSignFailureTest, ErrorRecordedBeforeGivesEmptyNotNull) {
  testing::QuietRuntime runtime;
  RecordError(-13);
  platform::AutomationString sequence = BuildPreSignSequence("<A>t</A>", "A");
  ASSERT_NE(sequence, nullptr);
  EXPECT_EQ(platform::StringLength(sequence.get()), 0u);
  EXPECT_EQ(TheErrorRegister().GetError(), -13);
}

}  // namespace
}  // namespace quillora
