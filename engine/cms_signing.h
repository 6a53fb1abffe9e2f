// Detached CMS SignedData (RFC 5652) over exact bytes: the signature format of the
// engine.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>
#include <string_view>

#include "engine/outcome.h"

namespace quillora::engine {

// DER of a SignedData over `content`, taken byte for byte (no MIME line-ending
// conversion), digested with SHA-256, with the signer's certificate included and the
// content left out.
Outcome<std::string> SignDetached(std::string_view content, X509* signer, EVP_PKEY* key);

// Most bytes SignDetached can produce for this signer, whatever the content.
size_t MaxSignatureSize(const X509* signer);

}  // namespace quillora::engine
