// Reading keys and certificates from PEM files. Secret keys are read only from files
// that no one but their owner may touch, as ssh insists for its keys.
#pragma once

#include <filesystem>
#include <vector>

#include "engine/openssl_ptr.h"
#include "engine/outcome.h"

namespace quillora::engine {

// The private key of a PEM file (PKCS#8 or traditional, unencrypted). Fails when the
// file grants any permission to its group or to others.
Outcome<EvpPkeyPtr> LoadPrivateKey(const std::filesystem::path& file);

// The first certificate of a PEM file.
Outcome<X509Ptr> LoadCertificate(const std::filesystem::path& file);

// Every certificate of a PEM file, in file order; other PEM blocks (keys) are passed
// over. A file without certificates gives an empty list.
Outcome<std::vector<X509Ptr>> LoadCertificates(const std::filesystem::path& file);

// Every certificate of the "*.crt" and "*.pem" files directly in `directory`, files
// taken in name order. A file that cannot be read or holds a damaged certificate fails
// the whole load: leaving it out could drop a recipient without anyone noticing.
Outcome<std::vector<X509Ptr>> LoadDirectoryCertificates(const std::filesystem::path& directory);

}  // namespace quillora::engine
