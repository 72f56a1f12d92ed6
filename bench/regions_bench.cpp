// The region benchmark natively, on the fake desktop's in-memory GDI: what
// the core itself spends on both ways (the copy, the scan, the run list and
// the region calls) side by side, and their ratio. The GDI here is a list of
// rectangles, so the real-GDI ratio comes from regions_bench_win under Wine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/dithered_picture.h"
#include "fakes/fake_desktop.h"
#include "utility/KelpUltimate.h"

namespace {

struct Scene {
  orv::fake::Desktop desk;
  orv::Ports ports{desk.ports()};
  orv::KelpUltimate kelp{ports};
  orv::Hwnd box = desk.AddWindow(L"PictureBox", L"", 0, orv::Rect{0, 0, 632, 217});
  orv::Picture picture = desk.ResourcePicture(L"DITHERED");
  Scene() {
    desk.bitmaps[picture.value()] = {orv::bench::kPictureWidth, orv::bench::kPictureHeight,
                                     orv::bench::DitheredPicture()};
  }
};

void BM_PerRunUnion(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    const orv::RegionBuilder pixels(s.ports, s.picture);
    orv::OwnedRegion region = pixels.RegionByUnion(pixels.PixelRuns(orv::bench::kTransparent));
    s.desk.SetWindowRgn(s.box, region.release(), true);
  }
}
BENCHMARK(BM_PerRunUnion)->Unit(benchmark::kMillisecond);

void BM_ShapeWindowFromPicture(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    orv::Color transparent = orv::bench::kTransparent;
    s.kelp.ShapeWindowFromPicture(s.box, s.picture, transparent);
  }
}
BENCHMARK(BM_ShapeWindowFromPicture)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.times;
  if (t.count("BM_PerRunUnion") && t.count("BM_ShapeWindowFromPicture")) {
    std::printf("REGIONS_RATIO_FAKE_GDI=%.1f\n",
                t.at("BM_PerRunUnion") / t.at("BM_ShapeWindowFromPicture"));
  }
  benchmark::Shutdown();
  return 0;
}
