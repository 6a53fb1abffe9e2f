"""Prints the benchmark table from the JSON files of one run of scripts/bench.sh."""
import json
import pathlib
import sys

results = {}
for path in pathlib.Path(sys.argv[1]).glob("*.json"):
    for b in json.loads(path.read_text())["benchmarks"]:
        if b.get("aggregate_name") == "median":
            results[b["run_name"]] = b


def ms(name):
    b = results[name]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


rows = [
    ("Sorlit/OpenSSL encode throughput", ms("BM_OpenSslEncode") / ms("BM_SorlitEncode"), ">= 1.0"),
    ("Sorlit/OpenSSL decode throughput", ms("BM_OpenSslDecode") / ms("BM_SorlitDecode"), ">= 1.0"),
    ("LoadXml 20 MB store / libxml2 UTF-8 parse time",
     ms("BM_LoadXmlStore") / ms("BM_Libxml2ParseUtf8"), "<= 1.5"),
    ("compose+pre-sign 20,000 / 10,000 lines time",
     ms("BM_ComposeAndPreSign/20000") / ms("BM_ComposeAndPreSign/10000"), "<= 2.2"),
]
print("| Measure | Ratio | Target |")
print("|---|---|---|")
for name, value, target in rows:
    print(f"| {name} | {value:.2f} | {target} |")

print()
print("| Operation | Time (ms) | Share in loading and binding |")
print("|---|---|---|")
load = ms("BM_LoadAndBindOnly")
for name in ("BM_CryptoSign", "BM_CryptoEncrypt", "BM_CryptoDecrypt"):
    t = ms(name)
    print(f"| {name[3:]} | {t:.2f} | {100 * min(load, t) / t:.0f} % |")
print(f"| load, bind and unload both libraries | {load:.2f} | |")

print()
print("| MakeEncProposal | No pause (ms) | Real pause (ms) |")
print("|---|---|---|")
for lines in (10, 1000):
    print(f"| {lines} goods lines | {ms(f'BM_MakeEncProposalNoPause/{lines}'):.1f} | "
          f"{ms(f'BM_MakeEncProposalRealPause/{lines}/iterations:2'):.1f} |")
