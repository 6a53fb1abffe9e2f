// One CryptoSign, CryptoEncrypt and CryptoDecrypt on a sandboxed security client, each
// loading and unloading the engine and the Base64 library as the control does, next to
// the loading and binding alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "control/error_register.h"
#include "control/progress_window.h"
#include "crypto/crypto_operations.h"
#include "crypto/discover_crypto_config.h"
#include "platform/dynamic_library.h"

namespace {

using namespace quillora;

const CCryptoConfig& Config() {
  static const CCryptoConfig config = [] {
    const std::string dir = std::filesystem::temp_directory_path() / "quillora-bench-sandbox";
    const std::string command =
        std::string(QUILLORA_BIN_DIR) + "/quillora sandbox " + dir + " > /dev/null";
    if (std::system(command.c_str()) != 0) std::abort();
    setenv("QUILLORA_REGISTRY", (dir + "/registry.reg").c_str(), 1);
    InstallProgressWindow(std::make_unique<HeadlessProgressWnd>(nullptr));
    CCryptoConfig c;
    c.ModuleDir = std::string(QUILLORA_BIN_DIR) + "/";
    if (!DiscoverCryptoConfig("srv1", c)) std::abort();
    return c;
  }();
  return config;
}

const Text kDocument(2000, 'x');

void BM_CryptoSign(benchmark::State& state) {
  for (auto _ : state) {
    Text out;
    if (!CryptoSign(kDocument, out, Config())) state.SkipWithError("sign failed");
  }
}

void BM_CryptoEncrypt(benchmark::State& state) {
  for (auto _ : state) {
    Text out;
    if (!CryptoEncrypt(kDocument, out, Config())) state.SkipWithError("encrypt failed");
  }
}

void BM_CryptoDecrypt(benchmark::State& state) {
  Text envelope;
  CryptoEncrypt(kDocument, envelope, Config());
  for (auto _ : state) {
    Text out;
    if (!CryptoDecrypt(envelope, out, Config())) state.SkipWithError("decrypt failed");
  }
}

// What every operation pays before and after its work: both libraries loaded, the
// entry points bound, both unloaded.
void BM_LoadAndBindOnly(benchmark::State& state) {
  const CCryptoConfig& config = Config();
  static const char* const kEngineEntries[] = {
      "InitCryptoEngine", "DoneCryptoEngine", "SetCryptoParamValue", "GetMaxEncodeAddition",
      "GetMaxUIDLength",  "EncodeData",       "DecodeData"};
  for (auto _ : state) {
    platform::DynamicLibrary engine(config.InstallDir + "/libzelcor.so");
    for (const char* name : kEngineEntries) benchmark::DoNotOptimize(engine.Symbol(name));
    platform::DynamicLibrary sorlit =
        platform::LoadBesideOrOnSearchPath(config.ModuleDir, "libsorlit.so");
    benchmark::DoNotOptimize(sorlit.Symbol("BASE64Encode"));
    benchmark::DoNotOptimize(sorlit.Symbol("BASE64Decode"));
  }
}

BENCHMARK(BM_CryptoSign)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CryptoEncrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CryptoDecrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndBindOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
