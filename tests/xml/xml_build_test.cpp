// Building and changing a document: the store skeleton, elements, attributes, values.
#include <functional>

#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

using BuildTest = XmlDocumentTest;

constexpr char kSkeleton[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
    "<!--Velt.Quillora data file-->\n"
    "<!--NOTE - Velt.Quillora will add and remove data here. \n"
    "\tDO NOT EDIT what you see in these blocks of generated code!-->\n"
    "<ROOT Gen=\"Velt.Quillora\" Ver=\"1.0\"/>\n";

TEST_F(BuildTest, NewStoreSkeleton) {
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.CreateNew("ROOT", "", root));
  EXPECT_EQ(dom::Name(root), "ROOT");
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml", "#comment", "#comment", "ROOT"}));
  XmlNodeList top;
  ASSERT_TRUE(doc_.GetChildNodes(top));
  EXPECT_EQ(dom::TextOf(top.Item(0)), "version='1.0'");
  EXPECT_EQ(doc_.GetXml(), kSkeleton);
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(BuildTest, EncodingInstructionFollowsTheDeclaration) {
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.CreateNew("ROOT", "windows-1251", root));
  EXPECT_EQ(TopLevelNames(),
            (std::vector<Text>{"xml", "encoding", "#comment", "#comment", "ROOT"}));
}

// A second root is refused before anything is added.
TEST_F(BuildTest, CreateNewOnADocumentWithARootRecordsMinus22) {
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.CreateNew("ROOT", "", root));
  XmlNode second = nullptr;
  EXPECT_FALSE(doc_.CreateNew("ROOT", "", second));
  EXPECT_EQ(RecordedCode(), -22);
  EXPECT_EQ(second, nullptr);
  ScopedErrorRegister fresh;
  EXPECT_EQ(doc_.GetXml(), kSkeleton);
}

TEST_F(BuildTest, CreateNewWithABadRootNameRecordsMinus22) {
  XmlNode root = nullptr;
  EXPECT_FALSE(doc_.CreateNew("<ROOT>", "", root));
  EXPECT_EQ(RecordedCode(), -22);
  ScopedErrorRegister fresh;
  EXPECT_EQ(TopLevelNames(), std::vector<Text>{});
}

// A loaded store whose root went keeps its own declaration; CreateNew adds no second.
TEST_F(BuildTest, CreateNewKeepsOneDeclaration) {
  Load("<?xml version='1.0'?><ROOT><OFFERS><OFFER ID='1'/></OFFERS></ROOT>");
  ASSERT_TRUE(doc_.RemoveNode(Find("OFFER"), true));
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml"}));
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.CreateNew("ROOT", "", root));
  EXPECT_EQ(TopLevelNames(), (std::vector<Text>{"xml", "#comment", "#comment", "ROOT"}));
  EXPECT_EQ(RecordedCode(), 0);
}

TEST_F(BuildTest, ElementsAreAppendedInOrder) {
  XmlNode root = nullptr, a = nullptr, b = nullptr, inner = nullptr;
  ASSERT_TRUE(doc_.AddElement("R", root));
  ASSERT_TRUE(doc_.AddElement("A", a, root));
  ASSERT_TRUE(doc_.AddElement("B", b, root));
  ASSERT_TRUE(doc_.AddElement(Cp1251(u8"Товар"), inner, a));
  EXPECT_EQ(ChildNames(root), (std::vector<Text>{"A", "B"}));
  XmlNode found = nullptr;
  ASSERT_TRUE(doc_.FindFirstElement(Cp1251(u8"Товар"), found));
  EXPECT_EQ(found, inner);
  EXPECT_EQ(RecordedCode(), 0);
}

// Where the DOM refuses an element, -22 is recorded and the document is unchanged.
TEST(BuildFailureTest, RefusedElementsRecordMinus22) {
  const struct {
    const char* what;
    std::function<bool(CXmlDocument&, XmlNode)> add;
  } cases[] = {
      {"second root",
       [](CXmlDocument& d, XmlNode) {
         XmlNode e = nullptr;
         return d.AddElement("S", e);
       }},
      {"below a text node",
       [](CXmlDocument& d, XmlNode root) {
         XmlNode e = nullptr;
         return d.AddElement("S", e, root->children);
       }},
      {"name starting with a digit",
       [](CXmlDocument& d, XmlNode root) {
         XmlNode e = nullptr;
         return d.AddElement("1S", e, root);
       }},
      {"name with a blank",
       [](CXmlDocument& d, XmlNode root) {
         XmlNode e = nullptr;
         return d.AddElement("S T", e, root);
       }},
      {"empty name",
       [](CXmlDocument& d, XmlNode root) {
         XmlNode e = nullptr;
         return d.AddElement("", e, root);
       }},
      {"parent from another document",
       [](CXmlDocument& d, XmlNode) {
         CXmlDocument other;
         XmlNode foreign = nullptr, e = nullptr;
         other.AddElement("F", foreign);
         return d.AddElement("S", e, foreign);
       }},
  };
  for (const auto& c : cases) {
    QuietRuntime runtime;
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<R>t</R>", nullptr));
    XmlNode root = nullptr;
    ASSERT_TRUE(doc.GetDocumentElement(root));
    EXPECT_FALSE(c.add(doc, root)) << c.what;
    EXPECT_EQ(RecordedCode(), -22) << c.what;
    ScopedErrorRegister fresh;
    EXPECT_EQ(doc.GetXml(), "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<R>t</R>\n")
        << c.what;
  }
}

