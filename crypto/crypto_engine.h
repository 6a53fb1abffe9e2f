// The binding to the crypto engine library of the security client and to the Base64
// library, both loaded for one operation. Entry points are bound by name; the engine
// handle, the engine and the Base64 library are released, in that order, when the
// object goes away.
#pragma once

#include <cstdint>
#include <string>

#include "base64/sorlit_api.h"
#include "crypto/engine_api.h"
#include "platform/automation_string.h"
#include "platform/dynamic_library.h"
#include "xml/text_conversion.h"

namespace quillora {

// The engine library's file name in the installation directory.
inline constexpr char kEngineFileName[] = "libzelcor.so";

// The file name the Base64 library is loaded by; hosts keep the default, and tests that
// need a library that cannot be found name another one.
const std::string& Base64LibraryFileName();
void SetBase64LibraryFileName(std::string fileName);

// Which entry points an operation binds: signing needs five, encryption and decryption
// the same seven.
enum class EngineUse { kSigning, kEncryption };

class CCryptoEngine {
 public:
  CCryptoEngine() = default;
  ~CCryptoEngine();
  CCryptoEngine(const CCryptoEngine&) = delete;
  CCryptoEngine& operator=(const CCryptoEngine&) = delete;

  // Loads the engine from the installation directory; false when it cannot.
  bool LoadEngine(const Text& installDir);
  // Binds the entry points `use` needs, in a fixed order; false at the first missing one.
  bool BindEngine(EngineUse use);
  // Loads the Base64 library from the module directory, else by name through the
  // library search path; false when neither works.
  bool LoadBase64(const Text& moduleDir);
  bool BindBase64Encode();
  bool BindBase64Decode();

  // Opens the engine handle; false when the engine refuses.
  bool Open(const Text& cryptoEngine);
  void SetParam(int32_t number, const Text& value);
  int32_t MaxSignatureLength();
  int32_t SignData(const unsigned char** data, int32_t length, unsigned char* out,
                   int32_t* outLength);
  int32_t MaxEncodeAddition();
  int32_t EncodeData(unsigned char* buffer, int32_t* length);
  int32_t MaxUidLength();
  int32_t DecodeData(unsigned char* buffer, int32_t* length, char* uid);

  // Null when the Base64 library fails.
  platform::AutomationString Base64Encode(const unsigned char* data, int32_t length);
  int32_t Base64Decode(const char16_t* text, unsigned char* out, int32_t* outLength);

 private:
  platform::DynamicLibrary engine_;
  platform::DynamicLibrary base64_;
  EngineHandle handle_ = 0;

  InitCryptoEngineFn init_ = nullptr;
  DoneCryptoEngineFn done_ = nullptr;
  SetCryptoParamValueFn setParam_ = nullptr;
  GetMaxSignatureLengthFn maxSignature_ = nullptr;
  SignDataFn sign_ = nullptr;
  GetMaxEncodeAdditionFn maxAddition_ = nullptr;
  GetMaxUIDLengthFn maxUid_ = nullptr;
  EncodeDataFn encode_ = nullptr;
  DecodeDataFn decode_ = nullptr;
  base64::Base64EncodeFn base64Encode_ = nullptr;
  base64::Base64DecodeFn base64Decode_ = nullptr;
};

}  // namespace quillora
