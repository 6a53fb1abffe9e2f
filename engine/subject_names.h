// The names a certificate's subject is shown and identified by.
#pragma once

#include <openssl/x509.h>

#include <string>
#include <string_view>

namespace quillora::engine {

// The subject's common name in UTF-8; empty when the subject has none.
std::string CommonName(const X509* certificate);

// The whole subject on one line, most significant part first ("C=RU, O=..., CN=...").
std::string OneLineSubject(const X509* certificate);

// The longest prefix of `text` of at most `limit` bytes that does not end inside a UTF-8
// sequence.
std::string CutUtf8(std::string_view text, size_t limit);

}  // namespace quillora::engine
