// tessera [--headless] [--monitors LIST] [--link NAME=FILE]... [--check-leaks] [--trace]
//         [--plugins DIR] [--without SIBLING]... script.lua [arguments...]
// tessera --libraries
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "tessera/host.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tessera [--headless] [--monitors LIST] [--link NAME=FILE]... "
               "[--check-leaks] [--trace] [--plugins DIR] [--without SIBLING]... script.lua "
               "[arguments...]\n"
               "       tessera [--plugins DIR] --libraries\n");
  return 2;
}

bool WindowSystemPresent() {
  const char* x = tzx::platform::EnvironmentValue("DISPLAY");
  const char* w = tzx::platform::EnvironmentValue("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

}  // namespace

int main(int argc, char** argv) {
  tessera::HostOptions options;
  options.headless = !WindowSystemPresent();
  bool listLibraries = false;
  bool checkLeaks = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
    std::string flag = argv[i];
    if (flag == "--headless") {
      options.headless = true;
    } else if (flag == "--check-leaks") {
      checkLeaks = true;
    } else if (flag == "--trace") {
      options.trace = true;
    } else if (flag == "--libraries") {
      listLibraries = true;
    } else if (flag == "--monitors" && i + 1 < argc) {
      // The headless back end's monitors and modes.
      tzx::platform::SetEnvironmentValue("TESSERA_HEADLESS_MONITORS", argv[++i]);
    } else if (flag == "--without" && i + 1 < argc) {
      // Leaves one of the host's siblings unbound, so that tests see what the
      // libraries do without it.
      const std::string name = argv[++i];
      auto& names = options.siblings;
      auto it = std::find(names.begin(), names.end(), name);
      if (it == names.end()) return Usage();
      names.erase(it);
    } else if (flag == "--link" && i + 1 < argc && std::strchr(argv[i + 1], '=')) {
      // A file linked into the program under a name, as a program carries data.
      const std::string link = argv[++i];
      const size_t equals = link.find('=');
      options.linkedFiles.emplace_back(link.substr(0, equals), link.substr(equals + 1));
    } else if (flag == "--plugins" && i + 1 < argc) {
      options.pluginDir = argv[++i];
    } else {
      return Usage();
    }
  }
  if (!listLibraries && i >= argc) return Usage();

  tessera::Host host(options);
  std::string error;
  if (!host.Start(&error)) {
    std::fprintf(stderr, "tessera: %s\n", error.c_str());
    return 1;
  }
  if (listLibraries) {
    for (const tessera::LoadedLibrary& lib : host.Libraries()) {
      std::printf("%s: %d commands, %d constants\n", lib.version.c_str(), lib.commands,
                  lib.constants);
    }
    return 0;
  }
  std::vector<std::string> arguments(argv + i + 1, argv + argc);
  bool ok = host.RunFile(argv[i], arguments, &error);
  std::fflush(stdout);
  host.Stop();
  if (!ok) {
    std::fprintf(stderr, "tessera: %s\n", error.c_str());
    return 1;
  }
  const std::vector<std::string> unwritten = host.UnwrittenAtClose();
  for (const std::string& name : unwritten) {
    std::fprintf(stderr, "tessera: data could not be written to \"%s\" when it was closed\n",
                 name.c_str());
  }
  if (!unwritten.empty()) return 1;
  if (checkLeaks && host.LiveBlocks() != 0) {
    std::fprintf(stderr, "tessera: %ld memory blocks were not freed\n", host.LiveBlocks());
    return 1;
  }
  return 0;
}
