// Finds the security client through the registry, reads its configuration file and
// fills the crypto configuration from the web server section that DestLocation names.
#pragma once

#include "crypto/crypto_config.h"
#include "xml/text_conversion.h"

namespace quillora {

// The status messages shown while discovering, in order.
inline constexpr char kRegistryMessage[] = "Analyzing Windows Registry...";
inline constexpr char kLookingMessage[] = "Looking for the Halvane configuration file...";
inline constexpr char kReadingMessage[] = "Reading the Halvane configuration file...";

// Fills every field of `config` but ModuleDir. False with a code recorded when the
// configuration cannot be had: -13 (no DestLocation), -7 (no installation directory in
// the registry), -11 (no configuration file), -12 (it cannot be read), -14 (no section
// for DestLocation). Fields after the failing step keep what they held; InstallDir is
// set as soon as the file has been found.
bool DiscoverCryptoConfig(const Text& destLocation, CCryptoConfig& config);

}  // namespace quillora
