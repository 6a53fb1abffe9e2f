// The user's crypto settings, read from the security client's configuration, and the
// reading of single settings out of that configuration's text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "xml/text_conversion.h"

namespace quillora {

struct CCryptoConfig {
  Text InstallDir;           // the security client's installation directory
  Text EncryptForUid;        // "Encrypt for UID", crypto engine section; held, not used
  Text WebServerHost;        // "web server host"; held, not used
  Text WebServerAddress;     // "web server address"; held, not used
  Text CryptoEngine;         // "crypto engine": the name the engine is opened with
  int32_t CompressMode = 0;  // "compress mode"; held, not used
  Text MnemonicUserName;     // engine parameter 1
  Text SecretKeyDir;         // engine parameter 2
  Text PublicKeyDir;         // engine parameter 3
  Text Language;             // engine parameter 7
  Text ModuleDir;            // the control's module directory, ending with "/"; set by the control

  bool operator==(const CCryptoConfig&) const = default;
};

// The value of `key` in the section [sectionStart, sectionEnd] of the configuration
// text: the first occurrence of the key at or after the section start counts, wherever
// it stands in a line, unless it begins after the section end. One separator character
// after the key is skipped and the value runs to the next CR LF, unchanged. Empty when
// the key is missing, when no line end follows, or when an error is recorded.
Text ReadConfigValue(const Text& text, const Text& key, std::size_t sectionStart,
                     std::size_t sectionEnd);

// The number at the start of a value, read as the C library's atoi reads it (blanks
// skipped, an optional sign, decimal digits up to the first other character, 0 when
// there are none), except that a number out of range stops at the nearest limit.
int32_t ConfigNumber(const Text& value);

}  // namespace quillora
