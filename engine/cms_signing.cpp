#include "engine/cms_signing.h"

#include <climits>

#include "engine/der_sizes.h"
#include "engine/openssl_errors.h"
#include "engine/openssl_ptr.h"

namespace quillora::engine {
namespace {

// Room for everything of a SignedData whose size does not depend on the signer: the
// outer headers and object identifiers, the version numbers, the SHA-256 algorithm
// identifiers, the three signed attributes (content type, signing time, message digest)
// and the largest signature algorithm identifier (RSA-PSS with parameters). Counted
// generously; the sizes that depend on the signer are added to it.
constexpr size_t kSignedDataFixedSize = 512;

// Signing-capability attributes would only add bytes nobody reads.
constexpr unsigned kSignFlags = CMS_BINARY | CMS_DETACHED | CMS_PARTIAL | CMS_NOSMIMECAP;

}  // namespace

Outcome<std::string> SignDetached(std::string_view content, X509* signer, EVP_PKEY* key) {
  using Result = Outcome<std::string>;
  if (content.size() > static_cast<size_t>(INT_MAX)) return Result::Fail("content too large");
  OpenSslErrorScope scope;
  // A memory BIO refuses a null pointer even for no bytes.
  BioPtr input(
      BIO_new_mem_buf(content.empty() ? "" : content.data(), static_cast<int>(content.size())));
  CmsPtr cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, kSignFlags));
  if (!input || !cms) return Result::Fail("out of memory: " + TakeOpenSslErrors().text);
  if (CMS_add1_signer(cms.get(), signer, key, EVP_sha256(), kSignFlags) == nullptr) {
    return Result::Fail("cannot sign with this key and certificate: " + TakeOpenSslErrors().text);
  }
  if (CMS_final(cms.get(), input.get(), nullptr, kSignFlags) != 1) {
    return Result::Fail("signing failed: " + TakeOpenSslErrors().text);
  }
  unsigned char* der = nullptr;
  const int size = i2d_CMS_ContentInfo(cms.get(), &der);
  if (size <= 0) return Result::Fail("cannot encode the signature: " + TakeOpenSslErrors().text);
  OpenSslBytesPtr owned(der);
  return std::string(reinterpret_cast<const char*>(der), static_cast<size_t>(size));
}

size_t MaxSignatureSize(const X509* signer) {
  // EVP_PKEY_get_size is the largest signature the key makes (DER-encoded for ECDSA).
  const EVP_PKEY* publicKey = X509_get0_pubkey(signer);
  const int signatureSize = publicKey != nullptr ? EVP_PKEY_get_size(publicKey) : 0;
  if (signatureSize <= 0) return 0;
  // The certificate goes in whole; the signer is named by its issuer and serial number.
  return kSignedDataFixedSize + CertificateSize(signer) + IssuerAndSerialSize(signer) +
         static_cast<size_t>(signatureSize);
}

}  // namespace quillora::engine
