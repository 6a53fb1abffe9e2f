#include "engine/subject_names.h"

#include <openssl/asn1.h>

#include "engine/openssl_ptr.h"

namespace quillora::engine {

std::string CommonName(const X509* certificate) {
  const X509_NAME* subject = X509_get_subject_name(certificate);
  const int index = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
  if (index < 0) return {};
  const ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, index));
  unsigned char* utf8 = nullptr;
  const int length = ASN1_STRING_to_UTF8(&utf8, value);
  if (length < 0) return {};
  OpenSslBytesPtr owned(utf8);
  return std::string(reinterpret_cast<const char*>(utf8), static_cast<size_t>(length));
}

std::string OneLineSubject(const X509* certificate) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  if (!bio) return {};
  // RFC 2253 order and escaping, but written from the country down, with UTF-8 kept.
  const unsigned long flags =
      (XN_FLAG_RFC2253 & ~(XN_FLAG_SEP_MASK | XN_FLAG_DN_REV | ASN1_STRFLGS_ESC_MSB)) |
      XN_FLAG_SEP_CPLUS_SPC;
  if (X509_NAME_print_ex(bio.get(), X509_get_subject_name(certificate), 0, flags) < 0) return {};
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return length > 0 ? std::string(data, static_cast<size_t>(length)) : std::string();
}

std::string CutUtf8(std::string_view text, size_t limit) {
  if (text.size() <= limit) return std::string(text);
  size_t end = limit;
  // Step back over continuation bytes to the start of the sequence that was cut.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

}  // namespace quillora::engine
