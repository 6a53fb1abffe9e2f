#include "apps/json.h"

#include <cstdio>

namespace quillora::cli {

std::string JsonString(std::string_view ansiText) {
  return JsonUtf8String(AnsiToUtf8(ansiText));
}

std::string JsonUtf8String(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

JsonObject& JsonObject::Text(const std::string& name, std::string_view ansiText) {
  members_.emplace_back(name, JsonString(ansiText));
  return *this;
}

JsonObject& JsonObject::Raw(const std::string& name, const std::string& json) {
  members_.emplace_back(name, json);
  return *this;
}

std::string JsonObject::str() const {
  std::string out = "{";
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (i > 0) out += ", ";
    out += JsonString(members_[i].first) + ": " + members_[i].second;
  }
  return out + "}";
}

std::string JsonArray(const std::vector<std::string>& jsonItems) {
  std::string out = "[";
  for (std::size_t i = 0; i < jsonItems.size(); ++i) {
    if (i > 0) out += ", ";
    out += jsonItems[i];
  }
  return out + "]";
}

}  // namespace quillora::cli
