// The registry file: the hives of the registry kept as one registry export file
// ("REGEDIT4", then key lines in brackets, each followed by its value lines). The
// document keeps every line as it was read, so a change rewrites only the lines it
// touches and the rest of a hand-edited file comes back byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::platform {

// Status of a registry operation, with the values of the platform the control was first
// written for, so that callers can keep comparing with 0.
using RegStatus = int32_t;
inline constexpr RegStatus kRegSuccess = 0;
inline constexpr RegStatus kRegNotFound = 2;
inline constexpr RegStatus kRegAccessDenied = 5;
inline constexpr RegStatus kRegInvalidHandle = 6;
inline constexpr RegStatus kRegInvalidParameter = 87;
inline constexpr RegStatus kRegMoreData = 234;
// The file has lines that do not parse; it is read around them but never written over.
inline constexpr RegStatus kRegCorrupt = 1009;
inline constexpr RegStatus kRegIoFailed = 1016;
// The key was deleted after it had been opened.
inline constexpr RegStatus kRegKeyDeleted = 1018;

// Value types.
inline constexpr uint32_t kRegString = 1;
inline constexpr uint32_t kRegDword = 4;

struct RegValue {
  uint32_t type = kRegString;
  std::string text;     // kRegString: the bytes of the string, without a terminator
  uint32_t number = 0;  // kRegDword

  bool operator==(const RegValue&) const = default;
};

// A key's full path: the hive's name ("HKEY_LOCAL_MACHINE") and then the subkey names.
using RegKeyPath = std::vector<std::string>;

// Names of keys and values compare without regard to ASCII case; other bytes compare as
// they are.
bool RegNamesEqual(std::string_view a, std::string_view b);

class RegistryDocument {
 public:
  // Never fails: lines that do not parse are kept, ignored and make the document
  // malformed. An empty text is an empty registry.
  static RegistryDocument Parse(std::string_view content);
  std::string Serialize() const;
  bool WellFormed() const { return wellFormed_; }

  // A key exists when it has a key line or when a key below it has one, as the platform
  // creates the parents of a key it imports.
  bool KeyExists(const RegKeyPath& key) const;
  // When the value is set more than once, the last setting counts.
  std::optional<RegValue> FindValue(const RegKeyPath& key, std::string_view name) const;

  // Adds key lines for the key and every parent that has none.
  void CreateKey(const RegKeyPath& key);
  // Replaces the value (keeping the spelling of its name) or adds it to the key, which
  // gets a key line if it has none.
  void SetValue(const RegKeyPath& key, std::string_view name, const RegValue& value);
  // Returns false when the value is not there.
  bool DeleteValue(const RegKeyPath& key, std::string_view name);
  // Removes the key and every key below it; false when none of them exists.
  bool DeleteTree(const RegKeyPath& key);

 private:
  struct Line {
    enum class Kind { kPlain, kKey, kBadKey, kValue, kMalformed };
    Kind kind = Kind::kPlain;  // kPlain: header, blank or comment
    std::string raw;           // without its line end
    RegKeyPath key;            // kKey
    std::string name;          // kValue; empty for the default value
    RegValue value;            // kValue
  };

  static Line ParseLine(std::string_view raw);
  static Line KeyLine(const RegKeyPath& key);
  static Line ValueLine(std::string_view name, const RegValue& value);
  // Index of each line's key line, or npos for lines outside any valid key.
  std::vector<std::size_t> Owners() const;
  bool OwnedBy(std::size_t line, const std::vector<std::size_t>& owners,
               const RegKeyPath& key) const;
  RegKeyPath SpellingOf(const RegKeyPath& key) const;
  void AppendKeyLine(const RegKeyPath& key);

  std::vector<Line> lines_;
  std::string lineEnd_ = "\n";
  bool wellFormed_ = true;
};

}  // namespace quillora::platform
