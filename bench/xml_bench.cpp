// Loading a large offer store: LoadXml (cut, code-page conversion, parse, white-space
// pass, declaration) against libxml2's bare parse of the same text already in UTF-8.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <random>
#include <string>

#include "control/error_register.h"
#include "xml/xml_document.h"

namespace quillora {
namespace {

constexpr std::size_t kStoreBytes = 20 * 1024 * 1024;

std::string Base64Text(std::mt19937& random, std::size_t length) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text(length, '=');
  for (std::size_t i = 0; i + 2 < length; ++i) text[i] = kAlphabet[random() % 64];
  return text;
}

// A store as the system writes it: the classifier with chains of GOOD elements named in
// Cyrillic, each leaf holding offer references, then the offer entries with a few KB of
// Base64 each, about kStoreBytes in all.
const Text& StoreText() {
  static const Text text = [] {
    // Windows-1251 names: "Канцтовары", "Бумага", "Ручки", "Папки", "Скрепки".
    const Text categories[] = {"\xCA\xE0\xED\xF6\xF2\xEE\xE2\xE0\xF0\xFB",
                               "\xC1\xF3\xEC\xE0\xE3\xE0", "\xD0\xF3\xF7\xEA\xE8",
                               "\xCF\xE0\xEF\xEA\xE8", "\xD1\xEA\xF0\xE5\xEF\xEA\xE8"};
    std::mt19937 random(1251);
    Text classifier = "<GOODS_CLASSIFIER>\n";
    Text offers = "<OFFERS>\n";
    for (int id = 1; classifier.size() + offers.size() < kStoreBytes; ++id) {
      const Text offerId = std::to_string(100000 + id);
      const Text& top = categories[id % 5];
      const Text& middle = categories[(id / 5) % 5];
      classifier += "\t<GOOD NM=\"" + top + "\" ID=\"" + std::to_string(id) +
                    "1\">\n\t\t<GOOD NM=\"" + middle + " \xB9" + std::to_string(id) + "\" ID=\"" +
                    std::to_string(id) + "2\"><OFFER ID=\"" + offerId + "\"/></GOOD>\n\t</GOOD>\n";
      offers += "\t<OFFER ID=\"" + offerId + "\">" + Base64Text(random, 2048 + random() % 4096) +
                "</OFFER>\n";
    }
    return Text(CXmlDocument::kDeclaration) +
           "\n<!--Velt.Quillora data file-->\n<ROOT Gen=\"Velt.Quillora\" Ver=\"1.0\">\n" +
           classifier + "</GOODS_CLASSIFIER>\n" + offers + "</OFFERS>\n</ROOT>\n";
  }();
  return text;
}

void BM_LoadXmlStore(benchmark::State& state) {
  const Text& text = StoreText();
  ScopedErrorRegister errors;
  for (auto _ : state) {
    CXmlDocument document;
    if (!document.LoadXml(text, nullptr)) {
      state.SkipWithError("the store did not load");
      break;
    }
    benchmark::DoNotOptimize(document.Document());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadXmlStore)->Unit(benchmark::kMillisecond);

// Writing the loaded store out again, as SaveFile does before the file is written.
void BM_GetXmlStore(benchmark::State& state) {
  ScopedErrorRegister errors;
  CXmlDocument document;
  if (!document.LoadXml(StoreText(), nullptr)) {
    state.SkipWithError("the store did not load");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    const Text markup = document.GetXml();
    bytes = markup.size();
    benchmark::DoNotOptimize(markup.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_GetXmlStore)->Unit(benchmark::kMillisecond);

void BM_Libxml2ParseUtf8(benchmark::State& state) {
  // The same store, declared as what it now is.
  const std::string utf8 = "<?xml version='1.0' encoding='UTF-8'?>" +
                           AnsiToUtf8(StoreText().substr(CXmlDocument::kDeclaration.size()));
  for (auto _ : state) {
    xmlDoc* doc = xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr, 0);
    if (doc == nullptr) {
      state.SkipWithError("libxml2 did not parse the store");
      break;
    }
    xmlFreeDoc(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_Libxml2ParseUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillora

BENCHMARK_MAIN();
