// JSON text for the commands that print structured results. JSON is UTF-8, so texts of
// the system are converted from Windows-1251 on the way out.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/text_conversion.h"

namespace quillora::cli {

// A JSON string literal of a Windows-1251 text.
std::string JsonString(std::string_view ansiText);
// A JSON string literal of a text that is UTF-8 already.
std::string JsonUtf8String(std::string_view utf8);

// An object written member by member, in order.
class JsonObject {
 public:
  JsonObject& Text(const std::string& name, std::string_view ansiText);
  // `json` is already JSON (a nested object, an array, a literal).
  JsonObject& Raw(const std::string& name, const std::string& json);
  std::string str() const;

 private:
  std::vector<std::pair<std::string, std::string>> members_;
};

std::string JsonArray(const std::vector<std::string>& jsonItems);

}  // namespace quillora::cli
