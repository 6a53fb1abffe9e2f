/* A stand-in crypto engine for the tests. It "signs" by writing "sig:" and the text
 * backwards, and "encrypts" reversibly by writing "enc:" and the text with every byte
 * flipped. The name it is opened with chooses a fault to show (see Mode below).
 *
 * Every load, call and unload is appended as one line to the file named by
 * $QUILLORA_TEST_ENGINE_LOG, so that tests can see what was loaded and called, and in
 * which order. Built without DecodeData when FAKE_ENGINE_WITHOUT_DECODE is defined. */
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

enum { kHandle = 7, kMaxSignature = 64, kMaxAddition = 8, kUidLength = 8, kHeader = 4 };

static char mode[128];

__attribute__((format(printf, 1, 2))) static void Log(const char* format, ...) {
  const char* path = getenv("QUILLORA_TEST_ENGINE_LOG");
  if (path == NULL || path[0] == '\0') return;
  FILE* file = fopen(path, "a");
  if (file == NULL) return;
  va_list args;
  va_start(args, format);
  vfprintf(file, format, args);
  va_end(args);
  fputc('\n', file);
  fclose(file);
}

/* Faults, chosen by a word in the engine name: "fail-init", "zero-max", "negative-max",
 * "huge-max", "fail-sign", "fail-encode", "fail-decode", "long-sign", "long-encode",
 * "long-decode", "negative-uid". */
static int Mode(const char* word) {
  return strstr(mode, word) != NULL;
}

__attribute__((constructor)) static void Loaded(void) {
  Log("engine load");
}
__attribute__((destructor)) static void Unloaded(void) {
  Log("engine unload");
}

EXPORT uint32_t InitCryptoEngine(const char* name) {
  Log("init %s", name);
  snprintf(mode, sizeof mode, "%s", name);
  if (name[0] == '\0' || Mode("fail-init")) return 0;
  return kHandle;
}

EXPORT int32_t SetCryptoParamValue(uint32_t handle, int32_t number, const char* value) {
  (void)handle;
  Log("param %d=%s", (int)number, value);
  return 0;
}

EXPORT int32_t DoneCryptoEngine(uint32_t handle) {
  Log("done %u", (unsigned)handle);
  return 0;
}

static int32_t Maximum(int32_t normal) {
  if (Mode("zero-max")) return 0;
  if (Mode("negative-max")) return -5;
  if (Mode("huge-max")) return INT32_MAX;
  return normal;
}

EXPORT int32_t GetMaxSignatureLength(uint32_t handle) {
  (void)handle;
  Log("max-signature");
  return Maximum(kMaxSignature);
}

EXPORT int32_t SignData(uint32_t handle, const unsigned char** data, int32_t length,
                        unsigned char* out, int32_t* outLength, int32_t reserved) {
  (void)handle;
  (void)reserved;
  Log("sign %d room %d", (int)length, (int)*outLength);
  if (Mode("fail-sign")) return 1;
  const int32_t given = *outLength;
  int32_t room = given - kHeader;
  int32_t count = length < room ? length : room;
  memcpy(out, "sig:", kHeader);
  for (int32_t i = 0; i < count; ++i) out[kHeader + i] = (*data)[length - 1 - i];
  *outLength = kHeader + count;
  /* One byte more than the caller's buffer of room + length bytes. */
  if (Mode("long-sign")) *outLength = given + length + 1;
  return 0;
}

EXPORT int32_t GetMaxEncodeAddition(uint32_t handle) {
  (void)handle;
  Log("max-addition");
  return Maximum(kMaxAddition);
}

EXPORT int32_t GetMaxUIDLength(uint32_t handle) {
  (void)handle;
  Log("max-uid");
  return Mode("negative-uid") ? -1 : kUidLength;
}

EXPORT int32_t EncodeData(uint32_t handle, unsigned char* buffer, int32_t* length,
                          int32_t reserved) {
  (void)handle;
  (void)reserved;
  Log("encode %d", (int)*length);
  if (Mode("fail-encode")) return 1;
  memmove(buffer + kHeader, buffer, (size_t)*length);
  memcpy(buffer, "enc:", kHeader);
  for (int32_t i = 0; i < *length; ++i) buffer[kHeader + i] ^= 0xFF;
  *length += kHeader;
  if (Mode("long-encode")) *length += kMaxAddition;
  return 0;
}

#ifndef FAKE_ENGINE_WITHOUT_DECODE
EXPORT int32_t DecodeData(uint32_t handle, unsigned char* buffer, int32_t* length, char* uid) {
  (void)handle;
  Log("decode %d", (int)*length);
  if (Mode("fail-decode") || *length < kHeader || memcmp(buffer, "enc:", kHeader) != 0) return 1;
  *length -= kHeader;
  for (int32_t i = 0; i < *length; ++i) buffer[i] = (unsigned char)(buffer[kHeader + i] ^ 0xFF);
  memcpy(uid, "fake-uid", kUidLength + 1);
  if (Mode("long-decode")) *length += kHeader + 1;
  return 0;
}
#endif
