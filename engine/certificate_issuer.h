// Making keys and X.509 certificates for a small certificate authority of test use.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

#include "engine/openssl_ptr.h"
#include "engine/outcome.h"

namespace quillora::engine {

enum class KeyKind {
  kEc,   // P-256
  kRsa,  // 2048 bits
};

Outcome<EvpPkeyPtr> GenerateKey(KeyKind kind);

// The key in PKCS#8 PEM, unencrypted.
Outcome<std::string> PrivateKeyPem(EVP_PKEY* key);
Outcome<std::string> CertificatePem(X509* certificate);

struct CertificateRequest {
  EVP_PKEY* subjectKey = nullptr;
  std::string commonName;
  // True for the certificate authority itself: self-signed, CA:TRUE, keyCertSign.
  bool authority = false;
  // The issuing authority; ignored for the authority itself.
  X509* issuer = nullptr;
  EVP_PKEY* issuerKey = nullptr;
};

// A version 3 certificate valid from now for ten years, signed with SHA-256. End-entity
// certificates say CA:FALSE and allow digital signatures and key agreement (and key
// encipherment for RSA keys).
Outcome<X509Ptr> IssueCertificate(const CertificateRequest& request);

}  // namespace quillora::engine
