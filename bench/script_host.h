// A started tessera host for timing script commands. A benchmark that cannot
// start its host or run its chunk stops with the message: its numbers would
// mean nothing.
//
// The benchmarks keep their hosts (released, in a static pointer) until the
// process ends and never stop them: every host of the process shares the one
// loaded copy of each library and its state, so stopping one would close the
// libraries under the others.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tessera/host.h"

namespace tzx::bench {

inline std::unique_ptr<tessera::Host> StartHost(const tessera::HostOptions& options) {
  auto host = std::make_unique<tessera::Host>(options);
  std::string error;
  if (!host->Start(&error)) {
    std::fprintf(stderr, "cannot start the host: %s\n", error.c_str());
    std::exit(1);
  }
  return host;
}

inline void RunOrExit(tessera::Host& host, const std::string& code) {
  std::string error;
  if (!host.RunString(code, &error)) {
    std::fprintf(stderr, "script failed: %s\n", error.c_str());
    std::exit(1);
  }
}

}  // namespace tzx::bench
