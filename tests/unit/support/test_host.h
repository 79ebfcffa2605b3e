// Starting a real host with chosen plug-ins and siblings, for tests that go
// through the script commands.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tessera/host.h"

namespace tzx::testing {

inline tessera::HostOptions TestHostOptions(std::vector<std::string> libraries,
                                            std::vector<std::string> siblings) {
  tessera::HostOptions options;
  options.pluginDir = TZX_PLUGIN_DIR;
  options.libraries = std::move(libraries);
  options.siblings = std::move(siblings);
  return options;
}

// The failure message of a chunk, or "" when it ran.
inline std::string RunCode(tessera::Host& host, const std::string& code) {
  std::string error;
  return host.RunString(code, &error) ? "" : error;
}

// The chunk fails because the sibling `library` is absent.
inline void ExpectAbsent(tessera::Host& host, const std::string& code, const std::string& library) {
  const std::string failure = RunCode(host, code);
  EXPECT_NE(failure.find("(error 1685)"), std::string::npos) << code << ": " << failure;
  EXPECT_NE(failure.find(library), std::string::npos) << code << ": " << failure;
}

}  // namespace tzx::testing
