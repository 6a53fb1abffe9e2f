#include "engine/der_sizes.h"

namespace quillora::engine {
namespace {

size_t NonNegative(int size) {
  return size > 0 ? static_cast<size_t>(size) : 0;
}

}  // namespace

size_t DerHeaderSize(size_t length) {
  size_t lengthBytes = 0;
  for (size_t rest = length; rest != 0; rest >>= 8) ++lengthBytes;
  // One tag byte, then either the short form or 0x8N followed by N length bytes.
  return 1 + (length < 0x80 ? 1 : 1 + lengthBytes);
}

size_t IssuerAndSerialSize(const X509* certificate) {
  const size_t issuer = NonNegative(i2d_X509_NAME(X509_get_issuer_name(certificate), nullptr));
  const size_t serial = NonNegative(i2d_ASN1_INTEGER(X509_get0_serialNumber(certificate), nullptr));
  return DerHeaderSize(issuer + serial) + issuer + serial;
}

size_t CertificateSize(const X509* certificate) {
  return NonNegative(i2d_X509(certificate, nullptr));
}

size_t PublicKeyInfoSize(const X509* certificate) {
  return NonNegative(i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), nullptr));
}

}  // namespace quillora::engine
