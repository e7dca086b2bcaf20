// accelerator_bench: the accelerator engine's own cost per cycle for 10, 100 and
// 1000 downloads, over a fake list and a clock that only counts (no waiting), so
// the figure is the engine's work alone; beside it the seconds that cycle spends
// waiting between rows, which is what a person sees. Run by scripts/bench.sh.
#include <chrono>
#include <cstdio>

#include "tools/cycling_download_host.h"

namespace {

struct Figure {
  double microsecondsPerCycle;
  double waitedSecondsPerCycle;
};

Figure Measure(size_t rows, bool keepRange) {
  va::AcceleratorSettings settings;
  settings.CyclesDelay = 30;
  settings.ItemDelay = 1;
  settings.SearchResume = 1;
  settings.TimesInSearchState = 4;
  settings.SkipBySpeed = 1;
  settings.MinSpeed = 5000;
  settings.KeepDownloads = keepRange ? 1 : 0;
  settings.NumDownloadsMin = 2;
  settings.NumDownloadsMax = 4;
  // Enough cycles for a tenth of a second or more of work at every size.
  const uint32_t cycles = rows >= 1000 ? (keepRange ? 3 : 40) : static_cast<uint32_t>(40000 / rows);
  va::test::CyclingDownloadHost host(rows, cycles);
  const auto start = std::chrono::steady_clock::now();
  host.Run(settings);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds * 1e6 / host.cyclesEnded(), host.fakeMilliseconds() / 1000.0 / host.cyclesEnded()};
}

}  // namespace

int main() {
  for (bool keepRange : {false, true}) {
    std::printf("Accelerator engine, %s:\n", keepRange ? "KeepDownloads on (counted from the cycle's pass)"
                                                      : "KeepDownloads off");
    double base = 0;
    for (size_t rows : {10, 100, 1000}) {
      const Figure f = Measure(rows, keepRange);
      if (rows == 10) base = f.microsecondsPerCycle;
      std::printf("  %4zu rows: %10.1f us per cycle (%.2f us per row), %5.1fx the 10-row cycle; "
                  "the cycle lasts %.0f s on the engine's clock (its waits)\n",
                  rows, f.microsecondsPerCycle, f.microsecondsPerCycle / rows, f.microsecondsPerCycle / base,
                  f.waitedSecondsPerCycle);
    }
  }
  return 0;
}
