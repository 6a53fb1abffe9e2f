// The exports of the Sorlit library (libsorlit.so). The control does not link against
// the library: it loads it by file name and binds the entry points by the names below,
// so the function-pointer types here are what callers hold.
#pragma once

#include <cstdint>

#include "platform/automation_string.h"
#include "platform/com_types.h"

#define SORLIT_EXPORT extern "C" __attribute__((visibility("default")))

// A new automation string holding the Base64 text of `len` bytes at `data`; the caller
// releases it with FreeString. Null when there is nothing to encode (`len` <= 0 or no
// data) or no memory.
SORLIT_EXPORT quillora::platform::BSTR BASE64Encode(const unsigned char* data, int32_t len);

// Decodes the automation string `text` (null counts as empty) into `out`, which must hold
// as many bytes as the text has characters. 1 on success with the byte count in
// *outLen; 0 when the text is not Base64, `outLen` is null, or `out` is null and the
// text is long enough to hold a byte; *outLen is then untouched.
SORLIT_EXPORT int32_t BASE64Decode(const char16_t* text, unsigned char* out, int32_t* outLen);

// The library's last-error value; nothing sets it, so it stays 0.
SORLIT_EXPORT int32_t LastError(void);

// The library offers no component classes: clears *out and returns
// CLASS_E_CLASSNOTAVAILABLE for every class.
SORLIT_EXPORT quillora::platform::HRESULT DllGetClassObject(const quillora::platform::GUID* clsid,
                                                            const quillora::platform::GUID* iid,
                                                            void** out);
// S_OK: no component object ever holds the library.
SORLIT_EXPORT quillora::platform::HRESULT DllCanUnloadNow(void);
// S_OK; there is nothing to register.
SORLIT_EXPORT quillora::platform::HRESULT DllRegisterServer(void);

namespace quillora::base64 {

inline constexpr char kSorlitFileName[] = "libsorlit.so";

inline constexpr char kEncodeExport[] = "BASE64Encode";
inline constexpr char kDecodeExport[] = "BASE64Decode";
inline constexpr char kLastErrorExport[] = "LastError";
inline constexpr char kGetClassObjectExport[] = "DllGetClassObject";
inline constexpr char kCanUnloadNowExport[] = "DllCanUnloadNow";
inline constexpr char kRegisterServerExport[] = "DllRegisterServer";

using Base64EncodeFn = decltype(&BASE64Encode);
using Base64DecodeFn = decltype(&BASE64Decode);
using LastErrorFn = decltype(&LastError);
using DllGetClassObjectFn = decltype(&DllGetClassObject);
using DllCanUnloadNowFn = decltype(&DllCanUnloadNow);
using DllRegisterServerFn = decltype(&DllRegisterServer);

}  // namespace quillora::base64
