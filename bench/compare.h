// Times our operation and its peer in turn, so that both see the same machine
// state, reports both times and their ratio (speed_ratio = peer time / our
// time: above 1 means we are faster), and keeps one row per operation for the
// table that `benchmarks` prints when every benchmark has run.
//
// A benchmark describes its row once:
//   const tzx::bench::Row kRow{"DisplayBrush 1024->512 bilinear (command)", "pixman", 1.0,
//                              "pixman_image_composite32 OVER, bilinear scale, same pixels"};
//   tzx::bench::CompareInTurn(state, ours, peer, kRow);
// or, for long operations timed best of n, BestOfInTurn(state, n, ours, peer, kRow); a
// benchmark with its own timing calls Record(kRow, oursSeconds, peerSeconds).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tzx::bench {

// One line of the closing table.
struct Row {
  std::string operation;  // what is timed, and whether through the command or the core
  std::string peer;       // the peer's short name
  double goal = 0;        // the least peer time / our time that meets the goal; 0: none
  std::string peerDoes;   // one line: what the peer does, so that a reader can judge the pair
};

struct Result {
  Row row;
  double oursSeconds = 0, peerSeconds = 0;
};

inline std::vector<Result>& Results() {
  static std::vector<Result> results;
  return results;
}

// Keeps the latest result of each operation: the framework may call a benchmark
// more than once while it settles its iteration count, and the last call counts.
inline void Record(const Row& row, double oursSeconds, double peerSeconds) {
  auto& results = Results();
  auto same = std::find_if(results.begin(), results.end(),
                           [&](const Result& r) { return r.row.operation == row.operation; });
  if (same == results.end()) {
    results.push_back(Result{row, oursSeconds, peerSeconds});
  } else {
    same->oursSeconds = oursSeconds;
    same->peerSeconds = peerSeconds;
  }
}

inline double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

inline void Report(benchmark::State& state, const Row& row, double oursSeconds,
                   double peerSeconds) {
  state.counters["ours_ms"] = 1000 * oursSeconds;
  state.counters[row.peer + "_ms"] = 1000 * peerSeconds;
  state.counters["speed_ratio"] = oursSeconds > 0 ? peerSeconds / oursSeconds : 0;
  Record(row, oursSeconds, peerSeconds);
}

// Runs each once to warm up, then both per iteration; the iteration time
// reported to the framework is ours, the row gets the mean of each side.
template <class Ours, class Peer>
void CompareInTurn(benchmark::State& state, Ours&& ours, Peer&& peer, const Row& row) {
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
  Report(state, row, oursTotal / runs, peerTotal / runs);
}

// For operations of a second or so: each side `runs` times per iteration,
// interleaved, and the best time of each counts.
template <class Ours, class Peer>
void BestOfInTurn(benchmark::State& state, int runs, Ours&& ours, Peer&& peer, const Row& row) {
  double best[2] = {1e30, 1e30};
  for (auto _ : state) {
    for (int run = 0; run < runs; ++run) {
      auto start = std::chrono::steady_clock::now();
      ours();
      auto middle = std::chrono::steady_clock::now();
      peer();
      auto end = std::chrono::steady_clock::now();
      best[0] = std::min(best[0], Seconds(middle - start));
      best[1] = std::min(best[1], Seconds(end - middle));
    }
    state.SetIterationTime(best[0]);
  }
  Report(state, row, best[0], best[1]);
}

// The closing table: one line per operation, then what its peer does.
inline void PrintTable(std::FILE* out) {
  auto& results = Results();
  if (results.empty()) return;
  size_t width = 9;
  for (const Result& r : results) width = std::max(width, r.row.operation.size());
  const int w = static_cast<int>(width);
  std::fprintf(out, "\n%-*s %11s  %-16s %11s  %6s  %5s  %s\n", w, "operation", "ours ms", "peer",
               "peer ms", "ratio", "goal", "met");
  int met = 0, goals = 0;
  for (const Result& r : results) {
    const double ratio = r.oursSeconds > 0 ? r.peerSeconds / r.oursSeconds : 0;
    const bool hasGoal = r.row.goal > 0;
    const bool ok = ratio >= r.row.goal;
    char goal[16] = "-";
    if (hasGoal) std::snprintf(goal, sizeof goal, "%.2f", r.row.goal);
    std::fprintf(out, "%-*s %11.3f  %-16s %11.3f  %6.2f  %5s  %s\n", w, r.row.operation.c_str(),
                 1000 * r.oursSeconds, r.row.peer.c_str(), 1000 * r.peerSeconds, ratio, goal,
                 !hasGoal ? "-"
                 : ok     ? "met"
                          : "MISSED");
    if (!r.row.peerDoes.empty())
      std::fprintf(out, "%*s  %s: %s\n", 4, "", r.row.peer.c_str(), r.row.peerDoes.c_str());
    goals += hasGoal;
    met += hasGoal && ok;
  }
  std::fprintf(out, "%d of %d goals met (ratio = peer time / our time)\n", met, goals);
}

}  // namespace tzx::bench
