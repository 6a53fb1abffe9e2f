// Signing, encryption and decryption of texts through the crypto engine. Each operation
// loads the engine and the Base64 library, opens and configures an engine handle, does
// its work and releases everything before it returns. On failure it records a code in
// the error register (-16 to -20, see crypto_errors.h), leaves `out` as it was and
// returns false; with an error already recorded it does nothing and returns false.
#pragma once

#include "crypto/crypto_config.h"
#include "xml/text_conversion.h"

namespace quillora {

// The signature of the text, in Base64.
bool CryptoSign(Text text, Text& out, const CCryptoConfig& config);

// The encrypted text, in Base64.
bool CryptoEncrypt(Text text, Text& out, const CCryptoConfig& config);

// The text that CryptoEncrypt made `text` from, up to its first zero byte. An empty
// text fails (-18): it cannot have come from CryptoEncrypt.
bool CryptoDecrypt(Text text, Text& out, const CCryptoConfig& config);

}  // namespace quillora
