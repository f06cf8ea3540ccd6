// Loading the packed Plum skin (inflate, parse, colour keys, link resolution) beside a bare
// zlib inflate of the same container measured in the same run; saving it with each filter;
// and recolouring the whole skin. Ends with a table of loads per second and their ratio to
// bare inflates per second (the load should stay within 3x the inflate time: ratio >= 0.33).
#include "bench/rate_reporter.h"
#include "framework/rtl/streams.h"
#include "skin/store/skin_classes.h"
#include "skin/store/skin_filters.h"
#include "skin/store/skin_source.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace zaprelay::skin {
namespace {

std::vector<uint8_t>& Container() {
    static std::vector<uint8_t> bytes = [] {
        std::ifstream file(ZR_PLUM_SKIN, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }();
    return bytes;
}

// The payload inflated into fresh memory, as any load must put it somewhere new.
void BM_BareInflate(benchmark::State& state) {
    const std::vector<uint8_t>& container = Container();
    constexpr std::size_t kRoom = 4 << 20;
    for (auto _ : state) {
        std::unique_ptr<Bytef[]> out(new Bytef[kRoom]);
        z_stream zs{};
        inflateInit(&zs);
        zs.next_in = const_cast<Bytef*>(container.data() + 4);
        zs.avail_in = static_cast<uInt>(container.size() - 4);
        zs.next_out = out.get();
        zs.avail_out = static_cast<uInt>(kRoom);
        if (inflate(&zs, Z_FINISH) != Z_STREAM_END) {
            state.SkipWithError("the container does not inflate");
        }
        inflateEnd(&zs);
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareInflate);

void BM_Load(benchmark::State& state) {
    TVxSkinSource source(nullptr);
    for (auto _ : state) {
        TBytesStream stream(Container());
        source.LoadFromStream(stream);
        benchmark::DoNotOptimize(source.Count());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Load);

// Argument: the filter's extension index (uskn, qskn, xskn, mskn).
void BM_Save(benchmark::State& state) {
    static const char* const kExtensions[] = {"plum.uskn", "plum.qskn", "plum.xskn", "plum.mskn"};
    TVxSkinSource source(nullptr);
    TBytesStream input(Container());
    source.LoadFromStream(input);
    const TVxSkinFilterClass* filter = FindSkinFilter(kExtensions[state.range(0)]);
    for (auto _ : state) {
        TMemoryStream output;
        std::unique_ptr<TVxSkinFilter> writer = filter->Create();
        writer->SetSource(&source);
        writer->SaveSkin(output);
        benchmark::DoNotOptimize(output.Bytes().data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Arg(2)->Arg(3);

void BM_ChangeDeltaHue(benchmark::State& state) {
    TVxSkinSource source(nullptr);
    TBytesStream input(Container());
    source.LoadFromStream(input);
    int32_t hue = 0;
    for (auto _ : state) {
        hue = (hue + 37) % 256;
        source.ChangeDeltaHue(hue);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChangeDeltaHue);

void PrintTable(const bench::TRateReporter& rates) {
    const double inflates = rates.Rate("BM_BareInflate");
    std::printf("\n%-28s %10s  %14s %7s\n", "Plum container", "per s", "inflates/s", "ratio");
    auto line = [&](const char* name, const std::string& run) {
        const double rate = rates.Rate(run);
        if (rate <= 0) {
            return;
        }
        std::printf("%-28s %10.1f  %14.1f %7.3f\n", name, rate, inflates, inflates > 0 ? rate / inflates : 0.0);
    };
    line("load (target ratio >= 0.33)", "BM_Load");
    line("save Uncompressed", "BM_Save/0");
    line("save Compressed", "BM_Save/1");
    line("save UltraCompressed", "BM_Save/2");
    line("save MaxCompression", "BM_Save/3");
    line("ChangeDeltaHue whole skin", "BM_ChangeDeltaHue");
}

}  // namespace
}  // namespace zaprelay::skin

int main(int argc, char** argv) {
    zaprelay::skin::RegisterSkinClasses();
    if (zaprelay::skin::Container().size() < 8) {
        std::fprintf(stderr, "skin_load_bench: no packed skin at %s\n", ZR_PLUM_SKIN);
        return 1;
    }
    return zaprelay::bench::RunAndTabulate(argc, argv, 1, zaprelay::skin::PrintTable);
}