TEST_F(BuildTest, Attributes) {
  Load("<R b='1' a='2'/>");
  ASSERT_TRUE(doc_.SetAttribute("b", "changed"));  // no node: the document element
  ASSERT_TRUE(doc_.SetAttribute("c", Cp1251(u8"Гвозди & <винты>"), Find("R")));
  EXPECT_NE(
      doc_.GetXml().find(Cp1251(u8"<R b=\"changed\" a=\"2\" c=\"Гвозди &amp; &lt;винты&gt;\"/>")),
      Text::npos)
      << doc_.GetXml();
  EXPECT_EQ(RecordedCode(), 0);
}

TEST(AttributeFailureTest, RefusedAttributes) {
  const struct {
    const char* text;
    Text name;
    Text value;
    bool onText;
    int32_t code;
  } cases[] = {
      {"<R/>", "1a", "v", false, -8},
      {"<R/>", "a b", "v", false, -8},
      {"<R/>", "a", "bell\x07", false, -8},  // would make the saved file unreadable
      {"<R>t</R>", "a", "v", true, -9},      // a text node has no attribute map
  };
  for (const auto& c : cases) {
    QuietRuntime runtime;
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(c.text, nullptr));
    XmlNode root = nullptr;
    ASSERT_TRUE(doc.GetDocumentElement(root));
    EXPECT_FALSE(doc.SetAttribute(c.name, c.value, c.onText ? root->children : root)) << c.name;
    EXPECT_EQ(RecordedCode(), c.code) << c.name;
  }
  QuietRuntime runtime;
  CXmlDocument empty;
  EXPECT_FALSE(empty.SetAttribute("a", "v"));  // no document element
  EXPECT_EQ(RecordedCode(), -9);
}

// Text content is added in two steps; text nodes appended one after the other stay apart.
TEST_F(BuildTest, TextNodesAreAppendedAndFilled) {
  XmlNode root = nullptr, first = nullptr, second = nullptr;
  ASSERT_TRUE(doc_.AddElement("OFFER", root));
  ASSERT_TRUE(doc_.AppendTextNode("text", first, root));
  ASSERT_TRUE(doc_.SetNodeValue("a & b", first));
  ASSERT_TRUE(doc_.AppendTextNode("text", second, root));
  ASSERT_NE(first, second);
  ASSERT_TRUE(doc_.SetNodeValue(Cp1251(u8"ж"), second));
  EXPECT_EQ(ChildNames(root), (std::vector<Text>{"#text", "#text"}));
  EXPECT_EQ(dom::TextOf(first), "a & b");
  Text markup;
  ASSERT_TRUE(doc_.GetNodeXml(markup, root));
  EXPECT_EQ(markup, Cp1251(u8"<OFFER>a &amp; bж</OFFER>"));

  XmlNode refused = nullptr;
  EXPECT_FALSE(doc_.AppendTextNode("text", refused));  // the document takes no text
  EXPECT_EQ(RecordedCode(), -8);
  EXPECT_EQ(refused, nullptr);
}

TEST_F(BuildTest, ValuesOfNodesThatCarryOne) {
  Load("<?xml version='1.0'?><R a='old'>text<!--note--><?step go?><![CDATA[data]]></R>");
  XmlNode root = Find("R");
  const XmlNodeList children = dom::Children(root);
  for (int32_t i = 0; i < children.Length(); ++i) {
    ASSERT_TRUE(doc_.SetNodeValue("new&<", children.Item(i))) << dom::Name(children.Item(i));
    EXPECT_EQ(dom::TextOf(children.Item(i)), "new&<");
  }
  ASSERT_TRUE(doc_.SetNodeValue("a&b", reinterpret_cast<XmlNode>(root->properties)));
  Text value;
  ASSERT_TRUE(doc_.GetAttribute("a", value, root));
  EXPECT_EQ(value, "a&b");
  EXPECT_EQ(RecordedCode(), 0);
}

TEST(NodeValueFailureTest, NodesWithoutValueRecordMinus9) {
  const struct {
    const char* what;
    Text value;
    std::function<XmlNode(XmlNode root)> node;
  } cases[] = {
      {"document", "v", [](XmlNode) { return XmlNode(nullptr); }},
      {"element", "v", [](XmlNode root) { return root; }},
      {"entity reference", "v", [](XmlNode root) { return root->children->next; }},
      {"control character", "a\x01", [](XmlNode root) { return root->children; }},
      {"comment end inside a comment", "a--b", [](XmlNode root) { return root->last; }},
  };
  for (const auto& c : cases) {
    QuietRuntime runtime;
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<!DOCTYPE R [<!ENTITY e 'ex'>]><R>t&e;<!--c--></R>", nullptr));
    XmlNode root = nullptr;
    ASSERT_TRUE(doc.GetDocumentElement(root));
    EXPECT_FALSE(doc.SetNodeValue(c.value, c.node(root))) << c.what;
    EXPECT_EQ(RecordedCode(), -9) << c.what;
    ScopedErrorRegister fresh;
    EXPECT_NE(doc.GetXml().find("<R>t&e;<!--c--></R>"), Text::npos) << c.what;
  }
}

}  // namespace
}  // namespace quillora::testing
