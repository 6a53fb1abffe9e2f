// A security client sandbox made by the quillora command in a temporary directory, with
// the process's registry file pointed at it for the fixture's lifetime.
#pragma once

#include <string>

#include "tests/support/temp_dir.h"

namespace quillora::testing {

class SandboxFixture {
 public:
  // Runs `quillora sandbox` into a fresh directory; throws when it fails.
  explicit SandboxFixture(const std::string& dest = "srv1", const std::string& user = "supplier");
  ~SandboxFixture();
  SandboxFixture(const SandboxFixture&) = delete;
  SandboxFixture& operator=(const SandboxFixture&) = delete;

  const TempDir& dir() const { return dir_; }
  std::string Path(const std::string& relative) const { return dir_.File(relative); }
  std::string registry() const { return Path("registry.reg"); }
  std::string siteKey() const { return Path("site/site.key"); }
  std::string siteCertificate() const { return Path("site/site.crt"); }
  std::string authority() const { return Path("ca/ca.crt"); }
  // The environment assignment for programs run from the test.
  std::string RegistryAssignment() const { return "QUILLORA_REGISTRY=" + registry(); }

 private:
  TempDir dir_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace quillora::testing
