// The tessera host: loads the plug-in libraries, binds them to each other and
// to the host's own siblings, and runs scripts.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tzx/types.h"

namespace tessera {

struct HostOptions {
  // Where the libraries are; empty for the folder of the running program, or
  // TESSERA_PLUGIN_PATH when it is set.
  std::string pluginDir;
  // The libraries to load, in start-up order (graphics first).
  std::vector<std::string> libraries = {"graphics", "dos", "brush", "text", "display"};
  // The host siblings to bind; the default binds them all.
  std::vector<std::string> siblings = {"object", "imageio", "palette", "offscreen", "event",
                                       "time",   "async",   "filters", "clipboard", "layers"};
  bool headless = true;
  // Files linked into the program, by the name scripts give them: each maps
  // to a file on disk read whole (the stand-in for data a program carries).
  std::vector<std::pair<std::string, std::string>> linkedFiles;
  // Print the libraries' trace output to standard error.
  bool trace = false;
};

struct LoadedLibrary {
  std::string name;     // "graphics"
  std::string version;  // the descriptor's version text
  int commands = 0;
  int constants = 0;
  const void* interface = nullptr;
};

class Host {
 public:
  explicit Host(HostOptions options);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Loads, binds and initialises every library; false with a message on failure.
  bool Start(std::string* error);
  // Runs a script file or a chunk; false with the error message on failure.
  bool RunFile(const std::string& path, const std::vector<std::string>& arguments,
               std::string* error);
  bool RunString(const std::string& code, std::string* error);
  // Closes the libraries in reverse order and the interpreter. Idempotent.
  void Stop();

  lua_State* L() const;
  const std::vector<LoadedLibrary>& Libraries() const;
  // Blocks of the memory service still allocated.
  long LiveBlocks() const;
  // Files whose pending data could not be written when the libraries closed
  // them at Stop (no command was left to report it).
  std::vector<std::string> UnwrittenAtClose() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessera
