#include "crypto/crypto_operations.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <vector>

#include "control/error_register.h"
#include "crypto/crypto_engine.h"
#include "crypto/crypto_errors.h"
#include "crypto/engine_api.h"
#include "platform/automation_string.h"

namespace quillora {
namespace {

using Buffer = std::vector<unsigned char>;
constexpr int32_t kOk = 0;

bool Fail(int32_t code) {
  RecordError(code);
  return false;
}

// The steps every operation begins with: load and bind the engine (and for encryption
// and decryption the Base64 library), open a handle and configure it. Returns the code
// to record, or kOk.
int32_t OpenEngine(CCryptoEngine& engine, EngineUse use, const CCryptoConfig& config) {
  if (!engine.LoadEngine(config.InstallDir)) return crypto_errors::kEngineNotLoaded;
  if (!engine.BindEngine(use)) return crypto_errors::kEntryMissing;
  if (use == EngineUse::kEncryption) {
    if (!engine.LoadBase64(config.ModuleDir)) return crypto_errors::kBase64NotLoaded;
    if (!engine.BindBase64Encode() || !engine.BindBase64Decode()) {
      return crypto_errors::kEntryMissing;
    }
  }
  if (!engine.Open(config.CryptoEngine)) return crypto_errors::kCallFailed;
  engine.SetParam(engine_params::kUserName, config.MnemonicUserName);
  engine.SetParam(engine_params::kSecretKeyDir, config.SecretKeyDir);
  engine.SetParam(engine_params::kPublicKeyDir, config.PublicKeyDir);
  engine.SetParam(engine_params::kLanguage, config.Language);
  engine.SetParam(engine_params::kReserved, Text());
  return kOk;
}

// A buffer of `room` + `textLength` bytes. Nothing when the engine's room is no positive
// number (-18) or the sum cannot be told to the engine as a length (-19); allocation
// failure shows as std::bad_alloc.
std::optional<Buffer> MakeBuffer(int32_t room, std::size_t textLength, int32_t& code) {
  if (room <= 0) {
    code = crypto_errors::kCallFailed;
    return std::nullopt;
  }
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
  if (textLength > kMax - static_cast<std::size_t>(room)) {
    code = crypto_errors::kNoMemory;
    return std::nullopt;
  }
  return Buffer(static_cast<std::size_t>(room) + textLength);
}

// The Base64 text of `length` bytes as 8-bit text; nothing when the encoder fails.
std::optional<Text> EncodeToText(CCryptoEngine& engine, const Buffer& buffer, int32_t length) {
  const platform::AutomationString encoded = engine.Base64Encode(buffer.data(), length);
  if (!encoded) return std::nullopt;
  return WideToAnsi(platform::StringView(encoded.get()));
}

bool Sign(const Text& text, Text& out, const CCryptoConfig& config) {
  CCryptoEngine engine;
  if (const int32_t code = OpenEngine(engine, EngineUse::kSigning, config); code != kOk) {
    return Fail(code);
  }
  const int32_t maxSignature = engine.MaxSignatureLength();
  int32_t code = kOk;
  std::optional<Buffer> buffer = MakeBuffer(maxSignature, text.size(), code);
  if (!buffer) return Fail(code);
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  int32_t written = maxSignature;
  if (engine.SignData(&data, static_cast<int32_t>(text.size()), buffer->data(), &written) != 0) {
    return Fail(crypto_errors::kCallFailed);
  }
  // Never read past the buffer on the word of the engine.
  if (written < 0 || static_cast<std::size_t>(written) > buffer->size()) {
    return Fail(crypto_errors::kCallFailed);
  }
  // The Base64 library is needed only once there is a signature to carry.
  if (!engine.LoadBase64(config.ModuleDir)) return Fail(crypto_errors::kBase64NotLoaded);
  if (!engine.BindBase64Encode()) return Fail(crypto_errors::kEntryMissing);
  std::optional<Text> encoded = EncodeToText(engine, *buffer, written);
  if (!encoded) return Fail(crypto_errors::kCallFailed);
  out = std::move(*encoded);
  return true;
}

bool Encrypt(const Text& text, Text& out, const CCryptoConfig& config) {
  CCryptoEngine engine;
  if (const int32_t code = OpenEngine(engine, EngineUse::kEncryption, config); code != kOk) {
    return Fail(code);
  }
  int32_t code = kOk;
  std::optional<Buffer> buffer = MakeBuffer(engine.MaxEncodeAddition(), text.size(), code);
  if (!buffer) return Fail(code);
  std::copy(text.begin(), text.end(), buffer->begin());
  // The engine may take the data for a string; the room it added holds the terminator.
  (*buffer)[text.size()] = 0;
  int32_t length = static_cast<int32_t>(text.size());
  if (engine.EncodeData(buffer->data(), &length) != 0) return Fail(crypto_errors::kCallFailed);
  if (length < 0 || static_cast<std::size_t>(length) > buffer->size()) {
    return Fail(crypto_errors::kCallFailed);
  }
  std::optional<Text> encoded = EncodeToText(engine, *buffer, length);
  if (!encoded) return Fail(crypto_errors::kCallFailed);
  out = std::move(*encoded);
  return true;
}

bool Decrypt(const Text& text, Text& out, const CCryptoConfig& config) {
  CCryptoEngine engine;
  if (const int32_t code = OpenEngine(engine, EngineUse::kEncryption, config); code != kOk) {
    return Fail(code);
  }
  // The buffer is as long as the text, and the decoded data needs a zero byte after it:
  // an empty text leaves no room for it, and no encryption makes one.
  if (text.empty()) return Fail(crypto_errors::kCallFailed);
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    return Fail(crypto_errors::kNoMemory);
  }
  Buffer buffer(text.size());
  const platform::AutomationString wide = platform::MakeAutomationString(AnsiToWide(text));
  if (!wide) return Fail(crypto_errors::kNoMemory);
  int32_t decoded = 0;
  if (engine.Base64Decode(wide.get(), buffer.data(), &decoded) == 0) {
    return Fail(crypto_errors::kCallFailed);
  }
  // Four characters never give more than three bytes, so a decoder that claims to have
  // filled the buffer is broken.
  if (decoded < 0 || static_cast<std::size_t>(decoded) >= buffer.size()) {
    return Fail(crypto_errors::kCallFailed);
  }
  buffer[static_cast<std::size_t>(decoded)] = 0;

