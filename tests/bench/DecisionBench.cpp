// What one popup decision costs as the allowed list grows, against a naive search that folds
// the whole list text on every call, and a plain memchr pass over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "blocker/ListText.h"
#include "blocker/PopupDecision.h"
#include "blocker/SiteKey.h"
#include "blocker/TextCompare.h"
#include "support/DecisionFakes.h"
#include "support/Fakes.h"

namespace {

using namespace quell;
using namespace quell::testing;

std::string HostList(int entries) {
    std::string text;
    for (int i = 0; i < entries; ++i) {
        text += "www.site" + std::to_string(i) + ".example" + (i % 3 == 0 ? ".com" : ".org");
        text += "\r\n";
    }
    return text;
}

constexpr const char* kOpener = "http://Ads.Tracker-Network.net/pop/under.html?id=42";

void BM_Decision(benchmark::State& run) {
    BlockerState state;
    state.strAllowed = HostList(static_cast<int>(run.range(0)));
    DecisionFakes fakes;
    const PopupDecisionContext context = fakes.Context(state);
    FakeBrowser opener{std::string(kOpener)};
    for (auto _ : run) {
        RecordingCancelFlag cancel;
        PopupDecision(context, opener, cancel);
        benchmark::DoNotOptimize(cancel.value);
    }
    run.SetBytesProcessed(static_cast<int64_t>(run.iterations()) *
                          static_cast<int64_t>(state.strAllowed.Text().size()));
}

// What a plain implementation does: lower-case the whole text and the key per decision.
void BM_NaiveDecision(benchmark::State& run) {
    const std::string list = HostList(static_cast<int>(run.range(0)));
    for (auto _ : run) {
        const std::string key = SiteKey(kOpener);
        const bool found = FoldCase(list).find(FoldCase(key)) != std::string::npos;
        benchmark::DoNotOptimize(found);
    }
    run.SetBytesProcessed(static_cast<int64_t>(run.iterations()) *
                          static_cast<int64_t>(list.size()));
}

// The floor: one memchr over the same bytes for a byte that is not there.
void BM_MemchrPass(benchmark::State& run) {
    const std::string list = HostList(static_cast<int>(run.range(0)));
    for (auto _ : run) {
        const void* hit = std::memchr(list.data(), '#', list.size());
        benchmark::DoNotOptimize(hit);
    }
    run.SetBytesProcessed(static_cast<int64_t>(run.iterations()) *
                          static_cast<int64_t>(list.size()));
}

void BM_SiteKey(benchmark::State& run, const char* url) {
    for (auto _ : run) {
        std::string key = SiteKey(url);
        benchmark::DoNotOptimize(key);
    }
}

BENCHMARK(BM_Decision)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_NaiveDecision)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_MemchrPass)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(BM_SiteKey, plain, "http://www.example.com/index.html");
BENCHMARK_CAPTURE(BM_SiteKey, port_query, "https://shop.example.org:8443/cart?next=http://x/");
BENCHMARK_CAPTURE(BM_SiteKey, blank, "about:blank");
BENCHMARK_CAPTURE(BM_SiteKey, long_path,
                  "http://news.example.co.uk/2026/12/08/a/very/long/article/path/with/segments"
                  "?utm_source=feed&utm_medium=rss&utm_campaign=daily");

}  // namespace

BENCHMARK_MAIN();
