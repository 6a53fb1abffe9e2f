// Serialised markup: the declaration, the code page, references for what it lacks, and
// files that other XML readers decode right.
#include <cstdio>
#include <memory>

#include "tests/support/temp_dir.h"
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

using MarkupTest = XmlDocumentTest;

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n";

TEST_F(MarkupTest, DocumentIsWrittenInWindows1251UnderItsOwnDeclaration) {
  const Text cyrillic = Cp1251(u8"Гвозди «Ёж» №5");
  Load("<?xml version='1.0' encoding='UTF-8'?><!--c--><R NM='" + cyrillic + "'><A>" + cyrillic +
       "</A><B/></R>");
  const Text expected =
      Text(kDeclaration) + "<!--c-->\n<R NM=\"" + cyrillic + "\"><A>" + cyrillic + "</A><B/></R>\n";
  EXPECT_EQ(doc_.GetXml(), expected);
  Text markup;
  ASSERT_TRUE(doc_.GetNodeXml(markup));
  EXPECT_EQ(markup, expected);
}

TEST_F(MarkupTest, DeclarationLeadsEvenADocumentWithoutOne) {
  XmlNode root = nullptr;
  ASSERT_TRUE(doc_.AddElement("R", root));
  EXPECT_EQ(doc_.GetXml(), Text(kDeclaration) + "<R/>\n");
}

TEST_F(MarkupTest, MarkupOfSingleNodes) {
  Load("<R a='1&amp;'><B>x &lt; y</B>t&gt;<!--c--></R>");
  XmlNode root = Find("R");
  const struct {
    XmlNode node;
    Text markup;
  } cases[] = {
      {Find("B"), "<B>x &lt; y</B>"},
      {root->children->next, "t&gt;"},
      {root->last, "<!--c-->"},
      {reinterpret_cast<XmlNode>(root->properties), "a=\"1&amp;\""},
      {root->parent, Text(kDeclaration) + "<R a=\"1&amp;\"><B>x &lt; y</B>t&gt;<!--c--></R>\n"},
  };
  for (const auto& c : cases) {
    Text markup;
    ASSERT_TRUE(doc_.GetNodeXml(markup, c.node));
    EXPECT_EQ(markup, c.markup);
  }
}

// What the code page lacks is written as a character reference and read back whole.
TEST_F(MarkupTest, CharactersOutsideTheCodePageSurviveAsReferences) {
  Load("<R a='&#x4E2D;'>&#x1F600;\x98</R>");
  const Text xml = doc_.GetXml();
  EXPECT_NE(xml.find("<R a=\"&#20013;\">&#128512;"), Text::npos) << xml;

  CXmlDocument again;
  ASSERT_TRUE(again.LoadXml(xml, nullptr));
  XmlNode root = nullptr;
  ASSERT_TRUE(again.GetDocumentElement(root));
  EXPECT_EQ(Utf8Of(root->children), "😀\u0098");
  EXPECT_EQ(Utf8Of(root->properties->children), "中");
  Text text;
  ASSERT_TRUE(again.GetNodeText(text, root));
  EXPECT_EQ(text, "?\x98");  // read out in the code page
}

// The store cycle: skeleton, file, text, second document.
TEST_F(MarkupTest, NewStoreSurvivesFileAndReload) {
  TempDir dir;
  const std::string path = dir.File("Quillora.xml");
  XmlNode root = nullptr, classifier = nullptr, good = nullptr;
  ASSERT_TRUE(doc_.CreateNew("ROOT", "", root));
  ASSERT_TRUE(doc_.AddElement("GOODS_CLASSIFIER", classifier, root));
  ASSERT_TRUE(doc_.AddElement("GOOD", good, classifier));
  ASSERT_TRUE(doc_.SetAttribute("NM", Cp1251(u8"Канцтовары"), good));
  ASSERT_TRUE(doc_.SaveFile(path));

  Text text;
  ASSERT_TRUE(doc_.LoadFileText(path, text));
  CXmlDocument second;
  ASSERT_TRUE(second.LoadXml(text, nullptr));
  XmlNode loadedRoot = nullptr;
  ASSERT_TRUE(second.GetDocumentElement(loadedRoot));
  Text name, gen, ver, nm;
  ASSERT_TRUE(second.GetNodeName(loadedRoot, name));
  ASSERT_TRUE(second.GetAttribute("Gen", gen, loadedRoot));
  ASSERT_TRUE(second.GetAttribute("Ver", ver, loadedRoot));
  XmlNode loadedGood = nullptr;
  ASSERT_TRUE(second.FindFirstElement("GOOD", loadedGood));
  ASSERT_TRUE(second.GetAttribute("NM", nm, loadedGood));
  EXPECT_EQ(name, "ROOT");
  EXPECT_EQ(gen, "Velt.Quillora");
  EXPECT_EQ(ver, "1.0");
  EXPECT_EQ(nm, Cp1251(u8"Канцтовары"));
  EXPECT_EQ(second.GetXml(), doc_.GetXml());
  EXPECT_EQ(RecordedCode(), 0);
}

// A saved store is read right by an XML reader that knows nothing of the system.
TEST_F(MarkupTest, XmllintReadsASavedStore) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
  TempDir dir;
  const std::string path = dir.File("Quillora.xml");
  Load(
      Cp1251(u8"<ROOT><GOODS_CLASSIFIER><GOOD NM='Бумага А4'/></GOODS_CLASSIFIER>"
             u8"<OFFERS><OFFER ID='1'>Заявка</OFFER></OFFERS></ROOT>"));
  ASSERT_TRUE(doc_.SaveFile(path));

  const std::string command =
      "xmllint --noout --xpath \"concat(//GOOD/@NM,'|',//OFFER)\" '" + path + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
    output.append(buffer, n);
  if (!output.empty() && output.back() == '\n') output.pop_back();
  EXPECT_EQ(output, "Бумага А4|Заявка");  // xmllint prints UTF-8
}

}  // namespace
}  // namespace quillora::testing
