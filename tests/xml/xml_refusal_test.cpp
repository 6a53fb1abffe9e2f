// The frame every operation shares: nothing is done while a code is recorded.
#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/support/temp_dir.h"
#include "tests/xml/xml_fixture.h"

namespace quillora::testing {
namespace {

struct Call {
  const char* name;
  // True when the operation did something: reported success or wrote its out argument.
  std::function<bool(CXmlDocument&, XmlNode root, const std::string& file)> acted;
};

const Call kCalls[] = {
    {"LoadFileText",
     [](CXmlDocument& d, XmlNode, const std::string& file) {
       Text t = "s";
       return d.LoadFileText(file, t) || t != "s";
     }},
    {"LoadXml",
     [](CXmlDocument& d, XmlNode, const std::string&) { return d.LoadXml("<N/>", nullptr); }},
    {"WriteFileText",
     [](CXmlDocument& d, XmlNode, const std::string& file) {
       return d.WriteFileText(file + ".new", "x") || std::filesystem::exists(file + ".new");
     }},
    {"CreateNew",
     [](CXmlDocument& d, XmlNode, const std::string&) {
       XmlNode n = nullptr;
       return d.CreateNew("N", "", n) || n != nullptr;
     }},
    {"AddElement",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       XmlNode n = nullptr;
       return d.AddElement("N", n, root) || n != nullptr;
     }},
    {"GetAttribute",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       Text t = "s";
       return d.GetAttribute("a", t, root) || t != "s";
     }},
    {"SetAttribute", [](CXmlDocument& d, XmlNode root,
                        const std::string&) { return d.SetAttribute("b", "2", root); }},
    {"GetXml", [](CXmlDocument& d, XmlNode, const std::string&) { return !d.GetXml().empty(); }},
    {"FindElements",
     [](CXmlDocument& d, XmlNode, const std::string&) {
       XmlNodeList l;
       int32_t c = -1;
       return d.FindElements("R", l, c) || !l.IsNull() || c != -1;
     }},
    {"FindFirstElement",
     [](CXmlDocument& d, XmlNode, const std::string&) {
       XmlNode n = nullptr;
       return d.FindFirstElement("R", n) || n != nullptr;
     }},
    {"GetNodeText",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       Text t = "s";
       return d.GetNodeText(t, root) || t != "s";
     }},
    {"GetListItem",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       XmlNode n = nullptr;
       return d.GetListItem(dom::Children(root), 0, n) || n != nullptr;
     }},
    {"GetDocumentElement",
     [](CXmlDocument& d, XmlNode, const std::string&) {
       XmlNode n = nullptr;
       return d.GetDocumentElement(n) || n != nullptr;
     }},
    {"GetNodeName",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       Text t = "s";
       return d.GetNodeName(root, t) || t != "s";
     }},
    {"GetChildNodes",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       XmlNodeList l;
       return d.GetChildNodes(l, root) || !l.IsNull();
     }},
    {"GetListLength",
     [](CXmlDocument& d, XmlNode, const std::string&) {
       int32_t c = -1;
       return d.GetListLength(c) || c != -1;
     }},
    {"GetNodeXml",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       Text t = "s";
       return d.GetNodeXml(t, root) || t != "s";
     }},
    {"GetChildText",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       Text t = "s";
       return d.GetChildText(root, "C", t) || t != "s";
     }},
    {"RemoveNode",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       return d.RemoveNode(root ? root->children : nullptr, true);
     }},
    {"HasChildren",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       bool has = false;
       int32_t c = -1;
       return d.HasChildren(root, &has, &c) || has || c != -1;
     }},
    {"SaveFile",
     [](CXmlDocument& d, XmlNode, const std::string& file) {
       return d.SaveFile(file + ".saved") || std::filesystem::exists(file + ".saved");
     }},
    {"SetNodeValue",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       return d.SetNodeValue("v", root ? root->children->children : nullptr);
     }},
    {"AppendTextNode",
     [](CXmlDocument& d, XmlNode root, const std::string&) {
       XmlNode n = nullptr;
       return d.AppendTextNode("text", n, root) || n != nullptr;
     }},
};

TEST(RefusalTest, EveryOperationRefusesWhileACodeIsRecorded) {
  TempDir dir;
  const std::string file = dir.Write("store.xml", "<R/>");
  constexpr char kText[] = "<R a='1'><C>text</C></R>";
  for (const Call& call : kCalls) {
    QuietRuntime runtime;
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kText, nullptr));
    const Text before = doc.GetXml();
    XmlNode root = nullptr;
    ASSERT_TRUE(doc.GetDocumentElement(root));
    {
      ScopedErrorRegister failed;
      RecordError(-4);
      EXPECT_FALSE(call.acted(doc, root, file)) << call.name;
      EXPECT_EQ(RecordedCode(), -4) << call.name;
    }
    EXPECT_EQ(doc.GetXml(), before) << call.name;
  }
}

// While recording is suppressed a failure leaves no code and later operations go on.
TEST(RefusalTest, SuppressedFailureLeavesNoCode) {
  QuietRuntime runtime;
  CXmlDocument doc;
  TheErrorRegister().Lock();
  EXPECT_FALSE(doc.LoadXml("<R>", nullptr));
  TheErrorRegister().Unlock();
  EXPECT_EQ(RecordedCode(), 0);
  EXPECT_TRUE(doc.LoadXml("<R/>", nullptr));
}

void* NoMemory(size_t) {
  return nullptr;
}
char* NoCopy(const char*) {
  return nullptr;
}

// When libxml2 cannot make a document the constructor records -4, and the object still
// exists but refuses everything. Runs in a child: the allocator stays broken there.
TEST(RefusalTest, DocumentThatCannotBeCreated) {
  EXPECT_EXIT(
      {
        QuietRuntime runtime;
        xmlMemSetup(free, NoMemory, realloc, NoCopy);
        CXmlDocument doc;
        bool refused = RecordedCode() == -4;
        for (const Call& call : kCalls) {
          if (call.acted(doc, nullptr, "/nonexistent/store.xml")) refused = false;
        }
        std::_Exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quillora::testing
