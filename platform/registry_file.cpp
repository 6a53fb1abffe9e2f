#include "platform/registry_file.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quillora::platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

constexpr std::array<std::string_view, 5> kHiveNames = {"HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT",
                                                        "HKEY_CURRENT_USER", "HKEY_USERS",
                                                        "HKEY_CURRENT_CONFIG"};

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Whether `key` is `ancestor` or lies below it.
bool IsWithin(const RegKeyPath& key, const RegKeyPath& ancestor) {
  if (key.size() < ancestor.size()) return false;
  for (std::size_t i = 0; i < ancestor.size(); ++i) {
    if (!RegNamesEqual(key[i], ancestor[i])) return false;
  }
  return true;
}

bool SameKey(const RegKeyPath& a, const RegKeyPath& b) {
  return a.size() == b.size() && IsWithin(a, b);
}

// Reads a quoted string starting at s[pos] == '"'; only \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
  std::string out;
  ++pos;
  while (pos < s.size()) {
    const char c = s[pos++];
    if (c == '"') return out;
    if (c == '\\') {
      if (pos >= s.size() || (s[pos] != '\\' && s[pos] != '"')) return std::nullopt;
      out += s[pos++];
      continue;
    }
    out += c;
  }
  return std::nullopt;
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::optional<uint32_t> ParseDword(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t number = 0;
  for (const char c : digits) {
    const char u = FoldCase(c);
    int digit;
    if (u >= '0' && u <= '9') {
      digit = u - '0';
    } else if (u >= 'A' && u <= 'F') {
      digit = u - 'A' + 10;
    } else {
      return std::nullopt;
    }
    number = number * 16 + static_cast<uint32_t>(digit);
  }
  return number;
}

std::optional<RegKeyPath> ParseKeyPath(std::string_view inner) {
  RegKeyPath key;
  std::size_t begin = 0;
  while (true) {
    const std::size_t slash = inner.find('\\', begin);
    const std::string_view part = inner.substr(begin, slash - begin);
    if (part.empty()) return std::nullopt;
    key.emplace_back(part);
    if (slash == std::string_view::npos) break;
    begin = slash + 1;
  }
  const bool knownHive = std::any_of(kHiveNames.begin(), kHiveNames.end(),
                                     [&](auto hive) { return RegNamesEqual(hive, key.front()); });
  if (!knownHive) return std::nullopt;
  return key;
}

}  // namespace

bool RegNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

RegistryDocument::Line RegistryDocument::ParseLine(std::string_view raw) {
  Line line;
  line.raw = std::string(raw);
  const std::string_view text = Trim(raw);
  if (text.empty() || text.front() == ';') return line;

  if (text.front() == '[') {
    line.kind = Line::Kind::kBadKey;
    // Lines that delete keys on import ("[-...]") have no meaning in a stored registry.
    if (text.size() < 2 || text.back() != ']' || text[1] == '-') return line;
    auto key = ParseKeyPath(text.substr(1, text.size() - 2));
    if (!key) return line;
    line.kind = Line::Kind::kKey;
    line.key = std::move(*key);
    return line;
  }

  line.kind = Line::Kind::kMalformed;
  std::size_t pos = 0;
  std::string name;
  if (text.front() == '@') {
    pos = 1;
  } else if (text.front() == '"') {
    auto quoted = ReadQuoted(text, pos);
    if (!quoted) return line;
    name = std::move(*quoted);
  } else {
    return line;
  }
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos >= text.size() || text[pos] != '=') return line;
  ++pos;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;

  RegValue value;
  const std::string_view data = text.substr(pos);
  constexpr std::string_view kDword = "dword:";
  if (!data.empty() && data.front() == '"') {
    auto quoted = ReadQuoted(text, pos);
    if (!quoted || !Trim(text.substr(pos)).empty()) return line;
    value.text = std::move(*quoted);
  } else if (data.size() > kDword.size() && RegNamesEqual(data.substr(0, kDword.size()), kDword)) {
    auto number = ParseDword(Trim(data.substr(kDword.size())));
    if (!number) return line;
    value.type = kRegDword;
    value.number = *number;
  } else {
    // Binary, expandable and deleting entries are not kept by this registry.
    return line;
  }
  line.kind = Line::Kind::kValue;
  line.name = std::move(name);
  line.value = std::move(value);
  return line;
}

RegistryDocument RegistryDocument::Parse(std::string_view content) {
  RegistryDocument document;
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find('\n', begin);
    const bool terminated = end != std::string_view::npos;
    if (!terminated) end = content.size();
    std::string_view raw = content.substr(begin, end - begin);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
      if (document.lines_.empty() && terminated) document.lineEnd_ = "\r\n";
    }
    if (document.lines_.empty() && Trim(raw) == kHeader) {
      Line header;
      header.raw = std::string(raw);
      document.lines_.push_back(std::move(header));
    } else {
      // Without the header the file is still read, but it is not ours to rewrite.
      if (document.lines_.empty()) document.wellFormed_ = false;
      document.lines_.push_back(ParseLine(raw));
    }
    begin = end + 1;
  }
  for (const Line& line : document.lines_) {
    if (line.kind == Line::Kind::kMalformed || line.kind == Line::Kind::kBadKey) {
      document.wellFormed_ = false;
    }
  }
  return document;
}

std::string RegistryDocument::Serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.raw;
    out += lineEnd_;
  }
  return out;
}

RegistryDocument::Line RegistryDocument::KeyLine(const RegKeyPath& key) {
  Line line;
  line.kind = Line::Kind::kKey;
  line.key = key;
  line.raw = "[";
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (i != 0) line.raw += '\\';
    line.raw += key[i];
  }
  line.raw += ']';
  return line;
}

