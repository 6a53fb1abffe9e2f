#include "crypto/crypto_engine.h"

#include <utility>

#include "crypto/config_file.h"

namespace quillora {
namespace {

std::string& Base64FileNameSetting() {
  static std::string fileName = base64::kSorlitFileName;
  return fileName;
}

template <typename Function>
bool BindTo(const platform::DynamicLibrary& library, const char* name, Function& entry) {
  entry = library.Bind<Function>(name);
  return entry != nullptr;
}

}  // namespace

const std::string& Base64LibraryFileName() {
  return Base64FileNameSetting();
}

void SetBase64LibraryFileName(std::string fileName) {
  Base64FileNameSetting() = std::move(fileName);
}

CCryptoEngine::~CCryptoEngine() {
  if (handle_ != 0 && done_ != nullptr) done_(handle_);
  engine_.Unload();
  base64_.Unload();
}

bool CCryptoEngine::LoadEngine(const Text& installDir) {
  // Without a directory the name would be looked for on the search path, or at the
  // file system's root; neither is the security client's engine.
  if (installDir.empty()) return false;
  engine_ = platform::DynamicLibrary(JoinPath(installDir, kEngineFileName));
  return engine_.IsLoaded();
}

bool CCryptoEngine::BindEngine(EngineUse use) {
  if (!BindTo(engine_, "InitCryptoEngine", init_) || !BindTo(engine_, "DoneCryptoEngine", done_) ||
      !BindTo(engine_, "SetCryptoParamValue", setParam_)) {
    return false;
  }
  if (use == EngineUse::kSigning) {
    return BindTo(engine_, "GetMaxSignatureLength", maxSignature_) &&
           BindTo(engine_, "SignData", sign_);
  }
  return BindTo(engine_, "GetMaxEncodeAddition", maxAddition_) &&
         BindTo(engine_, "GetMaxUIDLength", maxUid_) && BindTo(engine_, "EncodeData", encode_) &&
         BindTo(engine_, "DecodeData", decode_);
}

bool CCryptoEngine::LoadBase64(const Text& moduleDir) {
  base64_ = platform::LoadBesideOrOnSearchPath(moduleDir, Base64LibraryFileName());
  return base64_.IsLoaded();
}

bool CCryptoEngine::BindBase64Encode() {
  return BindTo(base64_, base64::kEncodeExport, base64Encode_);
}

bool CCryptoEngine::BindBase64Decode() {
  return BindTo(base64_, base64::kDecodeExport, base64Decode_);
}

bool CCryptoEngine::Open(const Text& cryptoEngine) {
  handle_ = init_(cryptoEngine.c_str());
  return handle_ != 0;
}

void CCryptoEngine::SetParam(int32_t number, const Text& value) {
  setParam_(handle_, number, value.c_str());
}

int32_t CCryptoEngine::MaxSignatureLength() {
  return maxSignature_(handle_);
}

int32_t CCryptoEngine::SignData(const unsigned char** data, int32_t length, unsigned char* out,
                                int32_t* outLength) {
  return sign_(handle_, data, length, out, outLength, 0);
}

int32_t CCryptoEngine::MaxEncodeAddition() {
  return maxAddition_(handle_);
}

int32_t CCryptoEngine::EncodeData(unsigned char* buffer, int32_t* length) {
  return encode_(handle_, buffer, length, 0);
}

int32_t CCryptoEngine::MaxUidLength() {
  return maxUid_(handle_);
}

int32_t CCryptoEngine::DecodeData(unsigned char* buffer, int32_t* length, char* uid) {
  return decode_(handle_, buffer, length, uid);
}

platform::AutomationString CCryptoEngine::Base64Encode(const unsigned char* data, int32_t length) {
  return platform::AutomationString(base64Encode_(data, length));
}

int32_t CCryptoEngine::Base64Decode(const char16_t* text, unsigned char* out, int32_t* outLength) {
  return base64Decode_(text, out, outLength);
}

}  // namespace quillora
