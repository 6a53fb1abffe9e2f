#include "crypto/discover_crypto_config.h"

#include <array>
#include <cstring>
#include <optional>

#include "control/error_register.h"
#include "control/progress_window.h"
#include "crypto/config_file.h"
#include "crypto/crypto_errors.h"
#include "platform/registry.h"

namespace quillora {
namespace {

namespace platform = quillora::platform;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvane";
constexpr char kInstallPathValue[] = "InstallPath";
constexpr std::size_t kInstallPathRoom = 1024;
constexpr char kConfigFileName[] = "halvane.cfg";
constexpr char kSectionPrefix[] = "Client\\Web servers\\";
constexpr char kCryptoEngineSuffix[] = "\\Crypto engine";

bool Fail(int32_t code) {
  RecordError(code);
  return false;
}

// The security client's installation directory, or nothing when the registry does not
// name one.
std::optional<Text> ReadInstallDirectory() {
  platform::RegistryKey key;
  // Full access is asked for, as the control always has; the stand-in grants it to
  // anyone who may read the registry file.
  if (platform::OpenRegistryKey(platform::RegHive::kLocalMachine, kUninstallKey,
                                platform::kKeyAllAccess, key) != platform::kRegSuccess) {
    return std::nullopt;
  }
  std::array<unsigned char, kInstallPathRoom> buffer{};
  uint32_t size = static_cast<uint32_t>(buffer.size());
  uint32_t type = 0;
  const platform::RegStatus status =
      platform::QueryRegistryValue(key, kInstallPathValue, &type, buffer.data(), &size);
  platform::CloseRegistryKey(key);
  if (status != platform::kRegSuccess || size == 0) return std::nullopt;
  // A number is no directory.
  if (type != platform::kRegString) return std::nullopt;
  const auto* chars = reinterpret_cast<const char*>(buffer.data());
  Text directory(chars, strnlen(chars, size));
  // An empty path would put the configuration (and the engine) at the file system's root.
  if (directory.empty()) return std::nullopt;
  return directory;
}

// The end of the section that starts at `start`: where the next section of any web
// server begins, or the end of the text.
std::size_t SectionEnd(const Text& text, std::size_t start) {
  const std::size_t next = text.find(kSectionPrefix, start + 1);
  return next == Text::npos ? text.size() : next;
}

}  // namespace

bool DiscoverCryptoConfig(const Text& destLocation, CCryptoConfig& config) {
  if (ErrorRecorded()) return false;
  if (destLocation.empty()) return Fail(crypto_errors::kNoDestLocation);

  TheProgressWindow().SetMessage(kRegistryMessage);
  const std::optional<Text> installDir = ReadInstallDirectory();
  if (!installDir) return Fail(crypto_errors::kNoInstallDir);

  TheProgressWindow().SetMessage(kLookingMessage);
  const Text path = JoinPath(*installDir, kConfigFileName);
  if (!PathExists(path)) return Fail(crypto_errors::kNoConfigFile);
  config.InstallDir = *installDir;

  TheProgressWindow().SetMessage(kReadingMessage);
  std::optional<Text> text = ReadWholeFile(path);
  if (!text) return Fail(crypto_errors::kConfigFileUnreadable);
  // A zero byte ends the configuration: nothing after it is seen.
  if (const std::size_t zero = text->find('\0'); zero != Text::npos) text->resize(zero);

  const Text webServer = kSectionPrefix + destLocation;
  const std::size_t webStart = text->find(webServer);
  if (webStart == Text::npos) return Fail(crypto_errors::kNoWebServerSection);
  const std::size_t webEnd = SectionEnd(*text, webStart);
  config.WebServerHost = ReadConfigValue(*text, "web server host", webStart, webEnd);
  config.WebServerAddress = ReadConfigValue(*text, "web server address", webStart, webEnd);
  config.CryptoEngine = ReadConfigValue(*text, "crypto engine", webStart, webEnd);
  config.CompressMode = ConfigNumber(ReadConfigValue(*text, "compress mode", webStart, webEnd));

  // Without a crypto engine section its settings all read as empty.
  const std::size_t engineStart = text->find(webServer + kCryptoEngineSuffix);
  const auto readEngineValue = [&](const char* key) {
    if (engineStart == Text::npos) return Text();
    return ReadConfigValue(*text, key, engineStart, SectionEnd(*text, engineStart));
  };
  config.MnemonicUserName = readEngineValue("Mnemonic user name");
  config.PublicKeyDir = readEngineValue("Public key directory");
  config.SecretKeyDir = readEngineValue("Secret key directory");
  config.EncryptForUid = readEngineValue("Encrypt for UID");
  config.Language = readEngineValue("Language");
  return true;
}

}  // namespace quillora
