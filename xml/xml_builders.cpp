#include "xml/xml_builders.h"

#include <cstdio>

namespace quillora {
namespace {

void AppendIndent(Text& out, int32_t level) {
  if (level > 0) out.append(static_cast<std::size_t>(level), '\t');
}

}  // namespace

Text XmlEscape(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

Text XmlElementLine(int32_t level, std::string_view name, std::string_view value) {
  if (value.empty()) return Text();
  Text out;
  out.reserve(static_cast<std::size_t>(level > 0 ? level : 0) + 2 * name.size() + value.size() + 6);
  AppendIndent(out, level);
  out += '<';
  out += name;
  out += '>';
  out += XmlEscape(value);
  out += "</";
  out += name;
  out += ">\n";
  return out;
}

Text XmlOpenTagLine(int32_t level, std::string_view name, std::string_view attributes) {
  Text out;
  AppendIndent(out, level);
  out += '<';
  out += name;
  if (!attributes.empty()) {
    out += ' ';
    out += attributes;
  }
  out += ">\n";
  return out;
}

Text XmlCloseTagLine(int32_t level, std::string_view name) {
  Text out;
  AppendIndent(out, level);
  out += "</";
  out += name;
  out += ">\n";
  return out;
}

Text HexLengthField(int32_t n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X|", static_cast<unsigned>(n));
  return buffer;
}

}  // namespace quillora
