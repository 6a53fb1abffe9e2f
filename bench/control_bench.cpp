// MakeEncProposal on a sandboxed security client, for offers of 10 and 1,000 goods
// lines: the pipeline's own cost (crypto included) with the status-message pause set to
// zero, and the same call with the real pause.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "control/error_register.h"
#include "control/progress_window.h"
#include "control/quillora_ctrl.h"

namespace {

using namespace quillora;
namespace fs = std::filesystem;

constexpr char kEmptyStore[] =
    "<?xml version=\"1.0\"?><ROOT Gen=\"Velt.Quillora\" Ver=\"1.0\"><GOODS_CLASSIFIER/>"
    "<OFFERS/></ROOT>";

const fs::path& ModuleDir() {
  static const fs::path dir = [] {
    const fs::path root = fs::temp_directory_path() / "quillora-bench-control";
    const std::string command = std::string(QUILLORA_BIN_DIR) + "/quillora sandbox " +
                                (root / "sandbox").string() + " > /dev/null";
    if (std::system(command.c_str()) != 0) std::abort();
    setenv("QUILLORA_REGISTRY", (root / "sandbox" / "registry.reg").c_str(), 1);
    fs::create_directories(root / "control");
    fs::copy_file(std::string(QUILLORA_BIN_DIR) + "/libsorlit.so",
                  root / "control" / "libsorlit.so", fs::copy_options::overwrite_existing);
    return root / "control";
  }();
  return dir;
}

Text Input(int lines) {
  Text xml = "<R><DROW oA='1042' oG='7' oB='11-12-2026' lF='L-1'/>";
  for (int i = 0; i < lines; ++i) {
    xml += "<OFFG gE='" + std::to_string(i + 1) + "' dG='Item " + std::to_string(i % 50) +
           "' gC='10' gA='2' gF='20.00' PATH='\\Cat" + std::to_string(i % 7) + "\\Sub\\'/>";
  }
  return xml + "</R>";
}

void MakeProposals(benchmark::State& state, bool realPause) {
  const Text input = Input(static_cast<int>(state.range(0)));
  ControlServices services = DefaultControlServices();
  services.moduleDir = ModuleDir().string() + "/";
  for (auto _ : state) {
    state.PauseTiming();
    ScopedErrorRegister clean;
    std::ofstream(ModuleDir() / "Quillora.xml") << kEmptyStore;
    InstallProgressWindow(
        std::make_unique<HeadlessProgressWnd>(realPause ? DefaultPause() : nullptr));
    // The control is made outside the timing: its own messages are not the pipeline's.
    auto* control = new CQuilloraCtrl(services);
    control->SetDestLocation("srv1");
    state.ResumeTiming();
    const platform::AutomationString result = control->MakeEncProposal(input);
    state.PauseTiming();
    if (!result || platform::StringLength(result.get()) == 0) state.SkipWithError("no result");
    control->Release();
    state.ResumeTiming();
  }
}

void BM_MakeEncProposalNoPause(benchmark::State& state) {
  MakeProposals(state, false);
}
void BM_MakeEncProposalRealPause(benchmark::State& state) {
  MakeProposals(state, true);
}

BENCHMARK(BM_MakeEncProposalNoPause)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeEncProposalRealPause)
    ->Arg(10)
    ->Arg(1000)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
