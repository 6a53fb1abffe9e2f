// The engine's work for one configured handle, in C++ terms; the exported C functions
// add the handle lookup and the caller's buffers around it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/engine_settings.h"
#include "engine/outcome.h"

namespace quillora::engine {

// Bytes of the user identifier DecodeData writes, its terminating zero not counted.
inline constexpr size_t kMaxUidLength = 64;

// The user's detached signature over `data`.
Outcome<std::string> SignAsUser(const EngineSettings& settings, std::string_view data);
// Most bytes SignAsUser can produce with the user's certificate; 0 when it is missing.
size_t MaxSignatureLength(const EngineSettings& settings);

struct SealedEnvelope {
  std::string der;
  // What MaxEncodeAddition promised for the same recipients: the room the caller made.
  size_t maxAddition = 0;
};
// An envelope of `data` for the user and every recipient in the public key directory.
Outcome<SealedEnvelope> SealForRecipients(const EngineSettings& settings, std::string_view data);
// Most bytes SealForRecipients adds; 0 when the recipients cannot be loaded.
size_t MaxEncodeAddition(const EngineSettings& settings);

struct OpenedEnvelope {
  std::string content;
  // The common name of the certificate that opened it, cut to kMaxUidLength bytes.
  std::string uid;
};
// The content of an envelope made for the user.
Outcome<OpenedEnvelope> OpenAsUser(const EngineSettings& settings, std::string_view der);

}  // namespace quillora::engine
