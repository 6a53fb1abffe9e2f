// Owning pointers for the OpenSSL objects the engine and the site's checks use, so that
// every early return frees what was obtained.
#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace quillora::engine {

template <auto Free>
struct OpenSslDeleter {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

using BioPtr = std::unique_ptr<BIO, OpenSslDeleter<BIO_free_all>>;
using BignumPtr = std::unique_ptr<BIGNUM, OpenSslDeleter<BN_free>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, OpenSslDeleter<CMS_ContentInfo_free>>;
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, OpenSslDeleter<X509_free>>;
using X509NamePtr = std::unique_ptr<X509_NAME, OpenSslDeleter<X509_NAME_free>>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSslDeleter<X509_STORE_free>>;
using X509ExtensionPtr = std::unique_ptr<X509_EXTENSION, OpenSslDeleter<X509_EXTENSION_free>>;

// A stack that lends its certificates: freeing it leaves them alone.
inline void FreeBorrowingStack(STACK_OF(X509) * stack) {
  sk_X509_free(stack);
}
using BorrowingX509StackPtr = std::unique_ptr<STACK_OF(X509), OpenSslDeleter<FreeBorrowingStack>>;

// Frees what OPENSSL_malloc handed out (i2d buffers, UTF-8 conversions).
inline void FreeOpenSslBytes(unsigned char* bytes) {
  OPENSSL_free(bytes);
}
using OpenSslBytesPtr = std::unique_ptr<unsigned char, OpenSslDeleter<FreeOpenSslBytes>>;

}  // namespace quillora::engine
