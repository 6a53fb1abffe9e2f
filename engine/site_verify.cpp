#include "engine/site_verify.h"

#include <openssl/err.h>

#include <climits>

#include "engine/key_files.h"
#include "engine/openssl_errors.h"
#include "engine/openssl_ptr.h"
#include "engine/subject_names.h"

namespace quillora::site {
namespace {

VerifyResult Failure(std::string error) {
  return {false, std::move(error), {}, {}};
}

engine::Outcome<engine::X509StorePtr> TrustStore(const std::filesystem::path& caFile) {
  using Result = engine::Outcome<engine::X509StorePtr>;
  auto authorities = engine::LoadCertificates(caFile);
  if (!authorities) return Result::Fail(authorities.error());
  if (authorities->empty()) return Result::Fail("no certificate in " + caFile.string());
  engine::X509StorePtr store(X509_STORE_new());
  if (!store) return Result::Fail("out of memory");
  for (const auto& authority : *authorities) {
    if (X509_STORE_add_cert(store.get(), authority.get()) != 1) {
      return Result::Fail("cannot trust " + caFile.string() + ": " +
                          engine::TakeOpenSslErrors().text);
    }
  }
  return store;
}

std::string Explain(const engine::OpenSslErrors& errors) {
  if (errors.Has(ERR_LIB_CMS, CMS_R_CERTIFICATE_VERIFY_ERROR)) {
    return "the signer's certificate is not trusted by the given certificate authority (" +
           errors.text + ")";
  }
  if (errors.Has(ERR_LIB_CMS, CMS_R_VERIFICATION_FAILURE) ||
      errors.Has(ERR_LIB_CMS, CMS_R_CONTENT_VERIFY_ERROR)) {
    return "the signature does not match the content (" + errors.text + ")";
  }
  return "the signature cannot be checked (" + errors.text + ")";
}

}  // namespace

VerifyResult VerifyDetachedSignature(std::string_view signatureDer, std::string_view content,
                                     const std::filesystem::path& caFile) {
  if (content.size() > static_cast<size_t>(INT_MAX) ||
      signatureDer.size() > static_cast<size_t>(LONG_MAX)) {
    return Failure("input too large");
  }
  auto store = TrustStore(caFile);
  if (!store) return Failure(store.error());

  engine::OpenSslErrorScope scope;
  const auto* cursor = reinterpret_cast<const unsigned char*>(signatureDer.data());
  engine::CmsPtr cms(d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(signatureDer.size())));
  if (!cms) return Failure("the signature is not a DER-encoded CMS structure");
  if (cursor != reinterpret_cast<const unsigned char*>(signatureDer.data()) + signatureDer.size()) {
    return Failure("unexpected bytes after the signature");
  }
  if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
    return Failure("the signature is not a CMS SignedData structure");
  }
  if (CMS_is_detached(cms.get()) != 1) {
    return Failure("the signature carries its own content; a detached signature is expected");
  }
  const int signers = sk_CMS_SignerInfo_num(CMS_get0_SignerInfos(cms.get()));
  if (signers != 1) {
    return Failure("expected one signer, found " + std::to_string(signers < 0 ? 0 : signers));
  }

  engine::BioPtr data(
      BIO_new_mem_buf(content.empty() ? "" : content.data(), static_cast<int>(content.size())));
  if (!data) return Failure("out of memory");
  // Binary: the bytes are compared as they are, without line-ending conversion.
  if (CMS_verify(cms.get(), nullptr, store->get(), data.get(), nullptr, CMS_BINARY) != 1) {
    return Failure(Explain(engine::TakeOpenSslErrors()));
  }

  engine::BorrowingX509StackPtr signerCertificates(CMS_get0_signers(cms.get()));
  X509* signer = sk_X509_num(signerCertificates.get()) == 1
                     ? sk_X509_value(signerCertificates.get(), 0)
                     : nullptr;
  if (signer == nullptr) return Failure("the signer's certificate is missing");
  VerifyResult result{true, {}, engine::CommonName(signer), engine::OneLineSubject(signer)};
  return result;
}

}  // namespace quillora::site
