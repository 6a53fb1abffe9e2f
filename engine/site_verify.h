// The procurement site's side of a signature: checking a supplier's detached signature
// over the bytes the site rebuilt, against the certificate authority it trusts.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillora::site {

struct VerifyResult {
  bool ok = false;
  // Why it failed, in words for the person running the check; empty on success.
  std::string error;
  // The signer's common name and whole subject on one line ("C=RU, O=..., CN=...").
  std::string commonName;
  std::string subject;
};

// Checks a DER CMS SignedData over exactly `content`: the content must be what was
// signed, the signature must be made by the key of the certificate it carries, and that
// certificate must chain to a certificate of `caFile` (PEM, one or more certificates).
// Exactly one signer is expected.
VerifyResult VerifyDetachedSignature(std::string_view signatureDer, std::string_view content,
                                     const std::filesystem::path& caFile);

}  // namespace quillora::site
