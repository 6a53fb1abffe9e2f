// What a caller sets on an engine handle, and the key material those settings lead to.
#pragma once

#include <string>
#include <vector>

#include "engine/openssl_ptr.h"
#include "engine/outcome.h"

namespace quillora::engine {

struct EngineSettings {
  std::string userName;
  std::string secretKeyDir;
  std::string publicKeyDir;
  std::string language;
};

struct UserKeys {
  X509Ptr certificate;
  EvpPkeyPtr key;
};

// Whether `name` can name the user's files: not empty, no directory separator and not
// "." or "..", so that a user name never reaches a file outside the key directories.
bool IsPlainFileName(const std::string& name);

// The user's certificate, "<user>.crt" in the public key directory.
Outcome<X509Ptr> LoadUserCertificate(const EngineSettings& settings);

// The user's certificate and the matching private key, "<user>.key" in the secret key
// directory.
Outcome<UserKeys> LoadUserKeys(const EngineSettings& settings);

// Who an envelope is made for: the user's own certificate first, so that the user can
// read what was sent, then every end-entity certificate of the public key directory.
// Certificate authorities are left out and each certificate appears once.
Outcome<std::vector<X509Ptr>> LoadRecipients(const EngineSettings& settings);

}  // namespace quillora::engine