RegistryDocument::Line RegistryDocument::ValueLine(std::string_view name, const RegValue& value) {
  Line line;
  line.kind = Line::Kind::kValue;
  line.name = std::string(name);
  line.value = value;
  line.raw = name.empty() ? "@" : Quote(name);
  line.raw += '=';
  if (value.type == kRegDword) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(value.number));
    line.raw += digits;
  } else {
    line.raw += Quote(value.text);
  }
  return line;
}

std::vector<std::size_t> RegistryDocument::Owners() const {
  std::vector<std::size_t> owners(lines_.size(), kNone);
  std::size_t current = kNone;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kKey) current = i;
    // Values under a key line that did not parse belong to no key.
    if (lines_[i].kind == Line::Kind::kBadKey) current = kNone;
    owners[i] = current;
  }
  return owners;
}

bool RegistryDocument::OwnedBy(std::size_t line, const std::vector<std::size_t>& owners,
                               const RegKeyPath& key) const {
  return owners[line] != kNone && SameKey(lines_[owners[line]].key, key);
}

bool RegistryDocument::KeyExists(const RegKeyPath& key) const {
  return std::any_of(lines_.begin(), lines_.end(), [&](const Line& line) {
    return line.kind == Line::Kind::kKey && IsWithin(line.key, key);
  });
}

std::optional<RegValue> RegistryDocument::FindValue(const RegKeyPath& key,
                                                    std::string_view name) const {
  const auto owners = Owners();
  std::optional<RegValue> found;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kValue && OwnedBy(i, owners, key) &&
        RegNamesEqual(lines_[i].name, name)) {
      found = lines_[i].value;
    }
  }
  return found;
}

RegKeyPath RegistryDocument::SpellingOf(const RegKeyPath& key) const {
  // Names already in the file keep the spelling they have there.
  RegKeyPath spelled = key;
  std::size_t settled = 0;
  for (const Line& line : lines_) {
    if (line.kind != Line::Kind::kKey) continue;
    std::size_t common = 0;
    while (common < key.size() && common < line.key.size() &&
           RegNamesEqual(line.key[common], key[common])) {
      ++common;
    }
    for (std::size_t i = settled; i < common; ++i) spelled[i] = line.key[i];
    settled = std::max(settled, common);
  }
  return spelled;
}

void RegistryDocument::AppendKeyLine(const RegKeyPath& key) {
  Line blank;
  if (lines_.empty()) {
    Line header;
    header.raw = std::string(kHeader);
    lines_.push_back(std::move(header));
    lines_.push_back(blank);
  } else if (!Trim(lines_.back().raw).empty()) {
    lines_.push_back(blank);
  }
  lines_.push_back(KeyLine(key));
  lines_.push_back(blank);
}

void RegistryDocument::CreateKey(const RegKeyPath& key) {
  const RegKeyPath spelled = SpellingOf(key);
  // The hive itself has no key line; every key from the first subkey down gets one.
  for (std::size_t depth = 2; depth <= spelled.size(); ++depth) {
    const RegKeyPath prefix(spelled.begin(), spelled.begin() + static_cast<std::ptrdiff_t>(depth));
    const bool hasLine = std::any_of(lines_.begin(), lines_.end(), [&](const Line& line) {
      return line.kind == Line::Kind::kKey && SameKey(line.key, prefix);
    });
    if (!hasLine) AppendKeyLine(prefix);
  }
}

void RegistryDocument::SetValue(const RegKeyPath& key, std::string_view name,
                                const RegValue& value) {
  auto owners = Owners();
  std::vector<std::size_t> matches;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kValue && OwnedBy(i, owners, key) &&
        RegNamesEqual(lines_[i].name, name)) {
      matches.push_back(i);
    }
  }
  if (!matches.empty()) {
    const std::size_t kept = matches.back();
    lines_[kept] = ValueLine(std::string(lines_[kept].name), value);
    matches.pop_back();
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    return;
  }

  std::size_t keyLine = kNone;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kKey && SameKey(lines_[i].key, key)) keyLine = i;
  }
  if (keyLine == kNone) {
    CreateKey(key);
    owners = Owners();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].kind == Line::Kind::kKey && SameKey(lines_[i].key, key)) keyLine = i;
    }
  }
  // After the key's last value, ahead of the blank lines and comments that close the block.
  std::size_t at = keyLine + 1;
  for (std::size_t i = keyLine + 1; i < lines_.size() && owners[i] == keyLine; ++i) {
    if (lines_[i].kind == Line::Kind::kValue) at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ValueLine(name, value));
}

bool RegistryDocument::DeleteValue(const RegKeyPath& key, std::string_view name) {
  const auto owners = Owners();
  std::vector<bool> doomed(lines_.size(), false);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    doomed[i] = lines_[i].kind == Line::Kind::kValue && OwnedBy(i, owners, key) &&
                RegNamesEqual(lines_[i].name, name);
  }
  std::vector<Line> kept;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (!doomed[i]) kept.push_back(std::move(lines_[i]));
  }
  const bool removed = kept.size() != lines_.size();
  lines_ = std::move(kept);
  return removed;
}

bool RegistryDocument::DeleteTree(const RegKeyPath& key) {
  if (!KeyExists(key)) return false;
  std::vector<Line> kept;
  bool dropping = false;
  for (Line& line : lines_) {
    if (line.kind == Line::Kind::kKey || line.kind == Line::Kind::kBadKey) {
      dropping = line.kind == Line::Kind::kKey && IsWithin(line.key, key);
    }
    if (!dropping) kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
  return true;
}

}  // namespace quillora::platform
