// What the document tests share: a fresh error register per test, one document, and
// short ways to load text and look at the tree.
#pragma once

#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <string>
#include <string_view>
#include <vector>

#include "control/error_register.h"
#include "tests/support/recording_pause.h"
#include "xml/dom_node.h"
#include "xml/xml_document.h"

namespace quillora::testing {

// Windows-1251 text written in the source as UTF-8, so Cyrillic reads as such.
inline Text Cp1251(std::u8string_view utf8) {
  return Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

inline int32_t RecordedCode() {
  return TheErrorRegister().GetError();
}

// A node's value as libxml2 holds it, in UTF-8.
inline std::string Utf8Of(XmlNode node) {
  return node != nullptr && node->content != nullptr
             ? std::string(reinterpret_cast<const char*>(node->content))
             : std::string();
}

class XmlDocumentTest : public ::testing::Test {
 protected:
  void Load(const Text& text) { ASSERT_TRUE(doc_.LoadXml(text, nullptr)) << text; }

  XmlNode Find(const Text& name) {
    XmlNode node = nullptr;
    EXPECT_TRUE(doc_.FindFirstElement(name, node)) << name;
    return node;
  }

  // The DOM names of a node's children ("#text", "xml", "OFFER", ...).
  static std::vector<Text> ChildNames(XmlNode node) {
    std::vector<Text> names;
    const XmlNodeList children = dom::Children(node);
    for (int32_t i = 0; i < children.Length(); ++i) names.push_back(dom::Name(children.Item(i)));
    return names;
  }

  std::vector<Text> TopLevelNames() {
    XmlNodeList top;
    EXPECT_TRUE(doc_.GetChildNodes(top));
    std::vector<Text> names;
    for (int32_t i = 0; i < top.Length(); ++i) names.push_back(dom::Name(top.Item(i)));
    return names;
  }

  QuietRuntime runtime_;  // before the document: its codes go to this test's register
  CXmlDocument doc_;
};

}  // namespace quillora::testing
