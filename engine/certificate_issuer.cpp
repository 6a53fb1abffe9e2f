#include "engine/certificate_issuer.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include "engine/openssl_errors.h"

namespace quillora::engine {
namespace {

constexpr int kValidityDays = 3650;
constexpr int kRsaBits = 2048;
constexpr int kSerialBits = 127;  // random, and positive as a DER INTEGER

Outcome<std::string> BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  if (size <= 0) return Outcome<std::string>::Fail("nothing was written");
  return std::string(data, static_cast<size_t>(size));
}

bool AddExtension(X509* certificate, X509V3_CTX* context, int nid, const char* value) {
  X509ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, context, nid, value));
  return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool SetRandomSerial(X509* certificate) {
  BignumPtr number(BN_new());
  if (!number || BN_rand(number.get(), kSerialBits, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1) {
    return false;
  }
  return BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate)) != nullptr;
}

bool SetSubject(X509* certificate, const std::string& commonName) {
  X509_NAME* name = X509_get_subject_name(certificate);
  return X509_NAME_add_entry_by_NID(name, NID_commonName, MBSTRING_UTF8,
                                    reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                                    -1, 0) == 1;
}

bool AddExtensions(X509* certificate, X509* issuer, const CertificateRequest& request) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  const bool rsa = EVP_PKEY_get_base_id(request.subjectKey) == EVP_PKEY_RSA;
  const char* constraints = request.authority ? "critical,CA:TRUE" : "critical,CA:FALSE";
  const char* usage = request.authority ? "critical,keyCertSign,cRLSign"
                      : rsa             ? "critical,digitalSignature,keyEncipherment,keyAgreement"
                                        : "critical,digitalSignature,keyAgreement";
  // The subject key identifier comes first: a self-signed certificate's authority key
  // identifier is taken from it.
  return AddExtension(certificate, &context, NID_basic_constraints, constraints) &&
         AddExtension(certificate, &context, NID_key_usage, usage) &&
         AddExtension(certificate, &context, NID_subject_key_identifier, "hash") &&
         AddExtension(certificate, &context, NID_authority_key_identifier, "keyid:always");
}

}  // namespace

Outcome<EvpPkeyPtr> GenerateKey(KeyKind kind) {
  OpenSslErrorScope scope;
  EvpPkeyPtr key(kind == KeyKind::kEc ? EVP_EC_gen("P-256") : EVP_RSA_gen(kRsaBits));
  if (!key) return Outcome<EvpPkeyPtr>::Fail("key generation failed: " + TakeOpenSslErrors().text);
  return key;
}

Outcome<std::string> PrivateKeyPem(EVP_PKEY* key) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  if (!bio ||
      PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    return Outcome<std::string>::Fail("cannot write the private key");
  }
  return BioText(bio.get());
}

Outcome<std::string> CertificatePem(X509* certificate) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  if (!bio || PEM_write_bio_X509(bio.get(), certificate) != 1) {
    return Outcome<std::string>::Fail("cannot write the certificate");
  }
  return BioText(bio.get());
}

Outcome<X509Ptr> IssueCertificate(const CertificateRequest& request) {
  using Result = Outcome<X509Ptr>;
  if (request.subjectKey == nullptr || (!request.authority && request.issuer == nullptr) ||
      (!request.authority && request.issuerKey == nullptr)) {
    return Result::Fail("incomplete certificate request");
  }
  OpenSslErrorScope scope;
  X509Ptr certificate(X509_new());
  if (!certificate) return Result::Fail("out of memory");
  X509* self = certificate.get();
  X509* issuer = request.authority ? self : request.issuer;
  EVP_PKEY* signingKey = request.authority ? request.subjectKey : request.issuerKey;
  const bool built =
      X509_set_version(self, X509_VERSION_3) == 1 && SetRandomSerial(self) &&
      X509_gmtime_adj(X509_getm_notBefore(self), 0) != nullptr &&
      X509_time_adj_ex(X509_getm_notAfter(self), kValidityDays, 0, nullptr) != nullptr &&
      SetSubject(self, request.commonName) &&
      X509_set_issuer_name(self, X509_get_subject_name(issuer)) == 1 &&
      X509_set_pubkey(self, request.subjectKey) == 1 && AddExtensions(self, issuer, request) &&
      X509_sign(self, signingKey, EVP_sha256()) > 0;
  if (!built) {
    return Result::Fail("cannot issue a certificate for \"" + request.commonName +
                        "\": " + TakeOpenSslErrors().text);
  }
  return certificate;
}

}  // namespace quillora::engine
