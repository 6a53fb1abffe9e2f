// Composition of large offers and the pre-sign sequence of the result: both should grow
// linearly with the number of goods lines.
#include <benchmark/benchmark.h>

#include "control/error_register.h"
#include "proposal/compose_proposal.h"
#include "proposal/presign.h"

namespace {

using namespace quillora;

COffer OfferWithLines(int lines) {
  COffer offer;
  offer.ID.value = "1042";
  offer.LotID.value = "L-2026-118";
  offer.DT.value = "11/12/2026";
  for (int i = 0; i < lines; ++i) {
    CGoodItem good;
    good.ID = std::to_string(i + 1);
    good.NM = Utf8ToAnsi("Бумага офисная А4, пачка ") + good.ID;
    good.PR = "250.00";
    good.QTY = "4";
    good.MSR = Utf8ToAnsi("шт.");
    good.SM = "1000.00";
    good.DSC = "80 g/m2 & 500 <sheets>";
    offer.AddGood(good);
  }
  return offer;
}

void BM_ComposeAndPreSign(benchmark::State& state) {
  const COffer offer = OfferWithLines(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ScopedErrorRegister clean;
    const Text document = ComposeProposal(offer, offer.Goods(), CalendarDate{11, 12, 2026});
    platform::AutomationString whole = BuildPreSignSequence(document, "");
    platform::AutomationString privatePart = BuildPreSignSequence(document, "PRIVATE");
    benchmark::DoNotOptimize(whole.get());
    benchmark::DoNotOptimize(privatePart.get());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComposeAndPreSign)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
