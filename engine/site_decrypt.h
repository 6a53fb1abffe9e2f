// The procurement site's side of an envelope: opening what a supplier's engine sealed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillora::site {

struct DecryptResult {
  bool ok = false;
  // Why it failed, in words for the person running the check; empty on success.
  std::string error;
  std::string content;
};

// Opens a DER envelope with the site's private key and certificate (PEM files). The key
// file must not be accessible to anyone but its owner.
DecryptResult DecryptEnvelope(std::string_view der, const std::filesystem::path& keyFile,
                              const std::filesystem::path& certificateFile);

}  // namespace quillora::site
