// The registry of the platform the control was written for, kept on Linux in one
// registry export file (see registry_file.h for the format and RegistryFilePath for its
// place). It holds the two hives the control uses: the local machine, where it finds the
// security client, and the classes root, where it registers itself.
//
// Every operation reads the file anew, so a key sees what the file says at the moment
// of the call. Writes replace the whole file at once and keep every line they do not
// touch; a file with lines that do not parse is read around them but never written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry_file.h"

namespace quillora::platform {

enum class RegHive { kLocalMachine, kClassesRoot };

// Access rights asked for when a key is opened. Reading needs kKeyQueryValue, changing
// values kKeySetValue. Asking for write rights never fails at opening: a user who may
// only read the file can still open a key with kKeyAllAccess and read from it.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;
inline constexpr uint32_t kKeyAllAccess = 0xF003F;

// An open key. It holds no system resource, but keeps the file it was opened in and the
// rights it was opened with until it is closed or goes away.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() = default;

  bool IsOpen() const { return !path_.empty(); }
  void Close();

 private:
  friend RegStatus OpenRegistryKey(RegHive, std::string_view, uint32_t, RegistryKey&);
  friend RegStatus CreateRegistryKey(RegHive, std::string_view, RegistryKey&);
  friend RegStatus QueryRegistryValue(const RegistryKey&, std::string_view, uint32_t*,
                                      unsigned char*, uint32_t*);
  friend RegStatus SetRegistryValue(const RegistryKey&, std::string_view, const RegValue&);
  friend RegStatus DeleteRegistryValue(const RegistryKey&, std::string_view);

  std::string file_;
  RegKeyPath path_;
  uint32_t access_ = 0;
};

// Subkey paths are names separated by backslashes, below the hive ("SOFTWARE\Vendor").
// An empty name in the path (a leading, doubled or trailing backslash) is invalid.

// Opens an existing key: kRegNotFound when the key (or the whole file) is missing,
// kRegAccessDenied when the file cannot be read.
RegStatus OpenRegistryKey(RegHive hive, std::string_view subKey, uint32_t access, RegistryKey& key);

// Copies a value into `data`, which has room for *size bytes, and sets *size to the
// value's size: a string with its terminating zero, a number as 4 bytes. With `data`
// null only the size is told; when the room is too small, kRegMoreData. `type` and
// `size` may be null when not wanted (`size` only together with a null `data`). An
// empty name is the key's default value.
RegStatus QueryRegistryValue(const RegistryKey& key, std::string_view name, uint32_t* type,
                             unsigned char* data, uint32_t* size);

// Same as letting the key go out of scope.
void CloseRegistryKey(RegistryKey& key);

// Opens a key with every right, creating it and its parents first when they are missing.
RegStatus CreateRegistryKey(RegHive hive, std::string_view subKey, RegistryKey& key);

// Strings may not hold zero bytes or line breaks: the file has no way to write them.
RegStatus SetRegistryValue(const RegistryKey& key, std::string_view name, const RegValue& value);
RegStatus SetRegistryString(const RegistryKey& key, std::string_view name, std::string_view value);
RegStatus SetRegistryDword(const RegistryKey& key, std::string_view name, uint32_t value);
RegStatus DeleteRegistryValue(const RegistryKey& key, std::string_view name);

// Removes the key with everything below it.
RegStatus DeleteRegistryTree(RegHive hive, std::string_view subKey);

// Where the registry file lives: $QUILLORA_REGISTRY, else
// $XDG_CONFIG_HOME/quillora/registry.reg, else ~/.config/quillora/registry.reg.
std::string RegistryFilePath();

}  // namespace quillora::platform
