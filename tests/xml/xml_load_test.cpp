// Parsing: declarations, the code page, strictness, entities and white space.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

using LoadTest = XmlDocumentTest;

// Whatever the text declares, its bytes are read as Windows-1251.
TEST_F(LoadTest, ContentIsReadAsWindows1251WhateverTheDeclaration) {
  struct Case {
    Text text;
    std::string rootTextUtf8;
  };
  const Case cases[] = {
      {"<R>\xC6</R>", "Ж"},
      {"<?xml version='1.0' encoding='windows-1251'?><R>\xC6</R>", "Ж"},
      // UTF-8 bytes of Ж are the two Windows-1251 characters Р and –.
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<R>\xD0\x96</R>", "Р–"},
      {"<?xml version='1.0' encoding='koi8-r'?><R>\xC6</R>", "Ж"},
      {"<?xml version='1.1' standalone='yes'?><R>\xB9</R>", "№"},
  };
  for (const Case& c : cases) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(c.text, nullptr)) << c.text;
    XmlNode root = nullptr;
    ASSERT_TRUE(doc.GetDocumentElement(root));
    EXPECT_EQ(Utf8Of(root->children), c.rootTextUtf8) << c.text;
  }
  EXPECT_EQ(RecordedCode(), 0);
}

// The declaration is the document's first child, so counts and walks see it.
TEST_F(LoadTest, DeclarationBecomesTheFirstChild) {
  Load("<?xml version='1.0'?><!--note--><R/>");
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml", "#comment", "R"}));
  int32_t count = 0;
  ASSERT_TRUE(doc_.GetListLength(count));
  EXPECT_EQ(count, 3);
  XmlNodeList top;
  ASSERT_TRUE(doc_.GetChildNodes(top));
  EXPECT_EQ(dom::Type(top.Item(0)), dom::kProcessingInstruction);
  EXPECT_EQ(dom::TextOf(top.Item(0)), "version='1.0' encoding='windows-1251'");
}

// Everything up to the first "?>" goes, wherever it stands.
TEST_F(LoadTest, TextIsCutAtTheFirstEndOfAProcessingInstruction) {
  {
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadXml("<?xml version='1.0'?><R><?step one?></R>", nullptr));
  }
  EXPECT_EQ(RecordedCode(), 0);
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadXml("<R><?step one?></R>", nullptr));  // leaves "</R>"
  EXPECT_EQ(RecordedCode(), -10);
}

class MalformedTest : public XmlDocumentTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MalformedTest, RecordsMinus10AndBlocksLaterOperations) {
  Load("<KEPT/>");
  Text errorText = "untouched";
  EXPECT_FALSE(doc_.LoadXml(GetParam(), &errorText));
  EXPECT_EQ(RecordedCode(), -10);
  EXPECT_EQ(errorText, "untouched");

  XmlNode node = nullptr;
  EXPECT_FALSE(doc_.FindFirstElement("KEPT", node));
  EXPECT_EQ(node, nullptr);
  EXPECT_EQ(doc_.GetXml(), "");
  EXPECT_FALSE(doc_.LoadXml("<R/>", nullptr));
  EXPECT_EQ(RecordedCode(), -10);
}

// Nested entities referenced from an attribute: libxml2 expands such a value to check
// it, and in huge mode it would never stop.
std::string EntityBomb() {
  std::string text = "<!DOCTYPE R [<!ENTITY e0 'abcdefghijklmnopqrstuvwxyz'>";
  for (int i = 1; i < 12; ++i) {
    text += "<!ENTITY e" + std::to_string(i) + " '";
    for (int k = 0; k < 10; ++k) text += "&e" + std::to_string(i - 1) + ";";
    text += "'>";
  }
  return text + "]><R a='&e11;'/>";
}
const std::string kEntityBomb = EntityBomb();

INSTANTIATE_TEST_SUITE_P(NotWellFormed, MalformedTest,
                         ::testing::Values("", "plain text", "<R>", "<R></S>", "<R/><S/>",
                                           "<R/>tail", "<R a=1/>", "<R a='1' a='2'/>", "<1R/>",
                                           "<R>\x01</R>", "<R>&#1;</R>", "<R>]]></R>",
                                           "<R>&undefined;</R>",
                                           // Behind an external subset libxml2 only warns about it.
                                           "<!DOCTYPE R SYSTEM 'r.dtd'><R>&undefined;</R>",
                                           "<R a='&undefined;'/>", kEntityBomb.c_str()));

