// The procurement site's check of what a supplier sent: the Base64 text is decoded and
// decrypted with the site's key, the signed proposal document is taken apart, both
// pre-sign sequences rebuilt without the signature elements, and both signatures
// verified against the site's certificate authority.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "offers/offer.h"

namespace quillora::cli {

struct SiteKeys {
  std::filesystem::path key;
  std::filesystem::path certificate;
  std::filesystem::path authority;
};

struct CheckedProposal {
  std::string signerCommonName;
  std::string signerSubject;
  Text stamp;     // the TS attribute of DOC
  COffer offer;   // LotID, the PRIVATE values and the goods lines
  Text document;  // the signed proposal document as it was decrypted
};

// Throws CommandFailure with a clear message at the first thing that does not verify.
CheckedProposal CheckProposal(const Text& base64Text, const SiteKeys& keys);

// The result as one JSON object (UTF-8).
std::string ProposalJson(const CheckedProposal& proposal);

}  // namespace quillora::cli
