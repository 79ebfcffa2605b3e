// MatchPattern against fnmatch(3), on the same 20,000 names and the same
// patterns (written in the syntax both share: '*', '?' and sets), both in
// process. The script-level command is timed through a host too, against
// fnmatch called from the same Lua loop through a C function.
#include <benchmark/benchmark.h>
#include <fnmatch.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "compare.h"
#include "dos/src/pattern.h"
#include "script_host.h"
#include "tessera/host.h"

namespace {

const char* const kPatterns[] = {"*.jpg",         "IMG_[0-9][0-9]*.png", "file*.txt",
                                 "*report*2026*", "?????.dat",           "[!a-m]*",
                                 "*.tar.gz"};

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    const char* const stems[] = {"IMG_", "file", "report-", "notes", "backup.", "zeta"};
    const char* const ends[] = {".jpg", ".png", ".txt", ".dat", ".tar.gz", "_2026.pdf"};
    std::vector<std::string> v;
    for (int i = 0; i < 20000; ++i) {
      v.push_back(std::string(stems[i % 6]) + std::to_string(i * 7919 % 100000) + ends[i / 6 % 6]);
    }
    return v;
  }();
  return names;
}

int CountOurs() {
  int n = 0;
  for (const char* p : kPatterns) {
    for (const std::string& name : Names()) n += tzx::dos::MatchesPattern(name, p);
  }
  return n;
}

int CountFnmatch() {
  int n = 0;
  for (const char* p : kPatterns) {
    for (const std::string& name : Names()) n += fnmatch(p, name.c_str(), 0) == 0;
  }
  return n;
}

void BM_MatchPatternVsFnmatch(benchmark::State& state) {
  if (CountOurs() != CountFnmatch()) {
    std::fprintf(stderr, "MatchPattern and fnmatch disagree\n");
    std::exit(1);
  }
  tzx::bench::CompareInTurn(
      state, [] { benchmark::DoNotOptimize(CountOurs()); },
      [] { benchmark::DoNotOptimize(CountFnmatch()); },
      tzx::bench::Row{"MatchPattern 20,000 names (core)", "fnmatch", 1.0,
                      "glibc fnmatch(3) on the same names and patterns, in process"});
}
BENCHMARK(BM_MatchPatternVsFnmatch)->UseManualTime()->Unit(benchmark::kMillisecond);

int LuaFnmatch(lua_State* L) {
  lua_pushnumber(L, fnmatch(lua_tostring(L, 2), lua_tostring(L, 1), 0) == 0 ? 1 : 0);
  return 1;
}

tessera::Host& ScriptHost() {
  static tessera::Host* host = [] {
    tessera::HostOptions options;
    options.pluginDir = TZX_PLUGIN_DIR;
    options.libraries = {"dos"};
    auto h = tzx::bench::StartHost(options);
    lua_State* L = h->L();
    lua_pushcfunction(L, LuaFnmatch);
    lua_setglobal(L, "fnmatch");
    lua_newtable(L);
    for (size_t i = 0; i < Names().size(); ++i) {
      lua_pushstring(L, Names()[i].c_str());
      lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_setglobal(L, "NAMES");
    lua_newtable(L);
    for (size_t i = 0; i < std::size(kPatterns); ++i) {
      lua_pushstring(L, kPatterns[i]);
      lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_setglobal(L, "PATTERNS");
    return h.release();
  }();
  return *host;
}

void Run(const char* code) {
  tzx::bench::RunOrExit(ScriptHost(), code);
}

void BM_MatchPatternCommandVsFnmatch(benchmark::State& state) {
  ScriptHost();
  tzx::bench::CompareInTurn(
      state,
      [] {
        Run("local m, n = MatchPattern, 0 for _, p in ipairs(PATTERNS) do "
            "for _, s in ipairs(NAMES) do n = n + m(s, p) end end");
      },
      [] {
        Run("local m, n = fnmatch, 0 for _, p in ipairs(PATTERNS) do "
            "for _, s in ipairs(NAMES) do n = n + m(s, p) end end");
      },
      tzx::bench::Row{"MatchPattern 20,000 names (command)", "fnmatch", 1.0,
                      "glibc fnmatch(3) called from the same Lua loop through a C function"});
}
BENCHMARK(BM_MatchPatternCommandVsFnmatch)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
