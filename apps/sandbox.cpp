#include "apps/sandbox.h"

#include <cstdlib>
#include <fstream>

#include "apps/cli_io.h"
#include "engine/test_pki.h"
#include "platform/registry.h"

namespace quillora::cli {

namespace fs = std::filesystem;

namespace {

constexpr char kClientKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvane";

// The client's configuration file: one web server section and its crypto engine
// section, with CR LF lines as the client writes them.
std::string Configuration(const SandboxRequest& request, const SandboxLayout& layout) {
  const std::string section = "Client\\Web servers\\" + request.dest;
  std::string text;
  const auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  line("[" + section + "]");
  line("web server host=localhost");
  line("web server address=https://localhost/");
  line("crypto engine=cms");
  line("compress mode=0");
  line("[" + section + "\\Crypto engine]");
  line("Mnemonic user name=" + request.user);
  line("Secret key directory=" + layout.secretKeyDir.string());
  line("Public key directory=" + layout.publicKeyDir.string());
  line("Encrypt for UID=Procurement site");
  line("Language=ru");
  return text;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  const fs::path temporary = path.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) throw CommandFailure{0, "cannot write " + temporary.string()};
  }
  std::error_code error;
  fs::rename(temporary, path, error);
  if (error) throw CommandFailure{0, "cannot write " + path.string() + ": " + error.message()};
}

}  // namespace

SandboxLayout LayoutOf(const fs::path& dir) {
  SandboxLayout layout;
  layout.installDir = dir / "halvane";
  layout.secretKeyDir = dir / "halvane" / "keys" / "secret";
  layout.publicKeyDir = dir / "halvane" / "keys" / "public";
  layout.registryFile = dir / "registry.reg";
  layout.caCertificate = dir / "ca" / "ca.crt";
  layout.siteKey = dir / "site" / "site.key";
  layout.siteCertificate = dir / "site" / "site.crt";
  return layout;
}

SandboxLayout CreateSandbox(const SandboxRequest& request) {
  std::error_code error;
  fs::create_directories(request.dir, error);
  if (error)
    throw CommandFailure{0, "cannot create " + request.dir.string() + ": " + error.message()};
  const fs::path dir = fs::absolute(request.dir).lexically_normal();
  const SandboxLayout layout = LayoutOf(dir);
  fs::create_directories(layout.installDir, error);
  if (error) throw CommandFailure{0, "cannot create " + layout.installDir.string()};

  site::TestPkiRequest pki;
  pki.dir = dir;
  pki.secretKeyDir = layout.secretKeyDir;
  pki.publicKeyDir = layout.publicKeyDir;
  pki.userName = request.user;
  const site::TestPkiResult keys = site::CreateTestPki(pki);
  if (!keys.ok) throw CommandFailure{0, "cannot create the keys: " + keys.error};

  WriteFile(layout.installDir / "halvane.cfg", Configuration(request, layout));
  fs::copy_file(request.engineLibrary, layout.installDir / "libzelcor.so",
                fs::copy_options::overwrite_existing, error);
  if (error) {
    throw CommandFailure{
        0, "cannot install the engine " + request.engineLibrary.string() + ": " + error.message()};
  }

  // The registry file of the sandbox says where the client is installed.
  setenv("QUILLORA_REGISTRY", layout.registryFile.c_str(), 1);
  platform::RegistryKey key;
  if (platform::CreateRegistryKey(platform::RegHive::kLocalMachine, kClientKey, key) !=
          platform::kRegSuccess ||
      platform::SetRegistryString(key, "InstallPath", layout.installDir.string()) !=
          platform::kRegSuccess) {
    throw CommandFailure{0, "cannot write the registry file " + layout.registryFile.string()};
  }
  return layout;
}

}  // namespace quillora::cli
