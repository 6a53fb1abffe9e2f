// DER sizes of the parts of a certificate that CMS structures copy, for the upper bounds
// the engine promises its callers.
#pragma once

#include <openssl/x509.h>

#include <cstddef>

namespace quillora::engine {

// Bytes of the IssuerAndSerialNumber that identifies `certificate` in a CMS structure,
// its header included.
size_t IssuerAndSerialSize(const X509* certificate);

// Bytes of the certificate's DER encoding.
size_t CertificateSize(const X509* certificate);

// Bytes of the certificate's SubjectPublicKeyInfo, which bounds an ephemeral public key
// of the same kind.
size_t PublicKeyInfoSize(const X509* certificate);

// Bytes of a DER header (tag and length) for content of `length` bytes.
size_t DerHeaderSize(size_t length);

}  // namespace quillora::engine
