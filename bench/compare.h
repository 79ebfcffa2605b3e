// Times our operation and its peer in turn within each iteration, so that both
// see the same machine state, and reports both times and their ratio
// (speed_ratio = peer time / our time: above 1 means we are faster).
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace tzx::bench {

inline double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Runs each once to warm up, then both per iteration; the iteration time
// reported to the framework is ours.
template <class Ours, class Peer>
void CompareInTurn(benchmark::State& state, Ours&& ours, Peer&& peer, const std::string& peerName) {
  ours();
  peer();
  double oursTotal = 0, peerTotal = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ours();
    benchmark::ClobberMemory();
    const auto middle = std::chrono::steady_clock::now();
    peer();
    benchmark::ClobberMemory();
    const auto end = std::chrono::steady_clock::now();
    oursTotal += Seconds(middle - start);
    peerTotal += Seconds(end - middle);
    state.SetIterationTime(Seconds(middle - start));
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1000 * oursTotal / runs;
  state.counters[peerName + "_ms"] = 1000 * peerTotal / runs;
  state.counters["speed_ratio"] = peerTotal / oursTotal;
}

}  // namespace tzx::bench
