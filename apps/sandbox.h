// A self-contained security client in one directory, for trying the component, for tests
// and for CI: a test certificate authority, the user's and the site's keys, the client's
// installation directory with its configuration and the reference engine, and a registry
// file that points at it.
#pragma once

#include <filesystem>
#include <string>

namespace quillora::cli {

struct SandboxRequest {
  std::filesystem::path dir;
  std::string dest = "srv1";            // the web server section
  std::string user = "supplier";        // the mnemonic user name
  std::filesystem::path engineLibrary;  // the libzelcor.so to install
};

struct SandboxLayout {
  std::filesystem::path installDir;  // holds halvane.cfg and libzelcor.so
  std::filesystem::path secretKeyDir;
  std::filesystem::path publicKeyDir;
  std::filesystem::path registryFile;
  std::filesystem::path caCertificate;
  std::filesystem::path siteKey;
  std::filesystem::path siteCertificate;
};

SandboxLayout LayoutOf(const std::filesystem::path& dir);

// Creates or completes the sandbox; existing keys are kept. Throws CommandFailure.
SandboxLayout CreateSandbox(const SandboxRequest& request);

}  // namespace quillora::cli