  const int32_t uidLength = engine.MaxUidLength();
  if (uidLength < 0) return Fail(crypto_errors::kCallFailed);
  std::vector<char> uid(static_cast<std::size_t>(uidLength) + 1);
  int32_t length = decoded;
  if (engine.DecodeData(buffer.data(), &length, uid.data()) != 0) {
    return Fail(crypto_errors::kCallFailed);
  }
  // Decryption works in place and never lengthens the data.
  if (length < 0 || length > decoded) return Fail(crypto_errors::kCallFailed);
  buffer[static_cast<std::size_t>(length)] = 0;
  const auto* chars = reinterpret_cast<const char*>(buffer.data());
  out = Text(chars, strnlen(chars, static_cast<std::size_t>(length)));
  return true;
}

// Runs an operation behind the guard; memory running out anywhere in it is a buffer that
// could not be had.
template <typename Operation>
bool Guarded(Operation operation, const Text& text, Text& out, const CCryptoConfig& config) {
  if (ErrorRecorded()) return false;
  try {
    return operation(text, out, config);
  } catch (const std::bad_alloc&) {
    return Fail(crypto_errors::kNoMemory);
  }
}

}  // namespace

bool CryptoSign(Text text, Text& out, const CCryptoConfig& config) {
  return Guarded(Sign, text, out, config);
}

bool CryptoEncrypt(Text text, Text& out, const CCryptoConfig& config) {
  return Guarded(Encrypt, text, out, config);
}

bool CryptoDecrypt(Text text, Text& out, const CCryptoConfig& config) {
  return Guarded(Decrypt, text, out, config);
}

}  // namespace quillora
