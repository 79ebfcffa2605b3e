// The benchmarks, then the table of every operation against its peer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "compare.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Also when a benchmark stops the run: the rows so far are still shown. The
  // rows are made first, so that they are destroyed only after the table.
  tzx::bench::Results();
  std::atexit([] {
    std::fflush(stdout);
    tzx::bench::PrintTable(stdout);
  });
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
