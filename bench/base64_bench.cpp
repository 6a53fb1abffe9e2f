// Encoding and decoding 16 MB of random bytes through the Sorlit library, loaded and
// bound by name the way the control does it, next to OpenSSL's block codec on the same
// data. Every benchmark counts the 16 MB of raw bytes, so their rates compare directly.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "base64/base64_codec.h"
#include "base64/sorlit_api.h"
#include "platform/automation_string.h"
#include "platform/dynamic_library.h"

namespace {

namespace base64 = quillora::base64;
namespace platform = quillora::platform;

constexpr std::size_t kDataSize = std::size_t{16} << 20;

struct Sorlit {
  platform::DynamicLibrary library{QUILLORA_BIN_DIR "/libsorlit.so"};
  base64::Base64EncodeFn encode = library.Bind<base64::Base64EncodeFn>(base64::kEncodeExport);
  base64::Base64DecodeFn decode = library.Bind<base64::Base64DecodeFn>(base64::kDecodeExport);
  bool ready() const { return encode != nullptr && decode != nullptr; }
};

const Sorlit& TheLibrary() {
  static const Sorlit sorlit;
  return sorlit;
}

const std::vector<unsigned char>& Data() {
  static const std::vector<unsigned char> data = [] {
    std::mt19937_64 random(42);
    std::vector<unsigned char> bytes(kDataSize);
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
      const uint64_t word = random();
      for (std::size_t k = 0; k < 8; ++k)
        bytes[at + k] = static_cast<unsigned char>(word >> (8 * k));
    }
    return bytes;
  }();
  return data;
}

void BM_SorlitEncode(benchmark::State& state) {
  const Sorlit& sorlit = TheLibrary();
  if (!sorlit.ready()) return state.SkipWithError("libsorlit.so not loaded");
  const auto& data = Data();
  for (auto _ : state) {
    // A new string per call, released by the caller, as the control uses it.
    platform::AutomationString text(sorlit.encode(data.data(), static_cast<int32_t>(data.size())));
    benchmark::DoNotOptimize(text.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataSize));
}

void BM_OpenSslEncode(benchmark::State& state) {
  const auto& data = Data();
  std::vector<unsigned char> text(base64::EncodedLength(data.size()) + 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        EVP_EncodeBlock(text.data(), data.data(), static_cast<int>(data.size())));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataSize));
}

void BM_SorlitDecode(benchmark::State& state) {
  const Sorlit& sorlit = TheLibrary();
  if (!sorlit.ready()) return state.SkipWithError("libsorlit.so not loaded");
  const auto& data = Data();
  platform::AutomationString text(sorlit.encode(data.data(), static_cast<int32_t>(data.size())));
  std::vector<unsigned char> out(platform::StringLength(text.get()));
  int32_t outLen = 0;
  if (sorlit.decode(text.get(), out.data(), &outLen) != 1 ||
      static_cast<std::size_t>(outLen) != data.size() ||
      !std::equal(data.begin(), data.end(), out.begin())) {
    return state.SkipWithError("decoding does not give the bytes back");
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(sorlit.decode(text.get(), out.data(), &outLen));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataSize));
}

void BM_OpenSslDecode(benchmark::State& state) {
  const auto& data = Data();
  std::vector<unsigned char> text(base64::EncodedLength(data.size()) + 1);
  const int length = EVP_EncodeBlock(text.data(), data.data(), static_cast<int>(data.size()));
  std::vector<unsigned char> out(static_cast<std::size_t>(length));
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_DecodeBlock(out.data(), text.data(), length));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataSize));
}

// What BM_SorlitEncode pays before it writes a character: a new automation string as
// long as the text, zeroed, and its release. Two bytes a character make it three times
// the data's size, which the C heap hands out as fresh pages every time.
void BM_ResultStringOnly(benchmark::State& state) {
  const auto units = static_cast<uint32_t>(base64::EncodedLength(kDataSize));
  for (auto _ : state) {
    platform::AutomationString text(platform::AllocStringForWriting(units));
    benchmark::DoNotOptimize(text.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataSize));
}

BENCHMARK(BM_SorlitEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSslEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SorlitDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSslDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultStringOnly)->Unit(benchmark::kMillisecond);

}  // namespace

// The encoder returns a new string of twice the text's size each time. Left to the
// defaults, glibc hands blocks that large straight back to the kernel and the next call
// pays for fresh pages, which would measure the kernel rather than the codec; keeping
// them in the heap makes both sides write into memory that is already there.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 512 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
