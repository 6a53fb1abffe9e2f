#include "base64/base64_decode_blocks.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QUILLORA_BASE64_AVX2 1
#endif

namespace quillora::base64::detail {

#ifdef QUILLORA_BASE64_AVX2
namespace {

constexpr std::size_t kBlock = 32;

// 32 characters of 8-bit text.
__attribute__((target("avx2"))) inline __m256i LoadBlock(const char* text) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
}

// 32 wide units narrowed to bytes. The saturating pack turns every unit above 0xFF into
// 0xFF and every unit from 0x8000 on into 0; like the units from 0x80 to 0xFF they pass
// through, none of those is in the alphabet, so the check below rejects them all.
__attribute__((target("avx2"))) inline __m256i LoadBlock(const char16_t* text) {
  const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
  const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 16));
  // The pack interleaves the halves of the two registers; the permute restores the order.
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
}

// Each character is classified by its two nibbles: lowNibbleClass[lo] & highNibbleClass[hi]
// is zero exactly for the 64 alphabet characters. The value is the character plus an
// offset chosen by its high nibble, "/" getting its own.
template <typename CharT>
__attribute__((target("avx2"))) std::size_t DecodeBlocksAvx2(const CharT* text, std::size_t& pos,
                                                             std::size_t end, uint8_t* out) {
  const __m256i lowNibbleClass =
      _mm256_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B,
                       0x1B, 0x1B, 0x1A, 0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                       0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
  const __m256i highNibbleClass =
      _mm256_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10,
                       0x10, 0x10, 0x10, 0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10,
                       0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
  const __m256i offsets =
      _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4, -65,
                       -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i nibbleMask = _mm256_set1_epi8(0x0F);
  const __m256i slash = _mm256_set1_epi8('/');
  // Four 6-bit values to one 24-bit number per 32-bit lane, then its three bytes in
  // order at the front of each 128-bit half, then the two halves' 12 bytes together.
  const __m256i pairWeights = _mm256_set1_epi32(0x01400140);
  const __m256i quadWeights = _mm256_set1_epi32(0x00011000);
  const __m256i byteOrder =
      _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4, 10,
                       9, 8, 14, 13, 12, -1, -1, -1, -1);
  const __m256i laneOrder = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);

  uint8_t* const start = out;
  std::size_t j = pos;
  while (end - j >= kBlock) {
    const __m256i characters = LoadBlock(text + j);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi32(characters, 4), nibbleMask);
    const __m256i low = _mm256_and_si256(characters, nibbleMask);
    const __m256i classes = _mm256_and_si256(_mm256_shuffle_epi8(lowNibbleClass, low),
                                             _mm256_shuffle_epi8(highNibbleClass, high));
    if (!_mm256_testz_si256(classes, classes)) break;
    const __m256i isSlash = _mm256_cmpeq_epi8(characters, slash);
    const __m256i values =
        _mm256_add_epi8(characters, _mm256_shuffle_epi8(offsets, _mm256_add_epi8(high, isSlash)));
    const __m256i pairs = _mm256_maddubs_epi16(values, pairWeights);
    const __m256i quads = _mm256_madd_epi16(pairs, quadWeights);
    const __m256i bytes =
        _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(quads, byteOrder), laneOrder);
    // 24 bytes exactly: nothing is written past the bytes decoded.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(bytes, 1));
    out += 24;
    j += kBlock;
  }
  pos = j;
  return static_cast<std::size_t>(out - start);
}

bool HasAvx2() {
  return __builtin_cpu_supports("avx2");
}

}  // namespace

std::size_t DecodeBlocks(const char* text, std::size_t& pos, std::size_t end,
                         uint8_t* out) noexcept {
  return HasAvx2() ? DecodeBlocksAvx2(text, pos, end, out) : 0;
}

std::size_t DecodeBlocks(const char16_t* text, std::size_t& pos, std::size_t end,
                         uint8_t* out) noexcept {
  return HasAvx2() ? DecodeBlocksAvx2(text, pos, end, out) : 0;
}

#else

std::size_t DecodeBlocks(const char*, std::size_t&, std::size_t, uint8_t*) noexcept {
  return 0;
}
std::size_t DecodeBlocks(const char16_t*, std::size_t&, std::size_t, uint8_t*) noexcept {
  return 0;
}

#endif

}  // namespace quillora::base64::detail
