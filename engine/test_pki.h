// A self-contained set of keys and certificates for trying the product without a real
// security client: a certificate authority, the user's pair and the procurement site's
// pair, all issued by that authority.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/certificate_issuer.h"

namespace quillora::site {

using engine::KeyKind;

struct TestPkiRequest {
  // Gets "ca/ca.key", "ca/ca.crt", "site/site.key" and "site/site.crt".
  std::filesystem::path dir;
  // Get "<userName>.key" and "<userName>.crt".
  std::filesystem::path secretKeyDir;
  std::filesystem::path publicKeyDir;
  std::string userName;
  // The common name of the user's certificate; the user name when empty.
  std::string userCommonName;
  std::string siteCommonName = "Procurement site";
  std::string authorityCommonName = "Quillora test certificate authority";
  KeyKind keyKind = KeyKind::kEc;
  // Also put a copy of the site's certificate, "site.crt", into the public key
  // directory, so that what the user encrypts can be opened by the site as well.
  bool publishSiteCertificate = true;
};

struct TestPkiPaths {
  std::filesystem::path authorityKey, authorityCertificate;
  std::filesystem::path userKey, userCertificate;
  std::filesystem::path siteKey, siteCertificate;
  // The copy in the public key directory; empty when not published.
  std::filesystem::path publishedSiteCertificate;
};

struct TestPkiResult {
  bool ok = false;
  std::string error;
  TestPkiPaths paths;
  // The files this run created; the others were there already and were kept.
  std::vector<std::filesystem::path> created;
};

// Where CreateTestPki puts each file.
TestPkiPaths TestPkiLayout(const TestPkiRequest& request);

// Creates whatever of the set is missing and keeps what exists, so running it again is
// harmless. A missing certificate is issued for the existing key. A kept certificate that
// does not belong to its key, or was not issued by the authority's key, fails the run
// (naming the file) instead of being replaced. Secret keys are created with mode 0600,
// new key directories with 0700.
TestPkiResult CreateTestPki(const TestPkiRequest& request);

}  // namespace quillora::site
