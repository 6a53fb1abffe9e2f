#include "proposal/classifier.h"

#include <cstdio>

#include "platform/guid.h"

namespace quillora {
namespace {

void ReplaceAll(Text& text, std::string_view from, std::string_view to) {
  // Scans from the left and continues after each replacement, so a run of three
  // backslashes becomes two and a run of four becomes two.
  std::size_t at = 0;
  while ((at = text.find(from, at)) != Text::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

}  // namespace

void SplitClassifierPath(std::vector<Text>& components, Text path, const Text& separator) {
  components.clear();
  ReplaceAll(path, "/", "\\");
  ReplaceAll(path, "\\\\", "\\");
  if (separator.empty()) return;
  std::size_t start = path.find(separator);
  while (start != Text::npos) {
    const std::size_t from = start + separator.size();
    const std::size_t next = path.find(separator, from);
    if (next == Text::npos) break;
    components.push_back(path.substr(from, next - from));
    start = next;
  }
}

Text NewClassifierId() {
  const platform::GUID guid = platform::NewGuid();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%u%d%d", static_cast<unsigned>(guid.Data1),
                static_cast<int>(guid.Data2), static_cast<int>(guid.Data3));
  return buffer;
}

}  // namespace quillora
