// The engine's envelope: CMS AuthEnvelopedData (RFC 5083) with AES-256-GCM, the content
// key given to every recipient certificate: by ECDH key agreement with a SHA-256 key
// derivation for EC keys, by RSA-OAEP with SHA-256 for RSA keys.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/outcome.h"

namespace quillora::engine {

// DER of an envelope of `content` that each of `recipients` can open.
Outcome<std::string> SealEnvelope(std::string_view content, const std::vector<X509*>& recipients);

// Most bytes SealEnvelope adds to content of any length up to 2^31 bytes for these
// recipients; 0 when a recipient's key cannot receive a content key.
size_t MaxEnvelopeAddition(const std::vector<X509*>& recipients);

// The content of a DER envelope (AuthEnvelopedData or EnvelopedData), opened with the
// key of `recipient`. Fails, without partial content, when the envelope is damaged,
// altered or not addressed to that certificate.
Outcome<std::string> OpenEnvelope(std::string_view der, EVP_PKEY* key, X509* recipient);

}  // namespace quillora::engine