TEST_F(LoadTest, EntityReferencesStayNodes) {
  Load("<!DOCTYPE R [<!ENTITY e 'ex'>]><R a='1&e;2'>a&e;b&lt;c</R>");
  XmlNode root = Find("R");
  EXPECT_EQ(ChildNames(root), (std::vector<Text>{"#text", "e", "#text"}));
  const XmlNodeList children = dom::Children(root);
  EXPECT_EQ(dom::Type(children.Item(1)), dom::kEntityReference);
  EXPECT_FALSE(dom::HasChildNodes(children.Item(1)));
  EXPECT_EQ(dom::TextOf(children.Item(2)), "b<c");  // predefined entities are text

  Text value;
  ASSERT_TRUE(doc_.GetAttribute("a", value, root));
  EXPECT_EQ(value, "1ex2");
  const Text xml = doc_.GetXml();
  EXPECT_NE(xml.find("<!ENTITY e \"ex\">"), Text::npos) << xml;
  EXPECT_NE(xml.find(">a&e;b&lt;c</R>"), Text::npos) << xml;
}

// An external entity is neither fetched nor read: its reference stays empty.
TEST_F(LoadTest, ExternalEntitiesAreNotRead) {
  TempDir dir;
  const std::string secret = dir.Write("secret.txt", "SECRET-CONTENT");
  Load("<!DOCTYPE R [<!ENTITY e SYSTEM '" + secret + "'>]><R>&e;</R>");
  EXPECT_EQ(doc_.GetXml().find("SECRET"), Text::npos);
  EXPECT_FALSE(dom::HasChildNodes(Find("R")->children));
}

TEST_F(LoadTest, WhiteSpaceOnlyTextIsDropped) {
  Load("<R>\n\t<A> \r\n\t </A>\r\n <B> x </B> \t<C><![CDATA[ ]]></C>\n</R>");
  EXPECT_EQ(ChildNames(Find("R")), (std::vector<Text>{"A", "B", "C"}));
  EXPECT_FALSE(dom::HasChildNodes(Find("A")));
  EXPECT_EQ(dom::TextOf(Find("B")->children), " x ");
  EXPECT_EQ(ChildNames(Find("C")), (std::vector<Text>{"#cdata-section"}));
}

TEST_F(LoadTest, NewTextReplacesThePreviousDocument) {
  Load("<FIRST/>");
  Load("<SECOND/>");
  XmlNode node = nullptr;
  EXPECT_FALSE(doc_.FindFirstElement("FIRST", node));
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml", "SECOND"}));
  EXPECT_EQ(RecordedCode(), 0);
}

// libxml2 stops a text node that it puts together from pieces at 10 MB unless told
// otherwise; a store may hold a longer one.
TEST_F(LoadTest, VeryLongTextLoads) {
  constexpr int kPieces = 420 * 1024;  // 26 characters each: over 11 million
  Text markup = "<OFFER>";
  for (int i = 0; i < kPieces; ++i) markup += "abcdefghijklmnopqrstuvwxy&amp;";
  Load(markup + "</OFFER>");
  Text read;
  ASSERT_TRUE(doc_.GetNodeText(read, Find("OFFER")));
  EXPECT_EQ(read.size(), 26u * kPieces);
  EXPECT_EQ(read.substr(read.size() - 2), "y&");
}

// Captures what is written to the process's stderr while it lives.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()), saved_(::dup(2)) {
    std::fflush(stderr);
    ::dup2(::fileno(file_), 2);
  }
  ~StderrCapture() {
    Restore();
    std::fclose(file_);
  }
  std::string Text() {
    Restore();
    std::string content;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;) content.push_back(static_cast<char>(c));
    return content;
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
    saved_ = -1;
  }
  std::FILE* file_;
  int saved_;
};

TEST(LoadDiagnosticsTest, NothingReachesStderr) {
  StderrCapture capture;
  for (const char* text : {"<R>", "<R>&undefined;</R>", "<!DOCTYPE R SYSTEM 'r.dtd'><R>&u;</R>",
                           "<a:b/>", "<R xmlns:p=''/>", "<R>\x01</R>"}) {
    QuietRuntime runtime;
    CXmlDocument doc;
    doc.LoadXml(text, nullptr);
    doc.GetXml();
  }
  {
    QuietRuntime runtime;
    CXmlDocument doc;
    doc.LoadXml("<R a='&#x4E2D;'>&#x1F600;&#152;</R>", nullptr);  // not in the code page
    doc.GetXml();
  }
  EXPECT_EQ(capture.Text(), "");
}

}  // namespace
}  // namespace quillora::testing
