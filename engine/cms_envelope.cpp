#include "engine/cms_envelope.h"

#include <openssl/err.h>
#include <openssl/rsa.h>

#include <climits>

#include "engine/der_sizes.h"
#include "engine/openssl_errors.h"
#include "engine/openssl_ptr.h"

namespace quillora::engine {
namespace {

// Everything of the envelope outside its recipients and its content: the outer headers
// (counted at their largest, six bytes each, so that a longer content cannot outgrow
// them), object identifiers, version, the GCM parameters (nonce and tag length) and the
// 16-byte authentication tag. GCM adds no padding.
constexpr size_t kEnvelopeFixedSize = 256;

// Everything of one recipient's entry besides what depends on its certificate: headers,
// version, key agreement or OAEP algorithm identifiers with their parameters, the
// key-wrap algorithm and the wrapped 32-byte content key (40 bytes).
constexpr size_t kRecipientFixedSize = 192;

Status ConfigureRecipient(CMS_RecipientInfo* recipient) {
  EVP_PKEY_CTX* context = CMS_RecipientInfo_get0_pkey_ctx(recipient);
  if (context == nullptr) return Status::Fail("recipient has no key context");
  switch (CMS_RecipientInfo_type(recipient)) {
    case CMS_RECIPINFO_AGREE:
      // Left alone, some versions derive the wrapping key with SHA-1.
      if (EVP_PKEY_CTX_set_ecdh_kdf_md(context, EVP_sha256()) <= 0) {
        return Status::Fail("cannot select the SHA-256 key derivation");
      }
      return {};
    case CMS_RECIPINFO_TRANS:
      if (EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_OAEP_PADDING) <= 0 ||
          EVP_PKEY_CTX_set_rsa_oaep_md(context, EVP_sha256()) <= 0 ||
          EVP_PKEY_CTX_set_rsa_mgf1_md(context, EVP_sha256()) <= 0) {
        return Status::Fail("cannot select RSA-OAEP with SHA-256");
      }
      return {};
    default:
      return Status::Fail("unsupported kind of recipient key");
  }
}

std::string BioContent(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

}  // namespace

Outcome<std::string> SealEnvelope(std::string_view content, const std::vector<X509*>& recipients) {
  using Result = Outcome<std::string>;
  if (recipients.empty()) return Result::Fail("no recipients");
  if (content.size() > static_cast<size_t>(INT_MAX)) return Result::Fail("content too large");
  OpenSslErrorScope scope;
  BioPtr input(
      BIO_new_mem_buf(content.empty() ? "" : content.data(), static_cast<int>(content.size())));
  CmsPtr cms(CMS_AuthEnvelopedData_create(EVP_aes_256_gcm()));
  if (!input || !cms) return Result::Fail("cannot start an envelope: " + TakeOpenSslErrors().text);
  for (X509* certificate : recipients) {
    // CMS_KEY_PARAM keeps the key context open so that its algorithms can be chosen.
    CMS_RecipientInfo* recipient = CMS_add1_recipient_cert(cms.get(), certificate, CMS_KEY_PARAM);
    if (recipient == nullptr) {
      return Result::Fail("cannot address a recipient: " + TakeOpenSslErrors().text);
    }
    if (Status configured = ConfigureRecipient(recipient); !configured) {
      return Result::Fail(configured.error + ": " + TakeOpenSslErrors().text);
    }
  }
  // A new envelope leaves its encrypted content out until told to carry it.
  if (CMS_set_detached(cms.get(), 0) != 1 ||
      CMS_final(cms.get(), input.get(), nullptr, CMS_BINARY) != 1) {
    return Result::Fail("encryption failed: " + TakeOpenSslErrors().text);
  }
  unsigned char* der = nullptr;
  const int size = i2d_CMS_ContentInfo(cms.get(), &der);
  if (size <= 0) return Result::Fail("cannot encode the envelope: " + TakeOpenSslErrors().text);
  OpenSslBytesPtr owned(der);
  return std::string(reinterpret_cast<const char*>(der), static_cast<size_t>(size));
}

size_t MaxEnvelopeAddition(const std::vector<X509*>& recipients) {
  if (recipients.empty()) return 0;
  size_t total = kEnvelopeFixedSize;
  for (const X509* certificate : recipients) {
    const EVP_PKEY* key = X509_get0_pubkey(certificate);
    if (key == nullptr) return 0;
    size_t keyMaterial = 0;
    switch (EVP_PKEY_get_base_id(key)) {
      case EVP_PKEY_EC:
        // The ephemeral public key has the recipient key's form and size.
        keyMaterial = PublicKeyInfoSize(certificate);
        break;
      case EVP_PKEY_RSA:
      case EVP_PKEY_RSA_PSS:
        // The encrypted content key is as long as the modulus.
        keyMaterial = static_cast<size_t>(EVP_PKEY_get_size(key));
        break;
      default:
        return 0;
    }
    total += kRecipientFixedSize + IssuerAndSerialSize(certificate) + keyMaterial;
  }
  return total;
}

Outcome<std::string> OpenEnvelope(std::string_view der, EVP_PKEY* key, X509* recipient) {
  using Result = Outcome<std::string>;
  if (der.size() > static_cast<size_t>(LONG_MAX)) return Result::Fail("envelope too large");
  OpenSslErrorScope scope;
  const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
  CmsPtr cms(d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(der.size())));
  if (!cms) return Result::Fail("not a DER-encoded CMS structure");
  if (cursor != reinterpret_cast<const unsigned char*>(der.data()) + der.size()) {
    return Result::Fail("unexpected bytes after the envelope");
  }
  const int type = OBJ_obj2nid(CMS_get0_type(cms.get()));
  if (type != NID_id_smime_ct_authEnvelopedData && type != NID_pkcs7_enveloped) {
    return Result::Fail("not an envelope but a CMS structure of type " +
                        std::string(OBJ_nid2sn(type)));
  }
  BioPtr output(BIO_new(BIO_s_mem()));
  if (!output) return Result::Fail("out of memory");
  if (CMS_decrypt(cms.get(), key, recipient, nullptr, output.get(), CMS_BINARY) != 1) {
    const OpenSslErrors errors = TakeOpenSslErrors();
    if (errors.Has(ERR_LIB_CMS, CMS_R_NO_MATCHING_RECIPIENT)) {
      return Result::Fail("the envelope is not addressed to this certificate");
    }
    return Result::Fail("the envelope cannot be opened; it is damaged or was altered (" +
                        errors.text + ")");
  }
  return BioContent(output.get());
}

}  // namespace quillora::engine
