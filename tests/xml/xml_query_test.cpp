// Reading a document: searches, attributes, texts, lists and the direct node reads.
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

using QueryTest = XmlDocumentTest;

std::vector<Text> IdsOf(CXmlDocument& doc, const XmlNodeList& list) {
  std::vector<Text> ids;
  for (int32_t i = 0; i < list.Length(); ++i) {
    Text id;
    EXPECT_TRUE(doc.GetAttribute("i", id, list.Item(i)));
    ids.push_back(id);
  }
  return ids;
}

TEST_F(QueryTest, SearchByTagNameIsExactAndInDocumentOrder) {
  Load("<R xmlns:p='urn:p'><A i='1'><A i='2'/></A><B><A i='3'/><a i='x'/></B><p:A i='4'/></R>");
  XmlNodeList list;
  int32_t count = -1;
  ASSERT_TRUE(doc_.FindElements("A", list, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(IdsOf(doc_, list), (std::vector<Text>{"1", "2", "3"}));

  XmlNode first = nullptr;
  ASSERT_TRUE(doc_.FindFirstElement("A", first));
  EXPECT_EQ(first, list.Item(0));
  ASSERT_TRUE(doc_.FindElements("p:A", list, count));
  EXPECT_EQ(IdsOf(doc_, list), (std::vector<Text>{"4"}));
  // The document element itself is found by its name.
  ASSERT_TRUE(doc_.FindFirstElement("R", first));
  EXPECT_EQ(first, Find("R"));
}

TEST_F(QueryTest, MissingElementIsNoError) {
  Load("<R><A/></R>");
  XmlNode node = nullptr;
  EXPECT_FALSE(doc_.FindFirstElement("MISSING", node));
  EXPECT_FALSE(doc_.FindFirstElement("a", node));
  EXPECT_EQ(node, nullptr);

  XmlNodeList list;
  int32_t count = -1;
  ASSERT_TRUE(doc_.FindElements("MISSING", list, count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(list.IsNull());

  // An empty name is refused without a code.
  EXPECT_FALSE(doc_.FindElements("", list, count));
  EXPECT_FALSE(doc_.FindFirstElement("", node));
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(QueryTest, AttributeValues) {
  Load(
      Cp1251(u8"<!DOCTYPE R [<!ENTITY e 'ex'>]>"
             u8"<R xmlns:p='urn:p' NM='Гвозди' q='a &amp; &lt;b&gt;' r='&e;' p:s='ns'/>"));
  const struct {
    Text name;
    Text value;
  } cases[] = {
      {"NM", Cp1251(u8"Гвозди")}, {"q", "a & <b>"}, {"r", "ex"}, {"p:s", "ns"},
      {"xmlns:p", "urn:p"},       {"missing", ""},  {"nm", ""},  // names are case-sensitive
  };
  for (const auto& c : cases) {
    Text value = "before";
    ASSERT_TRUE(doc_.GetAttribute(c.name, value, Find("R"))) << c.name;
    EXPECT_EQ(value, c.value) << c.name;
  }
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(QueryTest, OnlyElementsHaveAttributes) {
  Load("<R>text</R>");
  Text value = "kept";
  EXPECT_FALSE(doc_.GetAttribute("a", value));  // the document
  EXPECT_EQ(RecordedCode(), -6);
  EXPECT_EQ(value, "kept");
}

TEST_F(QueryTest, TextAttributeMapIsMissingToo) {
  Load("<R>text</R>");
  Text value;
  EXPECT_FALSE(doc_.GetAttribute("a", value, Find("R")->children));
  EXPECT_EQ(RecordedCode(), -6);
}

TEST_F(QueryTest, NodeTextIsTheFirstTextChildOnly) {
  Load(
      "<?xml version='1.0'?><!DOCTYPE R [<!ENTITY e 'ex'>]><R>"
      "<MIXED>first<C>inner</C>second</MIXED>"
      "<NESTED><C>inner</C></NESTED>"
      "<CDATA><![CDATA[data]]></CDATA>"
      "<EMPTY/>"
      "<AFTER><!--note--><?pi x?>&e;text</AFTER>"
      "</R>");
  const struct {
    Text element;
    Text text;
  } cases[] = {{"MIXED", "first"}, {"NESTED", ""}, {"CDATA", ""}, {"EMPTY", ""}, {"AFTER", "text"}};
  for (const auto& c : cases) {
    Text text = "before";
    ASSERT_TRUE(doc_.GetNodeText(text, Find(c.element))) << c.element;
    EXPECT_EQ(text, c.text) << c.element;
  }
  Text text = "before";
  ASSERT_TRUE(doc_.GetNodeText(text));  // the document has no value
  EXPECT_EQ(text, "");
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(QueryTest, ChildText) {
  Load(Cp1251(u8"<PRIVATE><ID>12</ID><NR>Лот</NR><EMPTY/><ID>second</ID></PRIVATE>"));
  XmlNode parent = Find("PRIVATE");
  Text text = "before";
  ASSERT_TRUE(doc_.GetChildText(parent, "ID", text));
  EXPECT_EQ(text, "12");
  ASSERT_TRUE(doc_.GetChildText(parent, "NR", text));
  EXPECT_EQ(text, Cp1251(u8"Лот"));
  ASSERT_TRUE(doc_.GetChildText(parent, "EMPTY", text));
  EXPECT_EQ(text, "");

  text = "kept";
  EXPECT_TRUE(doc_.GetChildText(parent, "MISSING", text));
  EXPECT_TRUE(doc_.GetChildText(parent, "id", text));
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(doc_.GetChildText(nullptr, "ID", text));
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(QueryTest, ListsAndChildren) {
  Load("<R><A/>text<!--c--></R>");
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.GetDocumentElement(root));
  XmlNodeList children;
  ASSERT_TRUE(doc_.GetChildNodes(children, root));
  int32_t count = 0;
  ASSERT_TRUE(doc_.GetListLength(count, &children));
  EXPECT_EQ(count, 3);
  XmlNode item = nullptr;
  ASSERT_TRUE(doc_.GetListItem(children, 2, item));
  Text name;
  ASSERT_TRUE(doc_.GetNodeName(item, name));
  EXPECT_EQ(name, "#comment");

  bool has = false;
  ASSERT_TRUE(doc_.HasChildren(root, &has, &count));
  EXPECT_TRUE(has);
  EXPECT_EQ(count, 3);
  ASSERT_TRUE(doc_.HasChildren(item, &has, &count));
  EXPECT_FALSE(has);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(doc_.HasChildren(root, nullptr, &count));
  EXPECT_FALSE(doc_.HasChildren(nullptr, &has, nullptr));
  EXPECT_EQ(RecordedCode(), 0);

  // An index past the end is a failed call.
  EXPECT_FALSE(doc_.GetListItem(children, 3, item));
  EXPECT_EQ(RecordedCode(), -9);
}

// Reads that fail for want of a node: each records -9.
TEST(QueryFailureTest, MissingNodesRecordMinus9) {
  const std::function<bool(CXmlDocument&)> calls[] = {
      [](CXmlDocument& d) {
        XmlNode root = nullptr;
        return d.GetDocumentElement(root);  // an empty document has none
      },
      [](CXmlDocument& d) {
        Text name;
        return d.GetNodeName(nullptr, name);
      },
      [](CXmlDocument& d) {
        XmlNode item = nullptr;
        return d.GetListItem(XmlNodeList(), 0, item);
      },
      [](CXmlDocument& d) {
        int32_t count = 0;
        const XmlNodeList none;
        return d.GetListLength(count, &none);
      },
  };
  for (const auto& call : calls) {
    QuietRuntime runtime;
    CXmlDocument doc;
    EXPECT_FALSE(call(doc));
    EXPECT_EQ(RecordedCode(), -9);
  }
}

TEST_F(QueryTest, DirectNodeReads) {
  Load(
      "<?xml version='1.0'?><!DOCTYPE R [<!ENTITY e 'ex'>]>"
      "<R>x&lt;b&gt;<![CDATA[c]]><!--note--><?step go?>&e;<p:E xmlns:p='urn:p'/></R>");
  const XmlNodeList children = dom::Children(Find("R"));
  const struct {
    int32_t type;
    Text name;
    Text text;
  } expected[] = {
      {dom::kText, "#text", "x<b>"},       {dom::kCData, "#cdata-section", "c"},
      {dom::kComment, "#comment", "note"}, {dom::kProcessingInstruction, "step", "go"},
      {dom::kEntityReference, "e", ""},    {dom::kElement, "p:E", ""},
  };
  ASSERT_EQ(children.Length(), 6);
  for (int32_t i = 0; i < children.Length(); ++i) {
    EXPECT_EQ(dom::Type(children.Item(i)), expected[i].type) << i;
    EXPECT_EQ(dom::Name(children.Item(i)), expected[i].name) << i;
    EXPECT_EQ(dom::TextOf(children.Item(i)), expected[i].text) << i;
  }
  EXPECT_EQ(dom::Type(nullptr), dom::kDocument);
  EXPECT_EQ(dom::Name(nullptr), "#document");
  EXPECT_EQ(dom::Type(Find("R")->parent), dom::kDocument);
  EXPECT_EQ(dom::Name(Find("R")->parent), "#document");
  EXPECT_EQ(dom::Children(children.Item(4)).Length(), 0);  // the entity's content is not here
}

}  // namespace
}  // namespace quillora::testing
