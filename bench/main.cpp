// The benchmarks, then the table of every operation against its peer.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "compare.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::fflush(stdout);
  tzx::bench::PrintTable(stdout);
  return 0;
}
