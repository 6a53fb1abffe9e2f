#include "engine/openssl_errors.h"

#include <openssl/err.h>

#include <algorithm>

namespace quillora::engine {

bool OpenSslErrors::Has(int library, int reason) const {
  return std::any_of(codes.begin(), codes.end(), [&](unsigned long code) {
    return ERR_GET_LIB(code) == library && ERR_GET_REASON(code) == reason;
  });
}

OpenSslErrors TakeOpenSslErrors() {
  OpenSslErrors errors;
  const char* data = nullptr;
  int flags = 0;
  while (unsigned long code = ERR_get_error_all(nullptr, nullptr, nullptr, &data, &flags)) {
    errors.codes.push_back(code);
    const char* reason = ERR_reason_error_string(code);
    std::string item = reason != nullptr ? reason : "error " + std::to_string(ERR_GET_REASON(code));
    if (data != nullptr && (flags & ERR_TXT_STRING) != 0 && *data != '\0') {
      item += " (" + std::string(data) + ")";
    }
    // The same reason is often pushed by several layers; once is enough to read.
    if (errors.text.find(item) == std::string::npos) {
      if (!errors.text.empty()) errors.text += "; ";
      errors.text += item;
    }
  }
  return errors;
}

OpenSslErrorScope::OpenSslErrorScope() {
  ERR_set_mark();
}

OpenSslErrorScope::~OpenSslErrorScope() {
  ERR_pop_to_mark();
}

}  // namespace quillora::engine
